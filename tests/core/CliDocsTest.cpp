// The man page and the bash completion name every command, subcommand and option that
// `vbgen-cli --help` lists, so that neither lags behind the program.
#include <gtest/gtest.h>

#include <regex>
#include <set>

#include "CliRunner.h"
#include "TestSupport.h"

namespace vbgen::test {
namespace {

std::set<std::string> Matches(const std::string& text, const std::string& pattern, int group = 1) {
  std::set<std::string> found;
  const std::regex expression(pattern);
  for (std::sregex_iterator it(text.begin(), text.end(), expression), end; it != end; ++it) {
    found.insert((*it)[group].str());
  }
  return found;
}

// The page as it reads: font changes, quotes and escaped hyphens taken out.
std::string ManText() {
  std::string text = ReadWhole(SourceDir() / "data" / "man" / "vbgen-cli.1");
  text = std::regex_replace(text, std::regex(R"(\\f[BIRP])"), "");
  text = std::regex_replace(text, std::regex(R"(\\-)"), "-");
  text = std::regex_replace(text, std::regex("\""), "");
  return text;
}

bool HasWord(const std::string& text, const std::string& word) {
  return std::regex_search(text, std::regex("(^|[^-a-z])" + word + "($|[^-a-z])"));
}

class CliDocsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const TCliRun help = cli_.Run("--help");
    ASSERT_EQ(help.status, 0);
    help_ = help.out;
    commands_ = Matches(help_, R"((?:^|\n)  ([a-z][a-z-]*) )");
    for (const std::string& option :
         Matches(help_, R"((--\[no-\]|--|[\s\[]-)([a-z]([a-z-]*[a-z])?))", 0)) {
      const std::string name = std::regex_replace(option, std::regex(R"(^[\s\[])"), "");
      if (name.rfind("--[no-]", 0) == 0) {
        options_.insert("--" + name.substr(7));
        options_.insert("--no-" + name.substr(7));
      } else {
        options_.insert(name);
      }
    }
  }

  TTempDir home_;
  TCliRunner cli_{home_.path()};
  std::string help_;
  std::set<std::string> commands_, options_;
};

TEST_F(CliDocsTest, TheHelpListsWhatTheProgramTakes) {
  // The derived lists are what the checks below rest on: they must not come out empty.
  EXPECT_EQ(commands_, (std::set<std::string>{"check", "class", "export", "generate", "import",
                                              "import-sql", "member", "project", "sql"}));
  for (const char* option : {"--home", "--help", "--version", "--id", "--json", "--complete",
                             "--dry-run", "--no-pri", "--query-display", "-o", "--name"}) {
    EXPECT_TRUE(options_.count(option)) << option;
  }
  for (const std::string& command : commands_) {
    EXPECT_EQ(cli_.Run(command + " --help").status, 0) << command;
  }
}

TEST_F(CliDocsTest, TheManPageNamesEveryCommandSubcommandAndOption) {
  const std::string man = ManText();
  for (const std::string& command : commands_) {
    EXPECT_TRUE(std::regex_search(man, std::regex("\\n\\.[A-Z]+ " + command + " "))) << command;
    for (const std::string& verb : Matches(help_, "\\b" + command + " ([a-z]+)\\b")) {
      if (verb == "MEMBERID") continue;
      EXPECT_TRUE(std::regex_search(man, std::regex(command + " ([a-z]+\\|)?" + verb + "\\b")))
          << command << " " << verb;
    }
  }
  for (const std::string& option : options_) EXPECT_TRUE(HasWord(man, option)) << option;
  // check --json prints one object, the lists an array.
  EXPECT_NE(man.find("check :\na JSON object"), std::string::npos);
  EXPECT_EQ(cli_.Run("check x --json").status, 1);
}

TEST_F(CliDocsTest, TheCompletionOffersEveryCommandAndOption) {
  const std::string completion = ReadWhole(SourceDir() / "data" / "completion" / "vbgen-cli");
  const std::set<std::string> offered =
      Matches(completion, R"re(compgen -W "(project class member [^"]*)")re");
  ASSERT_FALSE(offered.empty());
  for (const std::string& list : offered) {
    for (const std::string& command : commands_) {
      EXPECT_TRUE(HasWord(list, command)) << command << " in: " << list;
    }
  }
  for (const std::string& option : options_) EXPECT_TRUE(HasWord(completion, option)) << option;
  for (const std::string& verb : Matches(help_, R"(\bmember ([a-z]+)\b)")) {
    EXPECT_TRUE(HasWord(completion, verb)) << verb;
  }
}

}  // namespace
}  // namespace vbgen::test
