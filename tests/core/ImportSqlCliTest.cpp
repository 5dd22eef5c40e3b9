// vbgen-cli import-sql as a user runs it: a project from a schema script, its notes on stderr,
// then check, generate and sql on it; refusals that change nothing.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

#include "model/ClassDAO.h"
#include "model/DbHelper.h"
#include "model/MemberDAO.h"
#include "sqlimport/SqlImport.h"
#include "tests/common/TempDir.h"

namespace vbgen::test {
namespace {

namespace fs = std::filesystem;

constexpr const char* kScript = R"(SET ANSI_NULLS ON
GO
CREATE TABLE [dbo].[Category](
	[CategoryID] [int] IDENTITY(1,1) NOT NULL,
	[CategoryName] [nvarchar](15) NOT NULL,
	[Picture] [image] NULL,
 CONSTRAINT [PK_Category] PRIMARY KEY CLUSTERED ([CategoryID] ASC) ON [PRIMARY]
) ON [PRIMARY] TEXTIMAGE_ON [PRIMARY]
GO
CREATE TABLE [dbo].[Product](
	[ProductID] [int] IDENTITY(1,1) NOT NULL,
	[ProductName] [nvarchar](40) NOT NULL,
	[CategoryID] [int] NULL,
	[UnitPrice] [money] NULL CONSTRAINT [DF_Product_UnitPrice] DEFAULT ((0)),
 CONSTRAINT [PK_Product] PRIMARY KEY CLUSTERED ([ProductID] ASC) ON [PRIMARY]
) ON [PRIMARY]
GO
ALTER TABLE [dbo].[Product]  WITH CHECK ADD  CONSTRAINT [FK_Product_Category] FOREIGN KEY([CategoryID])
REFERENCES [dbo].[Category] ([CategoryID])
GO
CREATE TABLE [dbo].[Tag]([Text] [varchar](10) NULL)
GO
)";

class ImportSqlCliTest : public ::testing::Test {
 protected:
  // A model of its own, empty: a new home would start with the example project.
  void SetUp() override { std::ofstream(home_.path() / "projects.db").close(); }

  struct TResult {
    int status;
    std::string out, err;
  };

  TResult Run(const std::string& arguments) {
    const fs::path out = home_.path() / "stdout", err = home_.path() / "stderr";
    const std::string command = std::string(VBGEN_CLI) + " --home '" + home_.path().string() +
                                "' " + arguments + " >'" + out.string() + "' 2>'" + err.string() +
                                "' </dev/null";
    const int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, Slurp(out), Slurp(err)};
  }
  static std::string Slurp(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
  fs::path Write(const std::string& name, const std::string& text) {
    fs::path file = home_.path() / name;
    std::ofstream(file, std::ios::binary) << text;
    return file;
  }
  std::string Quoted(const fs::path& file) { return "'" + file.string() + "'"; }
  const fs::path& Home() const { return home_.path(); }

 private:
  TTempDir home_;
};

TEST_F(ImportSqlCliTest, AScriptBecomesAProjectThatPassesTheCheckAndGenerates) {
  const fs::path source = fs::path(VBGEN_SOURCE_DIR) / "data";
  fs::copy(source / "template", Home() / "template", fs::copy_options::recursive);
  fs::copy(source / "bak", Home() / "bak", fs::copy_options::recursive);
  const fs::path script = Write("northwind.sql", kScript);

  const TResult imported = Run("import-sql " + Quoted(script));
  EXPECT_EQ(imported.status, 0) << imported.err;
  EXPECT_EQ(imported.out, "1\n");  // the new project's id alone, for scripts
  EXPECT_EQ(
      imported.err,
      "已调整: 表\"Category\"的列\"CategoryID\"的名称首字母须小写(成员名规则), 改为categoryID\n"
      "已调整: 表\"Category\"的列\"CategoryName\"的名称首字母须小写(成员名规则), 改为"
      "categoryName\n"
      "已调整: 表\"Category\"的列\"Picture\"的名称首字母须小写(成员名规则), 改为picture\n"
      "已调整: 表\"Product\"的列\"ProductID\"的名称首字母须小写(成员名规则), 改为productID\n"
      "已调整: 表\"Product\"的列\"ProductName\"的名称首字母须小写(成员名规则), 改为"
      "productName\n"
      "已调整: 表\"Product\"的列\"CategoryID\"的名称首字母须小写(成员名规则), 改为categoryID\n"
      "已调整: 表\"Product\"的列\"UnitPrice\"的名称首字母须小写(成员名规则), 改为unitPrice\n"
      "注意: 表\"Product\"的列\"CategoryID\", \"UnitPrice\"可为空: 自动生成完整应用代码时留空即存为"
      "NULL; 自动生成代码时仍须必填\n"
      "注意: 表\"Tag\"没有主键, 作为没有主键的类导入: 自动生成完整应用代码时只能查询和列出; "
      "自动生成代码不接受没有主键的类\n"
      "已调整: 表\"Tag\"的列\"Text\"的名称首字母须小写(成员名规则), 改为text\n"
      "已导入工程 1 northwind, 共3个类\n");
  EXPECT_EQ(Run("class list northwind").out,
            "1\tCategory\tCategory\t1\n2\tProduct\tProduct\t1\n3\tTag\tTag\t1\n");
  // The plain forms need a key in every class: the user who wants them lets the keyless go.
  ASSERT_EQ(Run("class delete 3").status, 0);

  const TResult check = Run("check northwind");
  EXPECT_EQ(check.status, 0) << check.out;
  const TResult generated = Run("generate northwind");
  EXPECT_EQ(generated.status, 0) << generated.err;
  EXPECT_TRUE(fs::exists(Home() / "projects" / "northwind" / "FrmAddProduct.frm"));
  EXPECT_TRUE(fs::exists(Home() / "projects" / "northwind" / "FrmManageCategory.frm"));

  // Our own script of it reads back as the same classes, under another name.
  const TResult sql = Run("sql northwind");
  ASSERT_EQ(sql.status, 0);
  const TResult copy = Run("import-sql " + Quoted(Write("copy.sql", sql.out)) + " --name 副本");
  EXPECT_EQ(copy.status, 0) << copy.err;
  EXPECT_EQ(copy.out, "2\n");
  // Our script also creates the operators' table, which is not a class, and fills it.
  EXPECT_EQ(copy.err,
            "未导入: 脚本中的2条数据语句(INSERT、UPDATE、DELETE等)已跳过, 只导入表结构\n"
            "未导入: 表\"admin\"是生成的程序的操作员表, 不作为类导入\n"
            "注意: 表\"Product\"的列\"categoryID\", \"unitPrice\"可为空: 自动生成完整应用代码时留空"
            "即存为NULL; 自动生成代码时仍须必填\n"
            "已导入工程 2 副本, 共2个类\n");
  EXPECT_EQ(Run("sql 副本").out, sql.out);
}

// Friend names and comments survive our own complete script: what the forms call things comes
// back with the tables.
TEST_F(ImportSqlCliTest, TheCompleteScriptBringsBackFriendNamesAndComments) {
  ASSERT_EQ(Run("project add 馆").status, 0);
  ASSERT_EQ(Run("class add 馆 Reader \"读者's 卡\"").out, "1\n");
  ASSERT_EQ(
      Run("member add 1 --name readerId --type 整型 --pri --must --display --comment 读者编号")
          .status,
      0);
  ASSERT_EQ(Run("member add 1 --name name --type 字符串 --length 30 --comment \"姓名 'x'\"").status,
            0);
  ASSERT_EQ(Run("class add 馆 Loan 借阅记录").out, "2\n");
  ASSERT_EQ(
      Run("member add 2 --name loanId --type 整型 --pri --must --display --comment 借阅号").status,
      0);
  ASSERT_EQ(Run("member add 2 --name reader --type Reader --must --comment 借阅人").status, 0);
  ASSERT_EQ(Run("member add 2 --name loanDate --type 日期型 --must").status, 0);

  const TResult plain = Run("sql 馆");
  EXPECT_EQ(plain.out.find("sp_addextendedproperty"), std::string::npos);
  const TResult complete = Run("sql 馆 --complete");
  ASSERT_EQ(complete.status, 0) << complete.err;
  const TResult imported =
      Run("import-sql " + Quoted(Write("complete.sql", complete.out)) + " --name 副本");
  EXPECT_EQ(imported.status, 0) << imported.err;
  EXPECT_EQ(imported.err,
            "未导入: 脚本中的2条数据语句(INSERT、UPDATE、DELETE等)已跳过, 只导入表结构\n"
            "未导入: 表\"admin\"是生成的程序的操作员表, 不作为类导入\n"
            // Our script declares every date NULL, whatever the member says.
            "注意: 表\"Loan\"的列\"loanDate\"可为空: 自动生成完整应用代码时留空即存为NULL; "
            "自动生成代码时仍须必填\n"
            "已导入工程 2 副本, 共2个类\n");
  EXPECT_EQ(Run("class list 副本").out, "3\tReader\t读者's 卡\t1\n4\tLoan\t借阅记录\t1\n");
  // Each member's name and comment, one line each.
  auto comments = [&](const std::string& classId) {
    std::istringstream rows(Run("member list " + classId).out);
    std::string row, pairs;
    std::getline(rows, row);  // the heading
    while (std::getline(rows, row)) {
      std::vector<std::string> fields;
      std::istringstream cells(row);
      for (std::string cell; std::getline(cells, cell, '\t');) fields.push_back(cell);
      pairs += fields.at(1) + "\t" + fields.back() + "\n";
    }
    return pairs;
  };
  EXPECT_EQ(comments("3"), "readerId\t读者编号\nname\t姓名 'x'\n");
  // A member without a comment is captioned with its name, as on import of any other script.
  EXPECT_EQ(comments("4"), "loanId\t借阅号\nreader\t借阅人\nloanDate\tloanDate\n");
}

TEST_F(ImportSqlCliTest, RefusalsExitOneAndChangeNothing) {
  const fs::path script = Write("shop.sql", kScript);
  ASSERT_EQ(Run("import-sql " + Quoted(script)).status, 0);
  const std::string projectsBefore = Run("project list").out;

  const TResult again = Run("import-sql " + Quoted(script));
  EXPECT_EQ(again.status, 1);
  EXPECT_NE(again.err.find(
                script.string() +
                ": 工程名称\"shop\": 该工程名称已经存在! (用 --name 新名称 另取一个工程名称)\n"),
            std::string::npos)
      << again.err;

  const TResult missing = Run("import-sql " + Quoted(Home() / "missing.sql"));
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("missing.sql"), std::string::npos);

  const TResult directory = Run("import-sql " + Quoted(Home()));
  EXPECT_EQ(directory.status, 1);

  const TResult empty = Run("import-sql " + Quoted(Write("empty.sql", "SET NOCOUNT ON\n")));
  EXPECT_EQ(empty.status, 1);
  EXPECT_EQ(empty.err, (Home() / "empty.sql").string() + ": 脚本中没有可导入的表\n");

  // A column no reader can read costs that column: the project is made, and exit 1 says that
  // not all of the script is in it.
  const TResult broken =
      Run("import-sql " + Quoted(Write("broken.sql",
                                       "CREATE TABLE T (\n  id int IDENTITY PRIMARY KEY,\n  "
                                       "name varchar(10) WHATEVER 'x')\n")));
  EXPECT_EQ(broken.status, 1);
  EXPECT_EQ(broken.out, "2\n");
  EXPECT_EQ(broken.err,
            "未读取: 第3行: 表T的列name的定义无法读取: \"'x'\"; 该列或约束已跳过\n"
            "已导入工程 2 broken, 共1个类\n");
  EXPECT_EQ(Run("member list 3").out.find("name"), std::string::npos);
  const std::string projectsNow = Run("project list").out;
  EXPECT_EQ(projectsNow, projectsBefore + "2\tbroken\n");

  // A base name that is no project name is refused before anything is stored; --name helps.
  const TResult dots = Run("import-sql " + Quoted(Write("..sql", kScript)));
  EXPECT_EQ(dots.status, 1);
  EXPECT_NE(dots.err.find("工程名称\".\": 工程名称不能是\".\"或\"..\"!"), std::string::npos)
      << dots.err;
  const TResult escape = Run("import-sql " + Quoted(script) + " --name ../outside");
  EXPECT_EQ(escape.status, 1);
  EXPECT_EQ(Run("project list").out, projectsNow);
  EXPECT_FALSE(fs::exists(Home().parent_path() / "outside"));

  EXPECT_EQ(Run("import-sql").status, 2);
  EXPECT_EQ(Run("import-sql " + Quoted(script) + " --nom x").status, 2);
  EXPECT_EQ(Run("project list").out, projectsNow);
}

TEST_F(ImportSqlCliTest, HostileTableNamesBecomeLegalClassesThatStayInTheProjectDirectory) {
  const fs::path source = fs::path(VBGEN_SOURCE_DIR) / "data";
  fs::copy(source / "template", Home() / "template", fs::copy_options::recursive);
  fs::copy(source / "bak", Home() / "bak", fs::copy_options::recursive);
  const fs::path script = Write("hostile.sql",
                                "CREATE TABLE [../../Evil] ([id] int PRIMARY KEY, [a\\b] "
                                "varchar(5))\nCREATE TABLE [C:\\x|y] ([k] varchar(3) PRIMARY "
                                "KEY, [r] int REFERENCES [../../Evil])\n");
  const TResult imported = Run("import-sql " + Quoted(script));
  ASSERT_EQ(imported.status, 0) << imported.err;
  EXPECT_EQ(Run("class list hostile").out,
            "1\tT______Evil\t../../Evil\t1\n2\tC__x_y\tC:\\x|y\t1\n");
  ASSERT_EQ(Run("generate hostile").status, 0);
  for (const auto& entry : fs::recursive_directory_iterator(Home())) {
    const fs::path relative = fs::relative(entry.path(), Home());
    const std::string top = relative.begin()->string();
    EXPECT_TRUE(top == "projects" || top == "template" || top == "bak" || top == "projects.db" ||
                top == "hostile.sql" || top == "stdout" || top == "stderr")
        << relative;
    if (top == "projects" && relative != "projects") {
      EXPECT_EQ(std::next(relative.begin())->string(), "hostile") << relative;
    }
  }
  EXPECT_TRUE(fs::exists(Home() / "projects" / "hostile" / "FrmAddT______Evil.frm"));
}

// A small Chinese bookshop's script, as its maker wrote it: the database it creates names the
// project, whatever the file is called.
TEST_F(ImportSqlCliTest, TheProjectIsNamedAfterTheDatabaseTheScriptCreates) {
  const fs::path script = Write("instshop.sql", R"(USE master
GO
CREATE DATABASE [书店]
GO
USE [书店]
GO
CREATE TABLE [dbo].[图书] ([书号] varchar(13) NOT NULL PRIMARY KEY, [书名] nvarchar(60) NOT NULL)
GO
)");
  const TResult imported = Run("import-sql " + Quoted(script));
  EXPECT_EQ(imported.status, 0) << imported.err;
  EXPECT_NE(imported.err.find("已导入工程 1 书店, 共1个类"), std::string::npos) << imported.err;

  // Used, not created: the database it uses; none at all: the file's name.
  const TResult used = Run("import-sql " + Quoted(Write("a.sql",
                                                        "USE [Northwind]\nGO\n"
                                                        "CREATE TABLE T (id int PRIMARY KEY)\n")));
  EXPECT_NE(used.err.find("已导入工程 2 Northwind, 共1个类"), std::string::npos) << used.err;
  const TResult unnamed =
      Run("import-sql " + Quoted(Write("plain.sql", "CREATE TABLE T (id int PRIMARY KEY)\n")));
  EXPECT_NE(unnamed.err.find("已导入工程 3 plain, 共1个类"), std::string::npos) << unnamed.err;

  // The name exists: a clear refusal, nothing changed; --name still wins.
  const std::string before = Run("project list").out;
  const TResult again = Run("import-sql " + Quoted(script));
  EXPECT_EQ(again.status, 1);
  EXPECT_NE(again.err.find("工程名称\"书店\": 该工程名称已经存在!"), std::string::npos)
      << again.err;
  EXPECT_EQ(Run("project list").out, before);
  const TResult renamed = Run("import-sql " + Quoted(script) + " --name 书店二");
  EXPECT_EQ(renamed.status, 0) << renamed.err;
  EXPECT_EQ(Run("project list").out, before + "4\t书店二\n");
}

// A staff table in the style of the classic sample databases' install scripts: quoted names,
// the old sysobjects test, a view and a row of data, and a picture column Photo beside a text
// column PhotoPath. The import takes all of the table; the clash of Photo's path box with
// PhotoPath is for check to name, and the run refuses before it writes anything.
constexpr const char* kStaffScript = R"(SET NOCOUNT ON
GO
USE "master"
GO
CREATE DATABASE "StaffDir"
GO
USE "StaffDir"
GO
if exists (select * from sysobjects where id = object_id('dbo.Staff') and sysstat & 0xf = 3)
	drop table "dbo"."Staff"
GO
CREATE TABLE "Staff" (
	"StaffID" "int" IDENTITY (1, 1) NOT NULL ,
	"Surname" nvarchar (20) NOT NULL ,
	"HireDate" "datetime" NULL ,
	"Photo" "image" NULL ,
	"PhotoPath" nvarchar (255) NULL ,
	CONSTRAINT "PK_Staff" PRIMARY KEY  CLUSTERED ("StaffID")
)
GO
CREATE VIEW "Staff By Hire Date" AS SELECT Surname, HireDate FROM Staff
GO
INSERT "Staff"("Surname","PhotoPath") VALUES('Lin','http://example.invalid/lin.bmp')
GO
)";

TEST_F(ImportSqlCliTest, APictureBesideItsPathColumnImportsAndCheckNamesTheClash) {
  const fs::path source = fs::path(VBGEN_SOURCE_DIR) / "data";
  fs::copy(source / "template", Home() / "template", fs::copy_options::recursive);
  fs::copy(source / "bak", Home() / "bak", fs::copy_options::recursive);
  const TResult imported = Run("import-sql " + Quoted(Write("inststaff.sql", kStaffScript)));
  EXPECT_EQ(imported.status, 0) << imported.err;
  EXPECT_EQ(imported.out, "1\n");
  EXPECT_EQ(imported.err,
            "未导入: 第21行的视图[Staff By Hire Date]不是表, 已跳过\n"
            "未导入: 脚本中的1条数据语句(INSERT、UPDATE、DELETE等)已跳过, 只导入表结构\n"
            "已调整: 表\"Staff\"的列\"StaffID\"的名称首字母须小写(成员名规则), 改为staffID\n"
            "已调整: 表\"Staff\"的列\"Surname\"的名称首字母须小写(成员名规则), 改为surname\n"
            "已调整: 表\"Staff\"的列\"HireDate\"的名称首字母须小写(成员名规则), 改为hireDate\n"
            "已调整: 表\"Staff\"的列\"Photo\"的名称首字母须小写(成员名规则), 改为photo\n"
            "已调整: 表\"Staff\"的列\"PhotoPath\"的名称首字母须小写(成员名规则), 改为photoPath\n"
            "注意: 表\"Staff\"的列\"HireDate\"可为空: 自动生成完整应用代码时留空即存为NULL; "
            "自动生成代码时仍须必填\n"
            "已导入工程 1 StaffDir, 共1个类\n");
  const std::string members = Run("member list StaffDir Staff").out;
  for (const char* member : {"\tphoto\t图片型\t", "\tphotoPath\t字符串\t255\t"}) {
    EXPECT_NE(members.find(member), std::string::npos) << members;
  }

  // One error, on the member whose box the picture's path box takes, naming both.
  const TResult check = Run("check StaffDir");
  EXPECT_EQ(check.status, 1);
  EXPECT_EQ(std::count(check.out.begin(), check.out.end(), '\n'), 1) << check.out;
  EXPECT_EQ(check.out.rfind("错误: 工程\"StaffDir\" 类\"Staff\" 成员\"photoPath\": ", 0), 0u)
      << check.out;
  for (const char* part : {"TB_photoPath", "成员\"photo\""}) {
    EXPECT_NE(check.out.find(part), std::string::npos) << check.out;
  }
  const TResult generated = Run("generate StaffDir");
  EXPECT_EQ(generated.status, 1);
  EXPECT_NE(generated.err.find("TB_photoPath"), std::string::npos) << generated.err;
  EXPECT_FALSE(fs::exists(Home() / "projects" / "StaffDir"));
}

// Our scripts in the style of the public sample databases, imported as a user does: every
// table becomes a class, and the store holds for each member what the script declares.
TEST_F(ImportSqlCliTest, EveryTableOfTheSampleStyleScriptsBecomesAClassWithWhatItDeclares) {
  struct TScript {
    const char* file;
    const char* project;
    std::size_t tables;
  };
  const TScript scripts[] = {{"traders.sql", "Traders", 11},
                             {"music.sql", "Music", 11},
                             {"bookshop.sql", "bookshop", 10},
                             {"chinese_bookshop.sql", "书店", 6}};
  int projectId = 0;
  for (const TScript& script : scripts) {
    SCOPED_TRACE(script.file);
    const fs::path file = fs::path(VBGEN_SOURCE_DIR) / "tests" / "scripts" / script.file;
    const TResult imported = Run("import-sql " + Quoted(file));
    EXPECT_EQ(imported.status, 0) << imported.err;
    ++projectId;
    EXPECT_EQ(imported.out, std::to_string(projectId) + "\n");
    const std::string done = "已导入工程 " + std::to_string(projectId) + " " + script.project +
                             ", 共" + std::to_string(script.tables) + "个类\n";
    EXPECT_TRUE(imported.err.ends_with(done)) << imported.err;
  }

  // What the store holds is what the importer made of each script, new flags and all.
  TDbHelper::SetDatabasePath(Home() / "projects.db");
  projectId = 0;
  for (const TScript& script : scripts) {
    SCOPED_TRACE(script.file);
    ++projectId;
    const TSqlImportPlan plan = PlanSqlImport(
        ReadSqlSchema(Slurp(fs::path(VBGEN_SOURCE_DIR) / "tests" / "scripts" / script.file)));
    const TNamedIdList classes = TClassDAO().ListClasses(projectId);
    ASSERT_EQ(classes.size(), script.tables);
    for (std::size_t i = 0; i < classes.size(); ++i) {
      EXPECT_EQ(classes[i].name, plan.classes[i].className);
      TMemberList stored = TMemberDAO().ListMembers(classes[i].id);
      ASSERT_EQ(stored.size(), plan.classes[i].members.size()) << classes[i].name;
      for (std::size_t j = 0; j < stored.size(); ++j) {
        TMember expected = plan.classes[i].members[j];
        expected.memberId = stored[j].memberId;
        expected.projectId = projectId;
        expected.classId = classes[i].id;
        EXPECT_EQ(stored[j], expected) << classes[i].name << "." << stored[j].memberName;
      }
    }
  }
  // The order lines' key is the order and the product, in that order; the manager is an
  // employee; an unshipped order's date and freight may stay empty; a region is numbered by
  // hand; the log has no key.
  TMemberDAO members;
  auto classOf = [](int project, const char* name) {
    return TClassDAO().FindClassId(project, name).value_or(0);
  };
  std::vector<std::string> orderLineKey;
  for (const TMember& m : members.ListMembers(classOf(1, "Order_Details"))) {
    if (m.memberIsPri == 1) orderLineKey.push_back(m.memberName + ":" + m.memberType);
  }
  EXPECT_EQ(orderLineKey, (std::vector<std::string>{"orderID:Orders", "productID:Products"}));
  const TMemberList employees = members.ListMembers(classOf(1, "Employees"));
  EXPECT_EQ(employees.back().memberName, "reportsTo");
  EXPECT_EQ(employees.back().memberType, "Employees");
  EXPECT_EQ(employees.back().memberAllowNull, 1);
  for (const TMember& m : members.ListMembers(classOf(1, "Orders"))) {
    if (m.memberName == "shippedDate" || m.memberName == "freight") {
      EXPECT_EQ(m.memberAllowNull, 1) << m.memberName;
    }
  }
  EXPECT_EQ(members.ListMembers(classOf(1, "Region")).front().memberKeyEntered, 1);
  EXPECT_FALSE(members.GetKeyMember(classOf(1, "AuditLog")).has_value());
  const TMemberList tracks = members.ListMembers(classOf(2, "Track"));
  EXPECT_EQ(tracks.back().memberSqlType, "numeric");
  EXPECT_EQ(tracks.back().memberPrecision, 10);
  EXPECT_EQ(tracks.back().memberScale, 2);
  TDbHelper::Close();
}

// What a user with such a database does next: the complete application of each script, with
// the order lines and link tables managed by their whole key and the keyless log as a list.
TEST_F(ImportSqlCliTest, TheSampleStyleScriptsBecomeCompleteApplications) {
  for (const char* script : {"traders.sql", "music.sql", "bookshop.sql", "chinese_bookshop.sql"}) {
    const fs::path file = fs::path(VBGEN_SOURCE_DIR) / "tests" / "scripts" / script;
    ASSERT_EQ(Run("import-sql " + Quoted(file)).status, 0) << script;
  }
  for (const char* project : {"Traders", "Music", "bookshop", "书店"}) {
    SCOPED_TRACE(project);
    const TResult check = Run(std::string("check ") + project + " --complete");
    EXPECT_EQ(check.status, 0) << check.out << check.err;
    const TResult plainCheck = Run(std::string("check ") + project);
    EXPECT_EQ(plainCheck.status, 1) << "the plain output cannot hold their keys";
    const TResult generated = Run(std::string("generate ") + project + " --complete");
    EXPECT_EQ(generated.status, 0) << generated.err;
    EXPECT_NE(generated.out.find("所有代码生成完毕!"), std::string::npos) << generated.out;
  }
  const fs::path traders = Home() / "projects" / "Traders";
  EXPECT_TRUE(fs::exists(traders / "FrmAddOrder_Details.frm"));
  EXPECT_TRUE(fs::exists(traders / "FrmEditOrder_Details.frm"));
  EXPECT_TRUE(fs::exists(traders / "FrmManageAuditLog.frm"));
  // No row of the log can be named, so it is listed and searched only.
  for (const char* absent :
       {"FrmAddAuditLog.frm", "FrmAddAuditLog.frx", "FrmEditAuditLog.frm", "FrmEditAuditLog.frx"}) {
    EXPECT_FALSE(fs::exists(traders / absent)) << absent;
  }
  const std::string vbp = Slurp(traders / "vb信息管理系统.vbp");
  EXPECT_NE(vbp.find("Form=FrmManageAuditLog.frm\r\n"), std::string::npos);
  EXPECT_EQ(vbp.find("Form=FrmAddAuditLog.frm"), std::string::npos);
  EXPECT_EQ(vbp.find("Form=FrmEditAuditLog.frm"), std::string::npos);
  EXPECT_NE(vbp.find("Form=FrmAddOrder_Details.frm\r\nForm=FrmManageOrder_Details.frm\r\n"
                     "Form=FrmEditOrder_Details.frm\r\n"),
            std::string::npos);
  // The order line is found by the order and the product together.
  const std::string edit = Slurp(traders / "FrmEditOrder_Details.frm");
  EXPECT_NE(edit.find(" where [orderID] = ?"), std::string::npos);
  EXPECT_NE(edit.find(" and [productID] = ?"), std::string::npos);
  // A yes/no column is a check box, stored as one.
  const std::string addProduct = Slurp(traders / "FrmAddProducts.frm");
  EXPECT_NE(addProduct.find("Begin VB.CheckBox CHB_discontinued"), std::string::npos);
  EXPECT_NE(addProduct.find("Call AddYesNoParameter(cmd, Me.CHB_discontinued.Value)"),
            std::string::npos);

  // A picture: choosing one traps what can go wrong, and a new row without one stores NULL, not
  // the placeholder it shows; a stored picture LoadPicture cannot read still opens the row.
  const std::string addCategory = Slurp(traders / "FrmAddCategories.frm");
  EXPECT_NE(addCategory.find("  On Error GoTo NoDialog\r\n"), std::string::npos);
  EXPECT_NE(addCategory.find("  On Error GoTo NotAPicture\r\n"), std::string::npos);
  EXPECT_EQ(addCategory.find("LoadFromFile App.Path"), std::string::npos);
  EXPECT_NE(Slurp(traders / "FrmEditCategories.frm")
                .find("    On Error Resume Next\r\n    Me.Image_picture.Picture = LoadPicture("),
            std::string::npos);
  // The export writes UTF-8 through a stream; no dialog is made at run time in the module.
  const std::string module = Slurp(traders / "ModMain.bas");
  EXPECT_NE(module.find("  csv.Charset = \"utf-8\"\r\n"), std::string::npos);
  EXPECT_EQ(module.find("CreateObject(\"MSComDlg"), std::string::npos);

  // The music store: nvarchar names go as Unicode of their declared length, prices as
  // NUMERIC(10,2); an update writes only what the user changed; lists name each row with its
  // key; loading and showing a record trap their errors; a new invoice is dated today; its
  // name is what the track list is searched by.
  const fs::path music = Home() / "projects" / "Music";
  const std::string editTrack = Slurp(music / "FrmEditTrack.frm");
  const std::vector<std::string> trackLines = {
      std::string("  If ValueChanged(Me.RTB_name.Text, shownValues(1)) Then\r\n") +
          "    Call AddColumnTextParameter(cmd, Me.RTB_name.Text, True, 200, False)\r\n",
      "    Call AddFixedNumberParameter(cmd, Me.TB_unitPrice.Text, 10, 2, False)\r\n",
      "      Call AddNullParameter(cmd, adInteger)\r\n",
      "Me.CB_albumId.AddItem EntryLabel(rs.Fields(0).Value, rs.Fields(1).Value)\r\n",
      "  On Error GoTo LoadFailed\r\n",
      "  On Error GoTo ShowFailed\r\n",
  };
  for (const std::string& expected : trackLines) {
    EXPECT_NE(editTrack.find(expected), std::string::npos) << expected;
  }
  EXPECT_NE(Slurp(music / "FrmAddInvoice.frm").find("  Me.DTP_invoiceDate.Value = Date\r\n"),
            std::string::npos);
  EXPECT_NE(Slurp(music / "FrmManageTrack.frm")
                .find("  statementText = statementText & \" and (? = 0 or t.[name] like ?)\"\r\n"),
            std::string::npos);
}

}  // namespace
}  // namespace vbgen::test
