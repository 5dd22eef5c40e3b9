// Models as text, and the model check.
#include <fstream>
#include <nlohmann/json.hpp>
#include <ostream>
#include <sstream>

#include "cli/Commands.h"
#include "cli/Hints.h"
#include "generate/check/ModelCheck.h"
#include "generate/write/FileOperate.h"
#include "model/ModelFile.h"
#include "model/Utf8Path.h"

namespace vbgen::cli {

int RunExportCommand(TArgs& args, TCliEnv& env) {
  const int projectId = ResolveProject(args.NextProject("工程"));
  TOptions options(args.Rest(), {}, {"-o", "--output"});
  const std::string json = ExportProject(projectId);
  auto file = options.Value("-o");
  if (!file) file = options.Value("--output");
  if (!file) {
    env.out << json;
    return 0;
  }
  const std::filesystem::path path = std::filesystem::absolute(Utf8Path(*file));
  TFileOperate::WriteTextFile(path.parent_path(), path, json);
  Confirm(env, "已导出到 " + path.string());
  return 0;
}

int RunImportCommand(TArgs& args, TCliEnv& env) {
  const std::string file = args.Next("模型文件");
  TOptions options(args.Rest(), {}, {"--name"});
  std::string json;
  try {
    json = TFileOperate::ReadBytes(Utf8Path(file));
  } catch (const TFileError& error) {
    Refuse(error.what());
  }
  try {
    const int projectId = ImportProject(json, options.Value("--name"));
    PrintAdded(env, projectId, "已导入工程 " + std::to_string(projectId));
  } catch (const TModelFileError& error) {
    Refuse(WithNameOption(file + ": " + error.what()));
  }
  return 0;
}

namespace {

nlohmann::ordered_json OptionalName(const std::optional<std::string>& name) {
  return name ? nlohmann::ordered_json(*name) : nlohmann::ordered_json(nullptr);
}

// The check's list for scripts: the same problems, in the same order, with the parts apart.
std::string CheckAsJson(const std::string& projectName,
                        const std::vector<TModelProblem>& problems) {
  nlohmann::ordered_json list = nlohmann::ordered_json::array();
  std::size_t errors = 0;
  for (const TModelProblem& problem : problems) {
    const bool error = problem.severity == TSeverity::Error;
    errors += error ? 1 : 0;
    list.push_back({{"severity", error ? "error" : "warning"},
                    {"project", problem.projectName},
                    {"class", OptionalName(problem.className)},
                    {"member", OptionalName(problem.memberName)},
                    {"message", problem.text},
                    {"line", problem.Line()}});
  }
  nlohmann::ordered_json out = {{"project", projectName},
                                {"errors", errors},
                                {"warnings", problems.size() - errors},
                                {"problems", std::move(list)}};
  // Names from another tool may hold bytes that are not UTF-8: they are replaced, not fatal.
  return out.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}

}  // namespace

// One line per problem, errors first; exit status 1 when any is an error, 0 with warnings only.
int RunCheckCommand(TArgs& args, TCliEnv& env) {
  const int projectId = ResolveProject(args.NextProject("工程"));
  TOptions options(args.Rest(), {"--json", "--complete"}, {});
  const std::optional<TModelSnapshot> model = ReadModelSnapshot(projectId);
  if (!model) Refuse("工程不存在: " + std::to_string(projectId));
  const std::vector<TModelProblem> problems =
      CheckModel(*model, TRunOptions{.complete = options.Has("--complete")});
  if (options.Has("--json")) {
    env.out << CheckAsJson(model->ProjectName(), problems);
  } else {
    for (const TModelProblem& problem : problems)
      env.out << ProblemLine(projectId, problem) << '\n';
    if (problems.empty()) env.out << "模型检查通过，没有发现问题。\n";
  }
  return FirstError(problems) ? 1 : 0;
}

}  // namespace vbgen::cli
