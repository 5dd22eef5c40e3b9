// Reading the command line: positional words and options, with errors a user can act on.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace vbgen::cli {

// A refused command: the message goes to stderr, the status is the exit code.
class TCliError : public std::runtime_error {
 public:
  TCliError(const std::string& message, int status) : std::runtime_error(message), status(status) {}
  int status;
};

// Exit status 2 with the usage hint.
[[noreturn]] void UsageError(const std::string& message);
// Exit status 1: the input was understood but refused.
[[noreturn]] void Refuse(const std::string& message);

// How the user named a project: a word that may be a projectId or a name, or one of the two
// forms that say which ("--id N" and "=NAME").
struct TProjectRef {
  enum class TKind { IdOrName, Id, Name };
  TKind kind = TKind::IdOrName;
  std::string text;  // the word without "--id" or "="
};

class TArgs {
 public:
  explicit TArgs(std::vector<std::string> words) : words_(std::move(words)) {}

  // The next positional word; a usage error naming what was expected when there is none.
  std::string Next(const char* what);
  bool HasMore() const { return pos_ < words_.size(); }
  // A PROJECT: "--id N", "=NAME" or one word that may be either.
  TProjectRef NextProject(const char* what);
  // A key that may be written "--id N" as well as "N".
  int NextId(const char* what);
  // How many positional words come before the first option ("--id N" counts as one).
  std::size_t PositionalsLeft() const;
  // The remaining words, for option parsing.
  std::vector<std::string> Rest();
  // A positional word that must be a decimal integer.
  int NextInt(const char* what);
  // For commands that take nothing more: a usage error naming the first word left over.
  void ExpectEnd() const;

 private:
  std::vector<std::string> words_;
  std::size_t pos_ = 0;
};

// Options after the positional words: "--flag", "--name VALUE" or "--name=VALUE".
class TOptions {
 public:
  TOptions(const std::vector<std::string>& words, const std::vector<std::string>& flags,
           const std::vector<std::string>& valued);
  bool Has(const std::string& flag) const;
  std::optional<std::string> Value(const std::string& name) const;

 private:
  std::vector<std::string> flagsSeen_;
  std::vector<std::pair<std::string, std::string>> values_;
};

std::optional<int> ParseInt(const std::string& text);

}  // namespace vbgen::cli
