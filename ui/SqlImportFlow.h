// The project menu's "从SQL脚本导入…": the file dialog, the project name, the import. The
// window shows the outcome: the lines for its memo, and the new project selected.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vbgen {

class TDialogs;

struct TSqlImportOutcome {
  std::optional<int> projectId;        // none when nothing was imported
  std::vector<std::string> memoLines;  // what was imported, left out or changed
  std::string message;                 // the success box's text
};

// Asks for the script and, when its base name cannot be the new project's name, for a name;
// an import that fails is shown in an error box here.
TSqlImportOutcome ImportSqlScriptFromUser(TDialogs& dialogs);

inline constexpr const char* kSqlImportCaption = "从SQL脚本导入";
inline constexpr const char* kSqlScriptFilter = "SQL脚本 (*.sql);;所有文件 (*)";

}  // namespace vbgen
