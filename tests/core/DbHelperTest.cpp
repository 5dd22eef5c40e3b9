#include <gtest/gtest.h>
#include <sqlite3.h>

#include <fstream>
#include <limits>
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
  ASSERT_EQ(sqlite3_open((TempPath() / "projects.db").string().c_str(), &other), SQLITE_OK);
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

namespace vbgen::test {

// The row reader: each row read where the statement stands, while the connection is held.
class RowReaderTest : public ModelTest {
 protected:
  // One row of cells as the view reads them: integers, texts and which are NULL.
  struct TCells {
    std::vector<std::int64_t> ints;
    std::vector<std::string> texts;
    std::vector<bool> nulls;
    bool operator==(const TCells&) const = default;
  };
  std::vector<TCells> Read(const std::string& sql, const TSqlParams& params = {}) {
    std::vector<TCells> rows;
    db.ForEachRow(sql, params, [&rows](const TRowView& row) {
      TCells cells;
      for (std::size_t i = 0; i < row.ColumnCount(); ++i) {
        cells.ints.push_back(row.Int(i));
        cells.texts.push_back(row.Text(i));
        cells.nulls.push_back(row.IsNull(i));
      }
      rows.push_back(cells);
    });
    return rows;
  }
  std::vector<std::string> ProjectNames() {
    std::vector<std::string> names;
    db.ForEachRow("select projectName from t_project order by projectId", {},
                  [&names](const TRowView& row) { names.push_back(row.Text(0)); });
    return names;
  }
  TDbHelper db;
};

TEST_F(RowReaderTest, CellsReadByPositionAsTheRowSetReadsThem) {
  db.ExecuteSql("create table cells(n integer, t text, f real, e text)");
  db.ExecuteSql("insert into cells values (?, ?, 2.75, NULL)",
                {std::int64_t{-42}, std::string("12册 图书")});
  db.ExecuteSql("insert into cells values (NULL, NULL, NULL, '')");
  db.ExecuteSql("insert into cells values (9007199254740993, 'x', -0.5, '007')");
  const std::string sql = "select n, t, f, e from cells order by rowid";
  const std::vector<TCells> rows = Read(sql);
  ASSERT_EQ(rows.size(), 3u);
  // A number reads as its digits (a real cut to its integer), a text as the number it starts
  // with, NULL as 0 and "".
  EXPECT_EQ(rows[0], (TCells{{-42, 12, 2, 0}, {"-42", "12册 图书", "2", ""}, {0, 0, 0, 1}}));
  EXPECT_EQ(rows[1], (TCells{{0, 0, 0, 0}, {"", "", "", ""}, {1, 1, 1, 0}}));
  EXPECT_EQ(
      rows[2],
      (TCells{{9007199254740993, 0, 0, 7}, {"9007199254740993", "x", "0", "007"}, {0, 0, 0, 0}}));
  const TRowSet set = db.OpenQuery(sql);
  ASSERT_EQ(set.size(), rows.size());
  for (std::size_t i = 0; i < set.size(); ++i) {
    for (std::size_t column = 0; column < 4; ++column) {
      EXPECT_EQ(set.IntAt(i, column), rows[i].ints[column]) << i << "," << column;
      EXPECT_EQ(set.TextAt(i, column), rows[i].texts[column]) << i << "," << column;
    }
  }
}

TEST_F(RowReaderTest, AnEmptyResultHandsOverNoRow) {
  int calls = 0;
  db.ForEachRow("select * from t_member where classId=?", {std::int64_t{1}},
                [&calls](const TRowView&) { ++calls; });
  EXPECT_EQ(calls, 0);
  AddProject("only");
  EXPECT_EQ(Read("select projectId from t_project where projectName=?", {std::string("none")}),
            std::vector<TCells>{});
  EXPECT_EQ(ProjectNames(), std::vector<std::string>{"only"});
}

TEST_F(RowReaderTest, FailuresAreTDbErrorsWithSqlitesMessage) {
  auto failure = [this](const std::string& sql, const TSqlParams& params,
                        const std::function<void(const TRowView&)>& row) -> std::string {
    try {
      db.ForEachRow(sql, params, row);
    } catch (const TDbError& error) {
      return error.what();
    }
    return "no error";
  };
  auto ignore = [](const TRowView&) {};
  const std::string missing = failure("select * from nowhere", {}, ignore);
  EXPECT_NE(missing.find("no such table: nowhere"), std::string::npos) << missing;
  EXPECT_NE(missing.find("select * from nowhere"), std::string::npos) << missing;
  // Found only when stepping: the statement itself is sound.
  const std::string overflow =
      failure("select abs(?)", {std::numeric_limits<std::int64_t>::min()}, ignore);
  EXPECT_NE(overflow.find("integer overflow"), std::string::npos) << overflow;
  EXPECT_NE(failure("select ?", {std::int64_t{1}, std::int64_t{2}}, ignore), "no error");
  const std::string column = failure("select 1, 2", {}, [](const TRowView& row) { row.Int(2); });
  EXPECT_EQ(column, "查询结果只有2列, 没有第3列");
  // The connection is fine afterwards, and the failed statements start afresh.
  AddProject("after");
  EXPECT_EQ(ProjectNames(), std::vector<std::string>{"after"});
  EXPECT_EQ(Read("select ?", {std::int64_t{5}}).at(0).ints, std::vector<std::int64_t>{5});
}

TEST_F(RowReaderTest, WhatTheCallbackThrowsEndsTheReadingAndTheNextStartsAtTheFirstRow) {
  for (const char* name : {"a", "b", "c"}) AddProject(name);
  std::vector<std::string> seen;
  EXPECT_THROW(db.ForEachRow("select projectName from t_project order by projectId", {},
                             [&seen](const TRowView& row) {
                               seen.push_back(row.Text(0));
                               if (seen.size() == 2) throw std::runtime_error("enough");
                             }),
               std::runtime_error);
  EXPECT_EQ(seen, (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(ProjectNames(), (std::vector<std::string>{"a", "b", "c"}));
}

TEST_F(RowReaderTest, InsideATransactionItReadsWhatTheTransactionWrote) {
  AddProject("kept");
  {
    TDbTransaction transaction;
    AddProject("pending");
    EXPECT_EQ(ProjectNames(), (std::vector<std::string>{"kept", "pending"}));
  }  // left without Commit: rolled back
  EXPECT_EQ(ProjectNames(), std::vector<std::string>{"kept"});
  {
    TDbTransaction transaction;
    TProjectDAO().RenameProject(TProjectDAO().ListProjects()[0].id, "renamed");
    EXPECT_EQ(ProjectNames(), std::vector<std::string>{"renamed"});
    transaction.Commit();
  }
  TDbHelper::Close();
  EXPECT_EQ(ProjectNames(), std::vector<std::string>{"renamed"});
}

TEST_F(RowReaderTest, TheCallbackMayRunStatementsEvenTheOneBeingRead) {
  for (const char* name : {"a", "b", "c"}) AddProject(name);
  const std::string sql = "select projectId, projectName from t_project order by projectId";
  std::vector<std::string> pairs;
  db.ForEachRow(sql, {}, [&](const TRowView& outer) {
    const std::string name = outer.Text(1);
    db.ForEachRow(sql, {}, [&](const TRowView& inner) { pairs.push_back(name + inner.Text(1)); });
    // More statements than the cache keeps: the one being read must stay.
    for (int i = 0; i < 150; ++i) ASSERT_EQ(db.QueryInt("select " + std::to_string(i)), i);
    EXPECT_EQ(outer.Text(1), name);
  });
  EXPECT_EQ(pairs,
            (std::vector<std::string>{"aa", "ab", "ac", "ba", "bb", "bc", "ca", "cb", "cc"}));
  // Closing the connection under a reader is refused, and the connection stays usable.
  EXPECT_THROW(db.ForEachRow(sql, {}, [](const TRowView&) { TDbHelper::Close(); }), TDbError);
  EXPECT_EQ(ProjectNames(), (std::vector<std::string>{"a", "b", "c"}));
  TDbHelper::Close();
  EXPECT_EQ(ProjectNames(), (std::vector<std::string>{"a", "b", "c"}));
}

}  // namespace vbgen::test
