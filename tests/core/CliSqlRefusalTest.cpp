// The script is refused for every model the check calls wrong, as the run refuses it.
#include <gtest/gtest.h>

#include <fstream>

#include "CliRunner.h"

namespace vbgen::test {

class CliSqlRefusalTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::ofstream(home_.path() / "projects.db").close();
    cli_.Ok("project add p");
    cli_.Ok("class add p Book 图书");
    cli_.Ok("member add p Book --name bookId --type 整型 --must --pri --comment 编号");
    cli_.Ok("member add p Book --name title --type 字符串 --display --comment 书名");
  }

  void ExpectRefused(const std::string& expectedError) {
    for (const char* command : {"sql p", "sql p --complete"})
      ExpectRefusedBy(command, expectedError);
  }
  void ExpectRefusedBy(const std::string& command, const std::string& expectedError) {
    SCOPED_TRACE(command);
    const TCliRun run = cli_.Run(command);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, expectedError);
  }
  // The error lines of a check.
  std::string CheckErrors(const std::string& command) {
    const TCliRun check = cli_.Run(command);
    EXPECT_EQ(check.status, 1) << command;
    const std::string kError = "错误";
    std::string errors;
    for (std::size_t at = 0; at < check.out.size();) {
      const std::size_t end = check.out.find('\n', at) + 1;
      if (check.out.compare(at, kError.size(), kError) == 0)
        errors += check.out.substr(at, end - at);
      at = end;
    }
    return errors;
  }

  TTempDir home_;
  TCliRunner cli_{home_.path()};
};

TEST_F(CliSqlRefusalTest, ACommentGbkCannotHoldIsRefusedAsCheckAndGenerateRefuseIt) {
  ASSERT_NE(cli_.Ok("sql p").find("CREATE TABLE [dbo].[Book]"), std::string::npos);
  cli_.Ok("member update 2 --comment '书名😀'");
  const TCliRun check = cli_.Run("check p");
  EXPECT_EQ(check.status, 1);
  const std::string error =
      "错误: 工程\"p\" 类\"Book\" 成员\"title\": 成员注释含有GBK无法表示的字符: \"书名😀\"";
  EXPECT_EQ(check.out, error + "\n");
  ExpectRefused(error + "\n");
  EXPECT_EQ(cli_.Run("generate p").status, 1);
}

TEST_F(CliSqlRefusalTest, EveryErrorIsNamedAndWarningsAreNot) {
  // No display member is an error of the run, not of the script's own statements.
  cli_.Ok("class add p Reader 读者");
  cli_.Ok("member add p Reader --name readerId --type 整型 --must --pri");
  cli_.Ok(
      "member add p Reader --name select --type 字符串 --display");  // a reserved word: a warning
  cli_.Ok("class add p Shelf 书架");
  const TCliRun check = cli_.Run("check p");
  ASSERT_EQ(check.status, 1);
  const std::string kError = "错误";
  std::string errors;
  for (std::size_t at = 0; at < check.out.size();) {
    const std::size_t end = check.out.find('\n', at) + 1;
    if (check.out.compare(at, kError.size(), kError) == 0) errors += check.out.substr(at, end - at);
    at = end;
  }
  EXPECT_NE(errors.find("类\"Shelf\""), std::string::npos) << errors;
  EXPECT_NE(check.out.find("警告"), std::string::npos) << check.out;
  // The complete application manages a class without a key; the display member it still needs.
  ExpectRefusedBy("sql p", errors);
  const std::string completeErrors = CheckErrors("check p --complete");
  EXPECT_EQ(completeErrors.find("主键"), std::string::npos) << completeErrors;
  EXPECT_NE(completeErrors.find("类\"Shelf\""), std::string::npos) << completeErrors;
  ExpectRefusedBy("sql p --complete", completeErrors);
  cli_.Ok("class delete p Shelf");
  EXPECT_EQ(cli_.Run("check p").status, 0);
  EXPECT_NE(cli_.Ok("sql p").find("CREATE TABLE [dbo].[Reader]"), std::string::npos);
}

}  // namespace vbgen::test
