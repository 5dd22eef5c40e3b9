// A new project from a SQL Server schema script: one class per table, one member per column,
// under the rules the dialogs apply to typed input. What cannot be imported is named in a note
// and left out; the rest is imported in one transaction.
#pragma once

#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "model/Member.h"
#include "sqlimport/SqlReader.h"

namespace vbgen {

// Nothing was imported. The notes gathered until then say what was already left out.
class TSqlImportError : public std::runtime_error {
 public:
  TSqlImportError(const std::string& message, std::vector<std::string> notes = {})
      : std::runtime_error(message), notes_(std::move(notes)) {}
  const std::vector<std::string>& Notes() const { return notes_; }

 private:
  std::vector<std::string> notes_;
};

struct TImportedClass {
  std::string className;
  std::string friendName;
  std::vector<TMember> members;  // projectId and classId are set when stored
};

struct TSqlImportPlan {
  std::vector<TImportedClass> classes;
  // One line per table or column left out ("未导入: ..."), per value changed to fit the
  // model's rules ("已调整: ...") and per thing one of the generated programs treats otherwise
  // than the database does ("注意: ...": a table without a key, optional numbers and dates, an
  // entered key); statements the reader could not read come first ("未读取: ..."), then the
  // views and the like passed over, then how many data statements were.
  std::vector<std::string> notes;
  // Something the script asks for was refused: a statement that could not be read, a table or
  // column whose name another one already maps to or that is too long for the generated forms,
  // a key naming a column the table lacks.
  bool refused = false;
};

// What the tables become; what cannot become a class or member is noted and left out. Throws
// TSqlImportError when no table can be imported.
TSqlImportPlan PlanSqlImport(const TSqlSchema& schema);

struct TSqlImportResult {
  int projectId = 0;
  std::size_t classCount = 0;
  std::vector<std::string> notes;
  std::string projectName;
  bool refused = false;  // as in the plan: the project is made, but not all of the script is in it
};

// Decodes, reads, maps and stores the script as the new project `projectName`; all or nothing.
// Every failure is a TSqlImportError whose message a user can act on.
TSqlImportResult ImportSqlScript(std::string_view fileBytes, const std::string& projectName);
// The same for a script file, read a piece at a time: however large the file (a script with
// its data, say), only one batch of its schema is held.
// Without a project name, the project is named after the database the script names, else after
// the file.
TSqlImportResult ImportSqlFile(const std::filesystem::path& file,
                               const std::optional<std::string>& projectName);

// The project name proposed for a script file: its base name.
std::string ProjectNameForScript(const std::filesystem::path& file);

// The length given to max and text columns: the longest the generated script can declare.
inline constexpr int kLongTextLength = 8000;

}  // namespace vbgen
