// Models as text, and the model check.
#include <fstream>
#include <ostream>
#include <sstream>

#include "cli/Commands.h"
#include "generate/FileOperate.h"
#include "generate/ModelCheck.h"
#include "model/ModelFile.h"

namespace vbgen::cli {

int RunExportCommand(TArgs& args, TCliEnv& env) {
  const int projectId = ResolveProject(args.Next("工程"));
  TOptions options(args.Rest(), {}, {"-o", "--output"});
  const std::string json = ExportProject(projectId);
  auto file = options.Value("-o");
  if (!file) file = options.Value("--output");
  if (!file) {
    env.out << json;
    return 0;
  }
  const std::filesystem::path path = std::filesystem::absolute(*file);
  TFileOperate::WriteTextFile(path.parent_path(), path, json);
  env.out << "已导出到 " << path.string() << '\n';
  return 0;
}

int RunImportCommand(TArgs& args, TCliEnv& env) {
  const std::string file = args.Next("模型文件");
  TOptions options(args.Rest(), {}, {"--name"});
  std::string json;
  try {
    json = TFileOperate::ReadBytes(file);
  } catch (const TFileError& error) {
    Refuse(error.what());
  }
  try {
    const int projectId = ImportProject(json, options.Value("--name"));
    PrintAdded(env, projectId, "已导入工程 " + std::to_string(projectId));
  } catch (const TModelFileError& error) {
    Refuse(file + ": " + error.what());
  }
  return 0;
}

int RunCheckCommand(TArgs& args, TCliEnv& env) {
  const int projectId = ResolveProject(args.Next("工程"));
  (void)TOptions(args.Rest(), {}, {});  // refuses any further argument
  const std::vector<std::string> problems = FindModelProblems(projectId);
  for (const auto& problem : problems) env.out << problem << '\n';
  if (problems.empty()) env.out << "模型检查通过，没有发现问题。\n";
  return problems.empty() ? 0 : 1;
}

}  // namespace vbgen::cli
