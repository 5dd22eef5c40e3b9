// The dialogs' messages name their check boxes; the command line keeps each message and names
// the option that mends it, and says whether a class lacks its key or has too many.
#include <gtest/gtest.h>

#include <fstream>

#include "CliRunner.h"

namespace vbgen::test {

class CliHintsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::ofstream(home_.path() / "projects.db").close();
    cli_.Ok("project add p");
    cli_.Ok("class add p Book 图书");
    cli_.Ok("member add p Book --name bookId --type 整型 --must --pri");
    cli_.Ok("member add p Book --name title --type 字符串 --display");
    members_ = cli_.Ok("member list p Book");
  }

  void ExpectRefused(const std::string& command, const std::string& message) {
    SCOPED_TRACE(command);
    const TCliRun run = cli_.Run(command);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, message + "\n");
    EXPECT_EQ(cli_.Ok("member list p Book"), members_);
  }

  TTempDir home_;
  TCliRunner cli_{home_.path()};
  std::string members_;
};

TEST_F(CliHintsTest, EveryMemberRuleNamesTheOptionThatMendsIt) {
  ExpectRefused("member add p Book --type 字符串", "成员名称输入不能为空! (--name)");
  ExpectRefused("member add p Book --name a-b",
                "成员名称只能由字母、数字、下划线或汉字组成! (--name)");
  ExpectRefused("member add p Book --name price --type 浮点型",
                "浮点型必须勾选是否必填标志! (--must)");
  ExpectRefused("member add p Book --name code --type 字符串 --pri --no-query-display",
                "主键字段需要参与显示! (--query-display)");
  ExpectRefused("member add p Book --name n --type 整型 --must --query",
                "参与查询的字段不能是整型 (--no-query)");
  ExpectRefused("member add p Book --name n --comment 'a\"b'",
                "成员注释不能包含双引号或控制字符! (--comment)");
  ExpectRefused("member add p Book --name n --length 0", "字符串长度必须大于0! (--length)");
  ExpectRefused("member update 2 --no-query-display --pri",
                "主键字段需要参与显示! (--query-display)");
  const TCliRun type = cli_.Run("member add p Book --name n --type 文本");
  EXPECT_EQ(type.status, 1);
  EXPECT_EQ(type.err, "成员类型必须是下列之一: 字符串, 整型, 浮点型, 日期型, 图片型 (--type)\n");
  // Messages that no option mends stay as they are.
  EXPECT_EQ(cli_.Run("member up 1").err, "第一个成员无法上移了！\n");
}

TEST_F(CliHintsTest, TheKeyAndDisplayChecksSayWhatIsMissingOrTooMuch) {
  const std::string key = "Book表主键设置错误，每个类只能设置一个主键!";
  const std::string display = "Book表显示成员设置错误，每个类有且只能设置一个显示成员!";
  cli_.Ok("member update 2 --pri");
  TCliRun run = cli_.Run("generate p");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, key + " (有2个主键: 只留一个, 其余用 member update MEMBERID --no-pri)\n");
  // The check also names the complete application, which takes a key of several members.
  EXPECT_EQ(cli_.Run("check p").out,
            "错误: 工程\"p\" 类\"Book\": " + key +
                " 多个成员组成的主键只有完整应用能生成: 请修改模型, "
                "或生成完整应用(菜单\"自动生成完整应用代码\", 或vbgen-cli的--complete)"
                " (有2个主键: 只留一个, 其余用 member update MEMBERID --no-pri)\n");
  EXPECT_EQ(cli_.Run("check p --complete").status, 0);
  cli_.Ok("member update 1 --no-pri");
  cli_.Ok("member update 2 --no-pri --no-display");
  run = cli_.Run("generate p");
  EXPECT_EQ(run.err, key + " (没有主键: 用 member add 或 member update 的 --pri 设置一个)\n");
  cli_.Ok("member update 1 --pri");
  run = cli_.Run("sql p");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err,
            "错误: 工程\"p\" 类\"Book\": " + display +
                " (没有下拉框显示成员: 用 member add 或 member update 的 --display 设置一个)\n");
  // The JSON of the check keeps the message as the window shows it.
  EXPECT_NE(cli_.Run("check p --json").out.find("\"message\": \"" + display + "\""),
            std::string::npos);
}

}  // namespace vbgen::test
