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

// One command of vbgen-cli: its first word, what runs it, and its part of the help.
struct TCommand {
  const char* name;
  int (*run)(TArgs& args, TCliEnv& env);
  const char* help;
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

// A projectId in decimal or a project name; refuses a missing one, and a word that is one
// project's key and another's name.
int ResolveProject(const TProjectRef& reference);

// An added row's key on stdout, alone on its line so that a script can take it; the
// confirmation the window would show goes to stderr.
void PrintAdded(TCliEnv& env, int id, const std::string& message);
// What the window would confirm in a box goes to stderr: stdout holds only data.
void Confirm(TCliEnv& env, const std::string& message);

}  // namespace vbgen::cli
