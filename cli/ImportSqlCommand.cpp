// import-sql: a new project from a SQL Server schema script.
#include <filesystem>
#include <ostream>

#include "cli/Commands.h"
#include "cli/Hints.h"
#include "generate/write/FileOperate.h"
#include "model/Utf8Path.h"
#include "sqlimport/SqlImport.h"

namespace vbgen::cli {
namespace {

void PrintNotes(const std::vector<std::string>& notes, std::ostream& err) {
  for (const auto& note : notes) err << note << '\n';
}

}  // namespace

int RunImportSqlCommand(TArgs& args, TCliEnv& env) {
  const std::string file = args.Next("SQL脚本文件");
  TOptions options(args.Rest(), {}, {"--name"});
  const std::optional<std::string> name = options.Value("--name");
  std::error_code error;
  if (!std::filesystem::is_regular_file(Utf8Path(file), error)) Refuse("无法读取文件 " + file);
  try {
    const TSqlImportResult result = ImportSqlFile(Utf8Path(file), name);
    PrintNotes(result.notes, env.err);
    PrintAdded(env, result.projectId,
               "已导入工程 " + std::to_string(result.projectId) + " " + result.projectName +
                   ", 共" + std::to_string(result.classCount) + "个类");
    // The project is made, but not with all the script asked for: the notes say what is missing.
    if (result.refused) return 1;
  } catch (const TSqlImportError& error) {
    PrintNotes(error.Notes(), env.err);
    Refuse(WithNameOption(file + ": " + error.what()));
  }
  return 0;
}

}  // namespace vbgen::cli
