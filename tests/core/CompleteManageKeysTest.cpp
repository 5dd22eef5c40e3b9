// The complete application's manage form finds a row by every member of its key, lists a class
// without a key read-only, and acts on the row under the mouse; its main form has menus of its
// own, which a class named after a keyword can have too.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "SnapshotBuilders.h"
#include "TestSupport.h"
#include "generate/Gbk.h"
#include "generate/check/ModelCheck.h"
#include "generate/emit/CompleteForms.h"
#include "generate/emit/FormClass.h"
#include "generate/emit/UIOperate.h"

namespace vbgen::test {
namespace {

TMember Made(int id, int classId, const std::string& name, const std::string& type,
             const std::string& comment) {
  TMember m;
  m.memberId = id;
  m.projectId = 1;
  m.classId = classId;
  m.memberName = name;
  m.memberType = type;
  m.memberComment = comment;
  m.memberIsInteger = type == kTypeInteger;
  m.memberIsFloat = type == kTypeFloat;
  m.memberLength = type == kTypeString ? 20 : 0;
  m.memberQueryDisplay = 1;
  return m;
}

// Orders and products, the order lines keyed by both, and a log without a key.
TModelSnapshot ShopModel() {
  const std::string text(kTypeString), whole(kTypeInteger), day(kTypeDate);
  return TModelSnapshot(
      1, "商店",
      {Class(1, "Orders", "订单",
             {Key(Display(Made(1, 1, "orderId", whole, "订单号"))),
              Made(2, 1, "placed", day, "日期")}),
       Class(
           2, "Product", "产品",
           {Key(Made(3, 2, "code", text, "产品代码")), Display(Made(4, 2, "title", text, "名称"))}),
       Class(3, "OrderLine", "订单明细",
             {Key(Made(5, 3, "orderId", "Orders", "订单")),
              Key(Made(6, 3, "code", "Product", "产品")),
              Display(Made(7, 3, "quantity", whole, "数量"))}),
       Class(4, "AuditLog", "日志",
             {Made(8, 4, "happened", day, "时间"), Display(Made(9, 4, "what", text, "内容"))})});
}

std::string ManageForm(const TModelSnapshot& model, const std::string& className) {
  const TClassModel& entry = *model.FindClass(className);
  return BuildCompleteManageForm(MakeFormClass(model, entry, TKeyNeed::Optional), entry);
}

std::map<std::string, std::string> Generate(const TModelSnapshot& model, bool complete) {
  TMemorySink sink;
  TRecordedProgress progress;
  TGenContext context{model.ProjectName(), SourceDir() / "data" / "template", sink, progress};
  TRunOptions options;
  options.complete = complete;
  TUIOperate operate(context, options);
  try {
    operate.AssembleProject("tavorin", model);
  } catch (const TFormModelError&) {
    // The add and edit forms of a class without a key are not this test's; the main form and
    // the project file are written before them.
  }
  std::map<std::string, std::string> files;
  for (const auto& [path, bytes] : sink.files) files[path] = GbkToUtf8(bytes);
  return files;
}

std::string MainForm(const TModelSnapshot& model, bool complete) {
  const std::string text =
      Generate(model, complete).at("projects/" + model.ProjectName() + "/MainForm.frm");
  return std::regex_replace(text, std::regex("\r\n"), "\n");
}

}  // namespace

TEST(CompleteManageKeysTest, EditAndDeleteFindTheRowByEveryKeyMemberInKeyOrder) {
  const std::string form = ManageForm(ShopModel(), "OrderLine");
  // Both key columns are listed first and the rows come in key order.
  EXPECT_NE(form.find("statementText = \"select t.[orderId]\"\n"
                      "  statementText = statementText & \", t.[code]\"\n"),
            std::string::npos)
      << form;
  EXPECT_NE(form.find(" order by t.[orderId], t.[code]\""), std::string::npos);
  // The edit form gets each key value as its own argument: Long for a reference to an integer
  // key, text otherwise.
  EXPECT_NE(form.find("FrmEditOrderLine.ShowRecord CLng(listRs.Fields(\"orderId\").Value), "
                      "FieldText(listRs.Fields(\"code\").Value)\n"),
            std::string::npos);
  EXPECT_NE(
      form.find("statementText = \"delete from [OrderLine] where [orderId] = ? and [code] = ?\""),
      std::string::npos);
  const std::size_t first =
      form.find("  Call AddLongParameter(cmd, CLng(listRs.Fields(\"orderId\").Value))\n");
  const std::size_t second =
      form.find("  Call AddKeyTextParameter(cmd, FieldText(listRs.Fields(\"code\").Value))\n");
  ASSERT_NE(first, std::string::npos);
  ASSERT_NE(second, std::string::npos);
  EXPECT_LT(first, second);
  // A text key goes as Unicode, as it was read; a row already gone is named, not reported
  // as deleted.
  EXPECT_EQ(form.find("AddStringParameter(cmd, FieldText("), std::string::npos);
  EXPECT_NE(form.find("  cmd.Execute rowsDeleted\n"
                      "  If rowsDeleted = 0 Then MsgBox \"这条"),
            std::string::npos);
  // The prompt names the row by its display value and both keys.
  EXPECT_NE(
      form.find("CurrentRecordName = \"“\" & FieldText(listRs.Fields(\"quantity\").Value) & "
                "\"”（订单：\" & FieldText(listRs.Fields(\"orderId\").Value) & \"，产品：\" & "
                "FieldText(listRs.Fields(\"code\").Value) & \"）\""),
      std::string::npos);
  EXPECT_NE(form.find("MsgBox(\"确定要删除订单明细 \" & CurrentRecordName() & \" 吗？\""),
            std::string::npos);
  // Coming back to the form chooses the same row again, matched on both keys.
  EXPECT_NE(form.find("If listRs.Fields(\"orderId\").Value = keptKey1 And "
                      "listRs.Fields(\"code\").Value = keptKey2 Then Exit Sub"),
            std::string::npos);
  EXPECT_NE(form.find("Private Sub Form_Activate()\n  Call ReloadList\nEnd Sub"),
            std::string::npos);
}

TEST(CompleteManageKeysTest, AClassWithoutAKeyIsOnlySearchedListedAndExported) {
  const TModelSnapshot model = ShopModel();
  const std::string form = ManageForm(model, "AuditLog");
  for (const char* absent :
       {"mnuEdit", "mnuDelete", "ShowRecord", "delete from", "keptKey", "HasCurrentRecord"}) {
    EXPECT_EQ(form.find(absent), std::string::npos) << absent;
  }
  EXPECT_NE(form.find("Begin VB.Menu mnuExport"), std::string::npos);
  EXPECT_NE(form.find("Private Sub mnuExport_Click()"), std::string::npos);
  EXPECT_NE(form.find("statementText = \"select t.[happened]\""), std::string::npos);
  EXPECT_NE(form.find(" order by t.[happened]\""), std::string::npos);
  // Its main-form menu has no add item.
  const std::string main = MainForm(model, true);
  EXPECT_NE(main.find("Begin VB.Menu mnuAuditLogManage"), std::string::npos);
  EXPECT_EQ(main.find("mnuAuditLogAdd"), std::string::npos);
  EXPECT_NE(main.find("Begin VB.Menu mnuOrderLineAdd"), std::string::npos);
}

TEST(CompleteManageKeysTest, ARightClickActsOnlyOnTheRowUnderTheMouse) {
  const std::string form = ManageForm(ShopModel(), "Product");
  const std::size_t handler = form.find("Private Sub DataGrid1_MouseUp(");
  ASSERT_NE(handler, std::string::npos);
  const std::string body = form.substr(handler, form.find("End Sub", handler) - handler);
  const std::size_t below = body.find("If clickedRow < 0 Then Exit Sub");
  const std::size_t popup = body.find("Me.PopupMenu popMenu");
  ASSERT_NE(below, std::string::npos) << body;
  ASSERT_NE(popup, std::string::npos);
  EXPECT_LT(below, popup);
  EXPECT_LT(body.find("DataGrid1.Row = clickedRow"), popup);
}

TEST(CompleteManageKeysTest, EveryHandlerThatReadsTheDatabaseTrapsItsErrors) {
  const std::string form = ManageForm(ShopModel(), "OrderLine");
  const std::regex procedure(R"re(Private Sub (\w+)\([^)]*\)\n((?:.*\n)*?)End Sub)re");
  std::set<std::string> trapped;
  for (std::sregex_iterator it(form.begin(), form.end(), procedure), end; it != end; ++it) {
    const std::string body = (*it)[2];
    const std::size_t trap = body.find("On Error GoTo ");
    const std::size_t work = std::min({body.find("NewCommand("), body.find("condatabase"),
                                       body.find(".ShowRecord "), body.find(".ShowSave")});
    if (work == std::string::npos) continue;
    EXPECT_TRUE(trap != std::string::npos && trap < work) << (*it)[1];
    trapped.insert((*it)[1]);
  }
  EXPECT_EQ(trapped, (std::set<std::string>{"Form_Load", "LoadList", "mnuEdit_Click",
                                            "mnuDelete_Click", "mnuExport_Click"}));
}

TEST(CompleteMainFormTest, ClassMenusHaveAccessKeysOfTheirOwn) {
  std::vector<TClassModel> classes;
  for (int i = 1; i <= 34; ++i) {
    classes.push_back(Class(i, "C" + std::to_string(i), "类" + std::to_string(i),
                            {Key(Display(Made(i, i, "id", std::string(kTypeInteger), "编号")))}));
  }
  const TModelSnapshot model(1, "多", classes);
  const std::string main = MainForm(model, true);
  const std::regex caption(R"re(Caption\s+=\s+"[^"]*\(&(.)\)")re");
  std::map<std::string, int> keys;
  // Only the menu bar: the lines at three blanks' depth are its menus' captions.
  const std::regex topCaption(R"re(\n   Begin VB.Menu \w+ ?\n      Caption\s+=\s+"([^"]*)")re");
  int withoutKey = 0;
  for (std::sregex_iterator it(main.begin(), main.end(), topCaption), end; it != end; ++it) {
    const std::string text = (*it)[1];
    std::smatch m;
    if (std::regex_search(text, m, std::regex(R"re(\(&(.)\)$)re"))) {
      ++keys[m[1]];
    } else {
      ++withoutKey;
    }
  }
  for (const auto& [key, count] : keys) EXPECT_EQ(count, 1) << "&" << key;
  EXPECT_EQ(keys.count("T"), 0u);  // 平铺(&T) of the window menu keeps its key
  EXPECT_EQ(keys.count("S"), 1u);  // 系统管理(&S)
  EXPECT_EQ(keys.count("W"), 1u);  // 窗口(&W)
  EXPECT_EQ(keys.size(), 2u + 32u);
  EXPECT_EQ(withoutKey, 2);  // the keys run out after 32 classes
  EXPECT_NE(main.find("平铺(&T)"), std::string::npos);
  // The status text has no stray quote.
  EXPECT_NE(main.find("MainForm.StatusBar1.Panels(1).Text = \"状态：添加类1\"\n"),
            std::string::npos);
  EXPECT_EQ(main.find("\"\"\"\n"), std::string::npos);
}

TEST(CompleteMainFormTest, KeywordClassesGetSafeMenusWhileThePlainFormKeepsItsNames) {
  std::vector<TClassModel> classes;
  int id = 0;
  for (const char* name : {"Date", "Select", "Sub", "End"}) {
    ++id;
    classes.push_back(Class(id, name, name,
                            {Key(Display(Made(id, id, "id", std::string(kTypeInteger), "编号")))}));
  }
  const TModelSnapshot model(1, "词", classes);
  EXPECT_FALSE(FirstError(model, {.complete = true}))
      << FirstError(model, {.complete = true})->Line();
  EXPECT_TRUE(FirstError(model, {.complete = false}));
  const std::string complete = MainForm(model, true);
  for (const char* name : {"Date", "Select", "Sub", "End"}) {
    const std::string n = name;
    EXPECT_NE(complete.find("Begin VB.Menu mnu" + n + "Class\n"), std::string::npos) << n;
    EXPECT_NE(complete.find("Private Sub mnu" + n + "Add_Click()\n"), std::string::npos) << n;
    EXPECT_NE(complete.find("    FrmManage" + n + ".Show\n"), std::string::npos) << n;
  }
  // No menu or procedure is a bare keyword.
  EXPECT_FALSE(std::regex_search(
      complete, std::regex(R"re(Begin VB\.Menu (date|select|sub|end)\b)re", std::regex::icase)));
  // The plain form is what it has always been: the class name with its first letter lowered.
  const std::string plain = MainForm(model, false);
  EXPECT_NE(plain.find("   Begin VB.Menu date\n      Caption         =   \"Date管理(&T)\""),
            std::string::npos);
  EXPECT_NE(plain.find("\"状态： 添加Date \"\"\""), std::string::npos);
}

}  // namespace vbgen::test
