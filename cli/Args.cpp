#include "cli/Args.h"

#include <algorithm>
#include <charconv>

namespace vbgen::cli {

void UsageError(const std::string& message) {
  throw TCliError(message + "\n(vbgen-cli --help 查看用法)", 2);
}

void Refuse(const std::string& message) { throw TCliError(message, 1); }

std::optional<int> ParseInt(const std::string& text) {
  int value = 0;
  auto [rest, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || rest != text.data() + text.size())
    return std::nullopt;
  return value;
}

std::string TArgs::Next(const char* what) {
  if (pos_ >= words_.size() || words_[pos_].rfind("--", 0) == 0) {
    UsageError(std::string("缺少参数: ") + what);
  }
  return words_[pos_++];
}

int TArgs::NextInt(const char* what) {
  std::string word = Next(what);
  auto value = ParseInt(word);
  if (!value) UsageError(std::string(what) + " 必须是整数: " + word);
  return *value;
}

namespace {
constexpr const char* kIdOption = "--id";
}

TProjectRef TArgs::NextProject(const char* what) {
  if (pos_ < words_.size() && words_[pos_] == kIdOption)
    return {TProjectRef::TKind::Id, std::to_string(NextId(what))};
  const std::string word = Next(what);
  if (word.rfind('=', 0) == 0) return {TProjectRef::TKind::Name, word.substr(1)};
  return {TProjectRef::TKind::IdOrName, word};
}

int TArgs::NextId(const char* what) {
  if (pos_ < words_.size() && words_[pos_] == kIdOption) {
    ++pos_;
    if (pos_ >= words_.size()) UsageError(std::string("选项 --id 缺少") + what);
  }
  return NextInt(what);
}

std::size_t TArgs::PositionalsLeft() const {
  std::size_t count = 0;
  for (std::size_t at = pos_; at < words_.size(); ++at, ++count) {
    if (words_[at] == kIdOption) {
      ++at;  // its value belongs to it
    } else if (words_[at].rfind("--", 0) == 0) {
      break;
    }
  }
  return count;
}

std::vector<std::string> TArgs::Rest() {
  std::vector<std::string> rest(words_.begin() + static_cast<std::ptrdiff_t>(pos_), words_.end());
  pos_ = words_.size();
  return rest;
}

void TArgs::ExpectEnd() const {
  if (pos_ < words_.size()) UsageError("无法识别的参数: " + words_[pos_]);
}

TOptions::TOptions(const std::vector<std::string>& words, const std::vector<std::string>& flags,
                   const std::vector<std::string>& valued) {
  auto known = [](const std::vector<std::string>& list, const std::string& word) {
    return std::find(list.begin(), list.end(), word) != list.end();
  };
  for (std::size_t i = 0; i < words.size(); ++i) {
    const std::string& word = words[i];
    const std::size_t equals = word.rfind("--", 0) == 0 ? word.find('=') : std::string::npos;
    if (equals != std::string::npos && known(valued, word.substr(0, equals))) {
      values_.emplace_back(word.substr(0, equals), word.substr(equals + 1));  // --name=VALUE
    } else if (known(flags, word)) {
      flagsSeen_.push_back(word);
    } else if (known(valued, word)) {
      if (i + 1 >= words.size()) UsageError("选项 " + word + " 缺少值");
      values_.emplace_back(word, words[++i]);
    } else {
      UsageError("无法识别的参数: " + word);
    }
  }
}

bool TOptions::Has(const std::string& flag) const {
  return std::find(flagsSeen_.begin(), flagsSeen_.end(), flag) != flagsSeen_.end();
}

std::optional<std::string> TOptions::Value(const std::string& name) const {
  std::optional<std::string> found;
  for (const auto& [key, value] : values_) {
    if (key == name) found = value;
  }
  return found;
}

}  // namespace vbgen::cli
