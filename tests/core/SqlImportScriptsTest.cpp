// What our scripts in the style of the public sample databases become: every table a class,
// keys of several columns in the key's order, optional columns, references to the own table,
// keys typed by hand, the declared types, the display member and the query members.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "TestSupport.h"
#include "sqlimport/SqlImport.h"

namespace vbgen::test {
namespace {

TSqlImportPlan PlanOf(const std::string& script) { return PlanSqlImport(ReadSqlSchema(script)); }

std::string ScriptFile(const std::string& name) {
  std::ifstream in(SourceDir() / "tests" / "scripts" / name, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_FALSE(text.str().empty()) << "no script " << name;
  return text.str();
}

// A member in one line: name, type, length, declared type, then its flags in words.
std::string Describe(const TMember& m) {
  std::string text = m.memberName + " " + m.memberType;
  if (m.memberLength != 0) text += " " + std::to_string(m.memberLength);
  if (!m.memberSqlType.empty()) text += " " + m.memberSqlType;
  if (m.memberPrecision != 0) {
    text += "(" + std::to_string(m.memberPrecision) + "," + std::to_string(m.memberScale) + ")";
  }
  const std::pair<int, const char*> flags[] = {
      {m.memberIsPri, "主键"},     {m.memberKeyEntered, "输入"}, {m.memberIsMust, "必填"},
      {m.memberAllowNull, "可空"}, {m.memberIsDisplay, "显示"},  {m.queryFlag, "查询"}};
  for (const auto& [flag, word] : flags) {
    if (flag == 1) text += std::string(" ") + word;
  }
  return text;
}

std::vector<std::string> ClassNames(const TSqlImportPlan& plan) {
  std::vector<std::string> names;
  for (const auto& imported : plan.classes) names.push_back(imported.className);
  return names;
}

std::vector<std::string> MembersOf(const TSqlImportPlan& plan, const std::string& className) {
  for (const auto& imported : plan.classes) {
    if (imported.className != className) continue;
    std::vector<std::string> members;
    for (const auto& member : imported.members) members.push_back(Describe(member));
    return members;
  }
  ADD_FAILURE() << "no class " << className;
  return {};
}

bool HasNote(const TSqlImportPlan& plan, const std::string& note) {
  return std::find(plan.notes.begin(), plan.notes.end(), note) != plan.notes.end();
}

std::string AllNotes(const TSqlImportPlan& plan) {
  std::string all;
  for (const auto& note : plan.notes) all += note + "\n";
  return all;
}

using Lines = std::vector<std::string>;

TEST(SqlImportScriptsTest, TheTradersTablesAllBecomeClassesAsTheDatabaseDeclaresThem) {
  const TSqlImportPlan plan = PlanOf(ScriptFile("traders.sql"));
  EXPECT_FALSE(plan.refused) << AllNotes(plan);
  EXPECT_EQ(ClassNames(plan),
            (Lines{"Categories", "Region", "Territories", "Employees", "EmployeeTerritories",
                   "Customers", "Shippers", "Products", "Orders", "Order_Details", "AuditLog"}));
  // ntext keeps its Unicode as the longest nvarchar; a picture is never required.
  EXPECT_EQ(MembersOf(plan, "Categories"),
            (Lines{"categoryID 整型 主键 必填", "categoryName 字符串 15 nvarchar 必填 显示 查询",
                   "description 字符串 4000 nvarchar 可空", "picture 图片型 可空"}));
  // Numbered by hand: the key is not an IDENTITY; its primary key came by ALTER TABLE.
  EXPECT_EQ(MembersOf(plan, "Region"), (Lines{"regionID 整型 主键 输入 必填",
                                              "regionDescription 字符串 50 nchar 必填 显示 查询"}));
  EXPECT_EQ(MembersOf(plan, "Territories"),
            (Lines{"territoryID 字符串 20 nvarchar 主键 必填 查询",
                   "territoryDescription 字符串 50 nchar 必填 显示 查询", "regionID Region 必填"}));
  // The surname names the row, not the job title; ReportsTo is an employee of the same table.
  EXPECT_EQ(MembersOf(plan, "Employees"),
            (Lines{"employeeID 整型 主键 必填", "lastName 字符串 20 nvarchar 必填 显示 查询",
                   "firstName 字符串 10 nvarchar 必填 查询", "title 字符串 30 nvarchar 可空 查询",
                   "titleOfCourtesy 字符串 25 nvarchar 可空 查询", "birthDate 日期型 必填 可空",
                   "hireDate 日期型 必填 可空", "city 字符串 15 nvarchar 可空 查询",
                   "homePhone 字符串 24 nvarchar 可空 查询", "notes 字符串 4000 nvarchar 可空",
                   "reportsTo Employees 必填 可空"}));
  // A link table: its key is its two references, and with no text the first of them is shown.
  EXPECT_EQ(MembersOf(plan, "EmployeeTerritories"),
            (Lines{"employeeID Employees 主键 必填 显示", "territoryID Territories 主键 必填"}));
  // Eight query members at most: the last two short texts find no room.
  EXPECT_EQ(
      MembersOf(plan, "Customers"),
      (Lines{"customerID 字符串 5 nchar 主键 必填 查询",
             "companyName 字符串 40 nvarchar 必填 显示 查询",
             "contactName 字符串 30 nvarchar 可空 查询",
             "contactTitle 字符串 30 nvarchar 可空 查询", "address 字符串 60 nvarchar 可空",
             "city 字符串 15 nvarchar 可空 查询", "region 字符串 15 nvarchar 可空 查询",
             "postalCode 字符串 10 nvarchar 可空 查询", "country 字符串 15 nvarchar 可空 查询",
             "phone 字符串 24 nvarchar 可空", "fax 字符串 24 nvarchar 可空"}));
  // money, smallint and bit are kept; a DEFAULT does not make a column required.
  EXPECT_EQ(
      MembersOf(plan, "Products"),
      (Lines{"productID 整型 主键 必填", "productName 字符串 40 nvarchar 必填 显示 查询",
             "categoryID Categories 必填 可空", "quantityPerUnit 字符串 20 nvarchar 可空 查询",
             "unitPrice 浮点型 money 必填 可空", "unitsInStock 整型 smallint 必填 可空",
             "discontinued 整型 bit 必填"}));
  // An order that has not shipped yet: ShippedDate and Freight may stay empty.
  EXPECT_EQ(MembersOf(plan, "Orders"),
            (Lines{"orderID 整型 主键 必填", "customerID Customers 必填 可空",
                   "employeeID Employees 必填 可空", "orderDate 日期型 必填 可空",
                   "requiredDate 日期型 必填 可空", "shippedDate 日期型 必填 可空",
                   "shipVia Shippers 必填 可空", "freight 浮点型 money 必填 可空",
                   "shipName 字符串 40 nvarchar 可空 显示 查询"}));
  // The order lines: keyed by order and product, each a reference.
  EXPECT_EQ(MembersOf(plan, "Order_Details"),
            (Lines{"orderID Orders 主键 必填 显示", "productID Products 主键 必填",
                   "unitPrice 浮点型 money 必填", "quantity 整型 smallint 必填",
                   "discount 浮点型 必填"}));
  EXPECT_EQ(MembersOf(plan, "AuditLog"),
            (Lines{"loggedAt 日期型 必填", "userName 字符串 30 nvarchar 可空 显示 查询",
                   "message 字符串 200 nvarchar 可空"}));

  for (
      const char* note : {
          ("注意: 表\"AuditLog\"没有主键, 作为没有主键的类导入: 自动生成完整应用代码时只能查询和"
           "列出; 自动生成代码不接受没有主键的类"),
          ("注意: 表\"Region\"的列\"RegionID\"是整型主键却不是IDENTITY列, 已设为由用户输入: "
           "自动生成完整应用代码时输入并检查重复; 自动生成代码时仍由数据库编号"),
          ("注意: 表\"Orders\"的列\"CustomerID\", \"EmployeeID\", \"OrderDate\", \"RequiredDate\", "
           "\"ShippedDate\", \"ShipVia\", \"Freight\"可为空: 自动生成完整应用代码时留空即存为NULL; "
           "自动生成代码时仍须必填"),
          ("注意: 表\"Customers\"的短文本列多于8个, 列\"Phone\", \"Fax\"未设为查询条件"
           "(可在成员中勾选)"),
          ("已调整: 表\"Categories\"的列\"Description\"的长度不限(ntext), 按nvarchar(4000)导入: "
           "生成的程序最多输入4000个字符, 完整应用的建表脚本写nvarchar(4000)"),
          "未导入: 脚本中的2条数据语句(INSERT、UPDATE、DELETE等)已跳过, 只导入表结构",
      }) {
    EXPECT_TRUE(HasNote(plan, note)) << note << "\n" << AllNotes(plan);
  }
  // Nothing is said to be left out but the data.
  for (const auto& note : plan.notes) {
    EXPECT_TRUE(note.rfind("未导入: 脚本中的", 0) == 0 || note.rfind("未导入", 0) != 0) << note;
  }
}

TEST(SqlImportScriptsTest, TheMusicStoresKeysAreTypedAndThePlaylistKeyKeepsItsOrder) {
  const TSqlImportPlan plan = PlanOf(ScriptFile("music.sql"));
  EXPECT_FALSE(plan.refused) << AllNotes(plan);
  EXPECT_EQ(ClassNames(plan),
            (Lines{"Artist", "Album", "Genre", "MediaType", "Track", "Playlist", "PlaylistTrack",
                   "Employee", "Customer", "Invoice", "InvoiceLine"}));
  EXPECT_EQ(MembersOf(plan, "Artist"),
            (Lines{"artistId 整型 主键 输入 必填", "name 字符串 120 nvarchar 可空 显示 查询"}));
  // A column called Title names an album.
  EXPECT_EQ(MembersOf(plan, "Album"),
            (Lines{"albumId 整型 主键 输入 必填", "title 字符串 160 nvarchar 必填 显示 查询",
                   "artistId Artist 必填"}));
  EXPECT_EQ(
      MembersOf(plan, "Track"),
      (Lines{"trackId 整型 主键 输入 必填", "name 字符串 200 nvarchar 必填 显示 查询",
             "albumId Album 必填 可空", "mediaTypeId MediaType 必填", "genreId Genre 必填 可空",
             "composer 字符串 220 nvarchar 可空", "milliseconds 整型 必填", "bytes 整型 必填 可空",
             "unitPrice 浮点型 numeric(10,2) 必填"}));
  // The table lists the track first, the key the playlist: the key's order wins.
  EXPECT_EQ(MembersOf(plan, "PlaylistTrack"),
            (Lines{"playlistId Playlist 主键 必填 显示", "trackId Track 主键 必填"}));
  EXPECT_TRUE(HasNote(plan,
                      "已调整: 表\"PlaylistTrack\"的主键(PlaylistId, TrackId)与列的顺序不同: "
                      "主键的列按主键的顺序排在最前, 其余的列按表中的顺序"))
      << AllNotes(plan);
  EXPECT_EQ(MembersOf(plan, "Employee"),
            (Lines{"employeeId 整型 主键 输入 必填", "lastName 字符串 20 nvarchar 必填 显示 查询",
                   "firstName 字符串 20 nvarchar 必填 查询", "title 字符串 30 nvarchar 可空 查询",
                   "reportsTo Employee 必填 可空", "birthDate 日期型 必填 可空",
                   "hireDate 日期型 必填 可空", "city 字符串 40 nvarchar 可空 查询",
                   "email 字符串 60 nvarchar 可空"}));
  EXPECT_EQ(MembersOf(plan, "Customer"),
            (Lines{"customerId 整型 主键 输入 必填", "firstName 字符串 40 nvarchar 必填 显示 查询",
                   "lastName 字符串 20 nvarchar 必填 查询", "company 字符串 80 nvarchar 可空",
                   "address 字符串 70 nvarchar 可空", "city 字符串 40 nvarchar 可空 查询",
                   "state 字符串 40 nvarchar 可空 查询", "country 字符串 40 nvarchar 可空 查询",
                   "postalCode 字符串 10 nvarchar 可空 查询", "phone 字符串 24 nvarchar 可空 查询",
                   "fax 字符串 24 nvarchar 可空 查询", "email 字符串 60 nvarchar 必填",
                   "supportRepId Employee 必填 可空", "vip 整型 bit 必填"}));
  // No name or title: the first text names the row, as before.
  EXPECT_EQ(MembersOf(plan, "Invoice"),
            (Lines{"invoiceId 整型 主键 输入 必填", "customerId Customer 必填",
                   "invoiceDate 日期型 必填", "billingAddress 字符串 70 nvarchar 可空 显示 查询",
                   "billingCity 字符串 40 nvarchar 可空 查询", "total 浮点型 numeric(10,2) 必填"}));
}

TEST(SqlImportScriptsTest, ThePublishersOwnTypesKeysOfThreeColumnsAndKeylessTables) {
  const TSqlImportPlan plan = PlanOf(ScriptFile("bookshop.sql"));
  EXPECT_FALSE(plan.refused) << AllNotes(plan);
  EXPECT_EQ(ClassNames(plan), (Lines{"Authors", "Publishers", "Titles", "Titleauthor", "Stores",
                                     "Sales", "Roysched", "Discounts", "Jobs", "Employee"}));
  // The key's type is sp_addtype's id, a varchar(11) NOT NULL.
  EXPECT_EQ(MembersOf(plan, "Authors"),
            (Lines{"au_id 字符串 11 主键 必填 查询", "au_lname 字符串 40 必填 显示 查询",
                   "au_fname 字符串 20 必填 查询", "phone 字符串 12 char 必填 查询",
                   "address 字符串 40 可空 查询", "city 字符串 20 可空 查询",
                   "state 字符串 2 char 可空 查询", "zip 字符串 5 char 可空 查询",
                   "contract 整型 bit 必填"}));
  EXPECT_EQ(MembersOf(plan, "Titleauthor"),
            (Lines{"au_id Authors 主键 必填 显示", "title_id Titles 主键 必填",
                   "au_ord 整型 tinyint 必填 可空", "royaltyper 整型 必填 可空"}));
  // A key of three columns, in the table's order already: nothing moves.
  EXPECT_EQ(MembersOf(plan, "Sales"),
            (Lines{"stor_id Stores 主键 必填", "ord_num 字符串 20 主键 必填 查询",
                   "ord_date 日期型 必填", "qty 整型 smallint 必填",
                   "payterms 字符串 12 必填 显示 查询", "title_id Titles 主键 必填"}));
  // Without a key, a reference still refers to a table that has one.
  EXPECT_EQ(MembersOf(plan, "Roysched"),
            (Lines{"title_id Titles 必填 显示", "lorange 整型 必填 可空", "hirange 整型 必填 可空",
                   "royalty 整型 必填 可空"}));
  EXPECT_EQ(MembersOf(plan, "Discounts"),
            (Lines{"discounttype 字符串 40 必填 显示 查询", "stor_id Stores 必填 可空",
                   "lowqty 整型 smallint 必填 可空", "highqty 整型 smallint 必填 可空",
                   "discount 浮点型 decimal(4,2) 必填"}));
  EXPECT_EQ(MembersOf(plan, "Jobs"),
            (Lines{"job_id 整型 smallint 主键 必填", "job_desc 字符串 50 必填 显示 查询",
                   "min_lvl 整型 tinyint 必填", "max_lvl 整型 tinyint 必填"}));
  EXPECT_EQ(
      MembersOf(plan, "Employee"),
      (Lines{"emp_id 字符串 9 char 主键 必填 查询", "fname 字符串 20 必填 显示 查询",
             "minit 字符串 1 char 可空 查询", "lname 字符串 30 必填 查询", "job_id Jobs 必填",
             "job_lvl 整型 tinyint 必填 可空", "pub_id Publishers 必填", "hire_date 日期型 必填"}));
  for (const char* table : {"roysched", "discounts"}) {
    EXPECT_TRUE(HasNote(plan, std::string("注意: 表\"") + table +
                                  "\"没有主键, 作为没有主键的类导入: 自动生成完整应用代码时只能"
                                  "查询和列出; 自动生成代码不接受没有主键的类"))
        << table << "\n"
        << AllNotes(plan);
  }
}

TEST(SqlImportScriptsTest, TheChineseBookshopNamesItsRowsInChinese) {
  const TSqlImportPlan plan = PlanOf(ScriptFile("chinese_bookshop.sql"));
  EXPECT_FALSE(plan.refused) << AllNotes(plan);
  EXPECT_EQ(ClassNames(plan),
            (Lines{"T出版社", "T图书", "T会员", "T订单", "T订单明细", "T操作日志"}));
  EXPECT_EQ(MembersOf(plan, "T出版社"),
            (Lines{"m出版社编号 整型 主键 必填", "m名称 字符串 50 nvarchar 必填 显示 查询",
                   "m地址 字符串 100 nvarchar 可空"}));
  // 书名 names a book before 作者 does.
  EXPECT_EQ(
      MembersOf(plan, "T图书"),
      (Lines{"m书号 字符串 13 char 主键 必填 查询", "m书名 字符串 100 nvarchar 必填 显示 查询",
             "m作者 字符串 50 nvarchar 可空 查询", "m出版社编号 T出版社 必填 可空",
             "m定价 浮点型 numeric(10,2) 必填", "m库存 整型 smallint 必填", "m上架 整型 bit 必填",
             "m出版日期 日期型 必填 可空"}));
  EXPECT_EQ(MembersOf(plan, "T会员"),
            (Lines{"m会员号 整型 主键 输入 必填", "m姓名 字符串 20 nvarchar 必填 显示 查询",
                   "m电话 字符串 20 可空 查询", "m余额 浮点型 money 必填 可空"}));
  EXPECT_EQ(MembersOf(plan, "T订单明细"),
            (Lines{"m订单号 T订单 主键 必填 显示", "m书号 T图书 主键 必填", "m数量 整型 必填",
                   "m单价 浮点型 decimal(10,2) 必填"}));
  EXPECT_EQ(MembersOf(plan, "T操作日志"),
            (Lines{"m时间 日期型 必填", "m内容 字符串 200 nvarchar 可空 显示 查询"}));
}

// How the display member is chosen among names and titles, and what never becomes one.
TEST(SqlImportScriptsTest, TheDisplayMemberIsTheColumnThatNamesTheRow) {
  const TSqlImportPlan plan = PlanOf(R"(
CREATE TABLE Person (id int PRIMARY KEY, Title nvarchar(8), Nickname varchar(20), FamilyName varchar(20))
CREATE TABLE Book (id int PRIMARY KEY, AuthorName varchar(40), Title varchar(80))
CREATE TABLE Thing (id int PRIMARY KEY, Code varchar(9), Product_Name varchar(30), name varchar(30))
CREATE TABLE Plain (id int PRIMARY KEY, Note varchar(300), Code varchar(9))
CREATE TABLE Counted (id int PRIMARY KEY, amount int, stamp datetime)
CREATE TABLE Keyless (amount int NULL, photo image NULL)
)");
  EXPECT_EQ(MembersOf(plan, "Person"),
            (Lines{"id 整型 主键 输入 必填", "title 字符串 8 nvarchar 可空 查询",
                   "nickname 字符串 20 可空 查询", "familyName 字符串 20 可空 显示 查询"}));
  EXPECT_EQ(MembersOf(plan, "Book"),
            (Lines{"id 整型 主键 输入 必填", "authorName 字符串 40 可空 查询",
                   "title 字符串 80 可空 显示 查询"}));
  EXPECT_EQ(MembersOf(plan, "Thing"),
            (Lines{"id 整型 主键 输入 必填", "code 字符串 9 可空 查询",
                   "product_Name 字符串 30 可空 查询", "name 字符串 30 可空 显示 查询"}));
  // A long display member is searched by too; a long text that is not one is not.
  EXPECT_EQ(MembersOf(plan, "Plain"),
            (Lines{"id 整型 主键 输入 必填", "note 字符串 300 可空 显示 查询",
                   "code 字符串 9 可空 查询"}));
  EXPECT_EQ(MembersOf(plan, "Counted"), (Lines{"id 整型 主键 输入 必填 显示",
                                               "amount 整型 必填 可空", "stamp 日期型 必填 可空"}));
  EXPECT_EQ(MembersOf(plan, "Keyless"), (Lines{"amount 整型 必填 可空 显示", "photo 图片型 可空"}));
}

// What a key of several columns, a self-reference and a key that cannot be held become, and
// what the model cannot say about foreign keys to keys of several columns.
TEST(SqlImportScriptsTest, KeysAndReferencesTheModelCanAndCannotSay) {
  const TSqlImportPlan plan = PlanOf(R"(CREATE TABLE Line (
  OrderNo int NOT NULL,
  LineNo int NOT NULL,
  Parent int NULL REFERENCES Line,
  PRIMARY KEY (OrderNo, LineNo))
CREATE TABLE Note (
  id int IDENTITY PRIMARY KEY,
  OrderNo int NOT NULL,
  LineNo int NOT NULL,
  Boss int NULL,
  CONSTRAINT FK_Note_Line FOREIGN KEY (OrderNo, LineNo) REFERENCES Line (OrderNo, LineNo),
  CONSTRAINT FK_Note_Boss FOREIGN KEY (Boss) REFERENCES Note (id))
CREATE TABLE Daily (Day datetime NOT NULL PRIMARY KEY, Amount decimal NOT NULL, Big bigint NULL,
  Ratio decimal(5) NULL, Short smallmoney NULL, Tag sysname NOT NULL, Id2 int NULL REFERENCES Note(id))
CREATE TABLE Self (id int PRIMARY KEY REFERENCES Self (id))
)");
  EXPECT_EQ(ClassNames(plan), (Lines{"Line", "Note", "Daily", "Self"}));
  EXPECT_EQ(MembersOf(plan, "Line"),
            (Lines{"orderNo 整型 主键 输入 必填 显示", "lineNo 整型 主键 输入 必填",
                   "parent 整型 必填 可空"}));
  EXPECT_EQ(MembersOf(plan, "Note"), (Lines{"id 整型 主键 必填 显示", "orderNo 整型 必填",
                                            "lineNo 整型 必填", "boss Note 必填 可空"}));
  // A date key cannot be a key of the model: the table keeps its columns, without a key.
  EXPECT_EQ(MembersOf(plan, "Daily"),
            (Lines{"day 日期型 必填", "amount 浮点型 decimal(18,0) 必填", "big 整型 必填 可空",
                   "ratio 浮点型 decimal(5,0) 必填 可空", "short 浮点型 smallmoney 必填 可空",
                   "tag 字符串 128 nvarchar 必填 显示 查询", "id2 Note 必填 可空"}));
  EXPECT_EQ(MembersOf(plan, "Self"), (Lines{"id 整型 主键 输入 必填 显示"}));
  for (const char* note : {
           ("未导入: 表\"Line\"的列\"Parent\"对表\"Line\"的引用(引用的不是该表的主键), "
            "该列按自身类型导入"),
           ("未导入: 表\"Note\"的外键(OrderNo, LineNo)由多列组成, 不作为引用(第11行, 引用表"
            "\"Line\"; 引用成员只能保存一列的值); 各列按自身类型导入"),
           ("注意: 表\"Daily\"的主键列\"Day\"的类型datetime不能作为主键(主键须为整型或字符串), "
            "作为没有主键的类导入: 自动生成完整应用代码时只能查询和列出; 自动生成代码不接受"
            "没有主键的类"),
           ("注意: 表\"Daily\"的列\"Big\"的类型bigint按整型(int)导入: 超出int范围(约正负21亿)的"
            "值, 生成的程序无法输入和显示"),
           ("未导入: 表\"Self\"的列\"id\"对表\"Self\"的引用(主键列不能引用自身所在的表), "
            "该列按自身类型导入"),
       }) {
    EXPECT_TRUE(HasNote(plan, note)) << note << "\n" << AllNotes(plan);
  }
}

// A table that has nothing the model can hold and no key is left out, and said so.
TEST(SqlImportScriptsTest, AKeylessTableWithNothingToImportIsLeftOutAndNamed) {
  const TSqlImportPlan plan = PlanOf(
      "CREATE TABLE Doc (body xml NULL)\nCREATE TABLE T (id int PRIMARY KEY, name varchar(9))\n");
  EXPECT_EQ(ClassNames(plan), (Lines{"T"}));
  EXPECT_TRUE(HasNote(plan, "未导入: 表\"Doc\"没有主键, 也没有可导入的列")) << AllNotes(plan);
}

}  // namespace
}  // namespace vbgen::test
