// Reading schema scripts: the tables, columns, keys and descriptions taken, the statements
// passed over, and the statements that cannot be read reported with their line.
#include <gtest/gtest.h>

#include <tuple>

#include "sqlimport/SqlReader.h"

namespace vbgen {
namespace {

// What the reader says it could not read last: the one statement it could not read, or the
// text that stopped it.
std::string ErrorOf(const std::string& script) {
  const TSqlSchema schema = ReadSqlSchema(script);
  return schema.unread.empty() ? "no error" : schema.unread.back().message;
}

const TSqlTable& Table(const TSqlSchema& schema, const std::string& name) {
  const TSqlTable* table = schema.FindTable(name);
  if (table == nullptr) throw std::runtime_error("no table " + name);
  return *table;
}

TEST(SqlTokenizerTest, GoSeparatesBatchesOnlyAloneOnItsLine) {
  const auto tokens = TokenizeSql(
      "select 'GO'\n"
      "/* GO\n   /* nested */ GO */ go\n"
      "  GO 2 -- twice\n"
      "select [go] -- GO\n"
      "x GO\n"
      "N'it''s' \"a\"\"b\" [c]]d]\r\nGO");
  std::vector<std::pair<TSqlTokenKind, std::string>> seen;
  std::vector<int> lines;
  for (const auto& token : tokens) {
    seen.emplace_back(token.kind, token.text);
    lines.push_back(token.line);
  }
  using K = TSqlTokenKind;
  const std::vector<std::pair<TSqlTokenKind, std::string>> expected{
      {K::Word, "select"}, {K::String, "GO"},       {K::BatchEnd, "go"},    {K::BatchEnd, "GO"},
      {K::Word, "select"}, {K::QuotedName, "go"},   {K::Word, "x"},         {K::Word, "GO"},
      {K::String, "it's"}, {K::QuotedName, "a\"b"}, {K::QuotedName, "c]d"}, {K::BatchEnd, "GO"},
      {K::End, ""}};
  EXPECT_EQ(seen, expected);
  EXPECT_EQ(lines, (std::vector<int>{1, 1, 3, 4, 5, 5, 6, 6, 7, 7, 7, 8, 8}));
}

TEST(SqlTokenizerTest, UnclosedTextsNameTheLineTheyOpenOn) {
  EXPECT_EQ(ErrorOf("select 1\nselect 'abc\n\n"), "第2行: 字符串没有结束; 此后的脚本无法读取");
  EXPECT_EQ(ErrorOf("\n\nCREATE TABLE [T(a int)"), "第3行: 方括号名称没有结束; 此后的脚本无法读取");
  EXPECT_EQ(ErrorOf("/* a /* b */\nGO\n"), "第1行: 注释 /* 没有结束; 此后的脚本无法读取");
}

// In the style of Management Studio's "Generate Scripts".
constexpr const char* kStudioScript = R"(USE [Shop]
GO
SET ANSI_NULLS ON
GO
CREATE TABLE [dbo].[Customers](
	[CustomerID] [int] IDENTITY(1,1) NOT NULL,
	[CompanyName] [nvarchar](40) COLLATE Chinese_PRC_CI_AS NOT NULL,
	[Notes] [nvarchar](max) NULL,
	[Region] [nchar](15) NULL DEFAULT NULL,
	[Since] [datetime] NOT NULL CONSTRAINT [DF_Since] DEFAULT (getdate()),
	[Code] char,
	[Rate] [decimal](18, 2) NULL,
	[Total] AS ([Rate]*(2)) PERSISTED,
	[Guid] [uniqueidentifier] ROWGUIDCOL NOT NULL,
 CONSTRAINT [PK_Customers] PRIMARY KEY CLUSTERED
(
	[CustomerID] ASC
)WITH (PAD_INDEX = OFF, IGNORE_DUP_KEY = OFF) ON [PRIMARY]
) ON [PRIMARY] TEXTIMAGE_ON [PRIMARY]
GO
CREATE TABLE [Sales].[Orders](
	[OrderID] [int] NOT NULL,
	[CustomerID] [int] NULL REFERENCES [dbo].[Customers],
	[Parent] int NOT NULL
) ON [PRIMARY]
GO
ALTER TABLE [Sales].[Orders] ADD  CONSTRAINT [PK_Orders] PRIMARY KEY CLUSTERED ([OrderID] ASC)
WITH (PAD_INDEX = OFF) ON [PRIMARY]
GO
ALTER TABLE [Sales].[Orders]  WITH CHECK ADD  CONSTRAINT [FK_Orders_Orders] FOREIGN KEY([Parent])
REFERENCES [Sales].[Orders] ([OrderID])
ON DELETE NO ACTION ON UPDATE SET NULL
GO
ALTER TABLE [Sales].[Orders] CHECK CONSTRAINT [FK_Orders_Orders]
GO
ALTER TABLE [dbo].[Customers] ADD  DEFAULT ((0)) FOR [Rate]
GO
ALTER TABLE [dbo].[Customers]  WITH CHECK ADD  CONSTRAINT [CK_Rate] CHECK  (([Rate]>=(0)))
GO
CREATE NONCLUSTERED INDEX [IX_Orders] ON [Sales].[Orders] ([CustomerID] ASC) ON [PRIMARY]
GO
EXEC sys.sp_addextendedproperty @name=N'MS_Description', @value=N'客户' , @level0type=N'SCHEMA',@level0name=N'dbo', @level1type=N'TABLE',@level1name=N'Customers'
GO
EXEC sys.sp_addextendedproperty @name=N'MS_Description', @value=N'公司名称' , @level0type=N'SCHEMA',@level0name=N'dbo', @level1type=N'TABLE',@level1name=N'Customers', @level2type=N'COLUMN',@level2name=N'CompanyName'
GO
EXEC sp_addextendedproperty N'MS_Description', N'订单', N'user', N'Sales', N'table', N'Orders'
GO
EXEC sys.sp_addextendedproperty @name=N'Caption', @value=N'not a description' , @level0type=N'SCHEMA',@level0name=N'dbo', @level1type=N'TABLE',@level1name=N'Orders'
GO
INSERT [dbo].[Customers] ([CompanyName]) VALUES (N'CREATE TABLE [x] (
GO')
GO
)";

TEST(SqlReaderTest, ReadsTablesColumnsAndConstraintsAsTheStudioWritesThem) {
  const TSqlSchema schema = ReadSqlSchema(kStudioScript);
  ASSERT_EQ(schema.tables.size(), 2u);
  const TSqlTable& customers = schema.tables[0];
  EXPECT_EQ(customers.schema, "dbo");
  EXPECT_EQ(customers.name, "Customers");
  EXPECT_EQ(customers.line, 5);
  EXPECT_EQ(customers.description, "客户");
  EXPECT_EQ(customers.primaryKey, std::vector<std::string>{"CustomerID"});
  EXPECT_EQ(customers.primaryKeyName, "PK_Customers");

  struct TExpected {
    std::string name, type;
    std::optional<int> length;
    bool notNull, identity, computed;
  };
  const std::vector<TExpected> expected{
      {"CustomerID", "int", std::nullopt, true, true, false},
      {"CompanyName", "nvarchar", 40, true, false, false},
      {"Notes", "nvarchar", TSqlColumn::kMaxLength, false, false, false},
      {"Region", "nchar", 15, false, false, false},  // DEFAULT NULL is a value, not nullability
      {"Since", "datetime", std::nullopt, true, false, false},
      {"Code", "char", std::nullopt, false, false, false},
      {"Rate", "decimal", 18, false, false, false},
      {"Total", "", std::nullopt, false, false, true},
      {"Guid", "uniqueidentifier", std::nullopt, true, false, false},
  };
  ASSERT_EQ(customers.columns.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const TSqlColumn& column = customers.columns[i];
    SCOPED_TRACE(column.name);
    EXPECT_EQ(column.name, expected[i].name);
    EXPECT_EQ(column.type, expected[i].type);
    EXPECT_EQ(column.length, expected[i].length);
    EXPECT_EQ(column.notNull, expected[i].notNull);
    EXPECT_EQ(column.identity, expected[i].identity);
    EXPECT_EQ(column.computed, expected[i].computed);
    EXPECT_EQ(column.line, 6 + static_cast<int>(i));
  }
  EXPECT_EQ(customers.columns[1].description, "公司名称");

  const TSqlTable& orders = schema.tables[1];
  EXPECT_EQ(orders.schema, "Sales");
  EXPECT_EQ(orders.description, "订单");  // the Caption property is not a description
  EXPECT_EQ(orders.primaryKey, std::vector<std::string>{"OrderID"});
  EXPECT_EQ(orders.primaryKeyLine, 27);
  ASSERT_EQ(orders.foreignKeys.size(), 2u);
  EXPECT_EQ(orders.foreignKeys[0].columns, std::vector<std::string>{"CustomerID"});
  EXPECT_EQ(orders.foreignKeys[0].refTable, "Customers");
  EXPECT_TRUE(orders.foreignKeys[0].refColumns.empty());
  EXPECT_EQ(orders.foreignKeys[1].name, "FK_Orders_Orders");
  EXPECT_EQ(orders.foreignKeys[1].columns, std::vector<std::string>{"Parent"});
  EXPECT_EQ(orders.foreignKeys[1].refTable, "Orders");
  EXPECT_EQ(orders.foreignKeys[1].refColumns, std::vector<std::string>{"OrderID"});
  EXPECT_EQ(orders.foreignKeys[1].line, 30);
}

TEST(SqlReaderTest, ReadsTheOlderToolsStyleWithConstraintsAddedAfterTheTables) {
  const TSqlSchema schema = ReadSqlSchema(R"(
if exists (select * from dbo.sysobjects where id = object_id(N'[dbo].[FK_Orders_Customers]'))
ALTER TABLE [dbo].[Orders] DROP CONSTRAINT FK_Orders_Customers
GO
CREATE TABLE [dbo].[Orders] (
	[OrderID] [int] IDENTITY (1, 1) NOT NULL ,
	[CustomerID] [nchar] (5) COLLATE SQL_Latin1_General_CP1_CI_AS NULL ,
	[Freight] [money] NULL
) ON [PRIMARY]
GO
ALTER TABLE [dbo].[Orders] WITH NOCHECK ADD
	CONSTRAINT [PK_Orders] PRIMARY KEY  CLUSTERED
	(
		[OrderID]
	) WITH  FILLFACTOR = 90 ON [PRIMARY]
GO
ALTER TABLE [dbo].[Orders] ADD
	CONSTRAINT [DF_Orders_Freight] DEFAULT (0) FOR [Freight],
	CONSTRAINT [CK_Freight] CHECK ([Freight] >= 0),
	CONSTRAINT [FK_Orders_Customers] FOREIGN KEY
	(
		[CustomerID]
	) REFERENCES [dbo].[Customers] (
		[CustomerID]
	)
GO
exec sp_addextendedproperty N'MS_Description', N'订单号', N'user', N'dbo', N'table', N'Orders', N'column', N'OrderID'
)");
  ASSERT_EQ(schema.tables.size(), 1u);
  const TSqlTable& orders = schema.tables[0];
  EXPECT_EQ(orders.primaryKey, std::vector<std::string>{"OrderID"});
  EXPECT_EQ(orders.primaryKeyLine, 12);
  ASSERT_EQ(orders.foreignKeys.size(), 1u);
  EXPECT_EQ(orders.foreignKeys[0].refColumns, std::vector<std::string>{"CustomerID"});
  EXPECT_EQ(orders.columns[1].length, 5);
  EXPECT_EQ(orders.columns[0].description, "订单号");
}

TEST(SqlReaderTest, ReadsOurOwnScriptWithItsBareForeignKeysAndTrailingComma) {
  const TSqlSchema schema = ReadSqlSchema(
      "GO\r\n\r\nCREATE TABLE [dbo].[admin](\r\n\t[adminUsername] [nvarchar](20) COLLATE "
      "Chinese_PRC_CI_AS NULL\r\n) ON [PRIMARY]\r\nGO\r\ndelete from admin \r\ninsert into "
      "admin(adminUsername,adminPassword, ql_flag)\r\nvalues('admin','kelvo','1111')\r\nGO\r\n"
      "\r\nif exists (select * from dbo.sysobjects where id = object_id(N'[dbo].[Book]') and "
      "OBJECTPROPERTY(id, N'IsUserTable') = 1)\r\ndrop table [dbo].[Book]\r\nGO\r\n\r\n"
      "CREATE TABLE [dbo].[Book] (\r\n\t[bookId] [int] IDENTITY (1, 1) NOT NULL  PRIMARY KEY,\r\n"
      "\t[shelf] int NOT NULL ,\r\n\t[pubDate] [datetime] NULL ,\r\n) ON [PRIMARY]\r\nGO\r\n\r\n"
      "CREATE TABLE [dbo].[Shelf] (\r\n\t[code] [varchar] (8) COLLATE Chinese_PRC_CI_AS NOT NULL "
      "PRIMARY KEY \r\n) ON [PRIMARY]\r\nGO\r\n\r\n\r\n\r\n"
      "ALTER TABLE Book ADD FOREIGN KEY (shelf) REFERENCES Shelf(code)\r\n"
      "ALTER TABLE Book ADD FOREIGN KEY (pubDate) REFERENCES Shelf(code)\r\n");
  ASSERT_EQ(schema.tables.size(), 3u);
  const TSqlTable& book = Table(schema, "Book");
  EXPECT_EQ(book.primaryKey, std::vector<std::string>{"bookId"});
  ASSERT_EQ(book.columns.size(), 3u);
  EXPECT_EQ(book.columns[2].name, "pubDate");
  ASSERT_EQ(book.foreignKeys.size(), 2u);
  EXPECT_EQ(book.foreignKeys[1].columns, std::vector<std::string>{"pubDate"});
  EXPECT_EQ(Table(schema, "shelf").primaryKey, std::vector<std::string>{"code"});
  EXPECT_EQ(Table(schema, "Shelf").columns[0].length, 8);
}

TEST(SqlReaderTest, LaterStatementsChangeTheTablesTheScriptCreated) {
  const TSqlSchema schema = ReadSqlSchema(R"(
IF NOT EXISTS (SELECT * FROM sys.objects WHERE object_id = OBJECT_ID(N'[dbo].[A]') AND type in (N'U'))
BEGIN
CREATE TABLE [dbo].[A]([id] [int] NOT NULL, [old] [int] NULL, CONSTRAINT [PK_A] PRIMARY KEY ([id]))
END
GO
ALTER TABLE [dbo].[A] ADD [name] [varchar](30) NOT NULL, [note] text NULL
ALTER TABLE [dbo].[A] ALTER COLUMN [old] [bigint] NOT NULL
ALTER TABLE [dbo].[A] DROP CONSTRAINT [PK_A]
ALTER TABLE [dbo].[A] ADD CONSTRAINT [PK_A2] PRIMARY KEY NONCLUSTERED ([name])
CREATE TABLE B (x int PRIMARY KEY)
DROP TABLE B
CREATE TABLE #work (y int PRIMARY KEY)
ALTER TABLE [dbo].[Elsewhere] DROP COLUMN [gone]
GO
CREATE PROCEDURE [dbo].[MakeTemp] AS
BEGIN
  CREATE TABLE Hidden (z int)
  SELECT 1
END
GO
)");
  ASSERT_EQ(schema.tables.size(), 1u);
  const TSqlTable& a = schema.tables[0];
  EXPECT_EQ(a.primaryKey, std::vector<std::string>{"name"});
  EXPECT_EQ(a.primaryKeyName, "PK_A2");
  ASSERT_EQ(a.columns.size(), 4u);
  EXPECT_EQ(a.columns[1].type, "bigint");
  EXPECT_TRUE(a.columns[1].notNull);
  EXPECT_EQ(a.columns[2].name, "name");
  EXPECT_EQ(a.columns[3].type, "text");
}

TEST(SqlReaderTest, AStatementItCannotReadIsReportedWithItsLine) {
  EXPECT_EQ(ErrorOf("CREATE TABLE T (\n a int,\n , b int)"),
            "第3行: 此处应为列名, 却是\",\"; 该列或约束已跳过");
  EXPECT_EQ(ErrorOf("SET NOCOUNT ON\nFROBNICATE ALL\n"),
            "第2行: 无法读取的语句, 开头是\"FROBNICATE\"; 该语句已跳过");
  EXPECT_EQ(ErrorOf("CREATE TABLE T (a int)\nGO\nALTER TABLE T REWRITE a\n"),
            "第3行: ALTER TABLE T: 无法读取\"REWRITE\"; 该语句已跳过");
  EXPECT_EQ(ErrorOf("CREATE TABLE T (\n  a int PRIMARY KEY,\n  CONSTRAINT pk2 PRIMARY KEY (a))"),
            "第3行: 表T已在第2行定义了主键; 该列或约束已跳过");
  EXPECT_EQ(ErrorOf("CREATE TABLE T (a int)\nCREATE TABLE t (b int)"),
            "第2行: 表t已在第1行创建过; 该语句已跳过");
  EXPECT_EQ(ErrorOf("CREATE TABLE T (a varchar(0))"),
            "第1行: 表T的列a的长度\"0\"无效; 该列或约束已跳过");
  EXPECT_EQ(ErrorOf("CREATE TABLE T (a NOT NULL)"), "第1行: 表T的列a缺少类型; 该列或约束已跳过");
  EXPECT_EQ(ErrorOf("CREATE TABLE T (a int 'x')"),
            "第1行: 表T的列a的定义无法读取: \"'x'\"; 该列或约束已跳过");
  EXPECT_EQ(ErrorOf("CREATE TABLE T (a int) WITH SOMETHING"),
            "第1行: CREATE TABLE T中有无法读取的内容: \"WITH\"; 该语句已跳过");
  EXPECT_EQ(ErrorOf("CREATE TABLE T (a int,\nb int\nGO"),
            "第3行: CREATE TABLE T: 此处应为\",\", 却是\"GO\"; 该语句已跳过");
}

// In the style of a large sample database's script: xml with a schema collection, CLR types, a
// statement no reader knows between two tables, a column no reader can read.
TEST(SqlReaderTest, ANoteCostsOnlyTheStatementOrColumnItIsAbout) {
  const TSqlSchema schema = ReadSqlSchema(R"(CREATE TABLE [Production].[Document](
	[DocumentNode] [hierarchyid] NOT NULL,
	[Instructions] [xml](CONTENT [Production].[ManuInstructionsSchemaCollection]) NULL,
	[Spot] [geography] NULL,
	[Price] [decimal](10, 4) NOT NULL,
	[Title] [nvarchar](50) FANCY 'x' NOT NULL,
	[Owner] [int] NOT NULL
)
GO
SET NOCOUNT ON
FROBNICATE [Production].[Document] WITH (SPEED = 11)
CREATE TABLE [dbo].[End] ([Date] date NOT NULL, [User] int)
GO
)");
  ASSERT_EQ(schema.tables.size(), 2u);
  const TSqlTable& document = schema.tables[0];
  std::vector<std::string> names, types;
  for (const auto& column : document.columns) {
    names.push_back(column.name);
    types.push_back(column.declaredType);
  }
  EXPECT_EQ(names,
            (std::vector<std::string>{"DocumentNode", "Instructions", "Spot", "Price", "Owner"}));
  EXPECT_EQ(types[1], "xml(CONTENT [Production].[ManuInstructionsSchemaCollection])");
  EXPECT_EQ(types[3], "decimal(10, 4)");
  EXPECT_EQ(document.columns[3].length, 10);
  EXPECT_EQ(schema.tables[1].name, "End");
  EXPECT_EQ(schema.tables[1].columns.size(), 2u);
  ASSERT_EQ(schema.unread.size(), 2u);
  EXPECT_EQ(schema.unread[0].line, 6);
  EXPECT_EQ(schema.unread[0].message,
            "第6行: 表Document的列Title的定义无法读取: \"'x'\"; 该列或约束已跳过");
  EXPECT_EQ(schema.unread[1].message, "第11行: 无法读取的语句, 开头是\"FROBNICATE\"; 该语句已跳过");
}

TEST(SqlReaderTest, ADefaultIsSeenInTheColumnAndInAConstraintAddedLater) {
  const TSqlSchema schema = ReadSqlSchema(
      "CREATE TABLE T (a int NOT NULL DEFAULT 0, b int NOT NULL, c int NOT NULL)\n"
      "ALTER TABLE T ADD CONSTRAINT DF_T_b DEFAULT ((1)) FOR [b]\n");
  const TSqlTable& table = schema.tables.at(0);
  EXPECT_TRUE(table.columns[0].hasDefault);
  EXPECT_TRUE(table.columns[1].hasDefault);
  EXPECT_FALSE(table.columns[2].hasDefault);
}

// In the style of an old publishers' sample: its own types, declared in every spelling the
// tools accept, used for keys and plain columns.
TEST(SqlReaderTest, UserDefinedTypesResolveToTheirBaseTypeLengthAndNullability) {
  const TSqlSchema schema = ReadSqlSchema(R"sql(EXEC sp_addtype id, 'varchar(11)', 'NOT NULL'
execute sp_addtype tid ,"varchar(6)" ,"NOT NULL"
GO
sp_addtype empid, 'char(9)', 'NOT NULL'
GO
EXEC sp_addtype @typename = N'note', @phystype = N'nvarchar(200)', @nulltype = 'NULL'
CREATE TYPE [dbo].[Name] FROM [nvarchar](50) NULL
CREATE TYPE dbo.Flag FROM bit NOT NULL
CREATE TYPE dbo.Lines AS TABLE (line int)
GO
CREATE TABLE authors (au_id id CONSTRAINT UPKCL_auidind PRIMARY KEY CLUSTERED,
  au_lname Name NOT NULL, remark note, emp empid NULL, t [dbo].[tid], f Flag, x Lines)
)sql");
  ASSERT_EQ(schema.tables.size(), 1u);
  const TSqlTable& authors = schema.tables[0];
  EXPECT_TRUE(schema.unread.empty()) << schema.unread.front().message;
  struct TSeen {
    std::string type;
    std::optional<int> length;
    bool notNull;
    bool operator==(const TSeen&) const = default;
  };
  std::vector<TSeen> seen;
  for (const auto& column : authors.columns) {
    seen.push_back({column.type, column.length, column.notNull});
  }
  EXPECT_EQ(seen, (std::vector<TSeen>{{"varchar", 11, true},
                                      {"nvarchar", 50, true},
                                      {"nvarchar", 200, false},
                                      {"char", 9, false},
                                      {"varchar", 6, true},
                                      {"bit", std::nullopt, true},
                                      {"lines", std::nullopt, false}}));
  EXPECT_EQ(authors.primaryKey, std::vector<std::string>{"au_id"});
  EXPECT_EQ(authors.columns[0].declaredType, "id(varchar(11))");
}

// A decimal's precision is its length and its scale the second number, however it is spelled;
// a type of our own carries both.
TEST(SqlReaderTest, ADecimalKeepsItsPrecisionAndScale) {
  const TSqlSchema schema = ReadSqlSchema(R"sql(EXEC sp_addtype amount, 'decimal(12, 4)', 'NULL'
GO
CREATE TABLE Price (a decimal(10,2) NOT NULL, b [numeric] ( 10 , 2 ), c dec, d numeric(5),
  e amount, f varchar(20), g money)
)sql");
  ASSERT_EQ(schema.tables.size(), 1u);
  EXPECT_TRUE(schema.unread.empty()) << schema.unread.front().message;
  std::vector<std::tuple<std::string, std::optional<int>, std::optional<int>>> seen;
  for (const auto& column : schema.tables[0].columns) {
    seen.emplace_back(column.type, column.length, column.scale);
  }
  using T = decltype(seen)::value_type;
  EXPECT_EQ(seen,
            (decltype(seen){T{"decimal", 10, 2}, T{"numeric", 10, 2},
                            T{"decimal", std::nullopt, std::nullopt}, T{"numeric", 5, std::nullopt},
                            T{"decimal", 12, 4}, T{"varchar", 20, std::nullopt},
                            T{"money", std::nullopt, std::nullopt}}));
  EXPECT_EQ(ErrorOf("CREATE TABLE P (a decimal(10, 99999999999))"),
            "第1行: 表P的列a的小数位数\"99999999999\"无效; 该列或约束已跳过");
}

// What "Generate Scripts" writes with "schema and data": rows between and after the tables.
TEST(SqlReaderTest, DataStatementsArePassedOverUnbuiltAndTheSchemaAroundThemIsRead) {
  std::string script =
      "CREATE TABLE [dbo].[Artist] ([ArtistId] int NOT NULL PRIMARY KEY, [Name] nvarchar(120))\n"
      "GO\n"
      "SET IDENTITY_INSERT [dbo].[Artist] ON\n";
  for (int i = 0; i < 200; ++i) {
    script += "INSERT [dbo].[Artist] ([ArtistId], [Name]) VALUES (" + std::to_string(i) +
              ", N'Band ''" + std::to_string(i) + "'' (CREATE TABLE x\nGO\n)')\n";
  }
  script +=
      "SET IDENTITY_INSERT [dbo].[Artist] OFF\n"
      "UPDATE [dbo].[Artist]\nSET [Name] = N'x'\nWHERE [ArtistId] = 1;\n"
      "DELETE FROM [dbo].[Artist] WHERE [ArtistId] > 100\n"
      "INSERT INTO [dbo].[Artist] ([ArtistId], [Name])\nSELECT 1000, N'copy'\n"
      "CREATE TABLE [dbo].[Album] ([AlbumId] int NOT NULL PRIMARY KEY,\n"
      "  [ArtistId] int NOT NULL REFERENCES [dbo].[Artist] ([ArtistId])\n"
      "  ON DELETE CASCADE\n  ON UPDATE NO ACTION)\n"
      "GRANT SELECT,\n  INSERT ON [dbo].[Album] TO [clerk]\n"
      "BULK INSERT [dbo].[Album] FROM 'C:\\album.csv' WITH (FIELDTERMINATOR = ',')\n"
      "GO\n";
  const TSqlSchema schema = ReadSqlSchema(script);
  EXPECT_TRUE(schema.unread.empty()) << schema.unread.front().message;
  ASSERT_EQ(schema.tables.size(), 2u);
  EXPECT_EQ(schema.tables[1].name, "Album");
  ASSERT_EQ(schema.tables[1].foreignKeys.size(), 1u);
  EXPECT_EQ(schema.tables[1].foreignKeys[0].refTable, "Artist");
  // 200 rows, two SET IDENTITY_INSERT, UPDATE, DELETE, INSERT ... SELECT, BULK INSERT.
  EXPECT_EQ(schema.dataStatements, 206u);
}

// The reader takes its text in pieces; where the pieces are cut changes nothing.
TEST(SqlReaderTest, ATextInPiecesReadsAsTheWholeText) {
  const std::string script =
      "CREATE TABLE [T] ([id] int PRIMARY KEY, [s] nvarchar(20) DEFAULT N'a''b')\r\nGO\r\n"
      "EXEC sp_addextendedproperty N'MS_Description', N'说明', N'SCHEMA', N'dbo', N'TABLE', "
      "N'T'\r\n";
  for (std::size_t size : {1u, 2u, 3u, 7u, 64u}) {
    std::size_t at = 0;
    const TSqlSchema schema = ReadSqlSchema([&](std::string& piece) {
      if (at >= script.size()) return false;
      piece += script.substr(at, size);
      at += size;
      return true;
    });
    ASSERT_EQ(schema.tables.size(), 1u) << size;
    EXPECT_EQ(schema.tables[0].description, "说明") << size;
    EXPECT_TRUE(schema.tables[0].columns[1].hasDefault) << size;
    EXPECT_TRUE(schema.unread.empty()) << size;
  }
}

TEST(SqlReaderTest, PassesOverTheOtherStatementsOfSuchScripts) {
  const TSqlSchema schema = ReadSqlSchema(R"(
sp_addextendedproperty N'MS_Description', N'none', N'user', N'dbo', N'table', N'Nowhere'
GO
CREATE DATABASE [Shop] ON PRIMARY (NAME = N'Shop', FILENAME = N'C:\Shop.mdf') LOG ON (NAME = N'log')
ALTER DATABASE [Shop] SET COMPATIBILITY_LEVEL = 100
GRANT DELETE, UPDATE ON [dbo].[T] TO [clerk]
CREATE TABLE T (id int CONSTRAINT PK_T PRIMARY KEY, v varchar(5))
UPDATE T SET v = 'x' WHERE id = 1;
DELETE FROM T
IF OBJECT_ID(N'dbo.U', N'U') IS NOT NULL DROP TABLE dbo.U
DECLARE @t TABLE (a int PRIMARY KEY)
EXEC('CREATE TABLE Dynamic (a int)')
BEGIN TRANSACTION
COMMIT
CREATE VIEW V AS SELECT * FROM T
GO
CREATE UNIQUE INDEX UX ON T (v)
GO
CREATE VIEW [dbo].[Order Summary] AS SELECT 1 AS one
GO
CREATE PROCEDURE Shop.dbo.CustOrders @id int AS SELECT * FROM T WHERE id = @id
)");
  ASSERT_EQ(schema.tables.size(), 1u);
  EXPECT_EQ(schema.tables[0].name, "T");
  EXPECT_EQ(schema.tables[0].columns.size(), 2u);
  // Named by their own names, not by their schema's.
  EXPECT_EQ(schema.skippedObjects,
            (std::vector<std::string>{"第15行的视图V", "第19行的视图[Order Summary]",
                                      "第21行的存储过程CustOrders"}));
  EXPECT_EQ(schema.databaseName, "Shop");
}

}  // namespace
}  // namespace vbgen
