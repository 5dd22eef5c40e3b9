// A word that is one project's key and another project's name is refused by every command that
// takes a project, and "--id N" and "=NAME" say which is meant.
#include <gtest/gtest.h>

#include <fstream>

#include "CliRunner.h"

namespace vbgen::test {
namespace fs = std::filesystem;

class CliReferenceTest : public ::testing::Test {
 protected:
  // 书店 is project 1, 报刊 project 2, and the project named "1" is project 3; each has a class
  // Book with one member, so that the class and member commands have something to find.
  void SetUp() override {
    std::ofstream(home_.path() / "projects.db").close();  // a model of its own, no example
    for (const char* name : {"书店", "报刊", "1"}) {
      cli_.Ok(std::string("project add ") + name);
      cli_.Ok(std::string("class add =") + name + " Book 图书");
      cli_.Ok(std::string("member add =") + name + " Book --name bookId --type 整型 --must --pri");
    }
    before_ = cli_.Ok("project list");
  }

  // The command is refused, says how to choose, and changes nothing.
  void ExpectAmbiguous(const std::string& command) {
    SCOPED_TRACE(command);
    const TCliRun run = cli_.Run(command);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("既是工程编号 1 (书店), 又是工程 3 的名称"), std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("--id 1"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("=1"), std::string::npos) << run.err;
    EXPECT_EQ(cli_.Ok("project list"), before_);
    EXPECT_EQ(cli_.Ok("class list --id 1"), "1\tBook\t图书\t1\n");
    EXPECT_EQ(cli_.Ok("class list --id 3"), "3\tBook\t图书\t1\n");
    EXPECT_NE(cli_.Ok("member list --id 1 Book --json").find("\"memberId\": 1,"),
              std::string::npos);
    EXPECT_FALSE(fs::exists(home_.path() / "projects"));
  }

  TTempDir home_;
  TCliRunner cli_{home_.path()};
  std::string before_;
};

TEST_F(CliReferenceTest, EveryCommandThatTakesAProjectRefusesTheAmbiguousWord) {
  for (const char* command :
       {"project delete 1", "project rename 1 新名", "class list 1", "class add 1 Reader 读者",
        "class update 1 Book Volume 卷", "class delete 1 Book", "member list 1 Book",
        "member add 1 Book --name title --type 字符串", "generate 1", "generate 1 --dry-run",
        "sql 1", "sql 1 --complete", "check 1", "check 1 --json", "export 1"}) {
    ExpectAmbiguous(command);
  }
  const fs::path file = home_.path() / "out.json";
  ExpectAmbiguous("export 1 -o '" + file.string() + "'");
  EXPECT_FALSE(fs::exists(file));
}

TEST_F(CliReferenceTest, IdAndNameFormsChooseEitherProject) {
  // =1 is the project named 1, --id 1 the project with key 1; the plain word 2 is no name.
  EXPECT_EQ(cli_.Run("project rename =1 壹").status, 0);
  EXPECT_EQ(cli_.Run("project rename --id 1 书店新").status, 0);
  EXPECT_EQ(cli_.Ok("project list"), "1\t书店新\n2\t报刊\n3\t壹\n");
  EXPECT_EQ(cli_.Ok("class add 2 Reader 读者"), "4\n");
  EXPECT_EQ(cli_.Ok("class list =报刊"), "2\tBook\t图书\t1\n4\tReader\t读者\t1\n");
  EXPECT_EQ(cli_.Run("class delete --id 4").status, 0);
  EXPECT_NE(cli_.Ok("export --id 3").find("\"壹\""), std::string::npos);
  EXPECT_EQ(cli_.Run("project delete --id 3").status, 0);
  EXPECT_EQ(cli_.Ok("project list"), "1\t书店新\n2\t报刊\n");
}

TEST_F(CliReferenceTest, AWordThatIsOnlyAnIdOrOnlyANameStillWorks) {
  cli_.Ok("project rename --id 2 2");  // project 2 is named 2: the same project either way
  EXPECT_EQ(cli_.Ok("class list 2"), "2\tBook\t图书\t1\n");
  EXPECT_EQ(cli_.Ok("class list 书店"), "1\tBook\t图书\t1\n");
  cli_.Ok("project add 7");  // no project has the key 7: the name is meant
  EXPECT_EQ(cli_.Ok("class add 7 Shelf 书架"), "4\n");
}

TEST_F(CliReferenceTest, WrongFormsAreRefusedWithTheirReason) {
  const TCliRun missing = cli_.Run("class list --id 9");
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.err, "工程不存在: 编号 9\n");
  EXPECT_EQ(cli_.Run("class list =9").err, "工程不存在: 9\n");
  EXPECT_EQ(cli_.Run("class list --id 书店").status, 2);
  EXPECT_EQ(cli_.Run("class list --id").status, 2);
  cli_.Ok("project add 报刊二");
  cli_.Ok("project rename 报刊二 报刊");  // the rename box accepts a name another project has
  const TCliRun twice = cli_.Run("class list 报刊");
  EXPECT_EQ(twice.status, 1);
  EXPECT_EQ(twice.err, "有多个工程名为 报刊，请用工程编号指定 (编号 2, 4; 如 --id 2)\n");
  EXPECT_EQ(cli_.Ok("class list --id 4"), "");
}

}  // namespace vbgen::test
