#include "cli/GlobalOptions.h"

#include <algorithm>

#include "cli/Args.h"
#include "model/Utf8Path.h"

namespace vbgen::cli {
namespace {

// The options of the commands that take a value; the word after one is that value.
bool TakesValue(const std::string& word) {
  static const char* const kValued[] = {"--name",     "--type",      "--length", "--comment",
                                        "--sql-type", "--precision", "--scale",  "-o",
                                        "--output",   "--id"};
  return std::any_of(std::begin(kValued), std::end(kValued),
                     [&](const char* option) { return word == option; });
}

}  // namespace

TGlobalOptions TakeGlobalOptions(const std::vector<std::string>& words) {
  TGlobalOptions options;
  for (std::size_t i = 0; i < words.size(); ++i) {
    const std::string& word = words[i];
    if (word == "--home") {
      if (i + 1 >= words.size() || words[i + 1].empty()) UsageError("选项 --home 缺少目录");
      options.home = vbgen::Utf8Path(words[++i]);
    } else if (word.rfind("--home=", 0) == 0) {
      if (word.size() == 7) UsageError("选项 --home 缺少目录");
      options.home = vbgen::Utf8Path(word.substr(7));
    } else if (word == "--help" || word == "-h") {
      options.help = true;
    } else if (word == "--version") {
      options.version = true;
    } else {
      options.words.push_back(word);
      if (TakesValue(word) && i + 1 < words.size()) options.words.push_back(words[++i]);
    }
  }
  return options;
}

}  // namespace vbgen::cli
