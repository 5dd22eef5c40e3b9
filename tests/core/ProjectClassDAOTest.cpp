#include <gtest/gtest.h>

#include "TestModel.h"

namespace vbgen::test {

using ProjectDAOTest = ModelTest;
using ClassDAOTest = ModelTest;

TEST_F(ProjectDAOTest, AddCountRenameListInKeyOrder) {
  TProjectDAO dao;
  EXPECT_EQ(dao.CountProjectsByName("图书馆"), 0);
  int first = AddProject("图书馆");
  int second = AddProject("O'Brien's");
  EXPECT_EQ(dao.CountProjectsByName("图书馆"), 1);
  EXPECT_EQ(dao.CountProjectsByName("O'Brien's"), 1);
  dao.RenameProject(first, "O'Brien's");
  EXPECT_EQ(dao.CountProjectsByName("O'Brien's"), 2);
  EXPECT_EQ(dao.ListProjects(), (TNamedIdList{{"O'Brien's", first}, {"O'Brien's", second}}));
  EXPECT_EQ(dao.GetProjectName(second), "O'Brien's");
  EXPECT_EQ(dao.GetProjectName(999), std::nullopt);
}

// Another tool may leave a project without a name: it is there, and its name is empty.
TEST_F(ProjectDAOTest, ANamelessProjectIsThereWithAnEmptyName) {
  TDbHelper().ExecuteSql("insert into t_project(projectId,projectName) values (7,NULL)");
  TDbHelper().ExecuteSql("insert into t_project(projectId,projectName) values (8,'')");
  TProjectDAO dao;
  EXPECT_EQ(dao.GetProjectName(7), std::optional<std::string>(""));
  EXPECT_EQ(dao.GetProjectName(8), std::optional<std::string>(""));
  EXPECT_EQ(dao.GetProjectName(9), std::nullopt);
}

TEST_F(ProjectDAOTest, AddReturnsTheKeyOfTheNewRow) {
  TProjectDAO dao;
  const int first = dao.AddProject("甲");
  const int second = dao.AddProject("乙");
  EXPECT_NE(first, second);
  TDbHelper db;
  EXPECT_EQ(db.QueryInt("select projectId from t_project where projectName=?", {"甲"}), first);
  EXPECT_EQ(db.QueryInt("select projectId from t_project where projectName=?", {"乙"}), second);
  dao.DeleteProject(second);
  const int third = dao.AddProject("丙");
  EXPECT_EQ(dao.GetProjectName(third), "丙");
  EXPECT_EQ(dao.ListProjects(), (TNamedIdList{{"甲", first}, {"丙", third}}));
}

TEST_F(ClassDAOTest, AddReturnsTheKeyOfTheNewRowInItsProject) {
  const int library = AddProject("library");
  const int shop = AddProject("shop");
  TClassDAO dao;
  const int book = dao.AddClass(library, "Book", "图书", 1);
  const int goods = dao.AddClass(shop, "Goods", "商品", 0);
  const int reader = dao.AddClass(library, "Reader", "读者", 1);
  EXPECT_EQ(dao.GetClassNameById(book), "Book");
  EXPECT_EQ(dao.GetClassNameById(goods), "Goods");
  EXPECT_EQ(dao.GetProjectIdOfClass(goods), shop);
  EXPECT_EQ(dao.GetFrontShowFlag(goods), 0);
  EXPECT_EQ(dao.FindClassId(library, "Reader"), reader);
  EXPECT_EQ(dao.ListClasses(library), (TNamedIdList{{"Book", book}, {"Reader", reader}}));
}

TEST_F(ProjectDAOTest, DeleteRemovesClassesAndMembersButNothingOfOtherProjects) {
  int doomed = AddProject("doomed");
  int kept = AddProject("kept");
  int doomedClass = AddClass(doomed, "Book", "图书");
  int keptClass = AddClass(kept, "Book", "图书");
  AddMember(doomed, doomedClass, "bookId", "整型", "编号", 0, true, true);
  AddMember(kept, keptClass, "bookId", "整型", "编号", 0, true, true);
  TProjectDAO().DeleteProject(doomed);
  TDbHelper db;
  EXPECT_EQ(db.QueryInt("select count(*) from t_class where projectId=?", {std::int64_t{doomed}}),
            0);
  EXPECT_EQ(db.QueryInt("select count(*) from t_member where projectId=?", {std::int64_t{doomed}}),
            0);
  EXPECT_EQ(TClassDAO().ListClasses(kept).size(), 1u);
  EXPECT_EQ(TMemberDAO().ListMembers(keptClass).size(), 1u);
  EXPECT_EQ(TProjectDAO().ListProjects(), (TNamedIdList{{"kept", kept}}));
}

TEST_F(ClassDAOTest, LookupsOfMissingKeys) {
  TClassDAO dao;
  int projectId = AddProject("p");
  EXPECT_EQ(dao.FindClassId(projectId, "Nope"), std::nullopt);
  EXPECT_EQ(dao.GetFrontShowFlag(77), -1);
  EXPECT_EQ(dao.GetClassNameById(77), "");
  EXPECT_EQ(dao.GetFriendName(77), "");
  EXPECT_EQ(dao.GetProjectIdOfClass(77), std::nullopt);
}

TEST_F(ClassDAOTest, AddAndReadBackWithApostrophes) {
  TClassDAO dao;
  int projectId = AddProject("p");
  int classId = AddClass(projectId, "Book", "读者's 图书", 0);
  EXPECT_EQ(dao.GetClassNameById(classId), "Book");
  EXPECT_EQ(dao.GetFriendName(classId), "读者's 图书");
  EXPECT_EQ(dao.GetFrontShowFlag(classId), 0);
  EXPECT_EQ(dao.FindClassId(projectId, "Book"), classId);
  EXPECT_EQ(dao.CountClassesByName(projectId, "Book"), 1);
  EXPECT_EQ(dao.CountClassesByName(AddProject("q"), "Book"), 0);
  EXPECT_EQ(dao.GetProjectIdOfClass(classId), projectId);
}

TEST_F(ClassDAOTest, ListsInKeyOrderAndOtherClasses) {
  TClassDAO dao;
  int projectId = AddProject("p");
  int a = AddClass(projectId, "Zeta", "z");
  int b = AddClass(projectId, "Alpha", "a");
  AddClass(AddProject("other"), "Other", "o");
  EXPECT_EQ(dao.ListClasses(projectId), (TNamedIdList{{"Zeta", a}, {"Alpha", b}}));
  EXPECT_EQ(dao.ListOtherClasses(projectId, a), (TNamedIdList{{"Alpha", b}}));
  int lone = AddProject("lone");
  int only = AddClass(lone, "Only", "o");
  EXPECT_TRUE(dao.ListOtherClasses(lone, only).empty());
}

TEST_F(ClassDAOTest, RenameRepointsReferencesOfTheSameProjectOnly) {
  int projectId = AddProject("p");
  int otherProject = AddProject("q");
  int book = AddClass(projectId, "Book", "图书");
  int loan = AddClass(projectId, "Loan", "借阅");
  int foreign = AddClass(otherProject, "Loan", "借阅");
  int ref = AddMember(projectId, loan, "book", "Book", "书");
  int foreignRef = AddMember(otherProject, foreign, "book", "Book", "书");
  TClassDAO().UpdateClass(projectId, book, "Books", "图书们", 0);
  EXPECT_EQ(TClassDAO().GetClassNameById(book), "Books");
  EXPECT_EQ(TClassDAO().GetFriendName(book), "图书们");
  EXPECT_EQ(TClassDAO().GetFrontShowFlag(book), 0);
  EXPECT_EQ(TMemberDAO().GetMember(ref)->memberType, "Books");
  EXPECT_EQ(TMemberDAO().GetMember(foreignRef)->memberType, "Book");
}

TEST_F(ClassDAOTest, DeleteRemovesMembersAndLeavesReferencesOfOthers) {
  int projectId = AddProject("p");
  int book = AddClass(projectId, "Book", "图书");
  int loan = AddClass(projectId, "Loan", "借阅");
  AddMember(projectId, book, "bookId", "整型", "编号", 0, true, true);
  int ref = AddMember(projectId, loan, "book", "Book", "书");
  TClassDAO().DeleteClass(book);
  EXPECT_EQ(TClassDAO().ListClasses(projectId), (TNamedIdList{{"Loan", loan}}));
  EXPECT_TRUE(TMemberDAO().ListMembers(book).empty());
  EXPECT_EQ(TMemberDAO().GetMember(ref)->memberType, "Book");
}

TEST_F(ClassDAOTest, ChecksReportTheFirstFailingClassInKeyOrder) {
  TClassDAO dao;
  int projectId = AddProject("p");
  int good = AddClass(projectId, "Good", "好");
  int twoKeys = AddClass(projectId, "TwoKeys", "二");
  int noKey = AddClass(projectId, "NoKey", "无");
  AddMember(projectId, good, "id", "整型", "编号", 0, true, true);
  AddMember(projectId, twoKeys, "a", "整型", "a", 0, true, true);
  AddMember(projectId, twoKeys, "b", "字符串", "b", 10, true, true);
  AddMember(projectId, noKey, "c", "字符串", "c", 10, false, true);
  EXPECT_EQ(dao.FindClassWithoutOneKey(dao.ListClasses(projectId)), twoKeys);
  EXPECT_EQ(dao.FindClassWithoutOneKey({{"NoKey", noKey}}), noKey);
  EXPECT_EQ(dao.FindClassWithoutOneDisplayMember(dao.ListClasses(projectId)), twoKeys);
  EXPECT_EQ(dao.FindClassWithoutOneDisplayMember({{"NoKey", noKey}}), std::nullopt);
  EXPECT_EQ(dao.FindClassWithoutOneKey({}), std::nullopt);
  EXPECT_EQ(dao.FindClassWithoutOneKey({{"Good", good}}), std::nullopt);
  EXPECT_EQ(dao.FindClassWithoutOneDisplayMember({{"Good", good}}), std::nullopt);
}

}  // namespace vbgen::test
