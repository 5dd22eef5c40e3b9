// The manage form of a complete application: the designer section of the plain manage form with
// the grid's columns filled in and query controls that can be searched by, and the code that
// searches, lists, edits, deletes and exports.
//
// The query is one fixed statement: each condition reads "(? = 0 or ...)", its first marker a
// switch that is 1 only when the user set that condition, so no statement text depends on
// what was typed.
#include <algorithm>
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

// The pop-up menu of the grid. The items are named so that no name is a VB keyword. A class
// without a key is only listed: its rows cannot be told apart, so none is edited or deleted.
constexpr std::string_view kPopMenuHead = R"vb(   Begin VB.Menu popMenu
      Caption         =   "右键菜单"
      Visible         =   0   'False
)vb";

constexpr std::string_view kRecordMenuItems = R"vb(      Begin VB.Menu mnuEdit
         Caption         =   "编辑当前记录"
      End
      Begin VB.Menu mnuDelete
         Caption         =   "删除当前记录"
      End
)vb";

constexpr std::string_view kPopMenuEnd = R"vb(      Begin VB.Menu mnuExport
         Caption         =   "导出当前所有记录"
      End
   End
)vb";

// The save dialog of the export, placed on the form so that it comes with the project's licence
// (a dialog made at run time needs the development licence on the user's PC).
constexpr std::string_view kFileDialog = R"vb(   Begin MSComDlg.CommonDialog CommonDialog1
      Left            =   120
      Top             =   120
      _ExtentX        =   847
      _ExtentY        =   847
      _Version        =   393216
      CancelError     =   -1  'True
   End
)vb";

constexpr std::string_view kListVariable =
    R"vb(Dim listRs As ADODB.Recordset   '列表中显示的记录（已断开连接）
)vb";

constexpr std::string_view kTodayRange = R"vb(  Me.DTP_{memberName}.Value = Date
  Me.DTP_{memberName}To.Value = Date
)vb";

// A database error while the lists are filled is shown; the form stays open without them.
constexpr std::string_view kLoadStart = R"vb(
Private Sub Form_Load()
)vb";

constexpr std::string_view kLoadTrap = R"vb(  On Error GoTo LoadFailed
  Call condatabase '连接数据库
)vb";

// The list is read again whenever the form becomes the active window: when it opens, and when
// the user comes back to it after adding or editing a record; the row chosen before stays chosen.
constexpr std::string_view kLoadEndAndQuery = R"vb(  Exit Sub
LoadFailed:
  MsgBox "读取{friendName}的查询列表失败：" & Err.Description, vbExclamation, "错误提示"
End Sub

Private Sub Form_Activate()
  Call ReloadList
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

constexpr std::string_view kColumnHeadsEnd = R"vb(End Sub
)vb";

constexpr std::string_view kCurrentRecordCheck = R"vb(
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
)vb";

// A class without a key: reading again starts at the first row.
constexpr std::string_view kReloadWithoutKey = R"vb(
Private Sub ReloadList()
  Call LoadList
End Sub
)vb";

constexpr std::string_view kReloadHead = R"vb(
'重新读出列表，再按键值选中原来选中的那条记录（它已被删除时选中第一条）
Private Sub ReloadList()
)vb";

constexpr std::string_view kKeptKeyVariable = R"vb(  Dim keptKey{keyNo} As Variant
)vb";

constexpr std::string_view kReloadKeep = R"vb(  Dim hadRecord As Boolean
  hadRecord = False
  If Not listRs Is Nothing Then
    If listRs.State = adStateOpen Then
      If Not (listRs.BOF Or listRs.EOF) Then hadRecord = True
    End If
  End If
)vb";

constexpr std::string_view kKeepKey =
    R"vb(  If hadRecord Then keptKey{keyNo} = listRs.Fields("{keyColumn}").Value
)vb";

constexpr std::string_view kReloadFind = R"vb(  Call LoadList
  If Not hadRecord Then Exit Sub
  If listRs Is Nothing Then Exit Sub
  If listRs.State <> adStateOpen Then Exit Sub
  If listRs.BOF And listRs.EOF Then Exit Sub
  listRs.MoveFirst
  Do Until listRs.EOF
    If {keysMatch} Then Exit Sub
    listRs.MoveNext
  Loop
  listRs.MoveFirst
End Sub
)vb";

constexpr std::string_view kKeyMatch = R"vb(listRs.Fields("{keyColumn}").Value = keptKey{keyNo})vb";

// A right click chooses the row under the mouse; below the last row it does nothing.
constexpr std::string_view kMouseUpWithKey = R"vb(
Private Sub DataGrid1_MouseUp(Button As Integer, Shift As Integer, X As Single, Y As Single)
  Dim clickedRow As Long
  If Button <> vbRightButton Then Exit Sub
  clickedRow = DataGrid1.RowContaining(Y)
  If clickedRow < 0 Then Exit Sub
  DataGrid1.Row = clickedRow
  Me.PopupMenu popMenu
End Sub

Private Sub DataGrid1_DblClick()
  Call mnuEdit_Click
End Sub

'选中记录的说明：显示成员和键值，删除确认中用它指明是哪一条
Private Function CurrentRecordName() As String
  CurrentRecordName = {recordName}
End Function

'编辑当前记录：编辑窗体按键值读出这条记录
Private Sub mnuEdit_Click()
  If Not HasCurrentRecord() Then Exit Sub
  On Error GoTo EditFailed
  FrmEdit{className}.ShowRecord {keyArguments}
  Exit Sub
EditFailed:
  MsgBox "打开{friendName}失败：" & Err.Description, vbExclamation, "错误提示"
End Sub

'删除当前记录：先确认
Private Sub mnuDelete_Click()
)vb";

constexpr std::string_view kMouseUpWithoutKey = R"vb(
Private Sub DataGrid1_MouseUp(Button As Integer, Shift As Integer, X As Single, Y As Single)
  If Button = vbRightButton Then Me.PopupMenu popMenu
End Sub
)vb";

constexpr std::string_view kDeleteConfirm = R"vb(  If Not HasCurrentRecord() Then Exit Sub
  If MsgBox("确定要删除{friendName} " & CurrentRecordName() & " 吗？", vbYesNo + vbQuestion, "删除确认") <> vbYes Then
    Exit Sub
  End If
  On Error GoTo DeleteFailed
  Call check_condatabase
  Set cmd = NewCommand(statementText)
)vb";

constexpr std::string_view kKeyParameter =
    R"vb(  Call {addKey}(cmd, {keyConversion}(listRs.Fields("{keyColumn}").Value))
)vb";

// A row someone else deleted meanwhile is named, not reported as deleted.
constexpr std::string_view kDeleteEnd = R"vb(  Dim rowsDeleted As Long
  cmd.Execute rowsDeleted
  If rowsDeleted = 0 Then MsgBox "这条{friendName}已经不存在了!", vbExclamation, "错误提示"
  Call LoadList
  Exit Sub
DeleteFailed:
  MsgBox "删除{friendName}失败（可能还有其他记录引用它）：" & Err.Description, vbExclamation, "错误提示"
End Sub
)vb";

// The file is asked for through the form's own dialog; Cancel raises cdlCancel (CancelError is
// set in the designer), and nothing is written then.
constexpr std::string_view kExport = R"vb(
'导出列表中的全部记录到操作员选择的 CSV 文件
Private Sub mnuExport_Click()
  Const CANCELLED_BY_USER As Long = 32755   'cdlCancel
  Dim fileName As String
  Dim headingLine As String
  Dim columnNo As Long
  Dim rowCount As Long
  If listRs Is Nothing Then
    MsgBox "列表中没有可以导出的记录!", vbInformation, "信息提示"
    Exit Sub
  End If
  On Error GoTo NoFileChosen
  CommonDialog1.CancelError = True
  CommonDialog1.DialogTitle = "导出{friendName}"
  CommonDialog1.Filter = "CSV 文件 (*.csv)|*.csv|所有文件 (*.*)|*.*"
  CommonDialog1.FilterIndex = 1
  CommonDialog1.DefaultExt = "csv"
  CommonDialog1.FileName = "{friendName}.csv"
  CommonDialog1.Flags = &H2 Or &H4 Or &H800    '覆盖前提示，隐藏只读选项，路径必须存在
  CommonDialog1.ShowSave
  fileName = CommonDialog1.FileName
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
NoFileChosen:
  If Err.Number = CANCELLED_BY_USER Then Exit Sub
  MsgBox "无法打开保存文件的对话框：" & Err.Description, vbExclamation, "错误提示"
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

// A member of the class's key, in key order: the column the edit and delete commands read and
// whether it holds whole numbers (an integer, or a reference to a class with an integer key).
struct TListKey {
  std::string column;
  std::string caption;
  bool integer = false;
};

std::vector<TListKey> ListKeys(const TFormClass& form, const TClassModel& entry) {
  std::vector<TListKey> keys;
  for (const TMember& member : entry.members) {
    if (member.memberIsPri != 1) continue;
    const bool integer = member.memberIsInteger == 1 ||
                         (member.IsReference() && ReferenceOf(form, member).refKeyIsInteger);
    keys.push_back({member.memberName,
                    member.memberComment.empty() ? member.memberName : member.memberComment,
                    integer});
  }
  return keys;
}

// The grid's columns: the key members first (the edit and delete commands read them), then
// every member shown in the grid but pictures. A reference shows the referenced class's display
// member. A class without a key that shows nothing in its grid lists every member but pictures.
struct TListColumn {
  TGridColumn grid;
  std::string selectItem;
  std::string joinPiece;  // empty for a member of the class itself
};

std::vector<TListColumn> ListColumns(const TFormClass& form, const std::vector<TListKey>& keys) {
  std::vector<TListColumn> columns;
  for (const TListKey& key : keys) {
    columns.push_back({{key.column, key.caption}, "t." + SqlName(key.column), ""});
  }
  const bool showAll =
      std::none_of(form.nonKeyMembers.begin(), form.nonKeyMembers.end(),
                   [](const TMember& m) {
                     return m.memberQueryDisplay == 1 && m.memberType != kTypePicture;
                   }) &&
      keys.empty();
  int joinNo = 0;
  for (const TMember& member : form.nonKeyMembers) {
    if ((member.memberQueryDisplay != 1 && !showAll) || member.memberType == kTypePicture) continue;
    const std::string name = SqlName(member.memberName);
    TListColumn column{{member.memberName, member.memberComment}, "t." + name, ""};
    if (member.IsReference()) {
      const TFormReference& reference = ReferenceOf(form, member);
      const std::string alias = "r" + std::to_string(++joinNo);
      column.selectItem = alias + "." + SqlName(reference.refDisplayName) + " as " + name;
      column.joinPiece = " left join " + SqlName(member.memberType) + " " + alias + " on " + alias +
                         "." + SqlName(reference.refKeyName) + " = t." + name;
    }
    columns.push_back(column);
  }
  if (columns.empty())
    throw TManageFormError("类" + form.className + "没有主键, 也没有可以列出的成员!");
  return columns;
}

// The designer section: the plain form's pieces, the columns filled in, the query controls of
// a complete application and its pop-up menu.
std::string Designer(const TFormClass& form, const TMemberList& search,
                     const std::vector<TListColumn>& columns, bool withKey) {
  std::vector<TGridColumn> grid;
  for (const TListColumn& column : columns) grid.push_back(column.grid);
  std::string text = ManageFormTop(form.className, form.friendName, static_cast<int>(search.size()),
                                   grid, TManageFormHead::WithFileDialog);
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
  text += kFileDialog;
  text += kPopMenuHead;
  if (withKey) text += kRecordMenuItems;
  text += kPopMenuEnd;
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
  std::string text(kLoadStart);
  text += ReferenceFillVariables(searched.references);
  text += kLoadTrap;
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
// Rows in key order; a class without a key in the order of its first listed column.
std::string OrderBy(const std::vector<TListKey>& keys, const std::vector<TListColumn>& columns) {
  std::string order = " order by ";
  if (keys.empty()) return order + "t." + SqlName(columns.front().grid.dataField);
  for (std::size_t i = 0; i < keys.size(); ++i)
    order += (i == 0 ? "t." : ", t.") + SqlName(keys[i].column);
  return order;
}

std::string ListQuery(const TFormClass& form, const TFormClass& code, const TMemberList& search,
                      const TMemberList& codeSearch, const std::vector<TListKey>& keys,
                      const std::vector<TListColumn>& columns) {
  std::string text = StatementVariables();
  for (const TMember& member : codeSearch) {
    const auto vars = {TVar{"memberName", member.memberName},
                       TVar{"memberComment", member.memberComment}};
    if (member.memberType == kTypeInteger) FillInto(text, kWholeNumberCondition, vars);
    if (member.memberType == kTypeFloat) FillInto(text, kDecimalNumberCondition, vars);
  }
  text += kTrapQueryErrors;
  std::vector<std::string> pieces;
  for (std::size_t i = 0; i < columns.size(); ++i)
    pieces.push_back((i == 0 ? "select " : ", ") + columns[i].selectItem);
  pieces.push_back(" from " + SqlName(form.className) + " t");
  for (const TListColumn& column : columns) {
    if (!column.joinPiece.empty()) pieces.push_back(column.joinPiece);
  }
  pieces.push_back(" where 1 = 1");
  for (const TMember& member : search) pieces.push_back(ConditionPiece(member));
  pieces.push_back(OrderBy(keys, columns));
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

// The row's description in the delete prompt: its display value where the list holds it and it
// is not a key member, then its key values with their captions.
std::string RecordName(const TClassModel& entry, const std::vector<TListKey>& keys,
                       const std::vector<TListColumn>& columns) {
  std::string text;
  const TMember* display = entry.DisplayMember();
  if (display && display->memberIsPri != 1) {  // a key shows among the key values
    for (const TListColumn& column : columns) {
      if (column.grid.dataField != display->memberName) continue;
      text = "\"“\" & FieldText(listRs.Fields(\"" + column.grid.dataField + "\").Value) & \"”";
      break;
    }
  }
  text += text.empty() ? "\"（" : "（";
  for (std::size_t i = 0; i < keys.size(); ++i) {
    text += (i == 0 ? "" : "，") + keys[i].caption + "：\" & FieldText(listRs.Fields(\"" +
            keys[i].column + "\").Value) & \"";
  }
  return text + "）\"";
}

std::string KeyArguments(const std::vector<TListKey>& keys) {
  std::string text;
  for (const TListKey& key : keys) {
    text += (text.empty() ? "" : ", ") + std::string(KeyConversion(key.integer)) +
            "(listRs.Fields(\"" + key.column + "\").Value)";
  }
  return text;
}

std::string ReloadList(const std::vector<TListKey>& keys) {
  if (keys.empty()) return std::string(kReloadWithoutKey);
  std::string text(kReloadHead);
  std::string match;
  for (std::size_t i = 0; i < keys.size(); ++i) {
    const std::string keyNo = std::to_string(i + 1);
    FillInto(text, kKeptKeyVariable, {{"keyNo", keyNo}});
    match += (i == 0 ? "" : " And ") +
             Fill(kKeyMatch, {{"keyColumn", keys[i].column}, {"keyNo", keyNo}});
  }
  text += kReloadKeep;
  for (std::size_t i = 0; i < keys.size(); ++i) {
    FillInto(text, kKeepKey, {{"keyColumn", keys[i].column}, {"keyNo", std::to_string(i + 1)}});
  }
  FillInto(text, kReloadFind, {{"keysMatch", match}});
  return text;
}

// Edit and delete find the row by every key member, in key order.
std::string RecordCommands(const TFormClass& form, const TClassModel& entry,
                           const std::vector<TListKey>& keys,
                           const std::vector<TListColumn>& columns) {
  std::string text(kColumnHeadsEnd);
  if (!keys.empty()) FillInto(text, kCurrentRecordCheck, {{"friendName", form.friendName}});
  text += ReloadList(keys);
  if (keys.empty()) {
    text += kMouseUpWithoutKey;
    FillInto(text, kExport, {{"friendName", form.friendName}});
    return text;
  }
  FillInto(text, kMouseUpWithKey,
           {{"recordName", RecordName(entry, keys, columns)},
            {"className", form.className},
            {"keyArguments", KeyArguments(keys)},
            {"friendName", form.friendName}});
  text += StatementVariables();
  std::string condition;
  for (const TListKey& key : keys)
    condition += (condition.empty() ? " where " : " and ") + SqlName(key.column) + " = ?";
  text += StatementLines({"delete from " + SqlName(form.className) + condition});
  FillInto(text, kDeleteConfirm, {{"friendName", form.friendName}});
  for (const TListKey& key : keys) {
    FillInto(text, kKeyParameter,
             {{"addKey", KeyParameterCall(key.integer)},
              {"keyConversion", KeyConversion(key.integer)},
              {"keyColumn", key.column}});
  }
  FillInto(text, kDeleteEnd, {{"friendName", form.friendName}});
  FillInto(text, kExport, {{"friendName", form.friendName}});
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
  const std::vector<TListKey> keys = ListKeys(form, entry);
  const std::vector<TListColumn> columns = ListColumns(form, keys);
  std::string text = Designer(code, codeSearch, columns, !keys.empty());
  const TFormClass searched = SearchedForm(code, codeSearch);
  text += QueryDeclarations(searched);
  text += LoadHandler(searched, codeSearch);
  text += ListQuery(form, code, search, codeSearch, keys, columns);
  text += RecordCommands(form, entry, keys, columns);
  return text;
}

void GenerateCompleteManageFormFiles(TGenContext& context, const TModelSnapshot& model) {
  // A class without a key has a manage form too: it lists and searches.
  for (const TClassModel& entry : model.Classes()) {
    const TFormClass form = MakeFormClass(model, entry, TKeyNeed::Optional);
    WriteGeneratedForm(context, "FrmManage" + entry.className + ".frm",
                       BuildCompleteManageForm(form, entry));
  }
}

}  // namespace vbgen
