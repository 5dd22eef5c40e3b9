// Projects made from schema scripts: the classes and members the tables become under the
// model's rules, what is left out and said so, refusals that change nothing, the encodings the
// SQL Server tools save in, and the round trip through our own script.
#include <algorithm>
#include <fstream>
#include <random>
#include <sstream>
#include <tuple>

#include "TestModel.h"
#include "TestSupport.h"
#include "generate/Gbk.h"
#include "generate/check/ModelCheck.h"
#include "generate/emit/SqlScript.h"
#include "model/ModelFile.h"
#include "model/Rules.h"
#include "sqlimport/SqlImport.h"

namespace vbgen::test {
namespace {

// The one place the tests build our own script, whatever its builder's signature becomes.
std::string OwnScriptOf(int projectId) { return BuildTableScript(projectId); }

bool HasNote(const std::vector<std::string>& notes, const std::string& note) {
  return std::find(notes.begin(), notes.end(), note) != notes.end();
}

std::string AllNotes(const std::vector<std::string>& notes) {
  std::string all;
  for (const auto& note : notes) all += note + "\n";
  return all;
}

// A member as a comparable row: name, type, length, key, required, display, grid.
using TRow = std::tuple<std::string, std::string, int, int, int, int, int>;

TRow RowOf(const TMember& m) {
  return {m.memberName,   m.memberType,      m.memberLength,      m.memberIsPri,
          m.memberIsMust, m.memberIsDisplay, m.memberQueryDisplay};
}

std::vector<TRow> RowsOf(int classId) {
  std::vector<TRow> rows;
  for (const auto& member : TMemberDAO().ListMembers(classId)) rows.push_back(RowOf(member));
  return rows;
}

int ClassIdOf(int projectId, const std::string& name) {
  const std::optional<int> classId = TClassDAO().FindClassId(projectId, name);
  EXPECT_TRUE(classId) << "no class " << name;
  return classId.value_or(0);
}

std::vector<std::string> ClassNames(int projectId) {
  std::vector<std::string> names;
  for (const auto& entry : TClassDAO().ListClasses(projectId)) names.push_back(entry.name);
  return names;
}

constexpr const char* kShopScript = R"(USE [Shop]
GO
/****** Object:  Table [dbo].[Customers]    Script Date: 2026/12/8 ******/
SET ANSI_NULLS ON
GO
SET QUOTED_IDENTIFIER ON
GO
CREATE TABLE [dbo].[Customers](
	[CustomerID] [int] IDENTITY(1,1) NOT NULL,
	[CompanyName] [nvarchar](40) COLLATE Chinese_PRC_CI_AS NOT NULL,
	[ContactName] [nvarchar](30) NULL,
	[Notes] [nvarchar](max) NULL,
	[Photo] [image] NULL,
	[CreatedAt] [datetime] NOT NULL CONSTRAINT [DF_Customers_CreatedAt] DEFAULT (getdate()),
	[Active] [bit] NOT NULL DEFAULT ((1)),
 CONSTRAINT [PK_Customers] PRIMARY KEY CLUSTERED
(
	[CustomerID] ASC
)WITH (PAD_INDEX = OFF, STATISTICS_NORECOMPUTE = OFF, IGNORE_DUP_KEY = OFF) ON [PRIMARY]
) ON [PRIMARY] TEXTIMAGE_ON [PRIMARY]
GO
CREATE TABLE [dbo].[Employees](
	[EmployeeID] [int] IDENTITY(1,1) NOT NULL,
	[LastName] [nvarchar](20) NOT NULL,
	[ReportsTo] [int] NULL,
 CONSTRAINT [PK_Employees] PRIMARY KEY CLUSTERED ([EmployeeID] ASC)
) ON [PRIMARY]
GO
CREATE TABLE [Sales].[Orders](
	[OrderID] [int] NOT NULL,
	[CustomerID] [int] NULL,
	[EmployeeID] [int] NOT NULL,
	[OrderDate] [datetime2](7) NULL,
	[Freight] [money] NOT NULL,
	[ShipName] [nvarchar](40) NULL,
	[Total] AS ([Freight]*(2)) PERSISTED,
	[RowVersion] [timestamp] NOT NULL
) ON [PRIMARY]
GO
CREATE TABLE [dbo].[Order Details](
	[OrderID] [int] NOT NULL,
	[ProductID] [int] NOT NULL,
	[Quantity] [smallint] NOT NULL CONSTRAINT [DF_Order_Details_Quantity]  DEFAULT ((1)),
 CONSTRAINT [PK_Order_Details] PRIMARY KEY CLUSTERED
(
	[OrderID] ASC,
	[ProductID] ASC
)WITH (PAD_INDEX = OFF) ON [PRIMARY]
) ON [PRIMARY]
GO
CREATE TABLE [dbo].[Log]([Text] [varchar](100) NULL)
GO
ALTER TABLE [Sales].[Orders] ADD  CONSTRAINT [PK_Orders] PRIMARY KEY CLUSTERED
(
	[OrderID] ASC
)WITH (PAD_INDEX = OFF) ON [PRIMARY]
GO
ALTER TABLE [Sales].[Orders]  WITH CHECK ADD  CONSTRAINT [FK_Orders_Customers] FOREIGN KEY([CustomerID])
REFERENCES [dbo].[Customers] ([CustomerID])
ON DELETE SET NULL
GO
ALTER TABLE [Sales].[Orders] CHECK CONSTRAINT [FK_Orders_Customers]
GO
ALTER TABLE [Sales].[Orders]  WITH NOCHECK ADD  CONSTRAINT [FK_Orders_Employees] FOREIGN KEY([EmployeeID])
REFERENCES [dbo].[Employees] ([EmployeeID])
GO
ALTER TABLE [dbo].[Employees]  WITH CHECK ADD  CONSTRAINT [FK_Employees_Employees] FOREIGN KEY([ReportsTo])
REFERENCES [dbo].[Employees] ([EmployeeID])
GO
ALTER TABLE [dbo].[Order Details]  WITH CHECK ADD  CONSTRAINT [FK_Order_Details_Orders] FOREIGN KEY([OrderID])
REFERENCES [Sales].[Orders] ([OrderID])
GO
EXEC sys.sp_addextendedproperty @name=N'MS_Description', @value=N'客户' , @level0type=N'SCHEMA',@level0name=N'dbo', @level1type=N'TABLE',@level1name=N'Customers'
GO
EXEC sys.sp_addextendedproperty @name=N'MS_Description', @value=N'公司"名称"
(全称)' , @level0type=N'SCHEMA',@level0name=N'dbo', @level1type=N'TABLE',@level1name=N'Customers', @level2type=N'COLUMN',@level2name=N'CompanyName'
GO
EXEC sp_addextendedproperty N'MS_Description', N'订单', N'user', N'Sales', N'table', N'Orders'
GO
)";

class SqlImportTest : public ModelTest {
 protected:
  TSqlImportResult Import(const std::string& script, const std::string& name = "Shop") {
    return ImportSqlScript(script, name);
  }

  // Imports what must be refused; the message, and that the database is as it was.
  std::string Refused(const std::string& script, const std::string& name = "Refused") {
    const auto projectsBefore = TProjectDAO().ListProjects();
    try {
      ImportSqlScript(script, name);
    } catch (const TSqlImportError& error) {
      EXPECT_EQ(TProjectDAO().ListProjects(), projectsBefore);
      EXPECT_EQ(TDbHelper().QueryInt("select count(*) from t_class where projectId not in "
                                     "(select projectId from t_project)"),
                0);
      return error.what();
    }
    ADD_FAILURE() << "not refused";
    return {};
  }
};

TEST_F(SqlImportTest, TheStudiosScriptBecomesOneClassPerTableUnderTheMemberRules) {
  const TSqlImportResult result = Import(kShopScript);
  EXPECT_EQ(result.classCount, 5u);
  EXPECT_EQ(TProjectDAO().GetProjectName(result.projectId), "Shop");
  EXPECT_EQ(ClassNames(result.projectId),
            (std::vector<std::string>{"Customers", "Employees", "Orders", "Order_Details", "Log"}));

  const int customers = ClassIdOf(result.projectId, "Customers");
  EXPECT_EQ(TClassDAO().GetFriendName(customers), "客户");
  EXPECT_EQ(RowsOf(customers), (std::vector<TRow>{{"customerID", "整型", 0, 1, 1, 0, 1},
                                                  {"companyName", "字符串", 40, 0, 1, 1, 1},
                                                  {"contactName", "字符串", 30, 0, 0, 0, 1},
                                                  {"notes", "字符串", 4000, 0, 0, 0, 1},
                                                  {"photo", "图片型", 0, 0, 0, 0, 0},
                                                  {"createdAt", "日期型", 0, 0, 1, 0, 1},
                                                  {"active", "整型", 0, 0, 1, 0, 1}}));
  const auto customerMembers = TMemberDAO().ListMembers(customers);
  EXPECT_EQ(customerMembers[1].memberComment, "公司'名称' (全称)");
  EXPECT_EQ(customerMembers[2].memberComment, "ContactName");
  EXPECT_EQ(customerMembers[0].memberIsInteger, 1);

  const int employees = ClassIdOf(result.projectId, "Employees");
  EXPECT_EQ(TClassDAO().GetFriendName(employees), "Employees");
  EXPECT_EQ(RowsOf(employees), (std::vector<TRow>{{"employeeID", "整型", 0, 1, 1, 0, 1},
                                                  {"lastName", "字符串", 20, 0, 1, 1, 1},
                                                  {"reportsTo", "Employees", 0, 0, 1, 0, 1}}));

  const int orders = ClassIdOf(result.projectId, "Orders");
  EXPECT_EQ(TClassDAO().GetFriendName(orders), "订单");
  EXPECT_EQ(RowsOf(orders), (std::vector<TRow>{{"orderID", "整型", 0, 1, 1, 0, 1},
                                               {"customerID", "Customers", 0, 0, 1, 0, 1},
                                               {"employeeID", "Employees", 0, 0, 1, 0, 1},
                                               {"orderDate", "日期型", 0, 0, 1, 0, 1},
                                               {"freight", "浮点型", 0, 0, 1, 0, 1},
                                               {"shipName", "字符串", 40, 0, 0, 1, 1}}));
  // The order lines keep their key of two columns; the log comes in without a key.
  EXPECT_EQ(RowsOf(ClassIdOf(result.projectId, "Order_Details")),
            (std::vector<TRow>{{"orderID", "Orders", 0, 1, 1, 1, 1},
                               {"productID", "整型", 0, 1, 1, 0, 1},
                               {"quantity", "整型", 0, 0, 1, 0, 1}}));
  EXPECT_EQ(RowsOf(ClassIdOf(result.projectId, "Log")),
            (std::vector<TRow>{{"text", "字符串", 100, 0, 0, 1, 1}}));

  // Every change has its line, the first letter's case of each column too.
  auto lowered = [](const std::string& table, const std::string& column) {
    std::string member = column;
    member[0] = static_cast<char>(member[0] - 'A' + 'a');
    return "已调整: 表\"" + table + "\"的列\"" + column + "\"的名称首字母须小写(成员名规则), 改为" +
           member;
  };
  const std::string nullable =
      "可为空: 自动生成完整应用代码时留空即存为NULL; 自动生成代码时仍须必填";
  const std::string entered =
      "是整型主键却不是IDENTITY列, 已设为由用户输入: 自动生成完整应用代码时输入并检查重复; "
      "自动生成代码时仍由数据库编号";
  // A note too long for one line is one parenthesised literal, not two elements.
  const std::vector<std::string> expectedNotes{
      "已调整: 表\"Order Details\"的名称不合类名规则, 类名改为Order_Details",
      lowered("Customers", "CustomerID"),
      lowered("Customers", "CompanyName"),
      ("已调整: 表\"Customers\"的列\"CompanyName\"的说明含有双引号、控制字符或GBK无法表示的字符, "
       "已替换"),
      lowered("Customers", "ContactName"),
      lowered("Customers", "Notes"),
      ("已调整: 表\"Customers\"的列\"Notes\"的长度不限(nvarchar(max)), 按nvarchar(4000)导入: "
       "生成的程序最多输入4000个字符, 完整应用的建表脚本写nvarchar(4000)"),
      lowered("Customers", "Photo"),
      lowered("Customers", "CreatedAt"),
      lowered("Customers", "Active"),
      lowered("Employees", "EmployeeID"),
      lowered("Employees", "LastName"),
      lowered("Employees", "ReportsTo"),
      "注意: 表\"Employees\"的列\"ReportsTo\"" + nullable,
      lowered("Orders", "OrderID"),
      "注意: 表\"Orders\"的列\"OrderID\"" + entered,
      lowered("Orders", "CustomerID"),
      lowered("Orders", "EmployeeID"),
      lowered("Orders", "OrderDate"),
      lowered("Orders", "Freight"),
      lowered("Orders", "ShipName"),
      "未导入: 表\"Orders\"的列\"Total\"(第36行, 计算列)是计算列, 其值由数据库算出, 程序不能写入",
      ("未导入: 表\"Orders\"的列\"RowVersion\"(第37行, 类型timestamp)是数据库自动填写的行版本, "
       "程序无需输入"),
      "注意: 表\"Orders\"的列\"CustomerID\", \"OrderDate\"" + nullable,
      lowered("Order Details", "OrderID"),
      lowered("Order Details", "ProductID"),
      "注意: 表\"Order Details\"的列\"ProductID\"" + entered,
      lowered("Order Details", "Quantity"),
      ("注意: 表\"Log\"没有主键, 作为没有主键的类导入: 自动生成完整应用代码时只能查询和列出; "
       "自动生成代码不接受没有主键的类"),
      lowered("Log", "Text"),
  };
  EXPECT_EQ(result.notes, expectedNotes) << AllNotes(result.notes);
  // Keys of two columns, a reference to the own table and a table without a key are for the
  // complete application.
  EXPECT_EQ(FindModelProblems(result.projectId, {.complete = true}), std::vector<std::string>{});
}

TEST_F(SqlImportTest, NamesAreMappedToLegalOnesAndCollisionsRefused) {
  const TSqlImportResult result = Import(R"(
CREATE TABLE [order-items] ([Item No] int PRIMARY KEY, [unit price] money NOT NULL, [1st] varchar(5))
CREATE TABLE [订单] ([编号] char(10) NOT NULL PRIMARY KEY, [_x] int NOT NULL)
)");
  EXPECT_EQ(ClassNames(result.projectId), (std::vector<std::string>{"Order_items", "T订单"}));
  EXPECT_EQ(RowsOf(ClassIdOf(result.projectId, "Order_items")),
            (std::vector<TRow>{{"item_No", "整型", 0, 1, 1, 0, 1},
                               {"unit_price", "浮点型", 0, 0, 1, 0, 1},
                               {"m1st", "字符串", 5, 0, 0, 1, 1}}));
  const int chinese = ClassIdOf(result.projectId, "T订单");
  EXPECT_EQ(TClassDAO().GetFriendName(chinese), "订单");
  // A text key keeps its length; with no other text it is the display member too.
  EXPECT_EQ(RowsOf(chinese), (std::vector<TRow>{{"m编号", "字符串", 10, 1, 1, 1, 1},
                                                {"m_x", "整型", 0, 0, 1, 0, 1}}));
  EXPECT_TRUE(
      HasNote(result.notes, "已调整: 表\"order-items\"的名称不合类名规则, 类名改为Order_items"))
      << AllNotes(result.notes);
  EXPECT_TRUE(HasNote(result.notes,
                      "已调整: 表\"order-items\"的列\"Item No\"的名称不合成员名规则, "
                      "改为item_No"));
  EXPECT_TRUE(FindModelProblems(result.projectId).empty());
  EXPECT_FALSE(result.refused);
}

// Nothing changes in silence: the first letter's case, a caption made from a name, a blank
// description, a second foreign key on one column.
TEST_F(SqlImportTest, EveryChangeTheImportMakesHasItsOwnNote) {
  const TSqlImportResult result = Import(R"(
CREATE TABLE customer (id int IDENTITY PRIMARY KEY, name varchar(20) NOT NULL)
CREATE TABLE Region (id int IDENTITY PRIMARY KEY)
CREATE TABLE [say"hi] (id int IDENTITY PRIMARY KEY,
  owner int NOT NULL REFERENCES customer,
  CONSTRAINT FK_again FOREIGN KEY (owner) REFERENCES Region)
GO
EXEC sp_addextendedproperty N'MS_Description', N'  ', N'SCHEMA', N'dbo', N'TABLE', N'customer', N'COLUMN', N'name'
)");
  EXPECT_EQ(
      result.notes,
      (std::vector<std::string>{
          "已调整: 表\"customer\"的名称首字母须大写(类名规则), 类名改为Customer",
          "已调整: 表\"say\"hi\"的名称不合类名规则, 类名改为Say_hi",
          "已调整: 表\"customer\"的列\"name\"的说明只有空白或控制字符, 说明改为name",
          "已调整: 表\"say\"hi\"的名称含有双引号、控制字符或GBK无法表示的字符, 用作说明时已替换",
          ("未导入: 表\"say\"hi\"的列\"owner\"的又一个外键(第6行)对表\"Region\"的引用不作为引用; "
           "该列引用类Customer"),
      }))
      << AllNotes(result.notes);
  EXPECT_FALSE(result.refused);
  EXPECT_EQ(ClassNames(result.projectId),
            (std::vector<std::string>{"Customer", "Region", "Say_hi"}));
  const int sayHi = ClassIdOf(result.projectId, "Say_hi");
  EXPECT_EQ(TClassDAO().GetFriendName(sayHi), "say'hi");
  EXPECT_EQ(TMemberDAO().ListMembers(sayHi).at(1).memberType, "Customer");
  EXPECT_EQ(TMemberDAO().ListMembers(ClassIdOf(result.projectId, "Customer")).at(1).memberComment,
            "name");
}

// Two names that map to one: the first is imported, the later one is refused and named, and
// the rest of the script still comes in.
TEST_F(SqlImportTest, NamesThatCollideCostOnlyTheLaterOne) {
  const TSqlImportResult tables = Import(
      "CREATE TABLE [Order Items] (id int PRIMARY KEY)\n"
      "CREATE TABLE [Order-Items] (id int PRIMARY KEY)\n"
      "CREATE TABLE T (id int PRIMARY KEY,\n CustomerID int NOT NULL,\n customerID int NOT NULL)\n"
      "CREATE TABLE [dbo2].[t] (id int)\n"
      "CREATE TABLE K ([Item No] int NOT NULL, [Item_No] int PRIMARY KEY)\n");
  EXPECT_TRUE(tables.refused);
  EXPECT_EQ(ClassNames(tables.projectId), (std::vector<std::string>{"Order_Items", "T", "K"}));
  EXPECT_EQ(
      RowsOf(ClassIdOf(tables.projectId, "T")),
      (std::vector<TRow>{{"id", "整型", 0, 1, 1, 1, 1}, {"customerID", "整型", 0, 0, 1, 0, 1}}));
  // The key stays whichever comes first: the table is no class without it.
  EXPECT_EQ(RowsOf(ClassIdOf(tables.projectId, "K")),
            (std::vector<TRow>{{"item_No", "整型", 0, 1, 1, 1, 1}}));
  for (const char* note : {
           "未读取: 第6行: 表t已在第3行创建过; 该语句已跳过",
           "未导入: 表\"Order-Items\"(第2行)与第1行的表\"Order Items\"都对应类名Order_Items, "
           "无法区分",
           "未导入: 表\"T\"的列\"customerID\"(第5行)与列\"CustomerID\"都对应成员名customerID, "
           "无法区分",
           "未导入: 表\"K\"的列\"Item No\"(第7行)与列\"Item_No\"都对应成员名item_No, 无法区分",
       }) {
    EXPECT_TRUE(HasNote(tables.notes, note)) << note << "\n" << AllNotes(tables.notes);
  }
  EXPECT_TRUE(FindModelProblems(tables.projectId).empty());
}

TEST_F(SqlImportTest, WhatCannotBeImportedIsNamedAndTheRestImported) {
  const TSqlImportResult result = Import(R"(
CREATE TABLE [dbo].[admin]([adminUsername] [nvarchar](20) NULL)
CREATE TABLE Period (id int PRIMARY KEY, name varchar(9))
CREATE TABLE Stamp (at datetime PRIMARY KEY)
CREATE TABLE Pair (a int, b int, CONSTRAINT PK_Pair PRIMARY KEY (a, b), UNIQUE (b))
CREATE TABLE Item (
  id int IDENTITY PRIMARY KEY,
  label varchar(20) NULL,
  pa int NULL,
  pb int NOT NULL,
  stamp datetime NOT NULL REFERENCES Stamp (at),
  period int NOT NULL REFERENCES Period (name),
  other int NOT NULL REFERENCES Elsewhere (id),
  guid uniqueidentifier NOT NULL,
  period2 int NULL,
  CONSTRAINT FK_Item_Pair FOREIGN KEY (pa, pb) REFERENCES Pair (a, b),
  FOREIGN KEY (period2) REFERENCES Period)
)");
  // A key the model cannot hold leaves its table without one; a key of two columns is kept.
  EXPECT_EQ(ClassNames(result.projectId),
            (std::vector<std::string>{"Period", "Stamp", "Pair", "Item"}));
  EXPECT_EQ(RowsOf(ClassIdOf(result.projectId, "Stamp")),
            (std::vector<TRow>{{"at", "日期型", 0, 0, 1, 1, 1}}));
  EXPECT_EQ(RowsOf(ClassIdOf(result.projectId, "Pair")),
            (std::vector<TRow>{{"a", "整型", 0, 1, 1, 1, 1}, {"b", "整型", 0, 1, 1, 0, 1}}));
  EXPECT_EQ(RowsOf(ClassIdOf(result.projectId, "Item")),
            (std::vector<TRow>{{"id", "整型", 0, 1, 1, 0, 1},
                               {"label", "字符串", 20, 0, 0, 1, 1},
                               {"pa", "整型", 0, 0, 1, 0, 1},
                               {"pb", "整型", 0, 0, 1, 0, 1},
                               {"stamp", "日期型", 0, 0, 1, 0, 1},
                               {"period", "整型", 0, 0, 1, 0, 1},
                               {"other", "整型", 0, 0, 1, 0, 1},
                               {"period2", "Period", 0, 0, 1, 0, 1}}));
  const auto& notes = result.notes;
  for (const char* note : {
           "未导入: 表\"admin\"是生成的程序的操作员表, 不作为类导入",
           ("注意: 表\"Stamp\"的主键列\"at\"的类型datetime不能作为主键(主键须为整型或字符串), "
            "作为没有主键的类导入: 自动生成完整应用代码时只能查询和列出; "
            "自动生成代码不接受没有主键的类"),
           ("未导入: 表\"Item\"的外键(pa, pb)由多列组成, 不作为引用(第16行, 引用表\"Pair\"; "
            "引用成员只能保存一列的值); 各列按自身类型导入"),
           ("未导入: 表\"Item\"的列\"stamp\"对表\"Stamp\"的引用(该表作为没有主键的类导入), "
            "该列按自身类型导入"),
           "未导入: 表\"Item\"的列\"period\"对表\"Period\"的引用(引用的不是该表的主键), "
           "该列按自身类型导入",
           "未导入: 表\"Item\"的列\"other\"对表\"Elsewhere\"的引用(该表不在脚本中), "
           "该列按自身类型导入",
           ("未导入: 表\"Item\"的列\"guid\"(第14行, 类型uniqueidentifier)模型没有对应的成员类型; "
            "该列NOT NULL且没有默认值, 生成的程序无法向此表添加记录"),
       }) {
    EXPECT_TRUE(HasNote(notes, note)) << note << "\n" << AllNotes(notes);
  }
  EXPECT_TRUE(FindModelProblems(result.projectId, {.complete = true}).empty());
}

// Types SQL Server itself would not create cost a note, never the import: the model holds
// what the dialogs accept.
TEST_F(SqlImportTest, DeclaredTypesBeyondWhatSqlServerCreatesAreNotedAndFitted) {
  const TSqlImportResult result = Import(R"(CREATE TABLE Odd (
  flag bit IDENTITY PRIMARY KEY,
  wide varchar(9000) NULL,
  wider nvarchar(5000) NULL,
  upside decimal(5, 9) NOT NULL,
  huge numeric(40, 2) NOT NULL))");
  EXPECT_EQ(RowsOf(ClassIdOf(result.projectId, "Odd")),
            (std::vector<TRow>{{"flag", "整型", 0, 1, 1, 0, 1},
                               {"wide", "字符串", 8000, 0, 0, 1, 1},
                               {"wider", "字符串", 4000, 0, 0, 0, 1},
                               {"upside", "浮点型", 0, 0, 1, 0, 1},
                               {"huge", "浮点型", 0, 0, 1, 0, 1}}));
  const TMemberList members = TMemberDAO().ListMembers(ClassIdOf(result.projectId, "Odd"));
  EXPECT_EQ(members[0].memberSqlType, "bit");
  EXPECT_EQ(members[0].memberKeyEntered, 1);
  EXPECT_EQ(members[2].memberSqlType, "nvarchar");
  EXPECT_EQ(members[3].memberSqlType, "");
  EXPECT_EQ(members[4].memberPrecision, 0);
  for (const char* note : {
           "已调整: 表\"Odd\"的列\"wide\"的长度9000超过varchar的上限8000, 按8000导入",
           "已调整: 表\"Odd\"的列\"wider\"的长度5000超过nvarchar的上限4000, 按4000导入",
           ("已调整: 表\"Odd\"的列\"upside\"的类型decimal(5, 9)不是SQL Server能建立的类型(精度1到"
            "38, 小数位数不超过精度), 按float导入"),
           ("已调整: 表\"Odd\"的列\"huge\"的类型numeric(40, 2)不是SQL Server能建立的类型(精度1到"
            "38, 小数位数不超过精度), 按float导入"),
       }) {
    EXPECT_TRUE(HasNote(result.notes, note)) << note << "\n" << AllNotes(result.notes);
  }
}

// A name too long for the generated forms cannot be shortened (the SQL names the table by it):
// its table or column is left out and named, and the rest comes in.
TEST_F(SqlImportTest, NamesTooLongForTheFormsCostOnlyTheirTableOrColumn) {
  const TSqlImportResult result = Import(
      "CREATE TABLE T (id int IDENTITY PRIMARY KEY,\n"
      "  ThisColumnNameIsFarTooLongForAnyControl varchar(10), ok varchar(10))\n"
      "CREATE TABLE ThisTableNameIsFarTooLongForAForm (id int PRIMARY KEY)\n"
      "CREATE TABLE K (ThisKeyNameIsFarTooLongForAnyOfTheControls int PRIMARY KEY)\n");
  EXPECT_TRUE(result.refused);
  EXPECT_EQ(ClassNames(result.projectId), std::vector<std::string>{"T"});
  EXPECT_EQ(RowsOf(ClassIdOf(result.projectId, "T")),
            (std::vector<TRow>{{"id", "整型", 0, 1, 1, 0, 1}, {"ok", "字符串", 10, 0, 0, 1, 1}}));
  for (const char* note : {
           ("未导入: 表\"T\"的列\"ThisColumnNameIsFarTooLongForAnyControl\"(第2行): 成员名称最长36"
            "个字符: 生成的VB6控件名RTB_加成员名称不能超过40个字符!"),
           ("未导入: 表\"ThisTableNameIsFarTooLongForAForm\"(第3行)的类名"
            "ThisTableNameIsFarTooLongForAForm: 类名最长31个字符: 生成的VB6控件名CB_Manage加类名"
            "不能超过40个字符!"),
           ("未导入: 表\"K\"(第4行)的主键列\"ThisKeyNameIsFarTooLongForAnyOfTheControls\": "
            "成员名称最长37个字符: 生成的VB6控件名TB_加成员名称不能超过40个字符!"),
       }) {
    EXPECT_TRUE(HasNote(result.notes, note)) << note << "\n" << AllNotes(result.notes);
  }
}

TEST_F(SqlImportTest, RefusalsChangeNothing) {
  AddProject("Taken");
  EXPECT_EQ(Refused(kShopScript, "Taken"), "工程名称\"Taken\": 该工程名称已经存在!");
  EXPECT_EQ(Refused(kShopScript, "a/b"),
            "工程名称\"a/b\": 工程名称不能包含控制字符或下列字符: < > : \" / \\ | ? *");
  EXPECT_EQ(Refused("SET NOCOUNT ON\nGO\n"), "脚本中没有可导入的表");
  EXPECT_EQ(Refused("CREATE TABLE T (id int, CONSTRAINT PK PRIMARY KEY (ident))"),
            "脚本中没有可导入的表");
  try {
    ImportSqlScript("CREATE TABLE Doc (body xml)\nCREATE TABLE admin (a int PRIMARY KEY)",
                    "Nothing");
    ADD_FAILURE() << "not refused";
  } catch (const TSqlImportError& error) {
    EXPECT_EQ(std::string(error.what()), "脚本中没有可导入的表");
    EXPECT_EQ(error.Notes(),
              (std::vector<std::string>{
                  "未导入: 表\"admin\"是生成的程序的操作员表, 不作为类导入",
                  "未导入: 表\"Doc\"的列\"body\"(第1行, 类型xml)模型没有XML文档的成员类型",
                  "未导入: 表\"Doc\"没有主键, 也没有可导入的列"}));
  }
  EXPECT_EQ(TProjectDAO().ListProjects().size(), 1u);
}

TEST_F(SqlImportTest, ADatabaseFailureHalfwayLeavesNoProjectBehind) {
  AddProject("Before");
  // Another tool has damaged the model: the members' table is gone, so the first member fails
  // after the project and its classes were stored.
  TDbHelper().ExecuteSql("drop table t_member");
  EXPECT_THROW(ImportSqlScript(kShopScript, "Shop"), TDbError);
  EXPECT_EQ(TProjectDAO().ListProjects().size(), 1u);
  EXPECT_EQ(TDbHelper().QueryInt("select count(*) from t_class"), 0);
}

// UTF-16 with its byte-order mark, as the SQL Server tools save scripts by default.
std::string Utf16(const std::string& utf8, bool bigEndian) {
  std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  auto put = [&](char16_t unit) {
    char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
    bytes += bigEndian ? std::string{high, low} : std::string{low, high};
  };
  std::size_t pos = 0;
  while (pos < utf8.size()) {
    const std::optional<char32_t> next = NextCodePoint(utf8, pos);
    if (!next) break;
    const char32_t c = *next;
    if (c < 0x10000) {
      put(static_cast<char16_t>(c));
    } else {
      put(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
      put(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
    }
  }
  return bytes;
}

TEST_F(SqlImportTest, ReadsTheEncodingsTheToolsSaveIn) {
  const std::string script =
      "CREATE TABLE [图书] ([编号] int PRIMARY KEY, [书名] nvarchar(50) NOT NULL)\r\nGO\r\n"
      "EXEC sp_addextendedproperty N'MS_Description', N'图书信息', N'user', N'dbo', N'table', "
      "N'图书'\r\n";
  const std::vector<std::pair<std::string, std::string>> files{
      {"UTF-8", script},
      {"UTF-8 BOM", "\xEF\xBB\xBF" + script},
      {"UTF-16LE", Utf16(script, false)},
      {"UTF-16BE", Utf16(script, true)},
      {"GBK", Utf8ToGbk(script)},
  };
  for (const auto& [encoding, bytes] : files) {
    SCOPED_TRACE(encoding);
    const TSqlImportResult result = ImportSqlScript(bytes, encoding);
    const int classId = ClassIdOf(result.projectId, "T图书");
    EXPECT_EQ(TClassDAO().GetFriendName(classId), "图书信息");
    EXPECT_EQ(RowsOf(classId), (std::vector<TRow>{{"m编号", "整型", 0, 1, 1, 0, 1},
                                                  {"m书名", "字符串", 50, 0, 1, 1, 1}}));
  }
  EXPECT_EQ(Refused("CREATE TABLE T (id int PRIMARY KEY) -- \xFF\xFE\xFF"),
            "文件不是有效的UTF-8或GBK文本(第40个字节处无法解码)");
  EXPECT_EQ(Refused(Utf16("CREATE TABLE T (id int PRIMARY KEY)", false).substr(2)),
            "文件含有NUL字符, 不是文本脚本(UTF-16的文件须以字节顺序标记开头)");
  EXPECT_EQ(Refused(std::string("\xFF\xFE\x00\xD8", 4)),
            "文件不是有效的UTF-16文本(第3个字节处无法解码)");
}

TEST_F(SqlImportTest, CharactersGbkCannotHoldAreReplacedAndReported) {
  const TSqlImportResult result = Import(
      "CREATE TABLE [Book😀] ([id] int PRIMARY KEY)\nGO\n"
      "EXEC sp_addextendedproperty N'MS_Description', N'书😀', N'user', N'dbo', N'table', "
      "N'Book😀'\n");
  EXPECT_EQ(ClassNames(result.projectId), std::vector<std::string>{"Book_"});
  EXPECT_EQ(TClassDAO().GetFriendName(ClassIdOf(result.projectId, "Book_")), "书?");
  EXPECT_TRUE(FindModelProblems(result.projectId).empty());
}

// ---- round trip: our script of a model that passes the check gives the model back ----

// What the script keeps of each class: the key first, then the other members in order; the
// key is always NOT NULL and a picture always NULL in it.
std::vector<std::pair<std::string, std::vector<TRow>>> ShapeAfterScript(int projectId) {
  std::vector<std::pair<std::string, std::vector<TRow>>> shape;
  TMemberDAO members;
  for (const auto& entry : TClassDAO().ListClasses(projectId)) {
    std::vector<TRow> rows;
    auto rowOf = [](TMember m) {
      if (m.memberIsPri == 1) m.memberIsMust = 1;
      if (m.memberType == kTypePicture) m.memberIsMust = 0;
      return TRow{m.memberName, m.memberType, m.memberLength, m.memberIsPri, m.memberIsMust, 0, 0};
    };
    rows.push_back(rowOf(*members.GetKeyMember(entry.id)));
    for (const auto& member : members.ListNonKeyMembers(entry.id)) rows.push_back(rowOf(member));
    shape.emplace_back(entry.name, rows);
  }
  return shape;
}

std::vector<std::pair<std::string, std::vector<TRow>>> ShapeOf(int projectId) {
  std::vector<std::pair<std::string, std::vector<TRow>>> shape;
  for (const auto& entry : TClassDAO().ListClasses(projectId)) {
    std::vector<TRow> rows;
    for (const auto& member : TMemberDAO().ListMembers(entry.id)) {
      TRow row = RowOf(member);
      std::get<5>(row) = std::get<6>(row) = 0;  // display and grid flags are not in the script
      rows.push_back(row);
    }
    shape.emplace_back(entry.name, rows);
  }
  return shape;
}

void ExpectRoundTrip(int projectId, const std::string& copyName) {
  ASSERT_EQ(FindModelProblems(projectId), std::vector<std::string>{});
  const TSqlImportResult back = ImportSqlScript(OwnScriptOf(projectId), copyName);
  EXPECT_EQ(ShapeOf(back.projectId), ShapeAfterScript(projectId));
  EXPECT_TRUE(FindModelProblems(back.projectId).empty());
  // The operators' table with its row and the date and picture columns' NULL are all the
  // script adds.
  const std::string operatorsRow =
      "未导入: 脚本中的2条数据语句(INSERT、UPDATE、DELETE等)已跳过, 只导入表结构";
  for (const auto& note : back.notes) {
    EXPECT_TRUE(note.find("admin") != std::string::npos || note == operatorsRow ||
                note.find("可为空: 自动生成完整应用代码时留空即存为NULL") != std::string::npos)
        << note;
  }
}

TEST_F(SqlImportTest, TheExampleComesBackFromItsScript) {
  const std::string example =
      TFileOperate::ReadBytes(SourceDir() / "data" / "examples" / "library.json");
  const int projectId = ImportProject(example, std::nullopt);
  ExpectRoundTrip(projectId, "copy");
  EXPECT_GE(ClassNames(projectId).size(), 2u);
}

// A model the dialogs could have built: any order, every type, references either way.
void AddRandomModel(std::mt19937& random, int projectId) {
  auto pick = [&random](int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random);
  };
  TDbTransaction oneCommit;  // a model of many rows, stored at once
  const char* const tails[] = {"", "书", "_a", "X9", "名称", "_"};
  const int classCount = pick(1, 6);
  std::vector<std::string> classNames;
  for (int i = 0; i < classCount; ++i) {
    classNames.push_back("K" + std::to_string(i) + tails[pick(0, 5)]);
    TClassDAO().AddClass(projectId, classNames.back(), "类" + std::to_string(i), pick(0, 1));
  }
  const auto classes = TClassDAO().ListClasses(projectId);
  for (int i = 0; i < classCount; ++i) {
    const int memberCount = pick(0, 7);
    const int keyAt = pick(0, memberCount);
    std::vector<TMember> members;
    for (int j = 0; j <= memberCount; ++j) {
      TMember m;
      m.projectId = projectId;
      m.classId = classes[i].id;
      m.memberName = "m" + std::to_string(j) + tails[pick(0, 5)];
      m.memberComment = "注释" + std::to_string(j);
      const int kind = j == keyAt ? pick(0, 1) : pick(0, classCount > 1 ? 5 : 4);
      if (kind == 5) {
        int target = pick(0, classCount - 2);
        if (target >= i) ++target;
        m.memberType = classNames[target];
      } else {
        m.memberType = std::string(kBuiltinTypes[kind]);
      }
      m.memberIsPri = j == keyAt ? 1 : 0;
      m.memberLength = m.memberType == kTypeString ? pick(1, 8000) : 0;
      m.memberIsInteger = m.memberType == kTypeInteger;
      m.memberIsFloat = m.memberType == kTypeFloat;
      const bool free = m.memberType == kTypeString || m.memberType == kTypePicture;
      m.memberIsMust = free ? pick(0, 1) : 1;
      m.memberQueryDisplay = m.memberType == kTypePicture ? 0 : (j == keyAt ? 1 : pick(0, 1));
      m.queryFlag = (m.memberType == kTypeString || m.memberType == kTypeDate) ? pick(0, 1) : 0;
      members.push_back(m);
    }
    members[static_cast<std::size_t>(pick(0, memberCount))].memberIsDisplay = 1;
    for (const auto& member : members) TMemberDAO().AddMember(member);
  }
  oneCommit.Commit();
}

TEST_F(SqlImportTest, RandomModelsComeBackFromTheirScripts) {
  std::mt19937 random(20261208);
  for (int round = 0; round < 40; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    const int projectId = AddProject("random" + std::to_string(round));
    AddRandomModel(random, projectId);
    ExpectRoundTrip(projectId, "back" + std::to_string(round));
    if (HasFailure()) break;
  }
}

}  // namespace
}  // namespace vbgen::test
