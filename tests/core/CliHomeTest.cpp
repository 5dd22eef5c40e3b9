// Where a home's model and shipped data come from: every new home starts with the example, a
// run looks for template/ and bak/ in the home first, and only a run needs them.
#include <gtest/gtest.h>

#include <fstream>

#include "CliRunner.h"
#include "TestSupport.h"

namespace vbgen::test {
namespace fs = std::filesystem;

TEST(CliHomeTest, ANewHomeStartsWithTheExampleAndAnExistingModelIsKept) {
  TTempDir dir;
  const fs::path home = dir.path() / "new" / "home";
  TCliRunner cli(home);
  EXPECT_EQ(cli.Ok("project list"), "1\t图书馆管理\n");
  EXPECT_EQ(cli.Ok("class list 图书馆管理"),
            "1\tBook\t图书\t1\n2\tReader\t读者\t1\n3\tLoan\t借阅记录\t1\n");
  cli.Ok("project delete 图书馆管理");
  EXPECT_EQ(cli.Ok("project list"), "");  // an emptied model is not seeded again
}

// A program folder of its own (the executable copied beside template/ but no bak/), and a home
// that holds its own template/ and bak/.
class CliProgramFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(Program());
    fs::copy_file(VBGEN_CLI, Program() / "vbgen-cli");
    for (const char* folder : {"template", "examples"}) {
      fs::copy(SourceDir() / "data" / folder, Program() / folder, fs::copy_options::recursive);
    }
  }
  fs::path Program() const { return dir_.path() / "program"; }
  fs::path Home() const { return dir_.path() / "home"; }

  TTempDir dir_;
  TCliRunner runner_{Home(), Program() / "vbgen-cli"};
};

TEST_F(CliProgramFolderTest, ModelCommandsNeedNoBakAndARunNamesWhatIsMissing) {
  auto run = [&](const std::string& arguments) { return runner_.Run(arguments); };
  for (const char* command : {"project list", "project add 书店", "class add 书店 Book 图书",
                              "member add 书店 Book --name bookId --type 整型 --must --pri",
                              "member add 书店 Book --name title --type 字符串 --display",
                              "member list 书店 Book", "class list 书店", "check 书店", "sql 书店",
                              "export 图书馆管理", "project rename 书店 书店2"}) {
    SCOPED_TRACE(command);
    EXPECT_EQ(run(command).status, 0) << run(command).err;
  }
  for (const char* command : {"generate 书店2", "generate 书店2 --dry-run"}) {
    const TCliRun refused = run(command);
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.out, "");
    EXPECT_EQ(refused.err,
              "找不到 bak 目录: " + (Home() / "bak").string() + " 和 " +
                  (Program() / "bak").string() +
                  " 都不存在。请把程序自带的 bak 目录 (源代码中的 data/bak, 或安装后的 "
                  "/usr/share/vbgen/bak) 复制到 " +
                  (Home() / "bak").string() + "; 编辑模型的命令不需要它\n");
  }
  EXPECT_FALSE(fs::exists(Home() / "projects"));

  // The home's own folders come first: its template's mark reaches the generated main form.
  fs::copy(SourceDir() / "data" / "bak", Home() / "bak", fs::copy_options::recursive);
  fs::copy(SourceDir() / "data" / "template", Home() / "template", fs::copy_options::recursive);
  std::ofstream(Home() / "template" / "MainForm.frm", std::ios::app) << "' home template\r\n";
  const TCliRun generated = run("generate 书店2");
  ASSERT_EQ(generated.status, 0) << generated.err;
  EXPECT_NE(ReadWhole(Home() / "projects" / "书店2" / "MainForm.frm").find("' home template"),
            std::string::npos);
  EXPECT_TRUE(fs::is_regular_file(Home() / "projects" / "书店2" / "ModMain.bas"));

  fs::remove_all(Home() / "template");
  fs::remove_all(Program() / "template");
  const TCliRun noTemplate = run("generate 书店2");
  EXPECT_EQ(noTemplate.status, 1);
  EXPECT_EQ(noTemplate.err.rfind("找不到 template 目录: " + (Home() / "template").string(), 0), 0u)
      << noTemplate.err;
}

}  // namespace vbgen::test
