// Failures a user meets on a home they cannot write to, and on a name taken twice: the message
// says what failed, in Chinese, and what to do.
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>

#include "CliRunner.h"
#include "TestSupport.h"

namespace vbgen::test {
namespace fs = std::filesystem;

// A home holding the example model that the user running the program may read but not write.
// Root writes anywhere, so as root the program runs as nobody instead.
class CliReadOnlyHomeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::ofstream(home_.path() / "projects.db").close();
    cli_.Ok("import '" + (SourceDir() / "data" / "examples" / "library.json").string() + "'");
    fs::permissions(home_.path(),
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    fs::permissions(home_.path() / "projects.db",
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
  }
  void TearDown() override {
    fs::permissions(home_.path(), fs::perms::owner_all, fs::perm_options::add);
  }

  TCliRun RunReadOnly(const std::string& arguments) const {
    const bool root = ::geteuid() == 0;
    return cli_.Run(arguments, root ? "setpriv --reuid=65534 --regid=65534 --clear-groups" : "");
  }

  TTempDir home_;
  TCliRunner cli_{home_.path()};
};

TEST_F(CliReadOnlyHomeTest, TheRunSaysItFailedAndWhyInChinese) {
  const TCliRun run = RunReadOnly("generate 图书馆管理");
  EXPECT_EQ(run.status, 1);
  const std::string why = "生成失败, 代码没有全部生成: 无法创建目录 " +
                          (home_.path() / "projects").string() + ": 没有权限 (Permission denied)\n";
  EXPECT_EQ(run.err, why);
  EXPECT_EQ(run.out.find("所有代码生成完毕"), std::string::npos);
  EXPECT_FALSE(fs::exists(home_.path() / "projects"));
}

TEST_F(CliReadOnlyHomeTest, SqliteTextIsTranslatedWithTheEnglishKept) {
  const std::string before = cli_.Ok("project list");
  const TCliRun add = RunReadOnly("project add 新工程");
  EXPECT_EQ(add.status, 1);
  EXPECT_EQ(add.out, "");
  EXPECT_EQ(add.err, "模型数据库是只读的，无法保存修改 (" +
                         (home_.path() / "projects.db").string() +
                         "): 试图写入只读的数据库 (attempt to write a readonly database)\n");
  EXPECT_EQ(cli_.Ok("project list"), before);
  // Reading needs no writing: lists, the check and the script still work.
  EXPECT_EQ(RunReadOnly("project list").out, before);
  EXPECT_EQ(RunReadOnly("check 图书馆管理").status, 0);
  EXPECT_EQ(RunReadOnly("sql 图书馆管理").status, 0);
}

class CliImportTwiceTest : public ::testing::Test {
 protected:
  void SetUp() override { std::ofstream(home_.path() / "projects.db").close(); }
  TTempDir home_;
  TCliRunner cli_{home_.path()};
};

TEST_F(CliImportTwiceTest, ATakenNameNamesTheNameOption) {
  const fs::path script = home_.path() / "书店.sql";
  fs::copy_file(SourceDir() / "tests" / "golden" / "script_book_example.sql", script);
  cli_.Ok("import-sql '" + script.string() + "'");
  const TCliRun again = cli_.Run("import-sql '" + script.string() + "'");
  EXPECT_EQ(again.status, 1);
  EXPECT_EQ(again.out, "");
  EXPECT_NE(again.err.find(
                script.string() +
                ": 工程名称\"书店\": 该工程名称已经存在! (用 --name 新名称 另取一个工程名称)\n"),
            std::string::npos)
      << again.err;
  EXPECT_EQ(cli_.Ok("import-sql '" + script.string() + "' --name 书店二"), "2\n");

  const std::string example = (SourceDir() / "data" / "examples" / "library.json").string();
  cli_.Ok("import '" + example + "'");
  const TCliRun model = cli_.Run("import '" + example + "'");
  EXPECT_EQ(model.status, 1);
  EXPECT_EQ(model.err, example +
                           ": 模型文件的字段projectName: 该工程名称已经存在! (用 --name 新名称 "
                           "另取一个工程名称)\n");
  EXPECT_EQ(cli_.Ok("project list"), "1\t书店\n2\t书店二\n3\t图书馆管理\n");
}

}  // namespace vbgen::test
