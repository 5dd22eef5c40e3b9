#include <gtest/gtest.h>
#include <sqlite3.h>

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
  AddProject("next");
  EXPECT_EQ(TProjectDAO().ListProjects().back().id, 41);
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
