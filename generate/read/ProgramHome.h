// Where the user's model and output live and where the shipped data is read from.
//
// A portable program directory (one holding template/ and bak/ beside the executable, such as
// the build's bin/) keeps everything together, as it always has. An installed program reads its
// data from share/vbgen beside bin/ and keeps the user's model and output in the user's XDG data
// folder. --home DIR puts the model and output into DIR in both cases; every new home is seeded
// with the example project. template/ and bak/ are read from the home when it has them.
#pragma once

#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>

#include "generate/GenContext.h"

namespace vbgen {

// The program's data or the user's folder cannot be found or made; the message says what to do.
class THomeError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The parts of the environment that decide the user's data folder.
struct TUserDirs {
  std::optional<std::string> xdgDataHome;  // $XDG_DATA_HOME
  std::optional<std::string> home;         // $HOME
#if defined(_WIN32)
  std::optional<std::string> appData;  // %APPDATA%, the user's data folder on Windows
#endif

  static TUserDirs FromEnvironment();
  // $XDG_DATA_HOME/vbgen, or ~/.local/share/vbgen when it is unset or not absolute; on
  // Windows %APPDATA%\vbgen.
  std::filesystem::path DataFolder() const;
};

struct TProgramHome {
  TProgramDir programDir;
  // True when the home is the user's data folder of an installed program (seeded on start).
  bool userDataFolder = false;
};

// executableDir is the directory of the running program; homeOption the --home argument.
TProgramHome LocateProgramHome(const std::filesystem::path& executableDir,
                               const std::optional<std::filesystem::path>& homeOption,
                               const TUserDirs& userDirs);

// Makes the home ready before the model is opened: a home without projects.db is made and
// seeded with the shipped example (when the program ships one).
void PrepareProgramHome(const TProgramHome& home);

// Creates the home and, when it has no projects.db yet, one holding the shipped example
// project. A half-made database never takes the place of projects.db, and an existing one is
// never replaced. Returns true when it seeded.
bool SeedUserDataFolder(const TProgramDir& programDir);

}  // namespace vbgen
