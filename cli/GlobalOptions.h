// The options that may stand anywhere on the command line: --home, --help, --version.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace vbgen::cli {

struct TGlobalOptions {
  std::optional<std::filesystem::path> home;  // --home DIR or --home=DIR
  bool help = false;                          // --help or -h
  bool version = false;                       // --version
  std::vector<std::string> words;             // everything else, in order
};

// Takes the global options out of the words; a usage error for --home without a directory.
// The value of a command's own option (say --comment -h) is never taken for a global option.
TGlobalOptions TakeGlobalOptions(const std::vector<std::string>& words);

}  // namespace vbgen::cli
