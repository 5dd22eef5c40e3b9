#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Golden.h"
#include "TestModel.h"
#include "TestSupport.h"
#include "generate/Gbk.h"
#include "generate/emit/OperatorForm.h"
#include "generate/write/ProjectWriter.h"

namespace vbgen::test {
namespace {

// The value of the first "Name = value" property line after the anchor text, trimmed.
std::string PropertyAfter(const std::string& text, const std::string& anchor,
                          const std::string& property) {
  std::size_t at = text.find(anchor);
  if (at == std::string::npos) return "<no " + anchor + ">";
  std::size_t line = text.find("\r\n" + property + " ", at);
  if (line == std::string::npos) return "<no " + property + " after " + anchor + ">";
  std::size_t equals = text.find("=   ", line);
  std::size_t end = text.find("\r\n", equals);
  return text.substr(equals + 4, end - equals - 4);
}

class OperatorFormTest : public ModelTest {
 protected:
  void SetUp() override {
    ModelTest::SetUp();
    projectId_ = AddProject("图书馆");
  }

  int AddClassNamed(const std::string& name, const std::string& friendName) {
    return AddClass(projectId_, name, friendName);
  }

  // Generates the form for the given class list and returns it as UTF-8.
  std::string Generate(const TNamedIdList& classList) {
    TGenContext context{"图书馆", TempPath() / "template", sink_, progress_};
    GenerateOperatorFormFile(context, Snapshot(projectId_, classList));
    return GbkToUtf8(sink_.files.at(kPath));
  }
  std::string Generate() { return Generate(TClassDAO().ListClasses(projectId_)); }

  const std::string kPath = "projects/图书馆/frmczql.frm";
  int projectId_ = 0;
  TMemorySink sink_;
  TRecordedProgress progress_;
};

TEST_F(OperatorFormTest, TwoClassesGiveTheWholeFormByteForByte) {
  AddClassNamed("Book", "图书");
  AddClassNamed("Reader", "读者");
  Generate();
  EXPECT_TRUE(MatchesGolden(sink_.files.at(kPath), "frmczql_two_classes.frm"));
  EXPECT_EQ(sink_.order, std::vector<std::string>{kPath});
  EXPECT_EQ(progress_.lines, std::vector<std::string>{kPath + "生成完毕!"});
}

TEST_F(OperatorFormTest, NoClassesGiveOnlyTheSystemPageAsPageZero) {
  std::string form = Generate();
  EXPECT_TRUE(MatchesGolden(sink_.files.at(kPath), "frmczql_no_classes.frm"));
  EXPECT_EQ(PropertyAfter(form, "Begin TabDlg.SSTab SSTab1", "         Tabs           "), "1");
  EXPECT_EQ(PropertyAfter(form, "Begin TabDlg.SSTab SSTab1", "         Tab            "), "0");
  EXPECT_NE(form.find("TabCaption(0)   =   \"系统维护\""), std::string::npos);
  EXPECT_EQ(PropertyAfter(form, "CB_ManageUser \r\n", "            TabIndex       "), "11");
  EXPECT_EQ(PropertyAfter(form, "CB_Print \r\n", "            TabIndex       "), "10");
  EXPECT_NE(form.find("Private Sub Command1_Click()\r\nIf SSTab1.Tab = 0 Then\r\n"),
            std::string::npos);
  EXPECT_NE(form.find("Private Sub Command2_Click()\r\nIf SSTab1.Tab = 0 Then\r\n"),
            std::string::npos);
  EXPECT_NE(form.find("temp = Mid(ql_flag, 1, 1)\r\nIf temp <> 0 Then\r\n  Me.CB_ManageUser"),
            std::string::npos);
  EXPECT_NE(form.find("temp = Mid(ql_flag, 2, 1)\r\nIf temp <> 0 Then\r\n  Me.CB_Print"),
            std::string::npos);
}

TEST_F(OperatorFormTest, OneClassNumbersPagesTabIndicesAndPositions) {
  AddClassNamed("Book", "图书");
  std::string form = Generate();
  EXPECT_EQ(PropertyAfter(form, "Begin TabDlg.SSTab SSTab1", "         Tabs           "), "2");
  EXPECT_EQ(PropertyAfter(form, "Begin TabDlg.SSTab SSTab1", "         Tab            "), "1");
  EXPECT_NE(form.find("TabCaption(0)   =   \"图书权限\""), std::string::npos);
  EXPECT_NE(form.find("TabCaption(1)   =   \"系统维护\""), std::string::npos);
  const std::string tabIndex = "            TabIndex       ";
  EXPECT_EQ(PropertyAfter(form, "Begin VB.CheckBox CB_ManageBook\r\n", tabIndex), "8");
  EXPECT_EQ(PropertyAfter(form, "Begin VB.CheckBox CB_AddBook \r\n", tabIndex), "9");
  EXPECT_EQ(PropertyAfter(form, "Begin VB.CheckBox CB_Print \r\n", tabIndex), "12");
  EXPECT_EQ(PropertyAfter(form, "Begin VB.CheckBox CB_ManageUser \r\n", tabIndex), "13");
  for (const char* expected :
       {"'第1位：添加图书\r\nql_flag = ql_flag & Me.CB_AddBook.Value",
        "'第2位：图书管理\r\nql_flag = ql_flag & Me.CB_ManageBook.Value",
        "'第3位：用户维护\r\nql_flag = ql_flag & Me.CB_ManageUser.Value",
        "'第4位:信息打印\r\nql_flag = ql_flag & Me.CB_Print.Value",
        "temp = Mid(ql_flag, 1, 1)\r\nIf temp <> 0 Then\r\n  Me.CB_AddBook.Value = 1",
        "temp = Mid(ql_flag, 2, 1)\r\nIf temp <> 0 Then\r\n  Me.CB_ManageBook.Value = 1",
        "'第3位：用户维护\r\ntemp = Mid(ql_flag, 3, 1)",
        "'第4位: 信息打印\r\ntemp = Mid(ql_flag, 4, 1)"}) {
    EXPECT_NE(form.find(expected), std::string::npos) << expected;
  }
}

TEST_F(OperatorFormTest, ThreeClassesShowTheSystemPageThreeFirst) {
  AddClassNamed("Book", "图书");
  AddClassNamed("Reader", "读者");
  AddClassNamed("Loan", "借阅");
  std::string form = Generate();
  EXPECT_EQ(PropertyAfter(form, "Begin TabDlg.SSTab SSTab1", "         Tabs           "), "4");
  EXPECT_EQ(PropertyAfter(form, "Begin TabDlg.SSTab SSTab1", "         Tab            "), "3");
  EXPECT_NE(form.find("TabCaption(2)   =   \"借阅权限\""), std::string::npos);
  EXPECT_NE(form.find("TabCaption(3)   =   \"系统维护\"\r\n         Tab(3).ControlEnabled=   -1"),
            std::string::npos);
  const std::string tabIndex = "            TabIndex       ";
  EXPECT_EQ(PropertyAfter(form, "Begin VB.CheckBox CB_ManageLoan\r\n", tabIndex), "12");
  EXPECT_EQ(PropertyAfter(form, "Begin VB.CheckBox CB_AddLoan \r\n", tabIndex), "13");
  EXPECT_EQ(PropertyAfter(form, "Begin VB.CheckBox CB_Print \r\n", tabIndex), "16");
  EXPECT_EQ(PropertyAfter(form, "Begin VB.CheckBox CB_ManageUser \r\n", tabIndex), "17");
  EXPECT_NE(form.find("'第7位：用户维护\r\ntemp = Mid(ql_flag, 7, 1)"), std::string::npos);
  EXPECT_NE(form.find("'第8位: 信息打印\r\ntemp = Mid(ql_flag, 8, 1)"), std::string::npos);
  EXPECT_NE(form.find("If SSTab1.Tab = 3 Then\r\n  Me.CB_ManageUser.Value = 0"), std::string::npos);
}

TEST_F(OperatorFormTest, PositionsFollowTheListOrderGiven) {
  int book = AddClassNamed("Book", "图书");
  int reader = AddClassNamed("Reader", "读者");
  std::string form = Generate({{"Reader", reader}, {"Book", book}});
  EXPECT_NE(form.find("'第1位：添加读者\r\nql_flag = ql_flag & Me.CB_AddReader.Value"),
            std::string::npos);
  EXPECT_NE(form.find("temp = Mid(ql_flag, 3, 1)\r\nIf temp <> 0 Then\r\n  Me.CB_AddBook"),
            std::string::npos);
  EXPECT_NE(form.find("temp = Mid(ql_flag, 4, 1)\r\nIf temp <> 0 Then\r\n  Me.CB_ManageBook"),
            std::string::npos);
  EXPECT_LT(form.find("TabCaption(0)   =   \"读者权限\""),
            form.find("TabCaption(1)   =   \"图书权限\""));
}

TEST_F(OperatorFormTest, FriendNamesGoInAsTheyAre) {
  AddClassNamed("Book", "");
  AddClassNamed("Reader", "{className}");
  std::string form = Generate();
  EXPECT_NE(form.find("TabCaption(0)   =   \"权限\""), std::string::npos);
  EXPECT_NE(form.find("Caption         =   \"添加\"\r\n"), std::string::npos);
  EXPECT_NE(form.find("Caption         =   \"维护\"\r\n"), std::string::npos);
  EXPECT_NE(form.find("TabCaption(1)   =   \"{className}权限\""), std::string::npos);
  EXPECT_NE(form.find("'第4位：{className}管理\r\n"), std::string::npos);
}

TEST_F(OperatorFormTest, EveryLineEndsWithCrLf) {
  AddClassNamed("Book", "图书");
  Generate();
  const std::string& bytes = sink_.files.at(kPath);
  ASSERT_GE(bytes.size(), 9u);
  EXPECT_EQ(bytes.substr(bytes.size() - 9), "End Sub\r\n");
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\n') {
      ASSERT_TRUE(i > 0 && bytes[i - 1] == '\r') << "bare LF at " << i;
    }
  }
}

TEST_F(OperatorFormTest, RunningTwiceReplacesTheFileOnDisk) {
  AddClassNamed("Book", "图书");
  AddClassNamed("Reader", "读者");
  const TModelSnapshot model = Snapshot(projectId_);
  for (int run = 0; run < 2; ++run) {
    TProjectWriter disk(TempPath(), "图书馆", progress_);
    disk.Begin({"frmczql.frm"}, {}, false);
    TGenContext context{"图书馆", TempPath() / "template", disk, disk};
    GenerateOperatorFormFile(context, model);
    disk.Finish("", {}, true);
  }
  EXPECT_TRUE(
      MatchesGolden(TFileOperate::ReadBytes(TempPath() / "projects" / "图书馆" / "frmczql.frm"),
                    "frmczql_two_classes.frm"));
}

}  // namespace
}  // namespace vbgen::test
