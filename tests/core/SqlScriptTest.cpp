#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <utility>

#include "Golden.h"
#include "TestModel.h"
#include "TestSupport.h"
#include "generate/emit/SqlScript.h"

namespace vbgen::test {
namespace {

const std::string kTableEnd = "\r\n) ON [PRIMARY]\r\nGO\r\n\r\n\r\n\r\n";

class SqlScriptTest : public ModelTest {
 protected:
  void SetUp() override {
    ModelTest::SetUp();
    projectId_ = AddProject("图书馆");
  }

  int Class(const std::string& name) { return AddClass(projectId_, name, name + "表"); }
  int IntegerKey(int classId, const std::string& name) {
    return AddMember(projectId_, classId, name, std::string(kTypeInteger), "", 0, true);
  }
  int TextKey(int classId, const std::string& name, int length) {
    return AddMember(projectId_, classId, name, std::string(kTypeString), "", length, true);
  }
  int Member(int classId, const std::string& name, std::string_view type, int length = 0,
             bool must = true) {
    return AddMember(projectId_, classId, name, std::string(type), "", length, false, false, false,
                     must);
  }

  // Publisher (text key) and Author (integer key) referenced from Book, which has one member
  // of every built-in kind and ends with a date; Author has nothing but its key.
  void AddSmallModel() {
    int publisher = Class("Publisher");
    TextKey(publisher, "pubCode", 30);
    Member(publisher, "pubName", kTypeString, 40, false);
    Member(publisher, "logo", kTypePicture);
    int book = Class("Book");
    IntegerKey(book, "bookId");
    Member(book, "bookName", kTypeString, 50, true);
    Member(book, "price", kTypeFloat);
    Member(book, "pages", kTypeInteger, 0, false);
    Member(book, "publisher", "Publisher");
    Member(book, "author", "Author");
    Member(book, "pubDate", kTypeDate);
    int author = Class("Author");
    IntegerKey(author, "authorId");
  }

  // The message of the TScriptError the script of the project throws, or a failure.
  std::string ScriptError() {
    try {
      BuildTableScript(projectId_);
    } catch (const TScriptError& error) {
      return error.what();
    }
    ADD_FAILURE() << "the script was built";
    return {};
  }

  int projectId_ = 0;
};

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST_F(SqlScriptTest, ScriptsMatchTheHandWrittenGoldens) {
  EXPECT_TRUE(MatchesGolden(BuildTableScript(projectId_), "script_no_classes.sql"));
  AddSmallModel();
  EXPECT_TRUE(MatchesGolden(BuildTableScript(projectId_), "script_small_model.sql"));
}

TEST_F(SqlScriptTest, BookExampleMatches) {
  int book = Class("Book");
  IntegerKey(book, "bookId");
  Member(book, "bookName", kTypeString, 50, true);
  Member(book, "pubDate", kTypeDate);
  EXPECT_TRUE(MatchesGolden(BuildTableScript(projectId_), "script_book_example.sql"));
}

TEST_F(SqlScriptTest, RightsStringHasTwoDigitsPerClassAndTwoMore) {
  EXPECT_TRUE(Contains(BuildTableScript(projectId_), "values('admin','kelvo','11')\r\n"));
  IntegerKey(Class("A"), "aId");
  IntegerKey(Class("B"), "bId");
  EXPECT_TRUE(Contains(BuildTableScript(projectId_), "values('admin','kelvo','111111')\r\n"));
}

TEST_F(SqlScriptTest, TrimmingAtTheEndOfEachTable) {
  IntegerKey(Class("OnlyIntKey"), "id");
  TextKey(Class("OnlyTextKey"), "code", 12);
  int dated = Class("LastDate");
  IntegerKey(dated, "id");
  Member(dated, "when", kTypeDate);
  std::string script = BuildTableScript(projectId_);
  EXPECT_TRUE(Contains(script, "\t[id] [int] IDENTITY (1, 1) NOT NULL  PRIMARY KEY" + kTableEnd +
                                   "if exists (select * from dbo.sysobjects where id = "
                                   "object_id(N'[dbo].[OnlyTextKey]')"));
  EXPECT_TRUE(Contains(script,
                       "\t[code] [varchar] (12) COLLATE Chinese_PRC_CI_AS NOT NULL "
                       "PRIMARY KEY " +
                           kTableEnd));
  EXPECT_TRUE(Contains(script, "\t[when] [datetime] NULL ," + kTableEnd));
  EXPECT_TRUE(
      script.ends_with("[LastDate] (\r\n\t[id] [int] IDENTITY (1, 1) NOT NULL  PRIMARY "
                       "KEY,\r\n\t[when] [datetime] NULL ," +
                       kTableEnd));
}

// The CREATE TABLE statement of one class, up to and including its GO line.
std::string CreateTableOf(const std::string& script, const std::string& className) {
  const std::string head = "CREATE TABLE [dbo].[" + className + "] (";
  const std::size_t start = script.find(head);
  if (start == std::string::npos) return "no table " + className;
  const std::string go = "\r\nGO\r\n";
  return script.substr(start, script.find(go, start) + go.size() - start);
}

// Each column line but the last ends in its separator; what the last one keeps depends on its
// kind. The expected statements are the bytes the script has always had for these tables.
TEST_F(SqlScriptTest, LastColumnOfEachKindEndsTheTableAsBefore) {
  IntegerKey(Class("KeyOnly"), "onlyId");
  TextKey(Class("Code"), "code", 8);
  int ends = Class("EndsDate");
  IntegerKey(ends, "id");
  Member(ends, "name", kTypeString, 10, true);
  Member(ends, "when", kTypeDate);
  ends = Class("EndsRequired");
  TextKey(ends, "key", 6);
  Member(ends, "born", kTypeDate);
  Member(ends, "title", kTypeString, 30, true);
  ends = Class("EndsOptional");
  IntegerKey(ends, "id");
  Member(ends, "note", kTypeString, 40, false);
  ends = Class("EndsPicture");
  IntegerKey(ends, "id");
  Member(ends, "at", kTypeDate);
  Member(ends, "photo", kTypePicture, 0, false);
  ends = Class("EndsIntegerReference");
  IntegerKey(ends, "id");
  Member(ends, "count", kTypeInteger);
  Member(ends, "only", "KeyOnly");
  ends = Class("EndsTextReference");
  IntegerKey(ends, "id");
  Member(ends, "ratio", kTypeFloat);
  Member(ends, "code", "Code");
  ends = Class("EndsInteger");
  IntegerKey(ends, "id");
  Member(ends, "count", kTypeInteger);
  ends = Class("EndsFloat");
  TextKey(ends, "key", 3);
  Member(ends, "ratio", kTypeFloat);
  const std::string script = BuildTableScript(projectId_);

  const std::pair<const char*, const char*> expected[] = {
      {"KeyOnly",
       "CREATE TABLE [dbo].[KeyOnly] (\r\n\t[onlyId] [int] IDENTITY (1, 1) NOT NULL  PRIMARY "
       "KEY\r\n) ON [PRIMARY]\r\nGO\r\n"},
      {"Code",
       "CREATE TABLE [dbo].[Code] (\r\n\t[code] [varchar] (8) COLLATE Chinese_PRC_CI_AS NOT NULL "
       "PRIMARY KEY \r\n) ON [PRIMARY]\r\nGO\r\n"},
      {"EndsDate",
       "CREATE TABLE [dbo].[EndsDate] (\r\n\t[id] [int] IDENTITY (1, 1) NOT NULL  PRIMARY "
       "KEY,\r\n\t[name] [varchar] (10) COLLATE Chinese_PRC_CI_AS NOT NULL ,\r\n\t[when] "
       "[datetime] NULL ,\r\n) ON [PRIMARY]\r\nGO\r\n"},
      {"EndsRequired",
       "CREATE TABLE [dbo].[EndsRequired] (\r\n\t[key] [varchar] (6) COLLATE Chinese_PRC_CI_AS NOT "
       "NULL PRIMARY KEY ,\r\n\t[born] [datetime] NULL , \r\n\t[title] [varchar] (30) COLLATE "
       "Chinese_PRC_CI_AS NOT NULL \r\n) ON [PRIMARY]\r\nGO\r\n"},
      {"EndsOptional",
       "CREATE TABLE [dbo].[EndsOptional] (\r\n\t[id] [int] IDENTITY (1, 1) NOT NULL  PRIMARY "
       "KEY,\r\n\t[note] [varchar] (40) COLLATE Chinese_PRC_CI_AS NULL \r\n) ON "
       "[PRIMARY]\r\nGO\r\n"},
      {"EndsPicture",
       "CREATE TABLE [dbo].[EndsPicture] (\r\n\t[id] [int] IDENTITY (1, 1) NOT NULL  PRIMARY "
       "KEY,\r\n\t[at] [datetime] NULL , \r\n\t[photo] [image] NULL \r\n) ON [PRIMARY]\r\nGO\r\n"},
      {"EndsIntegerReference",
       "CREATE TABLE [dbo].[EndsIntegerReference] (\r\n\t[id] [int] IDENTITY (1, 1) NOT NULL  "
       "PRIMARY KEY,\r\n\t[count] [int] NOT NULL ,\r\n\t[only] int NOT NULL \r\n) ON "
       "[PRIMARY]\r\nGO\r\n"},
      {"EndsTextReference",
       "CREATE TABLE [dbo].[EndsTextReference] (\r\n\t[id] [int] IDENTITY (1, 1) NOT NULL  PRIMARY "
       "KEY,\r\n\t[ratio] [float] NOT NULL ,\r\n\t[code] [varchar] (8) COLLATE Chinese_PRC_CI_AS "
       "NOT NULL \r\n) ON [PRIMARY]\r\nGO\r\n"},
      {"EndsInteger",
       "CREATE TABLE [dbo].[EndsInteger] (\r\n\t[id] [int] IDENTITY (1, 1) NOT NULL  PRIMARY "
       "KEY,\r\n\t[count] [int] NOT NULL \r\n) ON [PRIMARY]\r\nGO\r\n"},
      {"EndsFloat",
       "CREATE TABLE [dbo].[EndsFloat] (\r\n\t[key] [varchar] (3) COLLATE Chinese_PRC_CI_AS NOT "
       "NULL PRIMARY KEY ,\r\n\t[ratio] [float] NOT NULL \r\n) ON [PRIMARY]\r\nGO\r\n"},
  };
  for (const auto& [className, statement] : expected) {
    EXPECT_EQ(CreateTableOf(script, className), statement) << className;
  }
}

TEST_F(SqlScriptTest, OnlyStringsFollowTheRequiredFlag) {
  int c = Class("Mixed");
  IntegerKey(c, "id");
  Member(c, "must", kTypeString, 10, true);
  Member(c, "optional", kTypeString, 11, false);
  Member(c, "count", kTypeInteger, 0, false);
  Member(c, "ratio", kTypeFloat, 0, false);
  Member(c, "photo", kTypePicture, 0, true);
  std::string script = BuildTableScript(projectId_);
  EXPECT_TRUE(Contains(script, "\t[must] [varchar] (10) COLLATE Chinese_PRC_CI_AS NOT NULL ,\r\n"));
  EXPECT_TRUE(Contains(script, "\t[optional] [varchar] (11) COLLATE Chinese_PRC_CI_AS NULL ,\r\n"));
  EXPECT_TRUE(Contains(script, "\t[count] [int] NOT NULL ,\r\n"));
  EXPECT_TRUE(Contains(script, "\t[ratio] [float] NOT NULL ,\r\n"));
  EXPECT_TRUE(Contains(script, "\t[photo] [image] NULL \r\n) ON [PRIMARY]"));
}

TEST_F(SqlScriptTest, FirstOfTwoKeyMembersIsTheKeyAndTheOtherIsLeftOut) {
  int c = Class("TwoKeys");
  TextKey(c, "first", 8);
  IntegerKey(c, "second");
  Member(c, "name", kTypeString, 20);
  std::string script = BuildTableScript(projectId_);
  EXPECT_TRUE(Contains(script,
                       "[TwoKeys] (\r\n\t[first] [varchar] (8) COLLATE Chinese_PRC_CI_AS "
                       "NOT NULL PRIMARY KEY ,\r\n\t[name] [varchar] (20)"));
  EXPECT_FALSE(Contains(script, "[second]"));
}

TEST_F(SqlScriptTest, ForeignKeysComeAfterTheLastTableInClassAndMemberOrder) {
  int text = Class("Shelf");
  TextKey(text, "shelfCode", 30);
  int loan = Class("Loan");
  IntegerKey(loan, "loanId");
  Member(loan, "shelf", "Shelf");
  Member(loan, "note", kTypeString, 5);
  int later = Class("Later");
  IntegerKey(later, "laterId");
  Member(later, "loan", "Loan");
  std::string script = BuildTableScript(projectId_);
  EXPECT_TRUE(
      Contains(script, "\t[shelf] [varchar] (30) COLLATE Chinese_PRC_CI_AS NOT NULL ,\r\n"));
  EXPECT_TRUE(Contains(script, "\t[loan] int NOT NULL " + kTableEnd));
  EXPECT_TRUE(script.ends_with(
      std::string("[Later] (\r\n\t[laterId] [int] IDENTITY (1, 1) NOT NULL  PRIMARY KEY,"
                  "\r\n\t[loan] int NOT NULL ") +
      kTableEnd +
      "ALTER TABLE Loan ADD FOREIGN KEY (shelf) REFERENCES "
      "Shelf(shelfCode)\r\n"
      "ALTER TABLE Later ADD FOREIGN KEY (loan) REFERENCES "
      "Loan(loanId)\r\n"));
}

// ---- the descriptions of a complete application's script

constexpr const char* kDescribe = "EXEC sp_addextendedproperty N'MS_Description', ";

TEST_F(SqlScriptTest, CompleteScriptEndsWithFriendNamesAndCommentsQuotedSafely) {
  const int shelf = AddClass(projectId_, "Shelf", "书架");
  AddMember(projectId_, shelf, "shelfCode", std::string(kTypeString), "架号", 6, true);
  const int loan = AddClass(projectId_, "Loan", "O'Brien's 借阅");
  AddMember(projectId_, loan, "loanId", std::string(kTypeInteger), "", 0, true);
  AddMember(projectId_, loan, "shelf", "Shelf", "所在'书架'");
  AddMember(projectId_, loan, "note", std::string(kTypeString), "'); DROP TABLE Shelf --", 5);
  const std::string plain = BuildTableScript(projectId_);
  const std::string complete = BuildRerunnableTableScript(projectId_);
  EXPECT_FALSE(Contains(plain, "sp_addextendedproperty")) << plain;
  // The foreign keys' batch is closed first; a member without a comment has no line.
  EXPECT_TRUE(complete.ends_with(
      std::string("ALTER TABLE [Loan] ADD FOREIGN KEY ([shelf]) REFERENCES [Shelf]([shelfCode])\r\n"
                  "GO\r\n") +
      kDescribe + "N'书架', N'SCHEMA', N'dbo', N'TABLE', N'Shelf'\r\n" + kDescribe +
      "N'架号', N'SCHEMA', N'dbo', N'TABLE', N'Shelf', N'COLUMN', N'shelfCode'\r\n" + kDescribe +
      "N'O''Brien''s 借阅', N'SCHEMA', N'dbo', N'TABLE', N'Loan'\r\n" + kDescribe +
      "N'所在''书架''', N'SCHEMA', N'dbo', N'TABLE', N'Loan', N'COLUMN', N'shelf'\r\n" + kDescribe +
      "N'''); DROP TABLE Shelf --', N'SCHEMA', N'dbo', N'TABLE', N'Loan', N'COLUMN', N'note'\r\n"
      "GO\r\n"))
      << complete;
}

TEST_F(SqlScriptTest, CompleteScriptWithoutForeignKeysOrDescriptionsAddsNoBatch) {
  const int bare = AddClass(projectId_, "Bare", "");
  AddMember(projectId_, bare, "bareId", std::string(kTypeInteger), "", 0, true);
  EXPECT_TRUE(
      BuildRerunnableTableScript(projectId_).ends_with("NOT NULL  PRIMARY KEY" + kTableEnd));
  // Without foreign keys the last table's GO already ends the batch.
  AddMember(projectId_, bare, "label", std::string(kTypeString), "标签", 5);
  EXPECT_TRUE(
      BuildRerunnableTableScript(projectId_)
          .ends_with(
              kTableEnd + kDescribe +
              "N'标签', N'SCHEMA', N'dbo', N'TABLE', N'Bare', N'COLUMN', N'label'\r\nGO\r\n"));
}

TEST_F(SqlScriptTest, NamesAreValuesNotPlaceholders) {
  int c = Class("Odd");
  IntegerKey(c, "{className}");
  Member(c, "{TAB}", kTypeString, 3);
  std::string script = BuildTableScript(projectId_);
  EXPECT_TRUE(Contains(script, "\t[{className}] [int] IDENTITY"));
  EXPECT_TRUE(Contains(script, "\t[{TAB}] [varchar] (3)"));
}

TEST_F(SqlScriptTest, FlagColumnWidensBeyondTwentyFourClasses) {
  for (int i = 0; i < 24; ++i) IntegerKey(Class("C" + std::to_string(i)), "id");
  std::string script = BuildTableScript(projectId_);
  EXPECT_TRUE(Contains(script, "\t[ql_flag] [nvarchar](50) COLLATE"));
  EXPECT_TRUE(Contains(script, "'" + std::string(50, '1') + "')\r\n"));

  IntegerKey(Class("C24"), "id");
  script = BuildTableScript(projectId_);
  EXPECT_TRUE(Contains(script, "\t[ql_flag] [nvarchar](52) COLLATE"));
  EXPECT_TRUE(Contains(script, "'" + std::string(52, '1') + "')\r\n"));
}

TEST_F(SqlScriptTest, ClassWithoutKeyIsReportedByName) {
  IntegerKey(Class("Fine"), "id");
  Member(Class("Keyless"), "name", kTypeString, 10);
  EXPECT_EQ(ScriptError(), "Keyless表主键设置错误，每个类只能设置一个主键!");
}

TEST_F(SqlScriptTest, ReferenceToMissingClassIsReported) {
  int c = Class("Loan");
  IntegerKey(c, "id");
  Member(c, "reader", "Reader");
  std::string message = ScriptError();
  EXPECT_TRUE(Contains(message, "Loan")) << message;
  EXPECT_TRUE(Contains(message, "reader")) << message;
  EXPECT_TRUE(Contains(message, "\"Reader\"")) << message;
}

TEST_F(SqlScriptTest, ReferenceToClassWithoutKeyIsReported) {
  int c = Class("Loan");
  IntegerKey(c, "id");
  Member(c, "reader", "Reader");
  Member(Class("Reader"), "name", kTypeString, 10);
  std::string message = ScriptError();
  EXPECT_TRUE(Contains(message, "Reader表主键设置错误，每个类只能设置一个主键!")) << message;
  EXPECT_TRUE(Contains(message, "类Loan的成员reader引用的类\"Reader\"没有设置主键!")) << message;
}

// ---- the script read by a real T-SQL parser

std::string FindOnPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  std::stringstream dirs(path ? path : "");
  std::string dir;
  while (std::getline(dirs, dir, ':')) {
    std::filesystem::path candidate = std::filesystem::path(dir) / program;
    if (!dir.empty() && access(candidate.c_str(), X_OK) == 0) return candidate.string();
  }
  return {};
}

struct TParseResult {
  int exitCode = -1;
  std::string output;
};

TParseResult ParseTsql(const std::string& sqlfluff, const std::filesystem::path& file) {
  std::string command = "'" + sqlfluff + "' parse --dialect tsql '" + file.string() + "' 2>&1";
  TParseResult result;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return result;
  char buffer[4096];
  std::size_t read;
  while ((read = fread(buffer, 1, sizeof buffer, pipe)) > 0) result.output.append(buffer, read);
  int status = pclose(pipe);
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

TEST_F(SqlScriptTest, GeneratedScriptParsesAsTsql) {
  const std::string sqlfluff = FindOnPath("sqlfluff");
  ASSERT_FALSE(sqlfluff.empty())
      << "sqlfluff was not found on PATH; install it (Debian package sqlfluff) to check that "
         "generated scripts are valid T-SQL";
  AddSmallModel();
  int only = Class("OnlyText");
  TextKey(only, "code", 6);
  std::filesystem::path file = TempPath() / "script.sql";
  std::ofstream(file, std::ios::binary) << BuildTableScript(projectId_);

  TParseResult result = ParseTsql(sqlfluff, file);
  EXPECT_EQ(result.exitCode, 0) << result.output;
  EXPECT_FALSE(Contains(result.output, "unparsable")) << result.output;
  EXPECT_TRUE(Contains(result.output, "create_table_statement")) << result.output;
  EXPECT_TRUE(Contains(result.output, "alter_table_statement")) << result.output;
}

}  // namespace
}  // namespace vbgen::test

namespace vbgen::test {
namespace {

// A database as it is: regions keyed by a typed number, employees who report to another, order
// lines keyed by order number and employee, a log without a key, the declared SQL types.
class DatabaseScriptTest : public SqlScriptTest {
 protected:
  void Change(int memberId, const std::function<void(TMember&)>& change) {
    TMember member = *TMemberDAO().GetMember(memberId);
    change(member);
    TMemberDAO().UpdateMember(member);
  }
  void AddDatabaseModel() {
    const int region = Class("Region");
    Change(IntegerKey(region, "regionId"), [](TMember& m) {
      m.memberKeyEntered = 1;
      m.memberSqlType = "smallint";
    });
    Change(Member(region, "name", kTypeString, 50), [](TMember& m) { m.memberSqlType = "nchar"; });
    const int employee = Class("Employee");
    IntegerKey(employee, "employeeId");
    Change(Member(employee, "lastName", kTypeString, 20),
           [](TMember& m) { m.memberSqlType = "nvarchar"; });
    Change(Member(employee, "reportsTo", "Employee"), [](TMember& m) { m.memberAllowNull = 1; });
    Member(employee, "region", "Region");
    Change(Member(employee, "hired", kTypeDate), [](TMember& m) { m.memberAllowNull = 1; });
    const int line = Class("OrderLine");
    Change(IntegerKey(line, "orderNo"), [](TMember& m) { m.memberKeyEntered = 1; });
    Change(Member(line, "seller", "Employee"), [](TMember& m) { m.memberIsPri = 1; });
    Change(Member(line, "price", kTypeFloat), [](TMember& m) {
      m.memberSqlType = "decimal";
      m.memberPrecision = 19;
      m.memberScale = 4;
    });
    Change(Member(line, "discount", kTypeFloat), [](TMember& m) {
      m.memberSqlType = "smallmoney";
      m.memberAllowNull = 1;
    });
    Change(Member(line, "quantity", kTypeInteger), [](TMember& m) { m.memberSqlType = "tinyint"; });
    const int log = Class("Log");
    Change(Member(log, "entry", kTypeString, 200, false),
           [](TMember& m) { m.memberAllowNull = 1; });
    Change(Member(log, "level", kTypeInteger), [](TMember& m) { m.memberAllowNull = 1; });
  }
  // The CREATE TABLE block of a table, from its head to its tail.
  static std::string Table(const std::string& script, const std::string& className) {
    const std::string head = "CREATE TABLE [dbo].[" + className + "] (\r\n";
    const std::size_t start = script.find(head);
    if (start == std::string::npos) return "no table " + className;
    const std::size_t end = script.find(kTableEnd, start);
    return script.substr(start + head.size(), end - start - head.size());
  }
};

}  // namespace

TEST_F(DatabaseScriptTest, TheCompleteScriptDeclaresKeysNullsAndTypesAsTheDatabaseHasThem) {
  AddDatabaseModel();
  const std::string script = BuildRerunnableTableScript(projectId_);
  EXPECT_EQ(Table(script, "Region"),
            "\t[regionId] [smallint] NOT NULL PRIMARY KEY,\r\n"
            "\t[name] [nchar] (50) COLLATE Chinese_PRC_CI_AS NOT NULL ");
  EXPECT_EQ(Table(script, "Employee"),
            "\t[employeeId] [int] IDENTITY (1, 1) NOT NULL  PRIMARY KEY,\r\n"
            "\t[lastName] [nvarchar] (20) COLLATE Chinese_PRC_CI_AS NOT NULL ,\r\n"
            "\t[reportsTo] int NULL ,\r\n"
            "\t[region] smallint NOT NULL ,\r\n"  // the type of the key it points to
            "\t[hired] [datetime] NULL ,");
  EXPECT_EQ(Table(script, "OrderLine"),
            "\t[orderNo] [int] NOT NULL ,\r\n"
            "\t[seller] int NOT NULL ,\r\n"
            "\t[price] [decimal] (19, 4) NOT NULL ,\r\n"
            "\t[discount] [smallmoney] NULL ,\r\n"
            "\t[quantity] [tinyint] NOT NULL ,\r\n"
            "\tCONSTRAINT [PK_OrderLine] PRIMARY KEY ([orderNo], [seller])");
  EXPECT_EQ(Table(script, "Log"),
            "\t[entry] [varchar] (200) COLLATE Chinese_PRC_CI_AS NULL ,\r\n"
            "\t[level] [int] NULL ");
  // Every reference gets its foreign key: the self-reference and the key's reference too.
  EXPECT_TRUE(Contains(script,
                       "ALTER TABLE [Employee] ADD FOREIGN KEY ([reportsTo]) REFERENCES "
                       "[Employee]([employeeId])\r\n"
                       "ALTER TABLE [Employee] ADD FOREIGN KEY ([region]) REFERENCES "
                       "[Region]([regionId])\r\n"
                       "ALTER TABLE [OrderLine] ADD FOREIGN KEY ([seller]) REFERENCES "
                       "[Employee]([employeeId])\r\n"))
      << script;
  // Referenced tables are dropped after the tables that point to them.
  EXPECT_LT(script.find("drop table [dbo].[OrderLine]"),
            script.find("drop table [dbo].[Employee]"));
  EXPECT_LT(script.find("drop table [dbo].[Employee]"), script.find("drop table [dbo].[Region]"));
}

// The plain script keeps its own mapping and IDENTITY (its forms never type a key); a column
// that may hold NULL says so there too.
TEST_F(DatabaseScriptTest, ThePlainScriptKeepsItsMappingAndTakesNull) {
  const int region = Class("Region");
  Change(IntegerKey(region, "regionId"), [](TMember& m) {
    m.memberKeyEntered = 1;
    m.memberSqlType = "smallint";
  });
  Change(Member(region, "name", kTypeString, 50), [](TMember& m) {
    m.memberSqlType = "nchar";
    m.memberIsDisplay = 1;
  });
  Change(Member(region, "size", kTypeFloat), [](TMember& m) {
    m.memberAllowNull = 1;
    m.memberSqlType = "money";
  });
  Change(Member(region, "capital", "Region2"), [](TMember& m) { m.memberAllowNull = 1; });
  IntegerKey(Class("Region2"), "id");
  const std::string script = BuildTableScript(projectId_);
  EXPECT_EQ(Table(script, "Region"),
            "\t[regionId] [int] IDENTITY (1, 1) NOT NULL  PRIMARY KEY,\r\n"
            "\t[name] [varchar] (50) COLLATE Chinese_PRC_CI_AS NOT NULL ,\r\n"
            "\t[size] [float] NULL ,\r\n"
            "\t[capital] int NULL ");
}

}  // namespace vbgen::test
