// Runs the real vbgen-cli in a home of its own and keeps what it printed.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/common/TempDir.h"

namespace vbgen::test {

struct TCliRun {
  int status;
  std::string out, err;
};

inline std::string ReadWhole(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Arguments are written as a shell would take them (quotes and all).
class TCliRunner {
 public:
  // `program` is the build's vbgen-cli unless a test has copied it elsewhere.
  explicit TCliRunner(std::filesystem::path home, std::filesystem::path program = VBGEN_CLI)
      : home_(std::move(home)), program_(std::move(program)) {}

  // Runs with --home HOME first; `prefix` goes before the program (say "env LANG=C").
  TCliRun Run(const std::string& arguments, const std::string& prefix = "") const {
    return RunBare("--home '" + home_.string() + "' " + arguments, prefix);
  }
  // Runs with exactly these arguments.
  TCliRun RunBare(const std::string& arguments, const std::string& prefix = "") const {
    const auto out = output_.path() / "stdout", err = output_.path() / "stderr";
    const std::string command = prefix + " '" + program_.string() + "' " + arguments + " >'" +
                                out.string() + "' 2>'" + err.string() + "' </dev/null";
    const int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadWhole(out), ReadWhole(err)};
  }
  // A command that must succeed; its stdout.
  std::string Ok(const std::string& arguments) const {
    const TCliRun result = Run(arguments);
    EXPECT_EQ(result.status, 0) << arguments << "\n" << result.err;
    return result.out;
  }
  const std::filesystem::path& Home() const { return home_; }

 private:
  std::filesystem::path home_;
  std::filesystem::path program_;
  TTempDir output_;
};

}  // namespace vbgen::test
