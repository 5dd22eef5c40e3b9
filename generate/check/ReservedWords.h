// Words the generated code cannot use as bare names: reserved words of T-SQL (SQL Server) and
// of Visual Basic 6. Both languages compare them without regard to case.
#pragma once

#include <string>

namespace vbgen {

bool IsTsqlReservedWord(const std::string& name);
bool IsVbReservedWord(const std::string& name);

}  // namespace vbgen
