#pragma once

#include <iosfwd>

#include "cli/Args.h"
#include "generate/GenContext.h"

namespace vbgen::cli {

// Where a command prints, and the program directory it works in.
struct TCliEnv {
  TProgramDir programDir;
  std::ostream& out;
  std::ostream& err;
};

int RunProjectCommand(TArgs& args, TCliEnv& env);
int RunClassCommand(TArgs& args, TCliEnv& env);
int RunMemberCommand(TArgs& args, TCliEnv& env);
int RunGenerateCommand(TArgs& args, TCliEnv& env);
int RunSqlCommand(TArgs& args, TCliEnv& env);
int RunExportCommand(TArgs& args, TCliEnv& env);
int RunImportCommand(TArgs& args, TCliEnv& env);
int RunCheckCommand(TArgs& args, TCliEnv& env);
int RunImportSqlCommand(TArgs& args, TCliEnv& env);

// A projectId in decimal or a project name; refuses a missing or ambiguous one.
int ResolveProject(const std::string& reference);

}  // namespace vbgen::cli
