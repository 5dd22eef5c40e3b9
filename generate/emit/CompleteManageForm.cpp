// The manage form of a complete application: the designer section of the plain manage form with
// the grid's columns filled in and query controls that can be searched by, and the code that
// searches, lists, edits, deletes and exports.
//
// The query is one fixed statement: each condition reads "(? = 0 or ...)", its first marker a
// switch that is 1 only when the user set that condition, so no statement text depends on
// what was typed.
#include <stdexcept>

#include "generate/emit/CompleteForms.h"
#include "generate/emit/CompleteParts.h"
#include "generate/emit/EntryFormParts.h"
#include "generate/emit/ManageForm.h"
#include "generate/emit/TextTemplate.h"

namespace vbgen {
namespace {

// A reference is searched by an entry chosen from the list; nothing can be typed into it.
constexpr std::string_view kReferenceList = R"vb(      Begin VB.ComboBox CB_{memberName}
         Height          =   300
         Left            =   {inputLeft}
         Style           =   2  'Dropdown List
         TabIndex        =   {tabIndex1}
         Top             =   {inputTop}
         Width           =   1935
      End
)vb";

// The pop-up menu of the grid. The items are named so that no name is a VB keyword.
constexpr std::string_view kPopMenu = R"vb(   Begin VB.Menu popMenu
      Caption         =   "右键菜单"
      Visible         =   0   'False
      Begin VB.Menu mnuEdit
         Caption         =   "编辑当前记录"
      End
      Begin VB.Menu mnuDelete
         Caption         =   "删除当前记录"
      End
      Begin VB.Menu mnuExport
         Caption         =   "导出当前所有记录"
      End
   End
)vb";

constexpr std::string_view kListVariable =
    R"vb(Dim listRs As ADODB.Recordset   '列表中显示的记录（已断开连接）
)vb";

constexpr std::string_view kTodayRange = R"vb(  Me.DTP_{memberName}.Value = Date
  Me.DTP_{memberName}To.Value = Date
)vb";

// The list is read whenever the form becomes the active window: when it opens, and when the
// user comes back to it after adding or editing a record.
constexpr std::string_view kLoadEndAndQuery = R"vb(End Sub

Private Sub Form_Activate()
  Call LoadList
End Sub

Private Sub Btn_Query_Click()
  Call LoadList
End Sub

'按查询条件读出{friendName}，显示在列表中
Private Sub LoadList()
)vb";

constexpr std::string_view kWholeNumberCondition =
    R"vb(  If Me.TB_{memberName}.Text <> "" And Not IsWholeNumber(Me.TB_{memberName}.Text) Then
    MsgBox "{memberComment}输入格式不正确!", vbInformation, "信息提示"
    Me.TB_{memberName}.SetFocus
    Exit Sub
  End If
)vb";

constexpr std::string_view kDecimalNumberCondition =
    R"vb(  If Me.TB_{memberName}.Text <> "" And Not IsDecimalNumber(Me.TB_{memberName}.Text) Then
    MsgBox "{memberComment}输入格式不正确！", vbInformation, "信息提示"
    Me.TB_{memberName}.SetFocus
    Exit Sub
  End If
)vb";

constexpr std::string_view kTrapQueryErrors = R"vb(  On Error GoTo QueryFailed
  Call check_condatabase
)vb";

constexpr std::string_view kContainsParameters =
    R"vb(  Call AddSwitchParameter(cmd, Me.TB_{memberName}.Text <> "")
  Call AddStringParameter(cmd, ContainsPattern(Me.TB_{memberName}.Text))
)vb";

constexpr std::string_view kWholeNumberParameters =
    R"vb(  Call AddSwitchParameter(cmd, Me.TB_{memberName}.Text <> "")
  Call AddLongParameter(cmd, CLng(NumberOrZero(Me.TB_{memberName}.Text)))
)vb";

constexpr std::string_view kDecimalNumberParameters =
    R"vb(  Call AddSwitchParameter(cmd, Me.TB_{memberName}.Text <> "")
  Call AddDoubleParameter(cmd, NumberOrZero(Me.TB_{memberName}.Text))
)vb";

// The upper bound is the day after the second picker's day, so that day is included.
constexpr std::string_view kDateRangeParameters =
    R"vb(  Call AddSwitchParameter(cmd, Me.CHB_{memberName}.Value = vbChecked)
  Call AddDateParameter(cmd, DateValue(Me.DTP_{memberName}.Value))
  Call AddDateParameter(cmd, DateValue(Me.DTP_{memberName}To.Value) + 1)
)vb";

// Entry 0 is "(全部)": no condition. Key position i belongs to entry i.
constexpr std::string_view kChosenEntryParameters = R"vb(  If Me.CB_{memberName}.ListIndex > 0 Then
    Call AddSwitchParameter(cmd, True)
    Call {addKey}(cmd, {memberName}s(Me.CB_{memberName}.ListIndex))
  Else
    Call AddSwitchParameter(cmd, False)
    Call {addKey}(cmd, {noKey})
  End If
)vb";

// A client-side copy, cut off from the connection, so that the grid keeps its rows whatever
// another form does with the connection.
constexpr std::string_view kShowList = R"vb(  Set listRs = New ADODB.Recordset
  listRs.CursorLocation = adUseClient
  listRs.Open cmd, , adOpenStatic, adLockReadOnly
  Set listRs.ActiveConnection = Nothing
  Set DataGrid1.DataSource = listRs
  Call ShowColumnHeads
  Exit Sub
QueryFailed:
  MsgBox "查询{friendName}失败：" & Err.Description, vbExclamation, "错误提示"
End Sub

'列表的标题：各列成员的说明
Private Sub ShowColumnHeads()
)vb";

constexpr std::string_view kColumnHead =
    R"vb(  DataGrid1.Columns({columnIndex}).Caption = "{caption}"
)vb";

constexpr std::string_view kRecordCommands = R"vb(End Sub

'列表中是否选中了一条记录；没有时提示
Private Function HasCurrentRecord() As Boolean
  HasCurrentRecord = False
  If listRs Is Nothing Then Exit Function
  If listRs.State <> adStateOpen Then Exit Function
  If listRs.BOF Or listRs.EOF Then
    MsgBox "请先在列表中选中要操作的{friendName}!", vbInformation, "信息提示"
    Exit Function
  End If
  HasCurrentRecord = True
End Function

Private Sub DataGrid1_MouseUp(Button As Integer, Shift As Integer, X As Single, Y As Single)
  Dim clickedRow As Long
  If Button = vbRightButton Then
    clickedRow = DataGrid1.RowContaining(Y)
    If clickedRow >= 0 Then DataGrid1.Row = clickedRow   '右键也选中所点的记录
    Me.PopupMenu popMenu
  End If
End Sub

Private Sub DataGrid1_DblClick()
  Call mnuEdit_Click
End Sub

'编辑当前记录：编辑窗体按键值读出这条记录
Private Sub mnuEdit_Click()
  If Not HasCurrentRecord() Then Exit Sub
  FrmEdit{className}.ShowRecord {keyConversion}(listRs.Fields("{keyName}").Value)
End Sub

'删除当前记录：先确认
Private Sub mnuDelete_Click()
)vb";

constexpr std::string_view kDeleteRecord = R"vb(  If Not HasCurrentRecord() Then Exit Sub
  If MsgBox("确定要删除选中的{friendName}吗？", vbYesNo + vbQuestion, "删除确认") <> vbYes Then
    Exit Sub
  End If
  On Error GoTo DeleteFailed
  Call check_condatabase
  Set cmd = NewCommand(statementText)
  Call {addKey}(cmd, {keyConversion}(listRs.Fields("{keyName}").Value))
  cmd.Execute
  Call LoadList
  Exit Sub
DeleteFailed:
  MsgBox "删除{friendName}失败（可能还有其他记录引用它）：" & Err.Description, vbExclamation, "错误提示"
End Sub

'导出列表中的全部记录到操作员选择的 CSV 文件
Private Sub mnuExport_Click()
  Dim fileName As String
  Dim headingLine As String
  Dim columnNo As Long
  Dim rowCount As Long
  If listRs Is Nothing Then
    MsgBox "列表中没有可以导出的记录!", vbInformation, "信息提示"
    Exit Sub
  End If
  fileName = AskSaveFileName("导出{friendName}", "{friendName}.csv")
  If fileName = "" Then Exit Sub
  On Error GoTo ExportFailed
  headingLine = ""
  For columnNo = 0 To DataGrid1.Columns.Count - 1
    If columnNo > 0 Then headingLine = headingLine & ","
    headingLine = headingLine & CsvField(DataGrid1.Columns(columnNo).Caption)
  Next columnNo
  rowCount = ExportRecordset(listRs, headingLine, fileName)
  MsgBox "已把 " & rowCount & " 条{friendName}导出到 " & fileName, vbInformation, "导出完成"
  Exit Sub
ExportFailed:
  MsgBox "导出{friendName}失败：" & Err.Description, vbExclamation, "错误提示"
End Sub
)vb";

// What the query frame holds: every query member but pictures, which cannot be searched by.
TMemberList SearchMembers(const TClassModel& entry) {
  TMemberList members;
  for (const TMember& member : entry.QueryMembers()) {
    if (member.memberType != kTypePicture) members.push_back(member);
  }
  return members;
}

// The grid's columns: the key first (the edit and delete commands read it), then every member
// shown in the grid but pictures. A reference shows the referenced class's display member.
struct TListColumn {
  TGridColumn grid;
  std::string selectPiece;
  std::string joinPiece;  // empty for a member of the class itself
};

std::vector<TListColumn> ListColumns(const TFormClass& form) {
  const std::string& keyName = form.key.memberName;
  std::vector<TListColumn> columns = {
      {{keyName, form.key.memberComment}, "select t." + SqlName(keyName), ""}};
  int joinNo = 0;
  for (const TMember& member : form.nonKeyMembers) {
    if (member.memberQueryDisplay != 1 || member.memberType == kTypePicture) continue;
    const std::string name = SqlName(member.memberName);
    TListColumn column{{member.memberName, member.memberComment}, ", t." + name, ""};
    if (member.IsReference()) {
      const TFormReference& reference = ReferenceOf(form, member);
      const std::string alias = "r" + std::to_string(++joinNo);
      column.selectPiece = ", " + alias + "." + SqlName(reference.refDisplayName) + " as " + name;
      column.joinPiece = " left join " + SqlName(member.memberType) + " " + alias + " on " + alias +
                         "." + SqlName(reference.refKeyName) + " = t." + name;
    }
    columns.push_back(column);
  }
  return columns;
}

// The designer section: the plain form's pieces, the columns filled in, the query controls of
// a complete application and its pop-up menu.
std::string Designer(const TFormClass& form, const TMemberList& search,
                     const std::vector<TListColumn>& columns) {
  std::vector<TGridColumn> grid;
  for (const TListColumn& column : columns) grid.push_back(column.grid);
  std::string text =
      ManageFormTop(form.className, form.friendName, static_cast<int>(search.size()), grid);
  int tab = 1;
  for (std::size_t position = 0; position < search.size(); ++position) {
    const TMember& member = search[position];
    const TQueryCell cell = QueryCellAt(static_cast<int>(position), tab);
    text += QueryLabel(member, cell);
    if (member.memberType == kTypeDate) {
      // From the first picker's day to the second's, both included; the two pickers share the
      // label's cell, one above the other.
      text += QueryDatePicker(member.memberName, cell, cell.tab + 1, cell.top - 180);
      text += QueryDatePicker(member.memberName + "To", cell, cell.tab + 2, cell.top + 90);
      text += QueryEnableBox(member.memberName, cell, cell.tab + 3);
      tab += 4;
    } else if (member.IsReference()) {
      FillInto(text, kReferenceList,
               {{"memberName", member.memberName},
                {"inputLeft", std::to_string(cell.left + 840)},
                {"tabIndex1", std::to_string(cell.tab + 1)},
                {"inputTop", std::to_string(cell.top)}});
      tab += 2;
    } else {
      // Strings, whole and decimal numbers are typed in.
      text += QueryTextBox(member, cell);
      tab += 2;
    }
  }
  text += QueryButtonAndFrameEnd(tab);
  text += kPopMenu;
  text += ManageFormEnd(form.className);
  return text;
}

// The form as its query frame sees it: the references among the query members, no pictures.
TFormClass SearchedForm(const TFormClass& form, const TMemberList& search) {
  TFormClass searched = form;
  searched.references.clear();
  searched.pictures.clear();
  for (const TMember& member : search) {
    if (member.IsReference()) searched.references.push_back(ReferenceOf(form, member));
  }
  return searched;
}

std::string QueryDeclarations(const TFormClass& searched) {
  std::string text = CompleteModuleDeclarations(searched);  // the key arrays of the query lists
  text += kListVariable;
  return text;
}

std::string LoadHandler(const TFormClass& searched, const TMemberList& search) {
  std::string text = LoadHandlerStart(searched);
  text += ReferenceFillVariables(searched.references);
  for (const TMember& member : search) {
    if (member.memberType == kTypeDate)
      FillInto(text, kTodayRange, {{"memberName", member.memberName}});
  }
  for (const TFormReference& reference : searched.references) {
    text += ReferenceListFill(reference, true, true);
  }
  FillInto(text, kLoadEndAndQuery, {{"friendName", searched.friendName}});
  return text;
}

std::string ConditionPiece(const TMember& member) {
  const std::string column = "t." + SqlName(member.memberName);
  if (member.memberType == kTypeString) return " and (? = 0 or " + column + " like ?)";
  if (member.memberType == kTypeDate)
    return " and (? = 0 or (" + column + " >= ? and " + column + " < ?))";
  return " and (? = 0 or " + column + " = ?)";
}

std::string ConditionParameters(const TFormClass& form, const TMember& member) {
  if (member.memberType == kTypeString)
    return Fill(kContainsParameters, {{"memberName", member.memberName}});
  if (member.memberType == kTypeDate)
    return Fill(kDateRangeParameters, {{"memberName", member.memberName}});
  if (member.memberType == kTypeInteger)
    return Fill(kWholeNumberParameters, {{"memberName", member.memberName}});
  if (member.memberType == kTypeFloat)
    return Fill(kDecimalNumberParameters, {{"memberName", member.memberName}});
  const TFormReference& reference = ReferenceOf(form, member);
  return Fill(kChosenEntryParameters, {{"memberName", member.memberName},
                                       {"addKey", KeyParameterCall(reference.refKeyIsInteger)},
                                       {"noKey", reference.refKeyIsInteger ? "0" : "\"\""}});
}

// The statement is made of the class's form and its search members, the code of the code
// form's (TCodeForm), which stand in the same order.
std::string ListQuery(const TFormClass& form, const TFormClass& code, const TMemberList& search,
                      const TMemberList& codeSearch, const std::vector<TListColumn>& columns) {
  std::string text = StatementVariables();
  for (const TMember& member : codeSearch) {
    const auto vars = {TVar{"memberName", member.memberName},
                       TVar{"memberComment", member.memberComment}};
    if (member.memberType == kTypeInteger) FillInto(text, kWholeNumberCondition, vars);
    if (member.memberType == kTypeFloat) FillInto(text, kDecimalNumberCondition, vars);
  }
  text += kTrapQueryErrors;
  std::vector<std::string> pieces;
  for (const TListColumn& column : columns) pieces.push_back(column.selectPiece);
  pieces.push_back(" from " + SqlName(form.className) + " t");
  for (const TListColumn& column : columns) {
    if (!column.joinPiece.empty()) pieces.push_back(column.joinPiece);
  }
  pieces.push_back(" where 1 = 1");
  for (const TMember& member : search) pieces.push_back(ConditionPiece(member));
  pieces.push_back(" order by t." + SqlName(form.key.memberName));
  text += StatementLines(pieces);
  text += NewCommandLine();
  for (const TMember& member : codeSearch) text += ConditionParameters(code, member);
  FillInto(text, kShowList, {{"friendName", form.friendName}});
  for (std::size_t i = 0; i < columns.size(); ++i) {
    FillInto(text, kColumnHead,
             {{"columnIndex", std::to_string(i)}, {"caption", columns[i].grid.caption}});
  }
  return text;
}

std::string RecordCommands(const TFormClass& form) {
  const bool integerKey = form.HasIntegerKey();
  const std::string& keyName = form.key.memberName;
  const std::string_view conversion = KeyConversion(integerKey);
  std::string text = Fill(kRecordCommands, {{"friendName", form.friendName},
                                            {"className", form.className},
                                            {"keyConversion", conversion},
                                            {"keyName", keyName}});
  text += StatementVariables();
  text += StatementLines(
      {"delete from " + SqlName(form.className) + " where " + SqlName(keyName) + " = ?"});
  FillInto(text, kDeleteRecord,
           {{"friendName", form.friendName},
            {"addKey", KeyParameterCall(integerKey)},
            {"keyConversion", conversion},
            {"keyName", keyName}});
  return text;
}

}  // namespace

std::string BuildCompleteManageForm(const TFormClass& form, const TClassModel& entry) {
  const TMemberList search = SearchMembers(entry);
  RequireRoomForQueryMembers(form.className, search.size());
  const TCodeForm named(form);
  const TFormClass& code = named.Form();
  TMemberList codeSearch;
  for (const TMember& member : search) codeSearch.push_back(named.Renamed(member));
  const std::vector<TListColumn> columns = ListColumns(form);
  std::string text = Designer(code, codeSearch, columns);
  const TFormClass searched = SearchedForm(code, codeSearch);
  text += QueryDeclarations(searched);
  text += LoadHandler(searched, codeSearch);
  text += ListQuery(form, code, search, codeSearch, columns);
  text += RecordCommands(form);
  return text;
}

void GenerateCompleteManageFormFiles(TGenContext& context, const TModelSnapshot& model) {
  WriteFormPerClass(context, model, "FrmManage", BuildCompleteManageForm);
}

}  // namespace vbgen
