#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Golden.h"
#include "TestModel.h"
#include "TestSupport.h"
#include "generate/Gbk.h"
#include "generate/emit/ManageForm.h"

namespace vbgen::test {
namespace {

// The value of a property inside the control whose Begin line is given: the first line after
// it that starts with the property's name (padded as the form file pads it).
std::string PropertyOf(const std::string& text, const std::string& beginLine,
                       const std::string& property) {
  std::size_t begin = text.find(beginLine + "\n");
  if (begin == std::string::npos) return "<no control " + beginLine + ">";
  std::size_t line = text.find("\n" + property + " ", begin);
  if (line == std::string::npos) return "<no property " + property + ">";
  std::size_t equals = text.find("=   ", line) + 4;
  return text.substr(equals, text.find('\n', equals) - equals);
}

// A query member as the store would hand it over.
TMember QueryMember(const std::string& name, std::string_view type, const std::string& comment) {
  TMember member;
  member.memberName = name;
  member.memberType = std::string(type);
  member.memberComment = comment;
  member.queryFlag = 1;
  return member;
}

class ManageFormTest : public ModelTest {
 protected:
  // A press with an integer key, and a book with a text key whose members cover every kind of
  // query control, two query rows and members left out of the query.
  void AddLibrary() {
    projectId_ = AddProject("Library");
    pressId_ = AddClass(projectId_, "Press", "出版社");
    AddMember(projectId_, pressId_, "pressId", "整型", "出版社编号", 0, true);
    AddMember(projectId_, pressId_, "pressName", "字符串", "出版社名称", 20, false, true, true);
    bookId_ = AddClass(projectId_, "Book", "图书");
    AddMember(projectId_, bookId_, "isbn", "字符串", "书号", 20, true, false, true);
    AddMember(projectId_, bookId_, "title", "字符串", "书名", 100, false, true, true);
    AddMember(projectId_, bookId_, "cover", "图片型", "封面", 0, false, false, false, false, false);
    AddMember(projectId_, bookId_, "publishDate", "日期型", "出版日期", 0, false, false, true, true,
              false);
    AddMember(projectId_, bookId_, "press", "Press", "出版社", 0, false, false, true);
    AddMember(projectId_, bookId_, "price", "浮点型", "价格");
    AddMember(projectId_, bookId_, "summary", "字符串", "内容简介", 500, false, false, true, false,
              false);
    AddMember(projectId_, bookId_, "borrowedOn", "日期型", "借出日期", 0, false, false, true);
  }

  TMemorySink& Generate(const TNamedIdList& classList) {
    TGenContext context{"Library", TTemplates(), sink_, progress_};
    GenerateManageFormFiles(context, Snapshot(projectId_, classList));
    return sink_;
  }

  // The generated file back in UTF-8 with LF line ends, after checking every line ends in CR LF.
  std::string TextOf(const std::string& className) {
    const std::string& bytes = sink_.files.at("projects/Library/FrmManage" + className + ".frm");
    std::string text;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
      if (bytes[i] == '\r') continue;
      if (bytes[i] == '\n') {
        EXPECT_TRUE(i > 0 && bytes[i - 1] == '\r') << "bare LF at " << i;
      }
      text += bytes[i];
    }
    return GbkToUtf8(text);
  }

  // A class of the Library project whose query members are the given ones, in order.
  std::string TextForQueryMembers(const std::vector<TMember>& members) {
    projectId_ = AddProject("Library");
    const int classId = AddClass(projectId_, "Item", "物品");
    AddMember(projectId_, classId, "itemId", "整型", "编号", 0, true, true);
    for (const TMember& member : members) {
      AddMember(projectId_, classId, member.memberName, member.memberType, member.memberComment, 20,
                false, false, true);
    }
    Generate({{"Item", classId}});
    return TextOf("Item");
  }

  int projectId_ = 0;
  int pressId_ = 0;
  int bookId_ = 0;
  TMemorySink sink_;
  TRecordedProgress progress_;
};

TEST_F(ManageFormTest, WritesEveryClassInListOrderWithItsProgressLine) {
  AddLibrary();
  Generate(TClassDAO().ListClasses(projectId_));

  EXPECT_EQ(sink_.order, (std::vector<std::string>{"projects/Library/FrmManagePress.frm",
                                                   "projects/Library/FrmManageBook.frm"}));
  EXPECT_EQ(progress_.lines,
            (std::vector<std::string>{"projects/Library/FrmManagePress.frm生成完毕!",
                                      "projects/Library/FrmManageBook.frm生成完毕!"}));
  EXPECT_TRUE(
      MatchesGolden(sink_.files.at("projects/Library/FrmManageBook.frm"), "FrmManageBook.frm"));
  EXPECT_TRUE(
      MatchesGolden(sink_.files.at("projects/Library/FrmManagePress.frm"), "FrmManagePress.frm"));
}

TEST_F(ManageFormTest, FollowsTheGivenListNotTheKeyOrder) {
  AddLibrary();
  Generate({{"Book", bookId_}, {"Press", pressId_}});
  EXPECT_EQ(sink_.order, (std::vector<std::string>{"projects/Library/FrmManageBook.frm",
                                                   "projects/Library/FrmManagePress.frm"}));
  EXPECT_EQ(progress_.lines.front(), "projects/Library/FrmManageBook.frm生成完毕!");
}

TEST_F(ManageFormTest, GridDoesNotDependOnWhichMembersAreShown) {
  AddLibrary();
  TMemberDAO members;
  for (TMember member : members.ListMembers(bookId_)) {
    member.memberQueryDisplay = member.memberQueryDisplay == 1 ? 0 : 1;
    members.UpdateMember(member);
  }
  Generate({{"Book", bookId_}});
  EXPECT_TRUE(
      MatchesGolden(sink_.files.at("projects/Library/FrmManageBook.frm"), "FrmManageBook.frm"));
}

TEST_F(ManageFormTest, EmptyClassListWritesNothing) {
  AddLibrary();
  Generate({});
  EXPECT_TRUE(sink_.files.empty());
  EXPECT_TRUE(progress_.lines.empty());
}

TEST_F(ManageFormTest, GeneratingTwiceReplacesEachFileWithTheSameContent) {
  AddLibrary();
  Generate({{"Book", bookId_}});
  const std::string first = sink_.files.at("projects/Library/FrmManageBook.frm");
  Generate({{"Book", bookId_}});
  EXPECT_EQ(sink_.order.size(), 2u);
  EXPECT_EQ(sink_.files.size(), 1u);
  EXPECT_EQ(sink_.files.at("projects/Library/FrmManageBook.frm"), first);
}

TEST_F(ManageFormTest, ClassWithoutQueryMembersHoldsOnlyTheQueryButton) {
  projectId_ = AddProject("Library");
  const int classId = AddClass(projectId_, "Shelf", "书架");
  AddMember(projectId_, classId, "shelfId", "整型", "编号", 0, true, true);
  AddMember(projectId_, classId, "room", "字符串", "房间", 20);
  Generate({{"Shelf", classId}});
  const std::string text = TextOf("Shelf");

  const std::string frameHead =
      "   Begin VB.Frame Frame1 \n"
      "      Caption         =   \"书架查询\"\n"
      "      Height          =   735\n"
      "      Left            =   480\n"
      "      TabIndex        =   0\n"
      "      Top             =   480\n"
      "      Width           =   14175\n"
      "      Begin VB.CommandButton Btn_Query\n";
  EXPECT_NE(text.find(frameHead), std::string::npos);
  EXPECT_EQ(PropertyOf(text, "      Begin VB.CommandButton Btn_Query", "         TabIndex"), "1");
  EXPECT_EQ(PropertyOf(text, "   Begin VB.Frame Frame2 ", "      Top"), "1320");
  EXPECT_EQ(PropertyOf(text, "   Begin VB.Frame Frame2 ", "      Height"), "6855");
  EXPECT_EQ(PropertyOf(text, "      Begin MSDataGridLib.DataGrid DataGrid1 ", "         Height"),
            "6375");
  EXPECT_EQ(text.find("Label1"), std::string::npos);
  EXPECT_EQ(text.find("room"), std::string::npos);
}

TEST_F(ManageFormTest, QueryRowsResizeTheFramesAndKeepTheListBottomFixed) {
  struct TCase {
    int members, queryHeight, listTop, listHeight, gridHeight;
  };
  const TCase cases[] = {{0, 735, 1320, 6855, 6375},   {1, 735, 1320, 6855, 6375},
                         {4, 735, 1320, 6855, 6375},   {5, 1335, 1920, 6255, 5775},
                         {8, 1335, 1920, 6255, 5775},  {9, 1935, 2520, 5655, 5175},
                         {12, 1935, 2520, 5655, 5175}, {13, 2535, 3120, 5055, 4575}};
  for (const TCase& c : cases) {
    std::vector<TMember> members;
    for (int i = 0; i < c.members; ++i) {
      members.push_back(QueryMember("m" + std::to_string(i), kTypeString, "成员"));
    }
    const std::string text = BuildManageFormText("Item", "物品", members);
    SCOPED_TRACE("query members: " + std::to_string(c.members));
    EXPECT_EQ(PropertyOf(text, "   Begin VB.Frame Frame1 ", "      Height"),
              std::to_string(c.queryHeight));
    EXPECT_EQ(PropertyOf(text, "   Begin VB.Frame Frame2 ", "      Top"),
              std::to_string(c.listTop));
    EXPECT_EQ(PropertyOf(text, "   Begin VB.Frame Frame2 ", "      Height"),
              std::to_string(c.listHeight));
    EXPECT_EQ(PropertyOf(text, "      Begin MSDataGridLib.DataGrid DataGrid1 ", "         Height"),
              std::to_string(c.gridHeight));
    EXPECT_EQ(c.listTop + c.listHeight, 8175);
  }
}

TEST_F(ManageFormTest, FourCellsToARowAndTheFifthStartsTheNext) {
  std::vector<TMember> members;
  for (int i = 0; i < 5; ++i) {
    members.push_back(QueryMember("m" + std::to_string(i), "Press", "成员"));
  }
  const std::string text = BuildManageFormText("Item", "物品", members);
  const int lefts[] = {120, 3120, 6120, 9120, 120};
  const int tops[] = {360, 360, 360, 360, 960};
  for (int k = 0; k < 5; ++k) {
    const std::string label = "      Begin VB.Label Label" + std::to_string(k + 1);
    const std::string combo = "      Begin VB.ComboBox CB_m" + std::to_string(k);
    SCOPED_TRACE(label);
    EXPECT_EQ(PropertyOf(text, label, "         Left"), std::to_string(lefts[k]));
    EXPECT_EQ(PropertyOf(text, label, "         Top"), std::to_string(tops[k]));
    EXPECT_EQ(PropertyOf(text, combo, "         Left"), std::to_string(lefts[k] + 840));
    EXPECT_EQ(PropertyOf(text, combo, "         Top"), std::to_string(tops[k]));
  }
}

TEST_F(ManageFormTest, DateMembersTakeThreeTabIndicesAndOthersTwo) {
  const std::string text = TextForQueryMembers({QueryMember("name", kTypeString, "名称"),
                                                QueryMember("madeOn", kTypeDate, "日期"),
                                                QueryMember("maker", "Maker", "厂家")});
  const std::pair<std::string, std::string> expected[] = {
      {"      Begin VB.Label Label1", "1"},
      {"      Begin VB.TextBox TB_name", "2"},
      {"      Begin VB.Label Label2", "3"},
      {"      Begin MSComCtl2.DTPicker DTP_madeOn ", "4"},
      {"      Begin VB.CheckBox CHB_madeOn ", "5"},
      {"      Begin VB.Label Label3", "6"},
      {"      Begin VB.ComboBox CB_maker", "7"},
      {"      Begin VB.CommandButton Btn_Query", "8"}};
  for (const auto& [control, tab] : expected) {
    EXPECT_EQ(PropertyOf(text, control, "         TabIndex"), tab) << control;
  }
}

TEST_F(ManageFormTest, TextBoxSitsAboveItsLabelOtherControlsShareItsTop) {
  const std::string text = TextForQueryMembers({QueryMember("name", kTypeString, "名称"),
                                                QueryMember("madeOn", kTypeDate, "日期"),
                                                QueryMember("maker", "Maker", "厂家")});
  EXPECT_EQ(PropertyOf(text, "      Begin VB.TextBox TB_name", "         Top"), "240");
  EXPECT_EQ(PropertyOf(text, "      Begin VB.TextBox TB_name", "         Left"), "1200");
  EXPECT_EQ(PropertyOf(text, "      Begin MSComCtl2.DTPicker DTP_madeOn ", "         Top"), "360");
  EXPECT_EQ(PropertyOf(text, "      Begin MSComCtl2.DTPicker DTP_madeOn ", "         Left"),
            "3960");
  EXPECT_EQ(PropertyOf(text, "      Begin VB.CheckBox CHB_madeOn ", "         Top"), "360");
  EXPECT_EQ(PropertyOf(text, "      Begin VB.CheckBox CHB_madeOn ", "         Left"), "5280");
  EXPECT_EQ(PropertyOf(text, "      Begin VB.ComboBox CB_maker", "         Top"), "360");
}

TEST_F(ManageFormTest, EveryTypeButStringAndDateGetsAComboBox) {
  const std::string text = TextForQueryMembers(
      {QueryMember("count", kTypeInteger, "数量"), QueryMember("weight", kTypeFloat, "重量"),
       QueryMember("photo", kTypePicture, "照片"), QueryMember("maker", "Maker", "厂家")});
  for (std::string name : {"count", "weight", "photo", "maker"}) {
    EXPECT_EQ(PropertyOf(text, "      Begin VB.ComboBox CB_" + name, "         Text"),
              "\"Combo_" + name + "\"");
    EXPECT_EQ(text.find("TB_" + name), std::string::npos) << name;
    EXPECT_EQ(text.find("DTP_" + name), std::string::npos) << name;
  }
}

TEST_F(ManageFormTest, EmptyCommentLeavesTheColonAlone) {
  const std::string text = TextForQueryMembers({QueryMember("name", kTypeString, "")});
  EXPECT_EQ(PropertyOf(text, "      Begin VB.Label Label1", "         Caption"), "\"：\"");
}

TEST_F(ManageFormTest, NamesKeepTheirCaseEverywhere) {
  projectId_ = AddProject("Library");
  const int classId = AddClass(projectId_, "book", "图书");
  AddMember(projectId_, classId, "ISBN", "字符串", "书号", 20, true, true, true);
  Generate({{"book", classId}});
  ASSERT_EQ(sink_.order, std::vector<std::string>{"projects/Library/FrmManagebook.frm"});
  const std::string text = TextOf("book");
  EXPECT_NE(text.find("Begin VB.Form FrmManagebook \n"), std::string::npos);
  EXPECT_NE(text.find("Attribute VB_Name = \"FrmManagebook\"\n"), std::string::npos);
  EXPECT_NE(text.find("      Begin VB.TextBox TB_ISBN\n"), std::string::npos);
}

TEST_F(ManageFormTest, ModelTextThatLooksLikeAPlaceholderStaysLiteral) {
  projectId_ = AddProject("Library");
  const int classId = AddClass(projectId_, "Note", "{className}");
  AddMember(projectId_, classId, "noteId", "整型", "编号", 0, true, true);
  AddMember(projectId_, classId, "body", "字符串", "{memberName}{friendName}", 20, false, false,
            true);
  Generate({{"Note", classId}});
  const std::string text = TextOf("Note");
  EXPECT_EQ(PropertyOf(text, "Begin VB.Form FrmManageNote ", "   Caption"), "\"{className}管理\"");
  EXPECT_EQ(PropertyOf(text, "   Begin VB.Frame Frame2 ", "      Caption"), "\"{className}列表\"");
  EXPECT_EQ(PropertyOf(text, "      Begin VB.Label Label1", "         Caption"),
            "\"{memberName}{friendName}：\"");
}

TEST_F(ManageFormTest, RefusesMoreQueryMembersThanTheFormHasRoomFor) {
  std::vector<TMember> members;
  for (int i = 0; i < kMaxManageQueryMembers; ++i) {
    members.push_back(QueryMember("m" + std::to_string(i), kTypeString, "成员"));
  }
  const std::string fullest = BuildManageFormText("Item", "物品", members);
  EXPECT_EQ(PropertyOf(fullest, "      Begin MSDataGridLib.DataGrid DataGrid1 ", "         Height"),
            "375");

  members.push_back(QueryMember("overflow", kTypeString, "成员"));
  try {
    BuildManageFormText("Item", "物品", members);
    FAIL() << "a grid without height was generated";
  } catch (const TManageFormError& error) {
    EXPECT_NE(std::string(error.what()).find("Item"), std::string::npos) << error.what();
    EXPECT_NE(std::string(error.what()).find("45"), std::string::npos) << error.what();
  }
}

TEST_F(ManageFormTest, EditsAfterTheModelWasReadDoNotReachTheForms) {
  AddLibrary();
  const TModelSnapshot model = Snapshot(projectId_);
  TClassDAO().DeleteClass(bookId_);
  TMemberDAO members;
  for (TMember member : members.ListMembers(pressId_)) {
    member.queryFlag = 1;
    member.memberComment = "改过的";
    members.UpdateMember(member);
  }
  TGenContext context{"Library", TTemplates(), sink_, progress_};
  GenerateManageFormFiles(context, model);
  EXPECT_TRUE(
      MatchesGolden(sink_.files.at("projects/Library/FrmManageBook.frm"), "FrmManageBook.frm"));
  EXPECT_TRUE(
      MatchesGolden(sink_.files.at("projects/Library/FrmManagePress.frm"), "FrmManagePress.frm"));
}

}  // namespace
}  // namespace vbgen::test
