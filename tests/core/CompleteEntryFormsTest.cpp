// The complete application's add and edit forms for a database as it is: order lines keyed by
// their order and product, a region whose key is typed, employees who report to employees,
// NULL columns, Unicode text, fixed-point money, bit, tinyint and smallint. The forms are read
// as the engineer who deploys them would: what each value is checked against, the parameter
// it travels as, what an update writes, and that every statement stays fixed text.
#include <gtest/gtest.h>

#include <map>
#include <regex>

#include "Golden.h"
#include "SnapshotBuilders.h"
#include "TestSupport.h"
#include "VbCrossCheck.h"
#include "generate/Gbk.h"
#include "generate/emit/CompleteForms.h"
#include "generate/emit/CompleteParts.h"
#include "generate/emit/FormClass.h"
#include "generate/emit/TextTemplate.h"
#include "generate/write/FileOperate.h"
#include "model/Member.h"

namespace vbgen::test {
namespace {

TMember Column(int id, int classId, const std::string& name, std::string_view type,
               const std::string& comment) {
  TMember m;
  m.memberId = id;
  m.projectId = 1;
  m.classId = classId;
  m.memberName = name;
  m.memberType = std::string(type);
  m.memberComment = comment;
  m.memberIsInteger = type == kTypeInteger;
  m.memberIsFloat = type == kTypeFloat;
  return m;
}

TMember Text(TMember m, int length, std::string sqlType = "") {
  m.memberLength = length;
  m.memberSqlType = std::move(sqlType);
  return m;
}

TMember Typed(TMember m, std::string sqlType, int precision = 0, int scale = 0) {
  m.memberSqlType = std::move(sqlType);
  m.memberPrecision = precision;
  m.memberScale = scale;
  return m;
}

TMember Nullable(TMember m) {
  m.memberAllowNull = 1;
  return m;
}

TMember Must(TMember m) {
  m.memberIsMust = 1;
  return m;
}

// A small trading database in the style of the classic samples.
TModelSnapshot TradingModel() {
  std::vector<TClassModel> classes;
  classes.push_back(Class(
      1, "Product", "产品",
      {Key(Column(1, 1, "productId", kTypeInteger, "产品编号")),
       Must(Display(Text(Column(2, 1, "productName", kTypeString, "产品名称"), 40, "nvarchar"))),
       Nullable(Typed(Column(3, 1, "unitPrice", kTypeFloat, "单价"), "money")),
       Nullable(Typed(Column(4, 1, "unitsInStock", kTypeInteger, "库存"), "smallint")),
       Typed(Column(5, 1, "reorderLevel", kTypeInteger, "再订购量"), "tinyint"),
       Typed(Column(6, 1, "discontinued", kTypeInteger, "停产"), "bit")}));
  classes.push_back(
      Class(2, "Employee", "雇员",
            {Key(Column(11, 2, "employeeId", kTypeInteger, "雇员编号")),
             Must(Display(Text(Column(12, 2, "lastName", kTypeString, "姓"), 20, "nvarchar"))),
             Nullable(Column(13, 2, "reportsTo", "Employee", "上级")),
             Column(14, 2, "birthDate", kTypeDate, "出生日期"),
             Nullable(Column(15, 2, "hireDate", kTypeDate, "雇用日期"))}));
  classes.push_back(Class(3, "Orders", "订单",
                          {Key(Column(21, 3, "orderId", kTypeInteger, "订单号")),
                           Display(Text(Column(22, 3, "shipName", kTypeString, "收货人"), 40)),
                           Column(23, 3, "employeeId", "Employee", "经手雇员"),
                           Column(24, 3, "orderDate", kTypeDate, "订购日期"),
                           Nullable(Column(25, 3, "shippedDate", kTypeDate, "发货日期")),
                           Nullable(Typed(Column(26, 3, "freight", kTypeFloat, "运费"), "money")),
                           Nullable(Text(Column(27, 3, "note", kTypeString, "备注"), 200))}));
  classes.push_back(Class(4, "OrderLine", "订单明细",
                          {Key(Column(31, 4, "orderId", "Orders", "订单")),
                           Key(Column(32, 4, "productId", "Product", "产品")),
                           Typed(Column(33, 4, "unitPrice", kTypeFloat, "单价"), "money"),
                           Typed(Column(34, 4, "quantity", kTypeInteger, "数量"), "smallint"),
                           Typed(Column(35, 4, "discount", kTypeFloat, "折扣"), "numeric", 4, 2)}));
  TMember regionKey = Key(Column(41, 5, "regionId", kTypeInteger, "地区编号"));
  regionKey.memberKeyEntered = 1;
  classes.push_back(
      Class(5, "Region", "地区",
            {regionKey,
             Must(Display(Text(Column(42, 5, "regionName", kTypeString, "地区"), 50, "nchar")))}));
  // A link table of nothing but its keys.
  classes.push_back(Class(6, "EmployeeRegion", "雇员地区",
                          {Key(Column(51, 6, "employeeId", "Employee", "雇员")),
                           Key(Column(52, 6, "regionId", "Region", "地区"))}));
  return TModelSnapshot(1, "贸易", std::move(classes));
}

const TClassModel& ClassOf(const TModelSnapshot& model, const std::string& name) {
  const TClassModel* entry = model.FindClass(name);
  if (!entry) throw std::logic_error("no class " + name);
  return *entry;
}

std::string AddForm(const TModelSnapshot& model, const std::string& className) {
  return BuildCompleteAddForm(MakeFormClass(model, ClassOf(model, className)));
}

std::string EditForm(const TModelSnapshot& model, const std::string& className) {
  return BuildCompleteEditForm(MakeFormClass(model, ClassOf(model, className)));
}

// The text of one procedure of a form, from its Sub line to its End Sub.
std::string Procedure(const std::string& form, const std::string& head) {
  const std::size_t start = form.find(head);
  if (start == std::string::npos) return {};
  return form.substr(start, form.find("End Sub\n", start) + 8 - start);
}

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

std::string ModMainUtf8() {
  return GbkToUtf8(TFileOperate::ReadBytes(SourceDir() / "data" / "bak" / "ModMain.bas"));
}

// The arguments of a call written "Name(a, b(c, d), "e, f")", counted at the top level.
int ArgumentCount(const std::string& text, std::size_t open) {
  int depth = 0, count = 1;
  bool quoted = false;
  for (std::size_t i = open; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '"') quoted = !quoted;
    if (quoted) continue;
    if (c == '(') ++depth;
    if (c == ')' && --depth == 0) return count;
    if (c == ',' && depth == 1) ++count;
  }
  return -1;
}

// The module's public procedures by lower-case name, with how many parameters each takes.
std::map<std::string, int> ModuleProcedures(const std::string& module) {
  std::map<std::string, int> procedures;
  const std::regex head(R"re(Public (?:Sub|Function) (\w+)\()re");
  for (std::sregex_iterator it(module.begin(), module.end(), head), end; it != end; ++it) {
    const std::size_t open = static_cast<std::size_t>(it->position(0) + it->length(0) - 1);
    const bool none = module[open + 1] == ')';
    procedures[vb::Lower((*it)[1])] = none ? 0 : ArgumentCount(module, open);
  }
  return procedures;
}

class CompleteEntryFormsTest : public ::testing::Test {
 protected:
  const TModelSnapshot model = TradingModel();
};

TEST_F(CompleteEntryFormsTest, EveryFormIsSoundAgainstTheModuleItCalls) {
  vb::TProjectCheck check;
  check.Add(vb::ParseSource("ModMain.bas", ModMainUtf8()));
  std::vector<vb::TSource> forms;
  for (const TClassModel& entry : model.Classes()) {
    const TFormClass form = MakeFormClass(model, entry);
    forms.push_back(
        vb::ParseSource("FrmAdd" + entry.className + ".frm", BuildCompleteAddForm(form)));
    forms.push_back(
        vb::ParseSource("FrmEdit" + entry.className + ".frm", BuildCompleteEditForm(form)));
  }
  std::vector<std::string> problems;
  for (const vb::TSource& source : forms) {
    check.Add(source);
    for (const vb::TStatement& statement : vb::Statements(source, problems)) {
      EXPECT_EQ(statement.markers, statement.parameters)
          << statement.where << ": " << statement.text;
      EXPECT_EQ(statement.text.find('\''), std::string::npos) << statement.text;
    }
  }
  // The module's own calls of the main and login forms are the project's, not these forms'.
  for (const std::string& problem : check.Problems()) {
    if (problem.rfind("ModMain.bas: Main:", 0) != 0) problems.push_back(problem);
  }
  std::string joined;
  for (const std::string& problem : problems) joined += problem + "\n";
  EXPECT_TRUE(problems.empty()) << joined;
}

// Every call of a procedure of the module passes as many arguments as it takes.
TEST_F(CompleteEntryFormsTest, CallsOfTheModuleMatchItsProcedures) {
  const std::map<std::string, int> procedures = ModuleProcedures(ModMainUtf8());
  ASSERT_EQ(procedures.at("addcolumntextparameter"), 5);
  const std::regex call(R"re(\b(\w+)\()re");
  int checked = 0;
  for (const TClassModel& entry : model.Classes()) {
    for (const std::string& form :
         {AddForm(model, entry.className), EditForm(model, entry.className)}) {
      for (std::sregex_iterator it(form.begin(), form.end(), call), end; it != end; ++it) {
        const auto found = procedures.find(vb::Lower((*it)[1]));
        if (found == procedures.end()) continue;
        const std::size_t open = static_cast<std::size_t>(it->position(0) + it->length(0) - 1);
        EXPECT_EQ(ArgumentCount(form, open), found->second)
            << entry.className << ": " << form.substr(it->position(0), 80);
        ++checked;
      }
    }
  }
  EXPECT_GT(checked, 100);
}

TEST_F(CompleteEntryFormsTest, GoldenFiles) {
  for (const char* className :
       {"Product", "Employee", "Orders", "OrderLine", "Region", "EmployeeRegion"}) {
    const std::string name = className;
    EXPECT_TRUE(
        MatchesGolden(Utf8ToGbkCrLf(AddForm(model, name)), "complete/FrmAdd" + name + ".frm"));
    EXPECT_TRUE(
        MatchesGolden(Utf8ToGbkCrLf(EditForm(model, name)), "complete/FrmEdit" + name + ".frm"));
  }
}

// Order lines: the add form picks the order and the product from their lists and refuses a
// line that exists; the edit form finds the line by both and leaves both as they are.
TEST_F(CompleteEntryFormsTest, LinkTableIsAddedAndEditedByAllItsKeys) {
  const std::string add = AddForm(model, "OrderLine");
  EXPECT_TRUE(Has(add, "Begin VB.ComboBox CB_orderId\n"));
  EXPECT_TRUE(Has(add, "Begin VB.ComboBox CB_productId\n"));
  EXPECT_FALSE(Has(add, "TB_orderId"));
  const std::string save = Procedure(add, "Private Sub Btn_Add_Click()");
  EXPECT_TRUE(Has(save, "If Me.CB_orderId.ListIndex < 0 Then\n    MsgBox \"请选择订单!\""));
  EXPECT_TRUE(Has(save, "If Me.CB_productId.ListIndex < 0 Then\n    MsgBox \"请选择产品!\""));
  EXPECT_TRUE(Has(save,
                  "  statementText = \"select count(*) from [OrderLine]\"\n"
                  "  statementText = statementText & \" where [orderId] = ?\"\n"
                  "  statementText = statementText & \" and [productId] = ?\"\n"));
  EXPECT_TRUE(Has(save, "MsgBox \"对不起，此订单明细订单、产品的信息系统已经存在了！\""));
  EXPECT_TRUE(Has(save,
                  "\"insert into [OrderLine] ([orderId]\"\n"
                  "  statementText = statementText & \", [productId]\"\n"));
  EXPECT_TRUE(Has(save,
                  "  Call AddLongParameter(cmd, orderIds(Me.CB_orderId.ListIndex + 1))\n"
                  "  Call AddLongParameter(cmd, productIds(Me.CB_productId.ListIndex + 1))\n"
                  "  Call AddFixedNumberParameter("));

  const std::string edit = EditForm(model, "OrderLine");
  EXPECT_TRUE(Has(edit,
                  "Public Sub ShowRecord(ByVal key_orderId As Long, ByVal key_productId As "
                  "Long)\n"));
  EXPECT_TRUE(Has(edit, "Dim edit_orderId As Long\nDim edit_productId As Long\n"));
  EXPECT_TRUE(Has(edit, "  Me.CB_orderId.Locked = True\n  Me.CB_productId.Locked = True\n"));
  const std::string update = Procedure(edit, "Private Sub Btn_Update_Click()");
  EXPECT_TRUE(Has(update,
                  "  statementText = statementText & \" where [orderId] = ?\"\n"
                  "  statementText = statementText & \" and [productId] = ?\"\n"));
  EXPECT_TRUE(Has(update,
                  "  Call AddLongParameter(cmd, edit_orderId)\n"
                  "  Call AddLongParameter(cmd, edit_productId)\n  cmd.Execute rowsChanged"));
  const std::string show = Procedure(edit, "Public Sub ShowRecord(");
  EXPECT_TRUE(Has(show,
                  "  Call AddLongParameter(cmd, key_orderId)\n"
                  "  Call AddLongParameter(cmd, key_productId)\n  Set rs = cmd.Execute\n"));
  EXPECT_TRUE(Has(show, "If orderIds(i) = rs.Fields(\"orderId\").Value Then"));
}

// A link table of keys alone: added by picking both, never edited, and never a NULL key.
TEST_F(CompleteEntryFormsTest, LinkTableOfKeysAloneIsAddedNotEdited) {
  const std::string save =
      Procedure(AddForm(model, "EmployeeRegion"), "Private Sub Btn_Add_Click()");
  EXPECT_TRUE(Has(save,
                  "\"insert into [EmployeeRegion] ([employeeId]\"\n"
                  "  statementText = statementText & \", [regionId]\"\n"
                  "  statementText = statementText & \") values (?, ?)\"\n"));
  EXPECT_FALSE(Has(save, "AddNullParameter"));
  const std::string edit = EditForm(model, "EmployeeRegion");
  EXPECT_TRUE(Has(edit, "MsgBox \"雇员地区没有可以修改的内容!\""));
  EXPECT_FALSE(Has(edit, "shownValues"));
  EXPECT_TRUE(Has(edit,
                  "Public Sub ShowRecord(ByVal key_employeeId As Long, ByVal key_regionId "
                  "As Long)\n"));
}

// The manage form passes the keys the edit form asks for, in the same order and types.
TEST_F(CompleteEntryFormsTest, ShowRecordSignatureAndItsCallAgree) {
  const TFormClass line = MakeFormClass(model, ClassOf(model, "OrderLine"));
  const TCodeForm code(line);
  EXPECT_EQ(ShowRecordParameters(code.Form()),
            "ByVal key_orderId As Long, ByVal key_productId As Long");
  EXPECT_EQ(ShowRecordArguments(line, "listRs"),
            "CLng(listRs.Fields(\"orderId\").Value), CLng(listRs.Fields(\"productId\").Value)");

  // A text key and a key named like a VB word: the parameter gets a code name, the column
  // keeps its own.
  TClassModel shipper = Class(9, "Shipper", "承运商",
                              {Key(Text(Column(91, 9, "Date", kTypeString, "代码"), 10)),
                               Key(Column(92, 9, "seq", kTypeInteger, "序号"))});
  const TModelSnapshot single(1, "p", {shipper});
  const TFormClass form = MakeFormClass(single, single.Classes().front());
  const TCodeForm named(form);
  EXPECT_EQ(ShowRecordParameters(named.Form()),
            "ByVal key_m_Date As String, ByVal key_seq As Long");
  EXPECT_EQ(ShowRecordArguments(form, "rs"),
            "FieldText(rs.Fields(\"Date\").Value), CLng(rs.Fields(\"seq\").Value)");
  EXPECT_TRUE(Has(BuildCompleteEditForm(form),
                  "Public Sub ShowRecord(" + ShowRecordParameters(named.Form()) + ")\n"));
}

// Members whose derived names would be the forms' own variables get names of their own.
TEST_F(CompleteEntryFormsTest, MembersDoNotTakeTheNamesOfTheFormsVariables) {
  TClassModel other = Class(1, "Other", "其他",
                            {Key(Column(1, 1, "id", kTypeInteger, "编号")),
                             Display(Text(Column(2, 1, "name", kTypeString, "名称"), 10))});
  TClassModel odd =
      Class(2, "Odd", "怪名",
            {Key(Text(Column(11, 2, "s", kTypeString, "代码"), 5)),
             Column(12, 2, "shownValue", "Other", "甲"), Column(13, 2, "edit_", "Other", "乙"),
             Text(Column(14, 2, "columnsSet", kTypeString, "丙"), 5)});
  const TModelSnapshot names(1, "p", {other, odd});
  const std::string edit = BuildCompleteEditForm(MakeFormClass(names, names.Classes()[1]));
  std::map<std::string, int> declared;
  const std::regex dim(R"re(^\s*Dim (\w+))re");
  for (const std::string& line : vb::SplitLines(edit)) {
    std::smatch m;
    if (std::regex_search(line, m, dim)) ++declared[vb::Lower(m[1])];
  }
  EXPECT_EQ(declared["shownvalues"], 1);
  EXPECT_EQ(declared["edit_s"], 1);
  EXPECT_EQ(declared["columnsset"], 1);
  // The statements keep the database's names.
  EXPECT_TRUE(Has(edit, "\" [shownValue] = ?\""));
  EXPECT_TRUE(Has(edit, "\" [edit_] = ?\""));
}

// A region's key is not numbered by the database: the user types it, as a whole number, and
// is told before the insert when it is taken.
TEST_F(CompleteEntryFormsTest, EnteredKeyIsTypedCheckedAndRefusedWhenTaken) {
  const std::string add = AddForm(model, "Region");
  EXPECT_TRUE(Has(add, "Begin VB.TextBox TB_regionId \n"));
  const std::string save = Procedure(add, "Private Sub Btn_Add_Click()");
  EXPECT_TRUE(Has(save,
                  "If Not WholeNumberBetween(Me.TB_regionId.Text, -2147483648, 2147483647) "
                  "Then\n    MsgBox \"地区编号应是-2147483648到2147483647之间的整数!\""));
  EXPECT_TRUE(Has(save,
                  "\"select count(*) from [Region]\"\n"
                  "  statementText = statementText & \" where [regionId] = ?\"\n"
                  "  Set cmd = NewCommand(statementText)\n"
                  "  Call AddLongParameter(cmd, CLng(Me.TB_regionId.Text))\n"
                  "  Set rs = cmd.Execute\n  If rs.Fields(0).Value > 0 Then\n"));
  EXPECT_TRUE(Has(save, "Me.TB_regionId.SetFocus"));
  EXPECT_TRUE(Has(save, "\"insert into [Region] ([regionId]\""));
  // The check comes before anything reaches the database.
  EXPECT_LT(save.find("WholeNumberBetween"), save.find("On Error GoTo SaveFailed"));
  EXPECT_LT(save.find("select count(*)"), save.find("insert into"));

  const std::string edit = EditForm(model, "Region");
  EXPECT_TRUE(Has(edit,
                  "Begin VB.TextBox TB_regionId \n            BackColor       =   "
                  "&H8000000F&\n            Height          =   350\n"
                  "            Left            =   5160\n            Locked          =   -1 "
                  " 'True\n"));
  // A numbered key is neither shown nor written on the add form.
  const std::string product = AddForm(model, "Product");
  EXPECT_FALSE(Has(product, "TB_productId"));
  EXPECT_FALSE(Has(product, "[productId]"));
}

// An employee who reports to nobody, hired on a date not known yet.
TEST_F(CompleteEntryFormsTest, NullsAreStoredAsNullAndShownEmpty) {
  const std::string add = AddForm(model, "Employee");
  EXPECT_TRUE(Has(add, "Begin MSComCtl2.DTPicker DTP_hireDate\n"));
  EXPECT_TRUE(Has(add.substr(add.find("DTP_hireDate\n")), "CheckBox        =   -1  'True\n"));
  EXPECT_FALSE(Has(add.substr(add.find("DTP_birthDate"), 400), "CheckBox"));
  const std::string load = Procedure(add, "Private Sub Form_Load()");
  EXPECT_TRUE(Has(load, "  Me.DTP_birthDate.Value = Date\n"));
  EXPECT_TRUE(Has(load, "  Me.DTP_hireDate.Value = Date\n  Me.DTP_hireDate.Value = Null\n"));
  EXPECT_FALSE(Has(load, "Me.DTP_birthDate.Value = Null"));
  // An optional reference starts with nothing chosen and may stay so.
  EXPECT_FALSE(Has(load, "Me.CB_reportsTo.ListIndex = 0"));
  const std::string save = Procedure(add, "Private Sub Btn_Add_Click()");
  EXPECT_FALSE(Has(save, "Me.CB_reportsTo.ListIndex < 0 Then\n    MsgBox"));
  EXPECT_TRUE(Has(save,
                  "  If Me.CB_reportsTo.ListIndex < 0 Then\n"
                  "    Call AddNullParameter(cmd, adInteger)\n  Else\n"
                  "    Call AddLongParameter(cmd, reportsTos(Me.CB_reportsTo.ListIndex + 1))\n"
                  "  End If\n"));
  EXPECT_TRUE(Has(save, "  Call AddPickedDateParameter(cmd, Me.DTP_hireDate.Value)\n"));
  // A required text may not be empty.
  EXPECT_TRUE(Has(save, "  If Trim$(Me.TB_lastName.Text) = \"\" Then\n    MsgBox \"请输入姓!\""));

  const std::string show = Procedure(EditForm(model, "Employee"), "Public Sub ShowRecord(");
  EXPECT_TRUE(Has(show,
                  "  If IsNull(rs.Fields(\"hireDate\").Value) Then\n"
                  "    Me.DTP_hireDate.Value = Null\n  Else\n"));
  EXPECT_TRUE(Has(show, "  Me.CB_reportsTo.ListIndex = -1\n"));
  EXPECT_FALSE(Has(show, "DTP_birthDate.Value = Null"));

  const std::string orders = AddForm(model, "Orders");
  EXPECT_TRUE(
      Has(orders, "  Call AddFixedNumberParameter(cmd, Me.TB_freight.Text, 19, 4, True)\n"));
  EXPECT_TRUE(Has(orders,
                  "  If Trim$(Me.TB_freight.Text) <> \"\" And Not NumberFits("
                  "Me.TB_freight.Text, 15, 4) Then\n"));
  EXPECT_TRUE(
      Has(orders, "  Call AddColumnTextParameter(cmd, Me.RTB_note.Text, False, 200, True)\n"));
  // Not optional: an empty entry is refused, never stored as NULL.
  EXPECT_TRUE(Has(orders,
                  "  Call AddColumnTextParameter(cmd, Me.TB_shipName.Text, False, 40, "
                  "False)\n"));
  const std::string showOrder = Procedure(EditForm(model, "Orders"), "Public Sub ShowRecord(");
  EXPECT_TRUE(Has(showOrder, "  Me.TB_freight.Text = FieldText(rs.Fields(\"freight\").Value)\n"));
}

// An employee cannot report to himself: the edit form lists the others only.
TEST_F(CompleteEntryFormsTest, SelfReferenceListsTheOtherRows) {
  const std::string add = AddForm(model, "Employee");
  EXPECT_TRUE(Has(add, "\"select [employeeId], [lastName] from [Employee] order by [lastName]\""));
  const std::string show = Procedure(EditForm(model, "Employee"), "Public Sub ShowRecord(");
  const std::string fill =
      "  statementText = \"select [employeeId], [lastName] from [Employee] where [employeeId] <> ? "
      "order by [lastName]\"\n  Set cmd = NewCommand(statementText)\n"
      "  Call AddLongParameter(cmd, key_employeeId)\n  Set rs = cmd.Execute\n"
      "  Me.CB_reportsTo.Clear\n";
  EXPECT_TRUE(Has(show, fill));
  // Refilled before the stored entry is chosen, so the choice is made in the shorter list.
  EXPECT_LT(show.find(fill), show.find("If reportsTos(i) = rs.Fields(\"reportsTo\").Value"));
  EXPECT_TRUE(Has(show, "  Dim entryNo As Long\n"));
  // The other classes' references keep the full list.
  EXPECT_FALSE(Has(Procedure(EditForm(model, "Orders"), "Public Sub ShowRecord("), "<> ?"));
}

// Text travels as its column holds it, sized to the column; lengths count what the column
// counts.
TEST_F(CompleteEntryFormsTest, TextParametersAndLengthsFollowTheColumnType) {
  const std::string product = Procedure(AddForm(model, "Product"), "Private Sub Btn_Add_Click()");
  EXPECT_TRUE(Has(product,
                  "  Call AddColumnTextParameter(cmd, Me.TB_productName.Text, True, 40, False)\n"));
  EXPECT_TRUE(Has(product,
                  "If Not TextFits(Me.TB_productName.Text, 40, False) Then\n"
                  "    MsgBox \"产品名称不能超过40个字符!\""));
  const std::string orders = Procedure(AddForm(model, "Orders"), "Private Sub Btn_Add_Click()");
  EXPECT_TRUE(Has(orders,
                  "If Not TextFits(Me.TB_shipName.Text, 40, True) Then\n"
                  "    MsgBox \"收货人不能超过40个字节（一个汉字占两个字节）!\""));
  const std::string region = Procedure(AddForm(model, "Region"), "Private Sub Btn_Add_Click()");
  EXPECT_TRUE(Has(region, "AddColumnTextParameter(cmd, Me.TB_regionName.Text, True, 50, False)"));
  for (const TClassModel& entry : model.Classes()) {
    for (const std::string& form :
         {AddForm(model, entry.className), EditForm(model, entry.className)}) {
      EXPECT_FALSE(Has(form, "AddStringParameter(cmd, Me.")) << entry.className;
      EXPECT_FALSE(Has(form, "Len(Me.")) << entry.className;
    }
  }
}

// The update writes what the user changed and nothing else; unchanged text that the text box
// could not show faithfully is never written back.
TEST_F(CompleteEntryFormsTest, UpdateWritesOnlyTheChangedColumns) {
  const std::string edit = EditForm(model, "Product");
  const std::string show = Procedure(edit, "Public Sub ShowRecord(");
  EXPECT_TRUE(Has(show,
                  "  shownValues(1) = Me.TB_productName.Text\n"
                  "  shownValues(2) = Me.TB_unitPrice.Text\n"
                  "  shownValues(3) = Me.TB_unitsInStock.Text\n"
                  "  shownValues(4) = Me.TB_reorderLevel.Text\n"
                  "  shownValues(5) = Me.CHB_discontinued.Value\n"));
  // What the controls show is read back after they are filled.
  EXPECT_LT(show.find("Me.TB_productName.Text = FieldText"), show.find("shownValues(1) ="));
  const std::string update = Procedure(edit, "Private Sub Btn_Update_Click()");
  EXPECT_TRUE(Has(update,
                  "  columnsSet = 0\n  statementText = \"update [Product] set\"\n"
                  "  If ValueChanged(Me.TB_productName.Text, shownValues(1)) Then\n"
                  "    statementText = statementText & \" [productName] = ?\"\n"
                  "    columnsSet = columnsSet + 1\n  End If\n"
                  "  If ValueChanged(Me.TB_unitPrice.Text, shownValues(2)) Then\n"
                  "    If columnsSet > 0 Then\n"
                  "      statementText = statementText & \",\"\n    End If\n"
                  "    statementText = statementText & \" [unitPrice] = ?\"\n"));
  EXPECT_TRUE(
      Has(update, "  If columnsSet = 0 Then\n    MsgBox \"产品没有修改任何内容，不需要保存。\""));
  // Nothing changed: no statement runs.
  EXPECT_LT(update.find("If columnsSet = 0 Then"), update.find("NewCommand"));
  EXPECT_TRUE(Has(update,
                  "  If ValueChanged(Me.CHB_discontinued.Value, shownValues(5)) Then\n"
                  "    Call AddYesNoParameter(cmd, Me.CHB_discontinued.Value)\n  End If\n"));
  // A value left as shown is not checked again.
  EXPECT_TRUE(Has(update,
                  "  If ValueChanged(Me.TB_unitPrice.Text, shownValues(2)) Then\n"
                  "    If Trim$(Me.TB_unitPrice.Text) <> \"\" And Not NumberFits("));
  // Every set piece is a fixed text; the count of markers equals the parameters each way.
  std::regex piece(R"re(statementText = statementText & "([^"]*)")re");
  for (std::sregex_iterator it(update.begin(), update.end(), piece), end; it != end; ++it) {
    EXPECT_TRUE(std::regex_match((*it)[1].str(),
                                 std::regex(R"re(( \[\w+\] = \?|,| where \[\w+\] = \?))re")))
        << (*it)[1];
  }
}

TEST_F(CompleteEntryFormsTest, NumbersGoAsTheServerHoldsThem) {
  const std::string add = AddForm(model, "Product");
  const std::string save = Procedure(add, "Private Sub Btn_Add_Click()");
  EXPECT_TRUE(
      Has(save, "  Call AddFixedNumberParameter(cmd, Me.TB_unitPrice.Text, 19, 4, True)\n"));
  EXPECT_TRUE(Has(save,
                  "  Call AddWholeNumberParameter(cmd, Me.TB_unitsInStock.Text, adSmallInt, "
                  "True)\n"));
  EXPECT_TRUE(Has(save,
                  "  Call AddWholeNumberParameter(cmd, Me.TB_reorderLevel.Text, "
                  "adUnsignedTinyInt, False)\n"));
  EXPECT_TRUE(Has(save,
                  "Not WholeNumberBetween(Me.TB_reorderLevel.Text, 0, 255) Then\n"
                  "    MsgBox \"再订购量应是0到255之间的整数!\""));
  EXPECT_TRUE(Has(save,
                  "  If Trim$(Me.TB_unitsInStock.Text) <> \"\" And Not "
                  "WholeNumberBetween(Me.TB_unitsInStock.Text, -32768, 32767) Then\n"));
  // bit is a yes/no box, never a number to type.
  EXPECT_TRUE(Has(add, "Begin VB.CheckBox CHB_discontinued\n"));
  EXPECT_FALSE(Has(add, "TB_discontinued"));
  EXPECT_TRUE(Has(save, "  Call AddYesNoParameter(cmd, Me.CHB_discontinued.Value)\n"));
  EXPECT_TRUE(Has(EditForm(model, "Product"),
                  "  Me.CHB_discontinued.Value = YesNoState(rs.Fields(\"discontinued\").Value)\n"));
  const std::string line = Procedure(AddForm(model, "OrderLine"), "Private Sub Btn_Add_Click()");
  EXPECT_TRUE(Has(line,
                  "Not NumberFits(Me.TB_discount.Text, 2, 2) Then\n"
                  "    MsgBox \"折扣应是数字：整数部分至多2位，小数部分至多2位!\""));
  EXPECT_TRUE(Has(line, "  Call AddFixedNumberParameter(cmd, Me.TB_discount.Text, 4, 2, False)\n"));
  EXPECT_FALSE(Has(line, "IsNumeric"));
}

// Lists show the key beside the display value, so rows of the same name can be told apart.
TEST_F(CompleteEntryFormsTest, ListsLabelEachEntryWithItsKey) {
  const std::string load = Procedure(AddForm(model, "OrderLine"), "Private Sub Form_Load()");
  EXPECT_TRUE(Has(load,
                  "    Me.CB_productId.AddItem EntryLabel(rs.Fields(0).Value, "
                  "rs.Fields(1).Value)\n"));
  const std::string module = ModMainUtf8();
  EXPECT_TRUE(Has(module, "EntryLabel = FieldText(keyValue) & \" – \" & FieldText(displayValue)"));
}

// A dropped connection or a missing table gives a message; nothing ends the program.
TEST_F(CompleteEntryFormsTest, LoadAndShowTrapTheirErrors) {
  for (const TClassModel& entry : model.Classes()) {
    const std::string add = AddForm(model, entry.className);
    const std::string edit = EditForm(model, entry.className);
    for (const std::string& load :
         {Procedure(add, "Private Sub Form_Load()"), Procedure(edit, "Private Sub Form_Load()")}) {
      ASSERT_TRUE(Has(load, "On Error GoTo LoadFailed\n")) << entry.className;
      EXPECT_LT(load.find("On Error GoTo LoadFailed"), load.find("Call condatabase"));
      EXPECT_TRUE(Has(load, "  Exit Sub\nLoadFailed:\n  MsgBox \"打开"));
    }
    const std::string show = Procedure(edit, "Public Sub ShowRecord(");
    ASSERT_TRUE(Has(show, "  On Error GoTo ShowFailed\n")) << entry.className;
    EXPECT_LT(show.find("On Error GoTo ShowFailed"), show.find("check_condatabase"));
    EXPECT_TRUE(Has(show, "ShowFailed:\n  MsgBox \"读取" + entry.friendName +
                              "失败：\" & "
                              "Err.Description"));
    for (const std::string& save : {Procedure(add, "Private Sub Btn_Add_Click()"),
                                    Procedure(edit, "Private Sub Btn_Update_Click()")}) {
      if (!Has(save, "NewCommand")) continue;  // nothing to store
      EXPECT_LT(save.find("On Error GoTo SaveFailed"), save.find("NewCommand")) << entry.className;
    }
  }
}

}  // namespace
}  // namespace vbgen::test
