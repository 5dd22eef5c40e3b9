#include <gtest/gtest.h>

#include <algorithm>

#include "TestModel.h"

namespace vbgen::test {

class MemberDAOTest : public ModelTest {
 protected:
  void SetUp() override {
    ModelTest::SetUp();
    projectId = AddProject("p");
    book = AddClass(projectId, "Book", "图书");
    reader = AddClass(projectId, "Reader", "读者");
  }
  std::vector<std::string> Names(const TMemberList& list) {
    std::vector<std::string> names;
    for (const auto& m : list) names.push_back(m.memberName);
    return names;
  }
  int projectId = 0, book = 0, reader = 0;
};

TEST_F(MemberDAOTest, AddReturnsTheKeyOfTheNewRowWhateverItsClass) {
  TMember m;
  m.projectId = projectId;
  m.memberType = "整型";
  m.classId = reader;
  m.memberName = "readerId";
  const int readerKey = TMemberDAO().AddMember(m);
  m.classId = book;
  m.memberName = "bookId";
  const int bookKey = TMemberDAO().AddMember(m);
  ASSERT_NE(readerKey, bookKey);
  EXPECT_EQ(TMemberDAO().GetMember(readerKey)->memberName, "readerId");
  EXPECT_EQ(TMemberDAO().GetMember(bookKey)->memberName, "bookId");
  EXPECT_EQ(TMemberDAO().GetMember(bookKey)->classId, book);
}

TEST_F(MemberDAOTest, NewRecordStoresQueryDisplayOneAndEveryFieldRoundTrips) {
  TMember fresh;
  EXPECT_EQ(fresh.memberQueryDisplay, 1);
  EXPECT_EQ(fresh.memberLength, 0);
  fresh.projectId = projectId;
  fresh.classId = book;
  fresh.memberName = "title";
  fresh.memberType = "字符串";
  fresh.memberComment = "it's \"quoted\" {className}";
  fresh.memberLength = 40;
  const int key = TMemberDAO().AddMember(fresh);
  TMember stored = TMemberDAO().ListMembers(book).at(0);
  EXPECT_EQ(stored.memberId, key);
  EXPECT_EQ(stored.memberQueryDisplay, 1);
  fresh.memberId = stored.memberId;
  EXPECT_EQ(stored, fresh);
  EXPECT_EQ(TMemberDAO().GetMember(stored.memberId), fresh);
}

// The fields that say what the database allows are stored, updated and swapped with the rest.
TEST_F(MemberDAOTest, WhatTheDatabaseAllowsIsStoredUpdatedAndSwapped) {
  TMember price;
  price.projectId = projectId;
  price.classId = book;
  price.memberName = "price";
  price.memberType = "浮点型";
  price.memberIsFloat = 1;
  price.memberAllowNull = 1;
  price.memberSqlType = "decimal";
  price.memberPrecision = 12;
  price.memberScale = 4;
  price.memberId = TMemberDAO().AddMember(price);
  EXPECT_EQ(TMemberDAO().GetMember(price.memberId), price);

  TMember key = *TMemberDAO().GetMember(AddMember(projectId, book, "code", "整型", "代码"));
  key.memberIsPri = 1;
  key.memberKeyEntered = 1;
  key.memberSqlType = "smallint";
  TMemberDAO().UpdateMember(key);
  EXPECT_EQ(TMemberDAO().GetMember(key.memberId), key);
  price.memberSqlType = "";
  price.memberPrecision = 0;
  price.memberScale = 0;
  price.memberAllowNull = 0;
  TMemberDAO().UpdateMember(price);
  EXPECT_EQ(TMemberDAO().GetMember(price.memberId), price);

  TMemberDAO().SwapMembers(price.memberId, key.memberId);
  const TMemberList list = TMemberDAO().ListMembers(book);
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0].memberName, "code");
  EXPECT_EQ(list[0].memberKeyEntered, 1);
  EXPECT_EQ(list[0].memberSqlType, "smallint");
  EXPECT_EQ(list[1].memberSqlType, "");
  EXPECT_EQ(list[1].memberKeyEntered, 0);
}

TEST_F(MemberDAOTest, SwapExchangesContentsNotKeys) {
  int a = AddMember(projectId, book, "a", "整型", "A", 0, true, false);
  int b = AddMember(projectId, book, "b", "字符串", "B", 30, false, true);
  int c = AddMember(projectId, book, "c", "日期型", "C");
  TMemberDAO().SwapMembers(b, c);
  TMemberList list = TMemberDAO().ListMembers(book);
  EXPECT_EQ(Names(list), (std::vector<std::string>{"a", "c", "b"}));
  EXPECT_EQ(list[2].memberId, c);
  EXPECT_EQ(list[2].memberLength, 30);
  EXPECT_EQ(list[2].memberIsDisplay, 1);
  EXPECT_EQ(list[1].memberType, "日期型");
  EXPECT_EQ(list[1].classId, book);
  TMember before = *TMemberDAO().GetMember(a);
  TMemberDAO().SwapMembers(a, a);
  EXPECT_EQ(*TMemberDAO().GetMember(a), before);
}

TEST_F(MemberDAOTest, SwapWithAMissingMemberChangesNothing) {
  int a = AddMember(projectId, book, "a", "整型", "A");
  EXPECT_THROW(TMemberDAO().SwapMembers(a, 999), TDbError);
  EXPECT_EQ(TMemberDAO().GetMember(a)->memberName, "a");
}

TEST_F(MemberDAOTest, RoleListsAndLookups) {
  AddMember(projectId, reader, "readerId", "字符串", "证号", 20, true, false);
  AddMember(projectId, reader, "readerName", "字符串", "姓名", 20, false, true);
  AddMember(projectId, book, "bookId", "整型", "编号", 0, true, false);
  AddMember(projectId, book, "title", "字符串", "书名", 50, false, true, true);
  AddMember(projectId, book, "cover", "图片型", "封面", 0, false, false, false, false, false);
  AddMember(projectId, book, "pubDate", "日期型", "出版", 0, false, false, true);
  AddMember(projectId, book, "owner", "Reader", "读者", 0, false, false, true);
  AddMember(projectId, book, "price", "浮点型", "价格");
  TMemberDAO dao;
  EXPECT_EQ(Names(dao.ListPictureMembers(book)), (std::vector<std::string>{"cover"}));
  EXPECT_EQ(Names(dao.ListReferenceMembers(book)), (std::vector<std::string>{"owner"}));
  EXPECT_EQ(Names(dao.ListQueryMembers(book)),
            (std::vector<std::string>{"title", "pubDate", "owner"}));
  EXPECT_EQ(Names(dao.ListNonKeyMembers(book)),
            (std::vector<std::string>{"title", "cover", "pubDate", "owner", "price"}));
  EXPECT_EQ(dao.GetKeyMember(book)->memberName, "bookId");
  EXPECT_EQ(dao.GetKeyMemberOfClass(projectId, "Reader")->memberName, "readerId");
  EXPECT_EQ(dao.GetDisplayMemberOfClass(projectId, "Reader")->memberName, "readerName");
  EXPECT_FALSE(dao.GetKeyMemberOfClass(projectId, "Nobody"));
  EXPECT_FALSE(dao.GetDisplayMemberOfClass(projectId, "Nobody"));
  int empty = AddClass(projectId, "Empty", "空");
  EXPECT_FALSE(dao.GetKeyMember(empty));
  EXPECT_FALSE(dao.GetMember(12345));
}

TEST_F(MemberDAOTest, LookupsTakeTheFirstOfSeveralInMemberOrder) {
  AddMember(projectId, book, "first", "整型", "1", 0, true);
  AddMember(projectId, book, "second", "整型", "2", 0, true);
  EXPECT_EQ(TMemberDAO().GetKeyMember(book)->memberName, "first");
}

TEST_F(MemberDAOTest, UpdateStoresWhatTheCallerGivesAndKeepsClass) {
  int id = AddMember(projectId, book, "n", "整型", "数量");
  TMember m = *TMemberDAO().GetMember(id);
  m.memberType = "字符串";
  m.classId = reader;  // never written: a member does not change class
  m.projectId = 99;
  TMemberDAO().UpdateMember(m);
  TMember stored = *TMemberDAO().GetMember(id);
  EXPECT_EQ(stored.memberType, "字符串");
  EXPECT_EQ(stored.memberIsInteger, 1);  // the store derives nothing
  EXPECT_EQ(stored.classId, book);
  EXPECT_EQ(stored.projectId, projectId);
  TMemberDAO().DeleteMember(id);
  EXPECT_FALSE(TMemberDAO().GetMember(id));
}

}  // namespace vbgen::test

namespace vbgen::test {

// More members than the 2048 a page of the project's members once held, spread over classes
// in turn, beside another project's; one member recorded under that other project sits in a
// class of this one.
class ProjectMembersTest : public MemberDAOTest {
 protected:
  void SetUp() override {
    MemberDAOTest::SetUp();
    classes = {book, reader, AddClass(projectId, "Loan", "借阅")};
    const int other = AddProject("other");
    const int otherClass = AddClass(other, "Other", "其他");
    TDbTransaction transaction;
    for (int i = 0; i < 2500; ++i) {
      expected.push_back(
          AddMember(projectId, classes[i % 3], "m" + std::to_string(i), "整型", "c"));
      if (i % 500 == 0) AddMember(other, otherClass, "x" + std::to_string(i), "整型", "c");
    }
    expected.push_back(AddMember(other, book, "stray", "字符串", "c", 10));
    transaction.Commit();
  }
  std::vector<int> classes;
  std::vector<int> expected;  // member keys, ascending
};

TEST_F(ProjectMembersTest, AllOfTheProjectsClassesMembersInMemberOrder) {
  const TMemberList members = TMemberDAO().ListProjectMembers(projectId);
  std::vector<int> keys;
  for (const TMember& member : members) keys.push_back(member.memberId);
  EXPECT_EQ(keys, expected);
  EXPECT_EQ(members[1], TMemberDAO().GetMember(expected[1]));
  EXPECT_EQ(members.back().memberName, "stray");
  EXPECT_EQ(members.back().memberLength, 10);

  std::vector<int> streamed;
  TMemberDAO().ForEachProjectMember(
      projectId, [&streamed](TMember&& member) { streamed.push_back(member.memberId); });
  EXPECT_EQ(streamed, expected);
  EXPECT_TRUE(TMemberDAO().ListProjectMembers(projectId + 100).empty());
}

// The classes' members were added in turns, so class order and member order differ.
TEST_F(ProjectMembersTest, ByClassComesClassAfterClassEachInMemberOrder) {
  std::vector<std::pair<int, int>> classAndKey;
  for (const TMember& member : TMemberDAO().ListProjectMembers(projectId)) {
    classAndKey.emplace_back(member.classId, member.memberId);
  }
  std::sort(classAndKey.begin(), classAndKey.end());
  std::vector<std::pair<int, int>> streamed;
  TMemberDAO().ForEachProjectMemberByClass(projectId, [&streamed](TMember&& member) {
    streamed.emplace_back(member.classId, member.memberId);
  });
  EXPECT_EQ(streamed, classAndKey);
  EXPECT_NE(streamed.front().second + 1, streamed[1].second);  // not member order
  std::size_t none = 0;
  TMemberDAO().ForEachProjectMemberByClass(projectId + 100, [&none](TMember&&) { ++none; });
  EXPECT_EQ(none, 0u);
}

TEST_F(ProjectMembersTest, TheSnapshotHoldsEachClassesShareInMemberOrder) {
  const TModelSnapshot model = Snapshot(projectId);
  ASSERT_EQ(model.Classes().size(), classes.size());
  std::size_t total = 0;
  for (std::size_t i = 0; i < classes.size(); ++i) {
    EXPECT_EQ(model.Classes()[i].classId, classes[i]);
    EXPECT_EQ(model.Classes()[i].members, TMemberDAO().ListMembers(classes[i])) << i;
    total += model.Classes()[i].members.size();
  }
  EXPECT_EQ(total, expected.size());
  EXPECT_EQ(model.Classes()[0].members.back().memberName, "stray");
}

}  // namespace vbgen::test
