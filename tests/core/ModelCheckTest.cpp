#include <gtest/gtest.h>

#include "TestModel.h"
#include "generate/ModelCheck.h"

namespace vbgen::test {

using ModelCheckTest = ModelTest;

TEST_F(ModelCheckTest, EveryProblemOfAnOlderModelIsListedInClassOrder) {
  int projectId = AddProject("p");
  // Rows as an older database may hold them: the dialogs would refuse these names today.
  int book = AddClass(projectId, "book", "图\"书");
  AddMember(projectId, book, "Id", "整型", "编号", 0, true, true);
  AddMember(projectId, book, "cover", "图片型", "封面😀", 0, false, false, false, false, false);
  int loan = AddClass(projectId, "Loan", "借阅");
  AddMember(projectId, loan, "loanId", "整型", "编号", 0, true, false);
  AddMember(projectId, loan, "reader", "Reader", "读者");
  EXPECT_EQ(FindModelProblems(projectId),
            (std::vector<std::string>{
                "Loan表显示成员设置错误，每个类有且只能设置一个显示成员!",
                "类Loan的成员reader引用的类型\"Reader\"不是本项目中的类!",
                "类book的成员cover的注释含有GBK无法表示的字符: \"封面😀\"",
                "类book的类名: 类名首个字母必须大写",
                "类book的友好名称: 友好名称不能包含双引号或控制字符!",
                "类book的成员Id的名称: 成员属性首个字母必须小写",
            }));
}

TEST_F(ModelCheckTest, ACleanModelHasNoProblems) {
  int projectId = AddProject("p");
  int book = AddClass(projectId, "Book", "图书");
  AddMember(projectId, book, "bookId", "整型", "编号", 0, true, true);
  EXPECT_TRUE(FindModelProblems(projectId).empty());
  EXPECT_TRUE(FindModelProblems(AddProject("empty")).empty());
}

}  // namespace vbgen::test
