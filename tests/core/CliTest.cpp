// vbgen-cli as a user runs it: a fresh program directory, commands, output and exit status.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "TestModel.h"

namespace vbgen::test {

struct TCliResult {
  int status;
  std::string out, err;
};

class CliTest : public ::testing::Test {
 protected:
  // A model of its own, empty, so that the keys a test sees start at 1: a new home would start
  // with the example project.
  CliTest() { std::ofstream(home_.path() / "projects.db").close(); }

  TCliResult Run(const std::string& arguments) {
    const auto out = home_.path() / "stdout", err = home_.path() / "stderr";
    std::string command = std::string(VBGEN_CLI) + " --home '" + home_.path().string() + "' " +
                          arguments + " >'" + out.string() + "' 2>'" + err.string() +
                          "' </dev/null";
    int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, Slurp(out), Slurp(err)};
  }
  // Runs a command that must succeed.
  std::string Ok(const std::string& arguments) {
    TCliResult result = Run(arguments);
    EXPECT_EQ(result.status, 0) << arguments << "\n" << result.err;
    return result.out;
  }
  // Runs a command that must succeed and print nothing but its confirmation, on stderr.
  std::string Confirmed(const std::string& arguments) {
    TCliResult result = Run(arguments);
    EXPECT_EQ(result.status, 0) << arguments << "\n" << result.err;
    EXPECT_EQ(result.out, "") << arguments;
    return result.err;
  }
  static std::string Slurp(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
  const std::filesystem::path& Home() const { return home_.path(); }

 private:
  TTempDir home_;
};

TEST_F(CliTest, ProjectsAddListRenameDelete) {
  // The new key alone on stdout for scripts; the window's confirmation on stderr.
  TCliResult added = Run("project add 图书馆");
  EXPECT_EQ(added.out, "1\n");
  EXPECT_EQ(added.err, "工程名称添加成功！\n");
  EXPECT_EQ(Ok("project add \"O'Brien\""), "2\n");
  EXPECT_EQ(Ok("project list"), "1\t图书馆\n2\tO'Brien\n");
  TCliResult dup = Run("project add 图书馆");
  EXPECT_EQ(dup.status, 1);
  EXPECT_EQ(dup.err, "该工程名称已经存在!\n");
  EXPECT_EQ(dup.out, "");
  EXPECT_EQ(Confirmed("project rename 图书馆 O\\'Brien"), "工程名称修改成功！\n");
  TCliResult ambiguous = Run("project delete \"O'Brien\"");
  EXPECT_EQ(ambiguous.status, 1);
  EXPECT_NE(ambiguous.err.find("工程编号"), std::string::npos);
  EXPECT_EQ(Confirmed("project delete 2"), "删除成功!\n");
  EXPECT_EQ(Ok("project list"), "1\tO'Brien\n");
  EXPECT_EQ(Run("project rename 1 \"\"").err, "工程项目名称不能为空!\n");
  EXPECT_EQ(Run("project delete 9").status, 1);
}

TEST_F(CliTest, UsageErrorsExitWithTwo) {
  EXPECT_EQ(Run("").status, 2);
  EXPECT_EQ(Run("frobnicate").status, 2);
  EXPECT_EQ(Run("project add").status, 2);
  EXPECT_EQ(Run("member add 1 --name").status, 2);
  EXPECT_EQ(Run("member add x --name a").status, 2);
  EXPECT_EQ(Run("project list --bogus").status, 2);
  TCliResult extra = Run("project add 甲 乙");
  EXPECT_EQ(extra.status, 2);
  EXPECT_NE(extra.err.find("无法识别的参数: 乙"), std::string::npos) << extra.err;
  EXPECT_EQ(Run("project add 甲 --json").status, 2);
  EXPECT_EQ(Ok("project list"), "");  // nothing was stored by the refused commands
  TCliResult help = Run("--help");
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("member add CLASS --name"), std::string::npos);
}

TEST_F(CliTest, ClassesFollowTheDialogRules) {
  Ok("project add p");
  EXPECT_EQ(Run("class add p book 图书").err, "类名首个字母必须大写\n");
  EXPECT_EQ(Run("class add p Book \"\"").err, "友好名称不能为空\n");
  EXPECT_EQ(Ok("class add p Book 图书"), "1\n");
  EXPECT_EQ(Run("class add p Book 书").err, "该类名称已经存在!\n");
  Ok("class add p Reader 读者 --no-front-show");
  EXPECT_EQ(Ok("class list p"), "1\tBook\t图书\t1\n2\tReader\t读者\t0\n");
  // The update keeps the stored flag unless told otherwise.
  EXPECT_EQ(Confirmed("class update 2 Readers 读者们"), "类名称更新成功\n");
  Ok("class update 1 Book 图书 --no-front-show");
  EXPECT_EQ(Ok("class list p"), "1\tBook\t图书\t0\n2\tReaders\t读者们\t0\n");
  EXPECT_EQ(Run("class update 1 \"\" x").err, "类名称不能为空\n");
  EXPECT_EQ(Confirmed("class delete 2"), "类对象删除成功!\n");
  EXPECT_EQ(Run("class delete 2").status, 1);
}

TEST_F(CliTest, MembersAddUpdateAndReorder) {
  Ok("project add p");
  Ok("class add p Book 图书");
  Ok("class add p Reader 读者");
  EXPECT_EQ(Run("member add 1 --name Id --type 整型").err, "成员属性首个字母必须小写 (--name)\n");
  EXPECT_EQ(Run("member add 1 --name bookId --type 整型").err,
            "整型必须勾选是否必填标志! (--must)\n");
  EXPECT_EQ(Run("member add 1 --name cover --type 图片型").err,
            "图片字段不用参与显示！ (--no-query-display)\n");
  EXPECT_EQ(Run("member add 1 --name p --type 浮点型 --must --pri").err,
            "主键字段必须是整型或字符串型! (--type 整型 或 --type 字符串, 或 --no-pri)\n");
  EXPECT_EQ(Run("member add 1 --name r --type Book --must").status, 1);  // not its own class
  EXPECT_EQ(Run("member add 1 --name t --type 字符串 --length abc").err,
            "\"abc\"不是有效的整数值! (--length)\n");
  Ok("member add 1 --name bookId --type 整型 --must --pri --comment 编号");
  Ok("member add 1 --name title --type 字符串 --length 50 --display --query --comment \"书's名\"");
  Ok("member add 1 --name cover --type 图片型 --no-query-display --comment 封面");
  Ok("member add 1 --name owner --type Reader --must --comment 读者");
  std::string list = Ok("member list 1");
  EXPECT_EQ(list,
            "编号\t成员名称\t成员类型\t长度\t主键\t必填\t查询\t下拉框显示\t界面显示\t注释\n"
            "1\tbookId\t整型\t0\t是\t是\t否\t否\t是\t编号\n"
            "2\ttitle\t字符串\t50\t否\t否\t是\t是\t是\t书's名\n"
            "3\tcover\t图片型\t0\t否\t否\t否\t否\t否\t封面\n"
            "4\towner\tReader\t0\t否\t是\t否\t否\t是\t读者\n");
  // The update starts from the stored member: only what is named changes.
  EXPECT_EQ(Confirmed("member update 2 --length 80 --no-query"), "类成员属性更新成功!\n");
  EXPECT_NE(Ok("member list 1").find("2\ttitle\t字符串\t80\t否\t否\t否\t是"), std::string::npos);
  // A float key is accepted by the update dialog's rules.
  Ok("member update 1 --type 浮点型");
  EXPECT_NE(Ok("member list 1").find("1\tbookId\t浮点型\t0\t是"), std::string::npos);
  EXPECT_EQ(Run("member up 1").err, "第一个成员无法上移了！\n");
  EXPECT_EQ(Run("member down 4").err, "最后一个成员无法下移了！\n");
  Ok("member down 1");
  Ok("member swap 3 4");
  std::string moved = Ok("member list 1");
  EXPECT_LT(moved.find("\ttitle\t"), moved.find("\tbookId\t"));
  EXPECT_LT(moved.find("\towner\t"), moved.find("\tcover\t"));
  Ok("member add 2 --name readerId --type 字符串 --pri");
  EXPECT_EQ(Run("member swap 1 5").err, "只能交换同一个类的成员!\n");
  EXPECT_EQ(Confirmed("member delete 5"), "成员属性删除成功\n");
  EXPECT_EQ(Run("member delete 5").status, 1);
}

// What the database allows, as options over the dialogs' state; the list shows it once a
// member uses it, and --json always.
TEST_F(CliTest, MembersTakeWhatTheDatabaseAllows) {
  Ok("project add p");
  Ok("class add p Region 地区");
  Ok("class add p Employee 员工");
  EXPECT_EQ(Run("member add 1 --name regionId --type 整型 --must --pri --allow-null").err,
            "主键字段不能允许为空! (--no-allow-null)\n");
  EXPECT_EQ(Run("member add 1 --name regionId --type 整型 --must --key-entered").err,
            "只有整型主键可以选择由用户输入键值! (--no-key-entered)\n");
  EXPECT_EQ(Run("member add 1 --name regionId --type 整型 --must --pri --sql-type bit").err,
            "bit类型的主键不能由数据库编号, 请选择由用户输入键值! (--key-entered)\n");
  EXPECT_EQ(Run("member add 1 --name name --type 字符串 --sql-type int").err,
            "字符串成员的SQL类型只能是nvarchar、nchar或char! (--sql-type)\n");
  EXPECT_EQ(Run("member add 1 --name name --type 字符串 --sql-type nchar --length 5000").err,
            "nchar的长度不能超过4000! (--length 或 --sql-type char)\n");
  EXPECT_EQ(Run("member add 1 --name day --type 日期型 --must --sql-type date").err,
            "日期型成员不能指定SQL类型! (--sql-type \"\")\n");
  EXPECT_EQ(Run("member add 1 --name rate --type 浮点型 --must --sql-type decimal").err,
            "decimal的精度必须在1到38之间! (--precision)\n");
  EXPECT_EQ(Run("member add 1 --name rate --type 浮点型 --must --sql-type decimal --precision 5 "
                "--scale 6")
                .err,
            "decimal的小数位数必须在0到精度5之间! (--scale)\n");
  EXPECT_EQ(Run("member add 1 --name rate --type 浮点型 --must --precision x").err,
            "\"x\"不是有效的整数值! (--precision)\n");
  EXPECT_EQ(Run("member list 1").out.find("允许为空"), std::string::npos);  // nothing stored

  Ok("member add 1 --name regionId --type 整型 --must --pri --key-entered --sql-type smallint");
  Ok("member add 1 --name name --type 字符串 --length 50 --sql-type nchar --display");
  Ok("member add 1 --name rate --type 浮点型 --must --allow-null --sql-type decimal --precision 9 "
     "--scale 2");
  EXPECT_EQ(Ok("member list 1"),
            "编号\t成员名称\t成员类型\t长度\t主键\t必填\t查询\t下拉框显示\t界面显示\t"
            "允许为空\t输入键值\tSQL类型\t注释\n"
            "1\tregionId\t整型\t0\t是\t是\t否\t否\t是\t否\t是\tsmallint\t\n"
            "2\tname\t字符串\t50\t否\t否\t否\t是\t是\t否\t否\tnchar\t\n"
            "3\trate\t浮点型\t0\t否\t是\t否\t否\t是\t是\t否\tdecimal(9,2)\t\n");
  const nlohmann::json members = nlohmann::json::parse(Ok("member list 1 --json"));
  EXPECT_EQ(members[2]["memberAllowNull"], 1);
  EXPECT_EQ(members[2]["memberSqlType"], "decimal");
  EXPECT_EQ(members[2]["memberPrecision"], 9);
  EXPECT_EQ(members[2]["memberScale"], 2);
  EXPECT_EQ(members[0]["memberKeyEntered"], 1);
  EXPECT_EQ(members[1]["memberPrecision"], 0);

  // The update starts from the stored values; money keeps no precision; "" is the default type.
  Ok("member update 3 --sql-type money --no-allow-null");
  Ok("member update 1 --no-key-entered --sql-type ''");
  const nlohmann::json updated = nlohmann::json::parse(Ok("member list 1 --json"));
  EXPECT_EQ(updated[2]["memberSqlType"], "money");
  EXPECT_EQ(updated[2]["memberPrecision"], 0);
  EXPECT_EQ(updated[2]["memberAllowNull"], 0);
  EXPECT_EQ(updated[0]["memberKeyEntered"], 0);
  EXPECT_EQ(updated[0]["memberSqlType"], "");
  // A second key member is the dialogs' to take; the run's check weighs it.
  Ok("member add 1 --name code --type 字符串 --pri --length 4");
  EXPECT_EQ(Run("member add 2 --name boss --type Employee --must").status, 1);  // not offered
}

TEST_F(CliTest, GenerateRefusesABadKeyAndWritesNothing) {
  Ok("project add p");
  Ok("class add p Book 图书");
  Ok("member add 1 --name title --type 字符串 --display");
  TCliResult result = Run("generate p");
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err,
            "Book表主键设置错误，每个类只能设置一个主键! (没有主键: 用 member add 或 member update "
            "的 --pri 设置一个)\n");
  EXPECT_EQ(result.out, "");
  EXPECT_FALSE(std::filesystem::exists(Home() / "projects"));
  Ok("member add 1 --name bookId --type 整型 --must --pri");
  Ok("member update 2 --display");
  EXPECT_EQ(Run("generate p").err,
            "Book表显示成员设置错误，每个类有且只能设置一个显示成员! (有2个下拉框显示成员: "
            "只留一个, 其余用 member update MEMBERID --no-display)\n");
  EXPECT_FALSE(std::filesystem::exists(Home() / "projects"));
}

TEST_F(CliTest, SqlPrintsTheScriptWithCrLf) {
  Ok("project add p");
  Ok("class add p Book 图书");
  Ok("member add 1 --name bookId --type 整型 --must --pri --display");
  std::string script = Ok("sql p");
  EXPECT_EQ(script.rfind("GO\r\n\r\nCREATE TABLE [dbo].[admin](\r\n", 0), 0u);
  EXPECT_NE(script.find("\t[bookId] [int] IDENTITY (1, 1) NOT NULL  PRIMARY KEY\r\n"),
            std::string::npos);
  Ok("class add p Reader 读者");
  TCliResult noKey = Run("sql p");
  EXPECT_EQ(noKey.status, 1);
  EXPECT_NE(noKey.err.find("Reader"), std::string::npos);
  EXPECT_EQ(noKey.out, "");
}

}  // namespace vbgen::test

namespace vbgen::test {

// A program directory with the shipped templates and support files, for whole runs.
class CliRunTest : public CliTest {
 protected:
  void SetUp() override {
    std::filesystem::copy(std::filesystem::path(VBGEN_SOURCE_DIR) / "data" / "template",
                          Home() / "template", std::filesystem::copy_options::recursive);
    std::filesystem::copy(std::filesystem::path(VBGEN_SOURCE_DIR) / "data" / "bak", Home() / "bak",
                          std::filesystem::copy_options::recursive);
  }
  std::string Example() const {
    return std::string(VBGEN_SOURCE_DIR) + "/data/examples/library.json";
  }
};

TEST_F(CliRunTest, ExportImportExportGivesTheSameBytes) {
  Ok("import " + Example());
  std::string first = Ok("export 1");
  EXPECT_EQ(first, Slurp(Example()));
  Ok("export 1 -o '" + (Home() / "out" / "m.json").string() + "'");
  EXPECT_EQ(Slurp(Home() / "out" / "m.json"), first);
  TCliResult again = Run("import " + Example());
  EXPECT_EQ(again.status, 1);
  EXPECT_NE(again.err.find("该工程名称已经存在!"), std::string::npos);
  Ok("import " + Example() + " --name 分馆");
  EXPECT_EQ(Ok("export 分馆"), Ok("export 1").replace(first.find("图书馆管理"), 15, "分馆"));
  TCliResult missing = Run("import '" + (Home() / "none.json").string() + "'");
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("none.json"), std::string::npos);
}

TEST_F(CliRunTest, CheckListsEveryProblemAtOnce) {
  Ok("import " + Example());
  EXPECT_EQ(Ok("check 1"), "模型检查通过，没有发现问题。\n");
  Ok("project add p");
  Ok("class add p Book 图书");
  Ok("class add p Loan 借阅");
  Ok("member add 5 --name book --type Book --must --comment 书");
  Ok("class delete 4");  // Loan's member now names a class that is gone
  TCliResult result = Run("check p");
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out,
            "错误: 工程\"p\" 类\"Loan\": Loan表主键设置错误，每个类只能设置一个主键! "
            "没有主键的类只有完整应用能生成(显示为只读列表): 请修改模型, "
            "或生成完整应用(菜单\"自动生成完整应用代码\", 或vbgen-cli的--complete) (没有主键: 用 "
            "member add 或 member update 的 --pri 设置一个)\n"
            "错误: 工程\"p\" 类\"Loan\": Loan表显示成员设置错误，每个类有且只能设置一个显示成员! "
            "(没有下拉框显示成员: 用 member add 或 member update 的 --display 设置一个)\n"
            "错误: 工程\"p\" 类\"Loan\" 成员\"book\": 引用的类型\"Book\"不是本项目中的类!\n");
}

TEST_F(CliRunTest, GenerateThenDryRunShowsHandEdits) {
  Ok("import " + Example());
  TCliResult run = Run("generate 1");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out.rfind("projects/图书馆管理/MainForm.frm生成完成!\n", 0), 0u);
  EXPECT_NE(run.out.find("\n正在移动资源文件。。。\n移动资源文件完毕!\n所有代码生成完毕!\n"),
            std::string::npos);
  const auto form = Home() / "projects" / "图书馆管理" / "FrmManageLoan.frm";
  std::ofstream(form, std::ios::app) << "' mine\r\n";
  std::string plan = Ok("generate 1 --dry-run");
  EXPECT_NE(plan.find("修改(有手工修改,将备份)\tprojects/图书馆管理/FrmManageLoan.frm\n"),
            std::string::npos);
  EXPECT_NE(plan.find("不变\tprojects/图书馆管理/FrmAddBook.frm\n"), std::string::npos);
  EXPECT_EQ(plan.find("新建"), std::string::npos);
  EXPECT_NE(Slurp(form).find("' mine"), std::string::npos);  // the dry run wrote nothing
  std::string second = Ok("generate 1");
  EXPECT_NE(second.find("已备份手工修改过的文件: projects/图书馆管理/FrmManageLoan.frm -> "),
            std::string::npos);
  EXPECT_EQ(Slurp(form).find("' mine"), std::string::npos);
}

// A rerun's plan also names what the run leaves as it is: support files already in the project
// (a changed one marked) and the forms a renamed class left behind.
TEST_F(CliRunTest, DryRunNamesWhatARerunLeavesAsItIs) {
  Ok("import " + Example());
  ASSERT_EQ(Run("generate 1").status, 0);
  const auto output = Home() / "projects" / "图书馆管理";
  std::ofstream(output / "ModMain.bas", std::ios::app) << "' mine\r\n";
  Ok("class update 图书馆管理 Reader Member 读者");
  const std::string plan = Ok("generate 1 --dry-run");
  EXPECT_NE(plan.find("保留(有手工修改)\tprojects/图书馆管理/ModMain.bas\n"), std::string::npos)
      << plan;
  EXPECT_NE(plan.find("保留\tprojects/图书馆管理/frmLogin.frm\n"), std::string::npos) << plan;
  for (const char* old : {"FrmAddReader.frm", "FrmEditReader.frx", "FrmManageReader.frm"}) {
    EXPECT_NE(plan.find(std::string("保留\tprojects/图书馆管理/") + old + "\n"), std::string::npos)
        << old;
  }
  EXPECT_NE(plan.find("新建\tprojects/图书馆管理/FrmAddMember.frm\n"), std::string::npos);
  const auto json = nlohmann::json::parse(Ok("generate 1 --dry-run --json"));
  bool kept = false;
  for (const auto& entry : json) {
    kept |=
        entry["change"] == "kept-hand-edited" && entry["path"] == "projects/图书馆管理/ModMain.bas";
  }
  EXPECT_TRUE(kept);
}

}  // namespace vbgen::test

namespace vbgen::test {

// The model check's errors stop generate and sql before anything is written; warnings do not.
class CliCheckTest : public CliRunTest {
 protected:
  // Book and Reader, each with an integer key that is also its display member, and Loan
  // referring to both.
  void Library() {
    Ok("project add p");
    for (const char* cls : {"Book 图书", "Reader 读者", "Loan 借阅"})
      Ok(std::string("class add p ") + cls);
    Ok("member add 1 --name bookId --type 整型 --must --pri --display");
    Ok("member add 2 --name readerId --type 整型 --must --pri --display");
    Ok("member add 3 --name loanId --type 整型 --must --pri --display");
    Ok("member add 3 --name book --type Book --must");
    Ok("member add 3 --name reader --type Reader --must");
  }
  // A refused generate and sql: exit 1, the first error on stderr, nothing on stdout or disk.
  void ExpectRefused(const std::string& firstError) {
    TCliResult run = Run("generate p");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, firstError + "\n");
    EXPECT_EQ(run.out, "");
    EXPECT_FALSE(std::filesystem::exists(Home() / "projects"));
    TCliResult sql = Run("sql p");
    EXPECT_EQ(sql.status, 1);
    EXPECT_EQ(sql.err, firstError + "\n");
    EXPECT_EQ(sql.out, "");
  }
};

TEST_F(CliCheckTest, RenamingAClassToAnothersNameIsAcceptedAndThenRefusedByTheRun) {
  Library();
  EXPECT_EQ(Confirmed("class update 2 Book 读者"), "类名称更新成功\n");
  TCliResult check = Run("check p");
  EXPECT_EQ(check.status, 1);
  const std::string error = check.out.substr(0, check.out.find('\n'));
  EXPECT_EQ(error.rfind("错误: 工程\"p\" 类\"Book\": 类名与类\"Book\"相同", 0), 0u) << check.out;
  ExpectRefused(error);
  EXPECT_EQ(Confirmed("class update 2 Reader 读者"), "类名称更新成功\n");
  EXPECT_EQ(Ok("check p"), "模型检查通过，没有发现问题。\n");
  EXPECT_EQ(Run("generate p").status, 0);
}

TEST_F(CliCheckTest, DuplicateMembersLongNamesAndLengthsAreRefusedWhereTheyCanBeTyped) {
  Library();
  Ok("member add 1 --name nm --type 字符串 --length 20");
  Ok("member add 1 --name nM --type 字符串 --length 20");  // the dialogs allow a repeated name
  const std::string duplicate =
      "错误: 工程\"p\" 类\"Book\" 成员\"nM\": 成员名称与成员\"nm\"相同(VB6和SQL "
      "Server不区分大小写): 建表语句两次定义同一列, 窗体中两个控件同名";
  TCliResult check = Run("check p");
  EXPECT_EQ(check.status, 1);
  EXPECT_EQ(check.out, duplicate + "\n");
  ExpectRefused(duplicate);

  EXPECT_EQ(Run("member add 1 --name t" + std::string(9999, 'x') + " --type 字符串").err,
            "成员名称最长36个字符: 生成的VB6控件名RTB_加成员名称不能超过40个字符! (--name)\n");
  EXPECT_EQ(Run("member add 1 --name t --type 字符串 --length 8001").err,
            "字符串长度不能超过8000! (SQL Server的varchar最长8000) (--length)\n");
  EXPECT_EQ(Run("member update 6 --length 2147483647").err,
            "字符串长度不能超过8000! (SQL Server的varchar最长8000) (--length)\n");
  EXPECT_EQ(Run("class add p Admin 操作员").err, "类名不能是admin: 建表语句用admin表保存操作员!\n");
  EXPECT_EQ(Run("class update 1 " + std::string(32, 'B') + " 图书").err,
            "类名最长31个字符: 生成的VB6控件名CB_Manage加类名不能超过40个字符!\n");
  EXPECT_EQ(Ok("member list 1").find("xxxx"), std::string::npos);  // nothing was stored
}

TEST_F(CliCheckTest, LengthOfAnotherTypeMustStillBeANumber) {
  Library();
  EXPECT_EQ(Run("member add 1 --name n --type 整型 --must --length abc").err,
            "\"abc\"不是有效的整数值! (--length)\n");
  EXPECT_EQ(Run("member update 1 --length 1x").err, "\"1x\"不是有效的整数值! (--length)\n");
  EXPECT_EQ(Run("member update 1 --length \"\"").err, "\"\"不是有效的整数值! (--length)\n");
  // A number is taken and, as in the dialog, not stored for a type other than 字符串.
  Ok("member add 1 --name n --type 整型 --must --length 12");
  Ok("member update 1 --length +7");
  EXPECT_NE(Ok("member list 1").find("\tn\t整型\t0\t"), std::string::npos);
}

// What the plain project writes bare breaks it; the complete application brackets it.
TEST_F(CliCheckTest, ReservedWordsStopThePlainRunAndPassForTheCompleteApplication) {
  Library();
  Ok("class update 1 User 图书");  // Loan's reference follows the rename
  Ok("class update 2 Order 读者");
  Ok("member update 2 --name order");  // Order's key
  TCliResult check = Run("check p");
  EXPECT_EQ(check.status, 1) << check.out;
  EXPECT_NE(check.out.find("错误: 工程\"p\" 类\"Order\" 成员\"order\": 成员名称是T-SQL的保留字"),
            std::string::npos)
      << check.out;
  EXPECT_NE(check.out.find("建表语句中的\"ALTER TABLE Loan ADD FOREIGN KEY (book) REFERENCES "
                           "User(bookId)\"; 请改用另一个类名, 或生成完整应用"),
            std::string::npos)
      << check.out;
  TCliResult run = Run("generate p");
  EXPECT_EQ(run.status, 1) << run.err;
  EXPECT_FALSE(std::filesystem::exists(Home() / "projects" / "p"));
  EXPECT_EQ(Run("sql p").status, 1);

  TCliResult complete = Run("check p --complete");
  EXPECT_EQ(complete.status, 0) << complete.out;
  std::stringstream lines(complete.out);
  for (std::string line; std::getline(lines, line);) EXPECT_EQ(line.rfind("警告: ", 0), 0u) << line;
  EXPECT_NE(complete.out.find("自己写的SQL语句中须写成[order]"), std::string::npos) << complete.out;
  TCliResult completeRun = Run("generate p --complete");
  EXPECT_EQ(completeRun.status, 0) << completeRun.err;
  EXPECT_TRUE(std::filesystem::exists(Home() / "projects" / "p" / "FrmEditOrder.frm"));
  TCliResult sql = Run("sql p --complete");
  EXPECT_EQ(sql.status, 0) << sql.err;
  EXPECT_NE(sql.out.find("REFERENCES [Order]([order])"), std::string::npos);
}

TEST_F(CliCheckTest, JsonListsTheSameProblems) {
  Library();
  Ok("class update 2 CON 读者");
  Ok("member add 1 --name nm --type 字符串");
  Ok("member add 1 --name nM --type 字符串");
  TCliResult text = Run("check p");
  TCliResult json = Run("check p --json");
  EXPECT_EQ(json.status, 1);
  EXPECT_EQ(json.status, text.status);
  const nlohmann::json parsed = nlohmann::json::parse(json.out);
  EXPECT_EQ(parsed["project"], "p");
  EXPECT_EQ(parsed["errors"], 1);
  EXPECT_EQ(parsed["warnings"], 1);
  std::string lines;
  for (const auto& problem : parsed["problems"]) lines += problem["line"].get<std::string>() + "\n";
  EXPECT_EQ(lines, text.out);
  ASSERT_EQ(parsed["problems"].size(), 2u);
  const auto& first = parsed["problems"][0];
  EXPECT_EQ(first["severity"], "error");
  EXPECT_EQ(first["project"], "p");
  EXPECT_EQ(first["class"], "Book");
  EXPECT_EQ(first["member"], "nM");
  const auto& second = parsed["problems"][1];
  EXPECT_EQ(second["severity"], "warning");
  EXPECT_EQ(second["class"], "CON");
  EXPECT_TRUE(second["member"].is_null());
  EXPECT_EQ(second["message"], "类名是Windows的设备名, 在Windows上不能用作文件名");

  Ok("member delete 7");
  TCliResult warnings = Run("check p --json");
  EXPECT_EQ(warnings.status, 0);
  EXPECT_EQ(nlohmann::json::parse(warnings.out)["errors"], 0);
  EXPECT_EQ(Run("check p --bogus").status, 2);
}

TEST_F(CliRunTest, SupportFilesThatCannotBeCopiedMakeGenerateFail) {
  Ok("import " + Example());
  std::filesystem::remove(Home() / "bak" / "readme.txt");
  std::filesystem::create_symlink("readme.txt", Home() / "bak" / "readme.txt");  // unreadable
  TCliResult run = Run("generate 1");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("以下支持文件未能复制"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("bak/readme.txt"), std::string::npos) << run.err;
  EXPECT_EQ(run.out.find("所有代码生成完毕!"), std::string::npos) << run.out;
  EXPECT_TRUE(std::filesystem::exists(Home() / "projects" / "图书馆管理" / "ModMain.bas"));
}

TEST_F(CliRunTest, GenerateAndSqlWithTheCompleteChoice) {
  Ok("import " + Example());
  EXPECT_NE(Ok("generate 1 --complete").find("所有代码生成完毕!"), std::string::npos);
  const std::filesystem::path manage = Home() / "projects" / "图书馆管理" / "FrmManageBook.frm";
  EXPECT_NE(Slurp(manage).find("Private Sub mnuDelete_Click()"), std::string::npos);
  const std::string plain = Ok("sql 1");
  const std::string rerunnable = Ok("sql 1 --complete");
  EXPECT_NE(rerunnable.find("drop table [dbo].[admin]"), std::string::npos);
  EXPECT_EQ(plain.find("drop table [dbo].[admin]"), std::string::npos);
  // Without the choice the same command writes the forms without code again.
  Ok("generate 1");
  EXPECT_EQ(Slurp(manage).find("Private Sub"), std::string::npos);
  EXPECT_EQ(Run("generate 1 --completely").status, 2);
}

}  // namespace vbgen::test
