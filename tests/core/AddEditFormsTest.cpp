#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "Golden.h"
#include "TestModel.h"
#include "TestSupport.h"
#include "generate/Gbk.h"
#include "generate/emit/AddEditForms.h"
#include "generate/emit/FormClass.h"

namespace vbgen::test {
namespace {

// The file's lines as UTF-8, CR LF removed. Fails the test when a line lacks its CR.
std::vector<std::string> LinesOf(const std::string& gbkBytes) {
  const std::string text = GbkToUtf8(gbkBytes);
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find("\r\n", start);
    EXPECT_NE(end, std::string::npos) << "line without CR LF at byte " << start;
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

bool HasLine(const std::vector<std::string>& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

bool Contains(const std::vector<std::string>& lines, const std::string& part) {
  return std::any_of(lines.begin(), lines.end(),
                     [&](const std::string& line) { return line.find(part) != std::string::npos; });
}

std::size_t IndexOf(const std::vector<std::string>& lines, const std::string& line) {
  auto found = std::find(lines.begin(), lines.end(), line);
  EXPECT_NE(found, lines.end()) << "missing line: " << line;
  return static_cast<std::size_t>(found - lines.begin());
}

// The value of one property inside the designer block that opens with beginLine (exact, with
// any trailing blank), e.g. Property(lines, "         Begin VB.Label Label1 ", "TabIndex").
std::string Property(const std::vector<std::string>& lines, const std::string& beginLine,
                     const std::string& name) {
  std::size_t i = IndexOf(lines, beginLine);
  const std::string prefix = "            " + name;
  for (++i; i < lines.size() && lines[i] != "         End"; ++i) {
    if (lines[i].rfind(prefix, 0) == 0) return lines[i].substr(lines[i].rfind(' ') + 1);
  }
  return "<none>";
}

class AddEditFormsTest : public ModelTest {
 protected:
  void SetUp() override {
    ModelTest::SetUp();
    projectId_ = AddProject("Library");
  }

  TGenContext Context() {
    return TGenContext{"Library", TempPath() / "template", sink_, progress_};
  }
  TNamedIdList Classes() { return TClassDAO().ListClasses(projectId_); }

  void GenerateAdd() {
    TGenContext context = Context();
    GenerateAddFormFiles(context, Snapshot(projectId_));
  }
  void GenerateEdit() {
    TGenContext context = Context();
    GenerateEditFormFiles(context, Snapshot(projectId_));
  }
  std::vector<std::string> File(const std::string& name) {
    const std::string path = "projects/Library/" + name;
    EXPECT_EQ(sink_.files.count(path), 1u) << path;
    return LinesOf(sink_.files[path]);
  }
  const std::string& Bytes(const std::string& name) {
    return sink_.files.at("projects/Library/" + name);
  }

  // Book (text key in second place) references Category (integer key), which references back.
  void AddLibraryModel() {
    int book = AddClass(projectId_, "Book", "图书");
    int category = AddClass(projectId_, "Category", "图书类别");
    AddMember(projectId_, book, "title", "字符串", "书名", 50, false, true);
    AddMember(projectId_, book, "isbn", "字符串", "书号", 20, true);
    AddMember(projectId_, book, "summary", "字符串", "内容简介", 500);
    AddMember(projectId_, book, "pages", "整型", "页数");
    AddMember(projectId_, book, "price", "浮点型", "价格");
    AddMember(projectId_, book, "publishDate", "日期型", "出版日期");
    AddMember(projectId_, book, "cover", "图片型", "封面");
    AddMember(projectId_, book, "bookCategory", "Category", "类别");
    AddMember(projectId_, category, "categoryId", "整型", "类别编号", 0, true);
    AddMember(projectId_, category, "categoryName", "字符串", "类别名称", 30, false, true);
    AddMember(projectId_, category, "icon", "图片型", "图标");
    AddMember(projectId_, category, "topBook", "Book", "推荐图书");
  }

  // A class with a text key, then a short string, a picture and a date member.
  int AddNoteClass() {
    int note = AddClass(projectId_, "Note", "笔记");
    AddMember(projectId_, note, "code", "字符串", "编号", 10, true, true);
    AddMember(projectId_, note, "subject", "字符串", "主题", 20);
    AddMember(projectId_, note, "photo", "图片型", "照片");
    AddMember(projectId_, note, "written", "日期型", "日期");
    return note;
  }

  int projectId_ = 0;
  TMemorySink sink_;
  TRecordedProgress progress_;
};

TEST_F(AddEditFormsTest, LibraryModelMatchesGoldenFiles) {
  AddLibraryModel();
  GenerateAdd();
  GenerateEdit();
  for (const char* name :
       {"FrmAddBook.frm", "FrmEditBook.frm", "FrmAddCategory.frm", "FrmEditCategory.frm"}) {
    SCOPED_TRACE(name);
    EXPECT_TRUE(MatchesGolden(Bytes(name), name));
  }
}

TEST_F(AddEditFormsTest, FilesAndProgressLinesFollowClassOrder) {
  AddLibraryModel();
  GenerateAdd();
  GenerateEdit();
  const std::vector<std::string> expectedFiles = {
      "projects/Library/FrmAddBook.frm", "projects/Library/FrmAddCategory.frm",
      "projects/Library/FrmEditBook.frm", "projects/Library/FrmEditCategory.frm"};
  EXPECT_EQ(sink_.order, expectedFiles);
  std::vector<std::string> expectedProgress;
  for (const auto& file : expectedFiles) expectedProgress.push_back(file + "生成完毕!");
  EXPECT_EQ(progress_.lines, expectedProgress);
}

TEST_F(AddEditFormsTest, EmptyClassListWritesNothing) {
  GenerateAdd();
  GenerateEdit();
  EXPECT_TRUE(sink_.order.empty());
  EXPECT_TRUE(progress_.lines.empty());
}

TEST_F(AddEditFormsTest, GeneratingTwiceGivesTheSameFiles) {
  AddLibraryModel();
  GenerateAdd();
  GenerateEdit();
  const auto first = sink_.files;
  GenerateAdd();
  GenerateEdit();
  EXPECT_EQ(sink_.files, first);
  EXPECT_EQ(sink_.order.size(), 8u);
}

TEST_F(AddEditFormsTest, TextKeyRowThenStringPictureAndDateRows) {
  AddNoteClass();
  GenerateAdd();
  const auto add = File("FrmAddNote.frm");
  // Key row: label 1, tab indexes 3 and 4, tops 600 and 480; its third tab index is skipped.
  EXPECT_EQ(Property(add, "         Begin VB.Label Label1 ", "TabIndex"), "3");
  EXPECT_EQ(Property(add, "         Begin VB.Label Label1 ", "Top"), "600");
  EXPECT_EQ(Property(add, "         Begin VB.TextBox TB_code ", "TabIndex"), "4");
  EXPECT_EQ(Property(add, "         Begin VB.TextBox TB_code ", "Top"), "480");
  EXPECT_EQ(Property(add, "         Begin VB.Label Label2", "TabIndex"), "6");
  EXPECT_EQ(Property(add, "         Begin VB.Label Label2", "Top"), "1200");
  EXPECT_EQ(Property(add, "         Begin VB.TextBox TB_subject", "TabIndex"), "7");
  EXPECT_EQ(Property(add, "         Begin VB.TextBox TB_subject", "Top"), "1080");
  // Picture row: three tab indexes, image at the row top, button and path box below it.
  EXPECT_EQ(Property(add, "         Begin VB.Label Label3 ", "TabIndex"), "8");
  EXPECT_EQ(Property(add, "         Begin VB.Label Label3 ", "Height"), "615");
  EXPECT_EQ(Property(add, "         Begin VB.Image Image_photo", "Top"), "1800");
  EXPECT_EQ(Property(add, "         Begin VB.Image Image_photo", "TabIndex"), "<none>");
  EXPECT_EQ(Property(add, "         Begin VB.CommandButton Btn_photo", "TabIndex"), "9");
  EXPECT_EQ(Property(add, "         Begin VB.CommandButton Btn_photo", "Top"), "4080");
  EXPECT_EQ(Property(add, "         Begin VB.TextBox TB_photoPath ", "TabIndex"), "10");
  EXPECT_EQ(Property(add, "         Begin VB.TextBox TB_photoPath ", "Top"), "4560");
  // Date row after the picture's 3240.
  EXPECT_EQ(Property(add, "         Begin VB.Label Label4 ", "TabIndex"), "11");
  EXPECT_EQ(Property(add, "         Begin VB.Label Label4 ", "Top"), "5040");
  EXPECT_EQ(Property(add, "         Begin MSComCtl2.DTPicker DTP_written ", "TabIndex"), "12");
  EXPECT_EQ(Property(add, "         Begin MSComCtl2.DTPicker DTP_written ", "Top"), "4920");
  EXPECT_EQ(Property(add, "         Begin VB.CommandButton Btn_Add ", "TabIndex"), "13");
  EXPECT_EQ(Property(add, "         Begin VB.CommandButton Btn_Add ", "Top"), "5640");
  EXPECT_FALSE(HasLine(add, "         Begin VB.Label Label5"));
}

TEST_F(AddEditFormsTest, EditDesignerDiffersFromAddOnlyInNamesAndCaptions) {
  AddNoteClass();
  GenerateAdd();
  GenerateEdit();
  const auto add = File("FrmAddNote.frm");
  const auto edit = File("FrmEditNote.frm");
  const std::size_t addEnd = IndexOf(add, "Attribute VB_Exposed = False");
  const std::size_t editEnd = IndexOf(edit, "Attribute VB_Exposed = False");
  ASSERT_EQ(addEnd, editEnd);
  std::vector<std::pair<std::string, std::string>> differences;
  for (std::size_t i = 0; i <= addEnd; ++i) {
    if (add[i] != edit[i]) differences.emplace_back(add[i], edit[i]);
  }
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"Begin VB.Form FrmAddNote ", "Begin VB.Form FrmEditNote "},
      {"   Caption         =   \"添加笔记\"", "   Caption         =   \"编辑笔记\""},
      {"         Caption         =   \"添加笔记\"", "         Caption         =   \"编辑笔记\""},
      {"         Begin VB.CommandButton Btn_Add ", "         Begin VB.CommandButton Btn_Update "},
      {"            Caption         =   \"添加笔记\"",
       "            Caption         =   \"更新笔记\""},
      {"Attribute VB_Name = \"FrmAddNote\"", "Attribute VB_Name = \"FrmEditNote\""}};
  EXPECT_EQ(differences, expected);
}

TEST_F(AddEditFormsTest, IntegerKeyIsLeftOutOfTheAddForm) {
  int item = AddClass(projectId_, "Item", "物品");
  AddMember(projectId_, item, "itemId", "整型", "物品编号", 0, true);
  AddMember(projectId_, item, "itemName", "字符串", "名称", 20, false, true);
  GenerateAdd();
  const auto add = File("FrmAddItem.frm");
  EXPECT_FALSE(Contains(add, "TB_itemId"));
  EXPECT_EQ(Property(add, "         Begin VB.Label Label1", "Caption"), "\"名称：\"");
  EXPECT_EQ(Property(add, "         Begin VB.Label Label1", "TabIndex"), "3");
  EXPECT_EQ(Property(add, "         Begin VB.Label Label1", "Top"), "600");
  EXPECT_EQ(Property(add, "         Begin VB.TextBox TB_itemName", "TabIndex"), "4");
  // The handler has no emptiness or uniqueness check and no key assignment.
  const std::size_t start = IndexOf(add, "Private Sub Btn_Add_Click()");
  EXPECT_EQ(add[start + 1], "   Dim itemRs As ADODB.Recordset");
  EXPECT_EQ(add[start + 2], "   Call check_condatabase");
  EXPECT_EQ(add[start + 3], "  sql = \"select * from Item\"");
  EXPECT_FALSE(Contains(add, "请输入"));
  EXPECT_FALSE(Contains(add, "已经存在"));
  EXPECT_FALSE(Contains(add, "itemRs(\"itemId\")"));
}

TEST_F(AddEditFormsTest, IntegerKeyOnTheEditForm) {
  int item = AddClass(projectId_, "Item", "物品");
  AddMember(projectId_, item, "itemId", "整型", "物品编号", 0, true);
  AddMember(projectId_, item, "itemName", "字符串", "名称", 20, false, true);
  GenerateEdit();
  const auto edit = File("FrmEditItem.frm");
  EXPECT_EQ(Property(edit, "         Begin VB.Label Label1 ", "TabIndex"), "3");
  EXPECT_EQ(Property(edit, "         Begin VB.Label Label1 ", "Top"), "600");
  EXPECT_EQ(Property(edit, "         Begin VB.TextBox TB_itemId ", "TabIndex"), "4");
  EXPECT_EQ(Property(edit, "         Begin VB.TextBox TB_itemId ", "Top"), "480");
  EXPECT_EQ(Property(edit, "         Begin VB.Label Label2", "Top"), "1200");
  EXPECT_EQ(Property(edit, "         Begin VB.Label Label2", "TabIndex"), "6");
  EXPECT_TRUE(HasLine(edit, "Public itemId As Integer"));
  EXPECT_TRUE(HasLine(edit, "  sql = \"select * from Item where itemId=\" & Me.TB_itemId.Text"));
  EXPECT_TRUE(HasLine(edit, "  querySql = \"select * from Item where itemId=\" & itemId"));
  EXPECT_TRUE(HasLine(edit, "  Me.TB_itemId.Text = CInt(Me.itemId)"));
}

TEST_F(AddEditFormsTest, TextKeyOnTheEditForm) {
  AddNoteClass();
  GenerateEdit();
  const auto edit = File("FrmEditNote.frm");
  EXPECT_TRUE(HasLine(edit, "Public code As String"));
  EXPECT_TRUE(
      HasLine(edit, "  sql = \"select * from Note where code='\" & Me.TB_code.Text & \"'\""));
  EXPECT_TRUE(HasLine(edit, "  querySql = \"select * from Note where code='\" & code & \"'\""));
  EXPECT_TRUE(HasLine(edit, "  Me.TB_code.Text = Me.code"));
  EXPECT_FALSE(Contains(edit, "AddNew"));
  EXPECT_FALSE(Contains(edit, "已经存在"));
}

TEST_F(AddEditFormsTest, StringOfLength200GetsTheRichTextBox) {
  int memo = AddClass(projectId_, "Memo", "备忘");
  AddMember(projectId_, memo, "memoId", "整型", "编号", 0, true);
  AddMember(projectId_, memo, "shortText", "字符串", "短文", 199, false, true);
  AddMember(projectId_, memo, "longText", "字符串", "长文", 200);
  AddMember(projectId_, memo, "after", "整型", "序号");
  GenerateAdd();
  GenerateEdit();
  const auto add = File("FrmAddMemo.frm");
  EXPECT_TRUE(HasLine(add, "         Begin VB.TextBox TB_shortText"));
  EXPECT_TRUE(HasLine(add, "         Begin RichTextLib.RichTextBox RTB_longText"));
  EXPECT_EQ(Property(add, "         Begin VB.Label Label2", "Top"), "1200");  // 600 + 600
  EXPECT_EQ(Property(add, "         Begin VB.Label Label3", "Top"), "2760");  // 1200 + 1560
  EXPECT_TRUE(HasLine(add, "  memoRs(\"shortText\") = Me.TB_shortText.Text"));
  EXPECT_TRUE(HasLine(add, "  memoRs(\"longText\") = Me.RTB_longText.Text"));
  const auto edit = File("FrmEditMemo.frm");
  EXPECT_TRUE(HasLine(edit, "  Me.TB_shortText.Text = memoRs.Fields(\"shortText\")"));
  EXPECT_TRUE(HasLine(edit, "  Me.RTB_longText.Text = memoRs.Fields(\"longText\")"));
}

TEST_F(AddEditFormsTest, WithoutPicturesOrReferencesTheLoadHandlerOnlyConnects) {
  int memo = AddClass(projectId_, "Memo", "备忘");
  AddMember(projectId_, memo, "memoId", "整型", "编号", 0, true);
  AddMember(projectId_, memo, "text", "字符串", "内容", 50, false, true);
  GenerateAdd();
  GenerateEdit();
  const auto add = File("FrmAddMemo.frm");
  EXPECT_FALSE(Contains(add, "Stream"));
  EXPECT_FALSE(Contains(add, "Dim text"));
  EXPECT_FALSE(Contains(add, "'选择一个图片"));
  const std::size_t load = IndexOf(add, "Private Sub Form_Load()");
  // Two empty lines after the button handler, then the connection and at once its close.
  EXPECT_EQ(add[load - 1], "");
  EXPECT_EQ(add[load - 2], "");
  EXPECT_EQ(add[load - 3], "End Sub");
  EXPECT_EQ(add[load + 1], "  Call condatabase '连接数据库");
  EXPECT_EQ(add[load + 2], "  Call close_condatabase '关闭数据库");
  const auto edit = File("FrmEditMemo.frm");
  EXPECT_FALSE(Contains(edit, "For i = 1"));
  EXPECT_FALSE(Contains(edit, "\\Tmp\\"));
  const std::size_t editLoad = IndexOf(edit, "Private Sub Form_Load()");
  EXPECT_EQ(edit[editLoad + 1], "  Call condatabase '连接数据库");
  EXPECT_EQ(edit[editLoad + 2], "  '初始化备忘数据");
}

TEST_F(AddEditFormsTest, ReferenceArraysFollowTheReferencedKey) {
  AddLibraryModel();
  GenerateAdd();
  GenerateEdit();
  const auto addBook = File("FrmAddBook.frm");
  EXPECT_TRUE(HasLine(addBook, "Dim bookCategorys() As Integer"));
  EXPECT_TRUE(HasLine(addBook,
                      "    bookCategorys(bookCategory_Index) = "
                      "CInt(bookCategoryRs.Fields(\"categoryId\"))"));
  const auto addCategory = File("FrmAddCategory.frm");
  EXPECT_TRUE(HasLine(addCategory, "Dim topBooks() As String"));
  EXPECT_TRUE(HasLine(addCategory, "    topBooks(topBook_Index) = topBookRs.Fields(\"isbn\")"));
  EXPECT_FALSE(Contains(addCategory, "CInt(topBookRs"));
  // The edit form selects the stored entry instead of the first one.
  const auto editCategory = File("FrmEditCategory.frm");
  EXPECT_FALSE(Contains(editCategory, "topBookRs.RecordCount > 0"));
  EXPECT_TRUE(HasLine(addCategory, "  If topBookRs.RecordCount > 0 Then"));
  EXPECT_TRUE(HasLine(editCategory, "Next "));
}

TEST_F(AddEditFormsTest, ClassNameLoweredOnlyForLettersAToZ) {
  AddClass(projectId_, "apple", "苹果");
  AddClass(projectId_, "9Lives", "九命");
  AddClass(projectId_, "书籍", "书");
  AddClass(projectId_, "Zebra", "斑马");
  for (const auto& entry : Classes()) {
    AddMember(projectId_, entry.id, "id", "整型", "编号", 0, true, true);
  }
  GenerateAdd();
  EXPECT_TRUE(HasLine(File("FrmAddapple.frm"), "   Dim appleRs As ADODB.Recordset"));
  EXPECT_TRUE(HasLine(File("FrmAdd9Lives.frm"), "   Dim 9LivesRs As ADODB.Recordset"));
  EXPECT_TRUE(HasLine(File("FrmAdd书籍.frm"), "   Dim 书籍Rs As ADODB.Recordset"));
  EXPECT_TRUE(HasLine(File("FrmAddZebra.frm"), "   Dim zebraRs As ADODB.Recordset"));
  EXPECT_TRUE(HasLine(File("FrmAddZebra.frm"), "Attribute VB_Name = \"FrmAddZebra\""));
}

TEST_F(AddEditFormsTest, ClassWithOnlyItsKey) {
  int tag = AddClass(projectId_, "Tag", "标签");
  AddMember(projectId_, tag, "tagId", "整型", "标签编号", 0, true, true);
  int word = AddClass(projectId_, "Word", "词");
  AddMember(projectId_, word, "word", "字符串", "词语", 20, true, true);
  GenerateAdd();
  GenerateEdit();
  // An integer key alone leaves the add form without rows: the button takes the first place.
  const auto addTag = File("FrmAddTag.frm");
  EXPECT_FALSE(Contains(addTag, "Begin VB.Label"));
  EXPECT_EQ(Property(addTag, "         Begin VB.CommandButton Btn_Add ", "TabIndex"), "3");
  EXPECT_EQ(Property(addTag, "         Begin VB.CommandButton Btn_Add ", "Top"), "600");
  const std::size_t open = IndexOf(addTag, "  tagRs.AddNew '添加新标签信息");
  EXPECT_EQ(addTag[open + 1], "  tagRs.Update");
  // With the key row the button moves down one row and three tab indexes.
  const auto editTag = File("FrmEditTag.frm");
  EXPECT_EQ(Property(editTag, "         Begin VB.CommandButton Btn_Update ", "TabIndex"), "6");
  EXPECT_EQ(Property(editTag, "         Begin VB.CommandButton Btn_Update ", "Top"), "1200");
  const std::size_t shown = IndexOf(editTag, "  Me.TB_tagId.Text = CInt(Me.tagId)");
  EXPECT_EQ(editTag[shown + 1], "  Call close_condatabase '关闭数据库");
  const auto addWord = File("FrmAddWord.frm");
  EXPECT_EQ(Property(addWord, "         Begin VB.CommandButton Btn_Add ", "TabIndex"), "6");
  const std::size_t assigned = IndexOf(addWord, "  wordRs(\"word\") = Me.TB_word.Text");
  EXPECT_EQ(addWord[assigned + 1], "  wordRs.Update");
}

TEST_F(AddEditFormsTest, ModelTextIsNeverReadAsAPlaceholder) {
  int odd = AddClass(projectId_, "Odd", "{friendName}");
  AddMember(projectId_, odd, "oddId", "整型", "{keyName}", 0, true, true);
  AddMember(projectId_, odd, "label", "字符串", "{className}", 20);
  AddMember(projectId_, odd, "amount", "整型", "{memberComment}");
  GenerateAdd();
  GenerateEdit();
  const auto add = File("FrmAddOdd.frm");
  EXPECT_TRUE(HasLine(add, "   Caption         =   \"添加{friendName}\""));
  EXPECT_EQ(Property(add, "         Begin VB.Label Label1", "Caption"), "\"{className}：\"");
  EXPECT_TRUE(
      HasLine(add, "  MsgBox \"{memberComment}输入格式不正确!\", vbInformation, \"信息提示\""));
  const auto edit = File("FrmEditOdd.frm");
  EXPECT_EQ(Property(edit, "         Begin VB.Label Label1 ", "Caption"), "\"{keyName}：\"");
}

TEST_F(AddEditFormsTest, ReferenceToAMissingClassStopsBeforeWritingItsForm) {
  int first = AddClass(projectId_, "First", "第一");
  AddMember(projectId_, first, "firstId", "整型", "编号", 0, true, true);
  int second = AddClass(projectId_, "Second", "第二");
  AddMember(projectId_, second, "secondId", "整型", "编号", 0, true, true);
  AddMember(projectId_, second, "gone", "Deleted", "已删除的类");
  TGenContext context = Context();
  try {
    GenerateAddFormFiles(context, Snapshot(projectId_));
    FAIL() << "no error for a reference to a missing class";
  } catch (const TFormModelError& error) {
    EXPECT_NE(std::string(error.what()).find("gone"), std::string::npos) << error.what();
    EXPECT_NE(std::string(error.what()).find("Deleted"), std::string::npos) << error.what();
  }
  EXPECT_EQ(sink_.order, std::vector<std::string>{"projects/Library/FrmAddFirst.frm"});
  EXPECT_EQ(progress_.lines.size(), 1u);
}

TEST_F(AddEditFormsTest, ReferencedClassWithoutDisplayMemberIsReported) {
  int target = AddClass(projectId_, "Target", "目标");
  AddMember(projectId_, target, "targetId", "整型", "编号", 0, true, false);
  int source = AddClass(projectId_, "Source", "来源");
  AddMember(projectId_, source, "sourceId", "整型", "编号", 0, true, true);
  AddMember(projectId_, source, "target", "Target", "目标");
  TGenContext context = Context();
  EXPECT_THROW(GenerateEditFormFiles(context, Snapshot(projectId_)), TFormModelError);
  EXPECT_EQ(sink_.order, std::vector<std::string>{"projects/Library/FrmEditTarget.frm"});
}

}  // namespace
}  // namespace vbgen::test
