// The generation commands: a whole run, and the table-creation script.
#include <ostream>

#include "cli/Commands.h"
#include "generate/AutoCode.h"
#include "generate/ModelCheck.h"
#include "generate/SqlScript.h"
#include "model/ClassDAO.h"

namespace vbgen::cli {
namespace {

// Prints what the window would show: progress on stdout, refusals on stderr.
class TCliRunListener : public TRunListener {
 public:
  explicit TCliRunListener(TCliEnv& env) : env_(env) {}

  void Progress(const std::string& line) override { env_.out << line << '\n' << std::flush; }
  void KeyCheckFailed(int failedClassId) override {
    Fail(TClassDAO().GetClassNameById(failedClassId) + kKeyCheckText);
  }
  void DisplayCheckFailed(int failedClassId) override {
    Fail(TClassDAO().GetClassNameById(failedClassId) + kDisplayCheckText);
  }
  void GenerationDone() override {
    env_.out << "所有代码生成完毕!\n";
    done_ = true;
  }
  void RunFailed(const std::string& message) override { Fail(message); }

  bool done() const { return done_; }

 private:
  void Fail(const std::string& message) { env_.err << message << '\n'; }

  TCliEnv& env_;
  bool done_ = false;
};

}  // namespace

int RunGenerateCommand(TArgs& args, TCliEnv& env) {
  const int projectId = ResolveProject(args.Next("工程"));
  TOptions(args.Rest(), {}, {});
  TCliRunListener listener(env);
  TAutoCode run(projectId, "tavorin", env.programDir, listener);
  run.Execute();
  return listener.done() ? 0 : 1;
}

int RunSqlCommand(TArgs& args, TCliEnv& env) {
  const int projectId = ResolveProject(args.Next("工程"));
  TOptions(args.Rest(), {}, {});
  try {
    env.out << BuildTableScript(projectId);
  } catch (const TScriptError& error) {
    Refuse(error.what());
  }
  return 0;
}

}  // namespace vbgen::cli
