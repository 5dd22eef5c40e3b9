// A projects.db written by the first release (no layout version, t_member without the columns
// that say what the database allows) opens in this one: upgraded in place, in one go, with
// every row kept; a file that cannot be upgraded is refused as it is.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

#include "CliRunner.h"
#include "TestModel.h"

namespace vbgen::test {
namespace fs = std::filesystem;

namespace {

// The layout of the first release, word for word.
constexpr const char* kFirstReleaseSchema = R"(
create table t_project(
  projectId integer primary key autoincrement,
  projectName text);
create table t_class(
  classId integer primary key autoincrement,
  projectId integer,
  className text,
  friendName text,
  frontShowFlag integer);
create table t_member(
  memberId integer primary key autoincrement,
  projectId integer,
  classId integer,
  memberName text,
  memberType text,
  memberLength integer,
  memberIsPri integer,
  memberComment text,
  memberIsMust integer,
  memberIsInteger integer,
  memberIsFloat integer,
  queryFlag integer,
  memberIsDisplay integer,
  memberQueryDisplay integer);
create index t_class_project on t_class(projectId);
create index t_member_class on t_member(classId);
insert into t_project(projectId,projectName) values (3,'图书馆管理');
insert into t_project(projectId,projectName) values (7,NULL);
insert into t_class values (4,3,'Book','图书',1);
insert into t_class values (9,3,'Reader','读者',0);
insert into t_member values (11,3,4,'bookId','整型',0,1,'编号',1,1,0,0,0,1);
insert into t_member values (12,3,4,'title','字符串',50,0,'书名 ''正'' "题"',1,0,0,1,1,1);
insert into t_member values (15,3,4,'owner','Reader',0,0,'读者',0,0,0,0,0,0);
insert into t_member values (16,3,9,'readerId','字符串',20,1,NULL,1,0,0,0,0,1);
)";

void Exec(sqlite3* db, const std::string& sql) {
  char* message = nullptr;
  const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message);
  const std::string text = message ? message : "";
  sqlite3_free(message);
  ASSERT_EQ(rc, SQLITE_OK) << text;
}

void WriteDatabase(const fs::path& file, const std::string& sql) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(file.string().c_str(), &db), SQLITE_OK);
  Exec(db, sql);
  sqlite3_close(db);
}

// The member rows of the first release, as they must read after the upgrade.
TMember FirstReleaseMember(int memberId, int classId, const std::string& name,
                           const std::string& type, int length, int pri, const std::string& comment,
                           int must, int query, int display, int queryDisplay) {
  TMember m;
  m.memberId = memberId;
  m.projectId = 3;
  m.classId = classId;
  m.memberName = name;
  m.memberType = type;
  m.memberLength = length;
  m.memberIsPri = pri;
  m.memberComment = comment;
  m.memberIsMust = must;
  m.memberIsInteger = type == kTypeInteger;
  m.queryFlag = query;
  m.memberIsDisplay = display;
  m.memberQueryDisplay = queryDisplay;
  return m;
}

}  // namespace

class StoreUpgradeTest : public ModelTest {
 protected:
  fs::path File() const { return TempPath() / "projects.db"; }
  void PutFirstRelease(const std::string& extra = "") {
    TDbHelper::Close();
    WriteDatabase(File(), kFirstReleaseSchema + extra);
  }
  std::string Failure() {
    try {
      TProjectDAO().ListProjects();
    } catch (const TDbError& error) {
      return error.what();
    }
    ADD_FAILURE() << "no error";
    return {};
  }
  int Version() { return TDbHelper().QueryInt("pragma user_version"); }
};

TEST_F(StoreUpgradeTest, AFirstReleaseFileOpensUpgradedWithEveryRowKept) {
  PutFirstRelease();
  EXPECT_EQ(TProjectDAO().ListProjects(), (TNamedIdList{{"图书馆管理", 3}, {"", 7}}));
  EXPECT_EQ(Version(), 1);
  EXPECT_EQ(TClassDAO().ListClasses(3).size(), 2u);
  const TMemberList members = TMemberDAO().ListProjectMembers(3);
  const TMemberList expected = {
      FirstReleaseMember(11, 4, "bookId", "整型", 0, 1, "编号", 1, 0, 0, 1),
      FirstReleaseMember(12, 4, "title", "字符串", 50, 0, "书名 '正' \"题\"", 1, 1, 1, 1),
      FirstReleaseMember(15, 4, "owner", "Reader", 0, 0, "读者", 0, 0, 0, 0),
      FirstReleaseMember(16, 9, "readerId", "字符串", 20, 1, "", 1, 0, 0, 1)};
  EXPECT_EQ(members, expected);  // the new fields read as "as before": all off

  // The new columns take what the model says from now on, and new keys follow the old ones.
  TMember member = members[2];
  member.memberAllowNull = 1;
  member.memberSqlType = "nchar";
  TMemberDAO().UpdateMember(member);
  EXPECT_EQ(TMemberDAO().GetMember(15), member);
  EXPECT_EQ(TProjectDAO().AddProject("新工程"), 8);
}

TEST_F(StoreUpgradeTest, AnUpgradedOrNewFileIsLeftAsItIsWhenOpenedAgain) {
  PutFirstRelease();
  EXPECT_EQ(TProjectDAO().ListProjects().size(), 2u);
  TDbHelper::Close();
  const std::string upgraded = ReadWhole(File());
  EXPECT_EQ(TProjectDAO().ListProjects().size(), 2u);
  EXPECT_EQ(TMemberDAO().ListProjectMembers(3).size(), 4u);
  TDbHelper::Close();
  EXPECT_EQ(ReadWhole(File()), upgraded);

  TDbHelper::SetDatabasePath(TempPath() / "fresh.db");
  EXPECT_EQ(Version(), 1);
  EXPECT_EQ(TDbHelper().QueryInt(
                "select count(*) from pragma_table_info('t_member') where name in "
                "('memberAllowNull','memberKeyEntered','memberSqlType','memberPrecision',"
                "'memberScale')"),
            5);
}

// A file that already has some of the columns (written by another tool, say) keeps their
// values and gets only the missing ones.
TEST_F(StoreUpgradeTest, ColumnsAFileAlreadyHasKeepTheirValues) {
  PutFirstRelease(
      "alter table t_member add column memberSqlType text;"
      "update t_member set memberSqlType='char' where memberId=16;");
  const std::optional<TMember> reader = TMemberDAO().GetMember(16);
  ASSERT_TRUE(reader);
  EXPECT_EQ(reader->memberSqlType, "char");
  EXPECT_EQ(reader->memberAllowNull, 0);
  EXPECT_EQ(Version(), 1);
}

TEST_F(StoreUpgradeTest, AFileOfALaterLayoutIsRefusedAndKept) {
  PutFirstRelease("pragma user_version = 2;");
  const std::string before = ReadWhole(File());
  const std::string message = Failure();
  EXPECT_NE(message.find("更新版本的程序"), std::string::npos) << message;
  EXPECT_NE(message.find("版本 2"), std::string::npos) << message;
  TDbHelper::Close();
  EXPECT_EQ(ReadWhole(File()), before);
}

// Another program holds the write lock: the upgrade waits, gives up and says why; nothing of
// it is left, and the next open (the lock gone) upgrades.
TEST_F(StoreUpgradeTest, ALockedFirstReleaseFileIsNotHalfUpgraded) {
  PutFirstRelease();
  const std::string before = ReadWhole(File());
  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open(File().string().c_str(), &other), SQLITE_OK);
  Exec(other, "begin immediate");
  const std::string message = Failure();
  Exec(other, "rollback");
  sqlite3_close(other);
  EXPECT_NE(message.find("升级没有完成"), std::string::npos) << message;
  EXPECT_NE(message.find("锁定"), std::string::npos) << message;
  TDbHelper::Close();
  EXPECT_EQ(ReadWhole(File()), before);
  EXPECT_EQ(TMemberDAO().ListProjectMembers(3).size(), 4u);
  EXPECT_EQ(Version(), 1);
}

// A home the user may read but not write, holding a first-release file: the program cannot
// upgrade it, so it refuses to work on it rather than on half a model. Root writes anywhere, so
// as root the program runs as nobody.
TEST(StoreUpgradeCliTest, AReadOnlyFirstReleaseFileIsRefusedWithTheReasonAndKept) {
  TTempDir home;
  const fs::path file = home.path() / "projects.db";
  WriteDatabase(file, kFirstReleaseSchema);
  const std::string before = ReadWhole(file);
  const auto write = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
  fs::permissions(home.path(), write, fs::perm_options::remove);
  fs::permissions(file, write, fs::perm_options::remove);
  const TCliRunner cli(home.path());
  const TCliRun run = cli.Run(
      "project list", ::geteuid() == 0 ? "setpriv --reuid=65534 --regid=65534 --clear-groups" : "");
  fs::permissions(home.path(), fs::perms::owner_all, fs::perm_options::add);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_NE(run.err.find("升级没有完成"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("只读"), std::string::npos) << run.err;
  EXPECT_EQ(ReadWhole(file), before);
}

}  // namespace vbgen::test
