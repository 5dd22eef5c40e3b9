#include <gtest/gtest.h>
#include <sqlite3.h>

#include <fstream>
#include <thread>

#include "TestModel.h"

namespace vbgen::test {

using DbHelperTest = ModelTest;

TEST_F(DbHelperTest, QueryIntAndStringOnNoRowsAndCounts) {
  TDbHelper db;
  EXPECT_EQ(db.QueryInt("select projectId from t_project where projectId=?", {std::int64_t{5}}),
            -1);
  EXPECT_EQ(db.QueryInt("select count(*) from t_project"), 0);
  EXPECT_EQ(db.QueryString("select projectName from t_project"), "");
  AddProject("甲");
  EXPECT_EQ(db.QueryInt("select count(*) from t_project"), 1);
  EXPECT_EQ(db.QueryString("select projectName from t_project"), "甲");
}

TEST_F(DbHelperTest, MissingFileIsCreatedWithTheThreeEmptyTables) {
  TDbHelper db;
  for (const char* table : {"t_project", "t_class", "t_member"}) {
    EXPECT_EQ(db.QueryInt(std::string("select count(*) from ") + table), 0) << table;
  }
  TRowSet columns = db.OpenQuery("select * from t_member");
  EXPECT_TRUE(columns.empty());
  EXPECT_TRUE(std::filesystem::exists(TempPath() / "projects.db"));
}

TEST_F(DbHelperTest, ExistingFileIsUsedAsItIsWithRowsOfOtherTools) {
  AddProject("first");
  TDbHelper::Close();
  // Another tool inserts a row directly, with an explicit key and a NULL name.
  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open((TempPath() / "projects.db").c_str(), &other), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(other, "insert into t_project(projectId,projectName) values (40,NULL)",
                         nullptr, nullptr, nullptr),
            SQLITE_OK);
  sqlite3_close(other);
  TNamedIdList projects = TProjectDAO().ListProjects();
  ASSERT_EQ(projects.size(), 2u);
  EXPECT_EQ(projects[0], (TNamedId{"first", 1}));
  EXPECT_EQ(projects[1], (TNamedId{"", 40}));
  EXPECT_EQ(AddProject("next"), 41);
  EXPECT_EQ(TProjectDAO().ListProjects().back(), (TNamedId{"next", 41}));
}

TEST_F(DbHelperTest, KeysAscendAndAreNeverReused) {
  int a = AddProject("a");
  int b = AddProject("b");
  EXPECT_LT(a, b);
  TProjectDAO().DeleteProject(b);
  EXPECT_GT(AddProject("c"), b);
}

TEST_F(DbHelperTest, FailingStatementInsideListRollsBackAndIsReported) {
  AddProject("keep");
  TDbHelper db;
  EXPECT_THROW(db.ExecuteSqlList({{"insert into t_project(projectName) values ('x')", {}},
                                  {"insert into no_such_table values (1)", {}}}),
               TDbError);
  TNamedIdList projects = TProjectDAO().ListProjects();
  ASSERT_EQ(projects.size(), 1u);
  EXPECT_EQ(projects[0].name, "keep");
  // The connection is usable afterwards and no transaction is left open.
  db.ExecuteSqlList({});
  AddProject("after");
  EXPECT_EQ(TProjectDAO().ListProjects().size(), 2u);
}

TEST_F(DbHelperTest, FailingStatementsPropagate) {
  TDbHelper db;
  EXPECT_THROW(db.OpenQuery("select * from nowhere"), TDbError);
  EXPECT_THROW(db.ExecuteSql("delete from nowhere"), TDbError);
  EXPECT_THROW(db.QueryInt("selec 1"), TDbError);
}

TEST_F(DbHelperTest, UnopenableDatabaseIsReportedWithItsPath) {
  TDbHelper::SetDatabasePath(TempPath() / "missing-dir" / "projects.db");
  try {
    TProjectDAO().ListProjects();
    FAIL() << "expected an error";
  } catch (const TDbError& error) {
    EXPECT_NE(std::string(error.what()).find("missing-dir"), std::string::npos);
  }
}

TEST_F(DbHelperTest, OneConnectionIsSharedUntilClosed) {
  sqlite3* first = TDbHelper().GetConnection();
  EXPECT_EQ(TDbHelper().GetConnection(), first);
  TDbHelper::Close();
  AddProject("reopened");
  EXPECT_EQ(TProjectDAO().ListProjects().size(), 1u);
}

TEST_F(DbHelperTest, TwoThreadsNeverInterleaveInsideATransaction) {
  int projectId = AddProject("p");
  int classId = AddClass(projectId, "Book", "图书");
  for (int i = 0; i < 20; ++i)
    AddMember(projectId, classId, "m" + std::to_string(i), "字符串", "c", 10);
  std::thread swapper([&] {
    TMemberDAO dao;
    TMemberList list = dao.ListMembers(classId);
    for (int round = 0; round < 200; ++round) dao.SwapMembers(list[0].memberId, list[19].memberId);
  });
  for (int round = 0; round < 200; ++round) {
    TMemberList list = TMemberDAO().ListMembers(classId);
    ASSERT_EQ(list.size(), 20u);
    // A swap is seen whole or not at all: never two rows with the same name.
    EXPECT_NE(list[0].memberName, list[19].memberName);
  }
  swapper.join();
}

}  // namespace vbgen::test

namespace vbgen::test {

class DbFileTest : public ModelTest {
 protected:
  std::filesystem::path File() const { return TempPath() / "projects.db"; }
  void Put(const std::string& bytes) {
    TDbHelper::Close();
    std::ofstream(File(), std::ios::binary) << bytes;
  }
  // The message of the first model operation, which must fail.
  std::string Failure() {
    try {
      TProjectDAO().ListProjects();
    } catch (const TDbError& error) {
      return error.what();
    }
    ADD_FAILURE() << "no error";
    return {};
  }
};

TEST_F(DbFileTest, AnEmptyFileIsAnEmptyDatabaseAndGetsTheThreeTables) {
  Put("");
  EXPECT_TRUE(TProjectDAO().ListProjects().empty());
  AddProject("甲");
  TDbHelper::Close();
  EXPECT_EQ(TProjectDAO().ListProjects().size(), 1u);
}

TEST_F(DbFileTest, AFileThatIsNotADatabaseIsNamedAndKept) {
  const std::string text =
      "这是我的笔记, not a database at all, but long enough to look like one.\n";
  Put(text + std::string(4096, 'x'));
  const std::string message = Failure();
  EXPECT_NE(message.find("不是模型数据库"), std::string::npos) << message;
  EXPECT_NE(message.find(File().string()), std::string::npos) << message;
  TDbHelper::Close();
  std::ifstream in(File(), std::ios::binary);
  std::string kept((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(kept, text + std::string(4096, 'x'));  // never deleted or overwritten
}

TEST_F(DbFileTest, ADamagedDatabaseIsReportedAsDamaged) {
  {
    TDbTransaction transaction;
    for (int i = 0; i < 200; ++i) TProjectDAO().AddProject("工程" + std::to_string(i));
    transaction.Commit();
  }
  TDbHelper::Close();
  // Overwrite the second page (the table's rows) with rubbish; the header stays valid.
  std::fstream file(File(), std::ios::binary | std::ios::in | std::ios::out);
  file.seekp(4096);
  file << std::string(4096, '\x5a');
  file.close();
  const std::string message = Failure();
  EXPECT_NE(message.find("已损坏"), std::string::npos) << message;
}

TEST_F(DbFileTest, ALockedDatabaseSaysSo) {
  AddProject("甲");
  TDbHelper::Close();
  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open(File().string().c_str(), &other), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(other, "begin exclusive", nullptr, nullptr, nullptr), SQLITE_OK);
  const std::string message = Failure();
  sqlite3_exec(other, "rollback", nullptr, nullptr, nullptr);
  sqlite3_close(other);
  EXPECT_NE(message.find("锁定"), std::string::npos) << message;
  EXPECT_EQ(message.find("语句有误"), std::string::npos) << message;
  EXPECT_EQ(TProjectDAO().ListProjects().size(), 1u);  // and works once the lock is gone
}

}  // namespace vbgen::test
