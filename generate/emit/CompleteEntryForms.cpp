// The add and edit forms of a complete application. The designer sections, the picture
// handlers and the placeholder pictures are those of the plain forms; what stores and reads
// rows is written here.
#include <stdexcept>

#include "generate/emit/CompleteForms.h"
#include "generate/emit/CompleteParts.h"
#include "generate/emit/EntryFormParts.h"
#include "generate/emit/TextTemplate.h"

namespace vbgen {
namespace {

constexpr std::string_view kAddHandlerStart = R"vb(
Private Sub Btn_Add_Click()
)vb";

constexpr std::string_view kRecordsetVariable = R"vb(  Dim rs As ADODB.Recordset
)vb";

constexpr std::string_view kTrapSaveErrors = R"vb(  On Error GoTo SaveFailed
  Call check_condatabase
)vb";

constexpr std::string_view kKeyUniqueCheck = R"vb(  Set cmd = NewCommand(statementText)
  Call AddStringParameter(cmd, Me.TB_{keyName}.Text)
  Set rs = cmd.Execute
  If rs.Fields(0).Value > 0 Then
    rs.Close
    MsgBox "对不起，此{friendName}{keyComment}的信息系统已经存在了！"
    Me.TB_{keyName}.SetFocus
    Exit Sub
  End If
  rs.Close
)vb";

constexpr std::string_view kAddTextKeyParameter =
    R"vb(  Call AddStringParameter(cmd, Me.TB_{keyName}.Text)
)vb";

constexpr std::string_view kInsertDone = R"vb(  cmd.Execute
  MsgBox "{friendName}添加成功!"
  Unload Me
)vb";

// ---- Edit form

constexpr std::string_view kEditKeyVariable = R"vb(Dim editKey As {keyType}
)vb";

constexpr std::string_view kUpdateHandlerStart = R"vb(
Private Sub Btn_Update_Click()
)vb";

constexpr std::string_view kRowsChangedVariable = R"vb(  Dim rowsChanged As Long
)vb";

// The row is named by the key the form was opened on, not by anything typed.
constexpr std::string_view kUpdateDone = R"vb(  Call {addKey}(cmd, editKey)
  cmd.Execute rowsChanged
  If rowsChanged = 0 Then
    MsgBox "这条{friendName}已经不存在了!", vbExclamation, "错误提示"
  Else
    MsgBox "{friendName}更新成功!"
  End If
  Unload Me
)vb";

// A class whose only member is its key has nothing an edit could change.
constexpr std::string_view kNothingToUpdate = R"vb(
Private Sub Btn_Update_Click()
  MsgBox "{friendName}没有可以修改的内容!", vbInformation, "信息提示"
  Unload Me
End Sub
)vb";

constexpr std::string_view kShowRecordStart = R"vb(
'显示键值为 recordKey 的{friendName}：读出记录，填入各控件，再显示窗体
Public Sub ShowRecord(ByVal recordKey As {keyType})
  Dim rs As ADODB.Recordset
  Dim i As Long
)vb";

constexpr std::string_view kReadRecord = R"vb(  editKey = recordKey
  Call check_condatabase
  Set cmd = NewCommand(statementText)
  Call {addKey}(cmd, recordKey)
  Set rs = cmd.Execute
  If rs.EOF Then
    rs.Close
    MsgBox "这条{friendName}已经不存在了!", vbExclamation, "错误提示"
    Unload Me
    Exit Sub
  End If
  Me.TB_{keyName}.Text = FieldText(rs.Fields("{keyColumn}").Value)
)vb";

constexpr std::string_view kShowInTextBox =
    R"vb(  Me.TB_{memberName}.Text = FieldText(rs.Fields("{columnName}").Value)
)vb";

constexpr std::string_view kShowInRichTextBox =
    R"vb(  Me.RTB_{memberName}.Text = FieldText(rs.Fields("{columnName}").Value)
)vb";

constexpr std::string_view kShowDate = R"vb(  If Not IsNull(rs.Fields("{columnName}").Value) Then
    Me.DTP_{memberName}.Value = rs.Fields("{columnName}").Value
  End If
)vb";

// A stored picture is shown through a temporary file, since LoadPicture reads only files; the
// stream keeps it, so an update without a new choice stores it again. No stored picture leaves
// the stream empty and the placeholder shown.
constexpr std::string_view kShowPicture = R"vb(  Set {memberName}Stream = New ADODB.Stream
  {memberName}Stream.Type = adTypeBinary
  {memberName}Stream.Open
  If Not IsNull(rs.Fields("{columnName}").Value) Then
    {memberName}Stream.Write rs.Fields("{columnName}").Value
    {memberName}Stream.SaveToFile App.Path & "\Tmp\{memberName}.photo", adSaveCreateOverWrite
    Me.Image_{memberName}.Picture = LoadPicture(App.Path & "\Tmp\{memberName}.photo")
  End If
)vb";

// Selects the entry whose key equals the stored value; none when nothing matches.
constexpr std::string_view kSelectStoredEntry = R"vb(  Me.CB_{memberName}.ListIndex = -1
  If Not IsNull(rs.Fields("{columnName}").Value) Then
    For i = 1 To UBound({memberName}s)
      If {memberName}s(i) = rs.Fields("{columnName}").Value Then
        Me.CB_{memberName}.ListIndex = i - 1
        Exit For
      End If
    Next i
  End If
)vb";

constexpr std::string_view kShowRecordEnd = R"vb(  rs.Close
  Me.Show
  Me.ZOrder 0
End Sub
)vb";

// The statements are made of the class's form, the code of its code form (TCodeForm).
std::string AddHandler(const TFormClass& form, const TFormClass& code) {
  const bool textKey = !form.HasIntegerKey();
  const std::string& keyName = code.key.memberName;
  const std::string& keyColumn = form.key.memberName;
  const std::string table = SqlName(form.className);
  std::string text(kAddHandlerStart);
  text += StatementVariables();
  if (textKey) {
    text += kRecordsetVariable;
    text += KeyEmptyCheck(code);
  }
  text += InputChecks(code, textKey);
  text += kTrapSaveErrors;
  if (textKey) {
    text +=
        StatementLines({"select count(*) from " + table + " where " + SqlName(keyColumn) + " = ?"});
    FillInto(text, kKeyUniqueCheck,
             {{"keyName", keyName},
              {"friendName", form.friendName},
              {"keyComment", form.key.memberComment}});
  }
  std::vector<std::string> columns = StoredColumns(form);
  if (textKey) columns.insert(columns.begin(), SqlName(keyColumn));
  if (columns.empty()) {
    text += StatementLines({"insert into " + table + " default values"});
  } else {
    std::vector<std::string> pieces = {"insert into " + table + " (" + columns.front()};
    for (std::size_t i = 1; i < columns.size(); ++i) pieces.push_back(", " + columns[i]);
    std::string markers = "?";
    for (std::size_t i = 1; i < columns.size(); ++i) markers += ", ?";
    pieces.push_back(") values (" + markers + ")");
    text += StatementLines(pieces);
  }
  text += NewCommandLine();
  if (textKey) FillInto(text, kAddTextKeyParameter, {{"keyName", keyName}});
  text += MemberParameters(code);
  FillInto(text, kInsertDone, {{"friendName", form.friendName}});
  text += SaveFailedTail(form.friendName);
  return text;
}

std::string LoadHandler(const TFormClass& form, bool selectFirstEntry) {
  std::string text = LoadHandlerStart(form);
  text += ReferenceFillVariables(form.references);
  for (const TFormReference& reference : form.references) {
    text += ReferenceListFill(reference, false, selectFirstEntry);
  }
  text += LoadHandlerEndKeepingConnection();
  return text;
}

std::string_view KeyType(const TFormClass& form) {
  return form.HasIntegerKey() ? "Long" : "String";
}

std::string UpdateHandler(const TFormClass& form, const TFormClass& code) {
  if (form.nonKeyMembers.empty()) return Fill(kNothingToUpdate, {{"friendName", form.friendName}});
  std::string text(kUpdateHandlerStart);
  text += StatementVariables();
  text += kRowsChangedVariable;
  text += InputChecks(code, false);
  text += kTrapSaveErrors;
  const std::vector<std::string> columns = StoredColumns(form);
  std::vector<std::string> pieces = {"update " + SqlName(form.className) + " set " +
                                     columns.front() + " = ?"};
  for (std::size_t i = 1; i < columns.size(); ++i) pieces.push_back(", " + columns[i] + " = ?");
  pieces.push_back(" where " + SqlName(form.key.memberName) + " = ?");
  text += StatementLines(pieces);
  text += NewCommandLine();
  text += MemberParameters(code);
  FillInto(text, kUpdateDone,
           {{"addKey", KeyParameterCall(form.HasIntegerKey())}, {"friendName", form.friendName}});
  text += SaveFailedTail(form.friendName);
  return text;
}

std::string_view ShowBlockOf(TRowKind kind) {
  switch (kind) {
    case TRowKind::ShortString:
    case TRowKind::Integer:
    case TRowKind::Float:
      return kShowInTextBox;
    case TRowKind::LongString:
      return kShowInRichTextBox;
    case TRowKind::Date:
      return kShowDate;
    case TRowKind::Picture:
      return kShowPicture;
    case TRowKind::Reference:
      return kSelectStoredEntry;
  }
  throw std::logic_error("unknown row kind");
}

std::string ShowRecord(const TFormClass& form, const TFormClass& code) {
  const std::string& keyName = code.key.memberName;
  const std::string& keyColumn = form.key.memberName;
  std::string text =
      Fill(kShowRecordStart, {{"friendName", form.friendName}, {"keyType", KeyType(form)}});
  text += StatementVariables();
  text += StatementLines(
      {"select * from " + SqlName(form.className) + " where " + SqlName(keyColumn) + " = ?"});
  FillInto(text, kReadRecord,
           {{"addKey", KeyParameterCall(form.HasIntegerKey())},
            {"friendName", form.friendName},
            {"keyName", keyName},
            {"keyColumn", keyColumn}});
  for (std::size_t i = 0; i < form.nonKeyMembers.size(); ++i) {
    const TMember& member = form.nonKeyMembers[i];
    FillInto(text, ShowBlockOf(RowKindOf(member)),
             {{"memberName", code.nonKeyMembers[i].get().memberName},
              {"columnName", member.memberName}});
  }
  text += kShowRecordEnd;
  return text;
}

}  // namespace

std::string BuildCompleteAddForm(const TFormClass& form) {
  const TCodeForm named(form);
  const TFormClass& code = named.Form();
  std::string text = DesignerSection(code, kAddForm, !form.HasIntegerKey());
  text += CompleteModuleDeclarations(code);
  text += AddHandler(form, code);
  text += PictureClickHandlers(code);
  text += LoadHandler(code, true);
  return text;
}

std::string BuildCompleteEditForm(const TFormClass& form) {
  const TCodeForm named(form);
  const TFormClass& code = named.Form();
  std::string text = DesignerSection(code, kEditForm, true, true);
  text += CompleteModuleDeclarations(code);
  FillInto(text, kEditKeyVariable, {{"keyType", KeyType(form)}});
  text += UpdateHandler(form, code);
  text += ShowRecord(form, code);
  text += PictureClickHandlers(code);
  text += LoadHandler(code, false);
  return text;
}

void GenerateCompleteAddFormFiles(TGenContext& context, const TModelSnapshot& model) {
  WriteFormPerClass(context, model, "FrmAdd", [](const TFormClass& form, const TClassModel&) {
    return BuildCompleteAddForm(form);
  });
}

void GenerateCompleteEditFormFiles(TGenContext& context, const TModelSnapshot& model) {
  WriteFormPerClass(context, model, "FrmEdit", [](const TFormClass& form, const TClassModel&) {
    return BuildCompleteEditForm(form);
  });
}

}  // namespace vbgen
