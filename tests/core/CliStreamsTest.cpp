// stdout holds data only (keys, lists, scripts, models, the run's progress lines); every
// confirmation goes to stderr, so that `vbgen-cli ... > file` keeps only what was asked for.
#include <gtest/gtest.h>

#include <fstream>

#include "CliRunner.h"

namespace vbgen::test {
namespace fs = std::filesystem;

class CliStreamsTest : public ::testing::Test {
 protected:
  void SetUp() override { std::ofstream(home_.path() / "projects.db").close(); }

  // Succeeds, prints nothing on stdout, and says `confirmation` on stderr.
  void ExpectConfirmed(const std::string& command, const std::string& confirmation) {
    SCOPED_TRACE(command);
    const TCliRun run = cli_.Run(command);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, confirmation);
  }

  TTempDir home_;
  TCliRunner cli_{home_.path()};
};

TEST_F(CliStreamsTest, ConfirmationsGoToStderrAndDataToStdout) {
  const TCliRun added = cli_.Run("project add 书店");
  EXPECT_EQ(added.out, "1\n");
  EXPECT_EQ(added.err, "工程名称添加成功！\n");
  cli_.Ok("class add 书店 Book 图书");
  cli_.Ok("class add 书店 Reader 读者");
  cli_.Ok("member add 书店 Book --name bookId --type 整型 --must --pri");
  cli_.Ok("member add 书店 Book --name title --type 字符串 --display");
  cli_.Ok("member add 书店 Book --name price --type 浮点型 --must");
  ExpectConfirmed("member update 2 --length 40", "类成员属性更新成功!\n");
  ExpectConfirmed("member swap 2 3", "");
  ExpectConfirmed("member up 3", "");
  ExpectConfirmed("member down 2", "");
  ExpectConfirmed("member up 3", "");  // title is member 2 again, price member 3
  ExpectConfirmed("member delete 3", "成员属性删除成功\n");
  ExpectConfirmed("class update 书店 Reader Member 会员", "类名称更新成功\n");
  ExpectConfirmed("class delete 书店 Member", "类对象删除成功!\n");
  ExpectConfirmed("project rename 书店 书店2", "工程名称修改成功！\n");
  const fs::path file = home_.path() / "model.json";
  ExpectConfirmed("export 书店2 -o '" + file.string() + "'", "已导出到 " + file.string() + "\n");
  const TCliRun exported = cli_.Run("export 书店2");
  EXPECT_EQ(exported.out, ReadWhole(file));
  EXPECT_EQ(exported.err, "");
  EXPECT_EQ(cli_.Run("class list 书店2").err, "");
  EXPECT_EQ(cli_.Run("member list 书店2 Book --json").err, "");
  EXPECT_EQ(cli_.Run("sql 书店2").err, "");
}

TEST_F(CliStreamsTest, TheRunsProgressLinesStayOnStdout) {
  cli_.Ok("project add 书店");
  cli_.Ok("class add 书店 Book 图书");
  cli_.Ok("member add 书店 Book --name bookId --type 整型 --must --pri");
  cli_.Ok("member add 书店 Book --name title --type 字符串 --display");
  const TCliRun run = cli_.Run("generate 书店");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out.rfind("projects/书店/MainForm.frm生成完成!\n", 0), 0u) << run.out;
  const std::string done = "所有代码生成完毕!\n";
  ASSERT_GE(run.out.size(), done.size());
  EXPECT_EQ(run.out.substr(run.out.size() - done.size()), done);
  EXPECT_EQ(run.err.find("所有代码生成完毕"), std::string::npos);
}

}  // namespace vbgen::test

namespace vbgen::test {

TEST(CliProjectDeleteTest, TheGeneratedFolderStaysAndIsNamed) {
  TTempDir home;
  TCliRunner cli(home.path());
  const std::filesystem::path output = home.path() / "projects" / "图书馆管理";
  ASSERT_EQ(cli.Run("generate 图书馆管理").status, 0);
  std::ofstream(output / "ModMain.bas", std::ios::app) << "' my edit\r\n";
  const TCliRun deleted = cli.Run("project delete 图书馆管理");
  EXPECT_EQ(deleted.status, 0);
  EXPECT_EQ(deleted.out, "");
  EXPECT_EQ(deleted.err,
            "删除成功!\n生成的代码仍在 " + output.string() + " (没有删除; 不再需要时请自行删除)\n");
  EXPECT_EQ(cli.Ok("project list"), "");
  EXPECT_NE(ReadWhole(output / "ModMain.bas").find("' my edit"), std::string::npos);
  // A project never generated says only what the window says.
  cli.Ok("project add 书店");
  EXPECT_EQ(cli.Run("project delete 书店").err, "删除成功!\n");
}

}  // namespace vbgen::test
