// The generation commands: a whole run, and the table-creation script.
#include <filesystem>
#include <nlohmann/json.hpp>
#include <ostream>
#include <sstream>

#include "cli/Commands.h"
#include "cli/ErrorText.h"
#include "cli/Hints.h"
#include "generate/AutoCode.h"
#include "generate/check/ModelCheck.h"
#include "generate/emit/SqlScript.h"
#include "generate/write/PlanSink.h"
#include "model/ClassDAO.h"
#include "model/ProjectDAO.h"

namespace vbgen::cli {
namespace {

// How a dry run names each kind of change, in the order of TPlannedChange.
constexpr const char* kPlanWords[] = {"新建", "修改", "修改(有手工修改,将备份)",
                                      "不变", "保留", "保留(有手工修改)"};
// The same for scripts (--json).
constexpr const char* kPlanKeys[] = {"create",    "change", "change-hand-edited",
                                     "unchanged", "kept",   "kept-hand-edited"};

// Prints what the window would show: progress on stdout, refusals on stderr.
class TCliRunListener : public TRunListener {
 public:
  TCliRunListener(TCliEnv& env, std::ostream& progress) : env_(env), progress_(progress) {}

  void Progress(const std::string& line) override {
    progress_ << line << '\n' << std::flush;
    progressed_ = true;
  }
  void KeyCheckFailed(const TNamedId& failedClass) override {
    Fail(KeyCheckMessage(failedClass.id));
  }
  void DisplayCheckFailed(const TNamedId& failedClass) override {
    Fail(DisplayCheckMessage(failedClass.id));
  }
  void GenerationDone() override {
    progress_ << "所有代码生成完毕!\n";
    done_ = true;
  }
  // Once progress lines have been printed (one may even name a failure of its own, a record
  // not saved), the failure says that the run as a whole did not finish. A model refused
  // before anything was written keeps its message alone.
  void RunFailed(const std::string& message) override {
    Fail((progressed_ ? "生成失败, 代码没有全部生成: " : "") + InChinese(message));
  }

  bool done() const { return done_; }

 private:
  void Fail(const std::string& message) { env_.err << message << '\n'; }

  TCliEnv& env_;
  std::ostream& progress_;
  bool done_ = false;
  bool progressed_ = false;
};

}  // namespace

namespace {

// A dry run: the whole run with its checks, into a sink that only notes what would happen.
int PlanRun(int projectId, bool json, const TRunOptions& options, TCliEnv& env) {
  std::ostringstream quiet;  // a dry run prints its plan, not the progress lines
  TCliRunListener listener(env, quiet);
  TPlanSink plan(env.programDir.Home(), TProjectDAO().GetProjectName(projectId).value_or(""));
  TAutoCode run(projectId, "tavorin", env.programDir, listener);
  run.SetSink(&plan);
  run.SetOptions(options);
  run.Execute();
  if (!listener.done()) return 1;
  nlohmann::ordered_json list = nlohmann::ordered_json::array();
  std::vector<TPlanSink::TEntry> entries = plan.Entries();
  for (TPlanSink::TEntry& kept : plan.LeftAsTheyAre()) entries.push_back(std::move(kept));
  for (const auto& entry : entries) {
    const int change = static_cast<int>(entry.change);
    if (json)
      list.push_back({{"change", kPlanKeys[change]}, {"path", entry.path}});
    else
      env.out << kPlanWords[change] << '\t' << entry.path << '\n';
  }
  if (json) {
    env.out << list.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << '\n';
  }
  return 0;
}

}  // namespace

namespace {

// A run reads template/ and bak/ from the home, else from the program's data; a missing one is
// named with both places and where a copy comes from.
void RequireShippedFolder(const TProgramDir& dir, const char* folder) {
  std::error_code error;
  const std::filesystem::path own = dir.Home() / folder, shipped = dir.ShippedDir() / folder;
  if (std::filesystem::is_directory(own, error) || std::filesystem::is_directory(shipped, error))
    return;
  std::string where = own.string();
  if (shipped != own) where += " 和 " + shipped.string();
  Refuse(std::string("找不到 ") + folder + " 目录: " + where + " 都不存在。请把程序自带的 " +
         folder + " 目录 (源代码中的 data/" + folder + ", 或安装后的 /usr/share/vbgen/" + folder +
         ") 复制到 " + own.string() + "; 编辑模型的命令不需要它");
}

}  // namespace

int RunGenerateCommand(TArgs& args, TCliEnv& env) {
  const int projectId = ResolveProject(args.NextProject("工程"));
  TOptions options(args.Rest(), {"--dry-run", "--json", "--complete"}, {});
  RequireShippedFolder(env.programDir, "template");
  RequireShippedFolder(env.programDir, "bak");
  if (options.Has("--json") && !options.Has("--dry-run")) UsageError("--json 只用于 --dry-run");
  TRunOptions runOptions;
  runOptions.complete = options.Has("--complete");
  if (options.Has("--dry-run")) return PlanRun(projectId, options.Has("--json"), runOptions, env);
  TCliRunListener listener(env, env.out);
  TAutoCode run(projectId, "tavorin", env.programDir, listener);
  run.SetOptions(runOptions);
  run.Execute();
  return listener.done() ? 0 : 1;
}

namespace {

// The script is half of what a run makes: a model the run refuses gets no script either, and
// every error is named, as check names it.
void RefuseModelWithErrors(int projectId, const TRunOptions& mode) {
  const std::optional<TModelSnapshot> model = ReadModelSnapshot(projectId);
  if (!model) Refuse("工程不存在: 编号 " + std::to_string(projectId));
  std::string errors;
  for (const TModelProblem& problem : CheckModel(*model, mode)) {
    if (problem.severity != TSeverity::Error) continue;
    errors += (errors.empty() ? "" : "\n") + ProblemLine(projectId, problem);
  }
  if (!errors.empty()) Refuse(errors);
}

}  // namespace

int RunSqlCommand(TArgs& args, TCliEnv& env) {
  const int projectId = ResolveProject(args.NextProject("工程"));
  TOptions options(args.Rest(), {"--complete", "--app-tables-only"}, {});
  // Only the complete application keeps its operators' passwords as hashes; the plain one
  // needs the whole script of its own.
  if (options.Has("--app-tables-only") && !options.Has("--complete"))
    UsageError("--app-tables-only 只用于 --complete");
  RefuseModelWithErrors(projectId, TRunOptions{.complete = options.Has("--complete")});
  try {
    if (options.Has("--app-tables-only")) {
      env.out << BuildAppTablesScript(projectId);
      return 0;
    }
    env.out << (options.Has("--complete") ? BuildRerunnableTableScript(projectId)
                                          : BuildTableScript(projectId));
  } catch (const TScriptError& error) {
    Refuse(error.what());
  }
  return 0;
}

}  // namespace vbgen::cli
