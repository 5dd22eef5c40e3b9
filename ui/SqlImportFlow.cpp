#include "ui/SqlImportFlow.h"

#include <optional>

#include "generate/write/FileOperate.h"
#include "model/Rules.h"
#include "sqlimport/SqlImport.h"
#include "ui/Dialogs.h"

namespace vbgen {

TSqlImportOutcome ImportSqlScriptFromUser(TDialogs& dialogs) {
  const std::optional<std::string> chosen =
      dialogs.OpenFileName(kSqlImportCaption, kSqlScriptFilter);
  if (!chosen) return {};
  const std::string& file = *chosen;
  std::string bytes;
  try {
    bytes = TFileOperate::ReadBytes(std::filesystem::path(file));
  } catch (const TFileError& error) {
    dialogs.Error(error.what());
    return {};
  }
  std::string name = ProjectNameForScript(file);
  if (auto problem = CheckNewProjectName(name)) {
    name = dialogs.Input(kSqlImportCaption, *problem + " 请输入新工程的名称:", name);
  }
  TSqlImportOutcome outcome;
  try {
    const TSqlImportResult result = ImportSqlScript(bytes, name);
    outcome.projectId = result.projectId;
    outcome.memoLines.push_back("从SQL脚本 " + file + " 导入新工程 " + name + ", 共" +
                                std::to_string(result.classCount) + "个类");
    outcome.memoLines.insert(outcome.memoLines.end(), result.notes.begin(), result.notes.end());
    outcome.message = "SQL脚本导入成功！共导入" + std::to_string(result.classCount) + "个类";
    if (!result.notes.empty()) outcome.message += ", 未导入或已调整之处见信息栏";
  } catch (const TSqlImportError& error) {
    outcome.memoLines.push_back("从SQL脚本 " + file + " 导入失败: " + error.what());
    outcome.memoLines.insert(outcome.memoLines.end(), error.Notes().begin(), error.Notes().end());
    dialogs.Error(file + ": " + error.what());
  }
  return outcome;
}

}  // namespace vbgen
