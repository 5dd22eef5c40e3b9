// The add and edit forms of a complete application. The designer rows, the picture handlers and
// the placeholder pictures are those of the plain forms; what stores and reads rows is written
// here, and how each member's value is checked, passed and shown in CompleteEntryValues.
#include <stdexcept>

#include "generate/emit/CompleteEntryValues.h"
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

// Asked before the insert, so the user learns which key is taken rather than reading the
// server's constraint message.
constexpr std::string_view kKeyTaken = R"vb(  Set rs = cmd.Execute
  If rs.Fields(0).Value > 0 Then
    rs.Close
    MsgBox "对不起，此{friendName}{keyComment}的信息系统已经存在了！"
    Me.{keyControl}.SetFocus
    Exit Sub
  End If
  rs.Close
)vb";

constexpr std::string_view kInsertDone = R"vb(  cmd.Execute
  MsgBox "{friendName}添加成功!"
  Unload Me
)vb";

// A form that cannot read its lists says so and stays open; the program goes on.
constexpr std::string_view kTrapLoadErrors = R"vb(  On Error GoTo LoadFailed
)vb";

constexpr std::string_view kLoadFailed = R"vb(  Exit Sub
LoadFailed:
  MsgBox "打开{captionVerb}{friendName}窗体时读取数据失败：" & Err.Description & vbCrLf & "请检查数据库连接后再打开。", vbExclamation, "错误提示"
)vb";

// A new row starts at today; a date that may stay empty starts empty, and shows today when
// the user ticks it.
constexpr std::string_view kToday = R"vb(  Me.DTP_{memberName}.Value = Date
)vb";

constexpr std::string_view kNoDate = R"vb(  Me.DTP_{memberName}.Value = Null
)vb";

// The key of the row being edited is picked from a list, which must not change it.
constexpr std::string_view kLockedList = R"vb(  Me.CB_{memberName}.Locked = True
)vb";

// ---- Edit form

constexpr std::string_view kEditKeyVariable = R"vb(Dim edit_{memberName} As {keyType}
)vb";

// What ShowRecord showed, by member position, to write only what the user changed.
constexpr std::string_view kShownValuesVariable = R"vb(Dim shownValues(1 To {count}) As Variant
)vb";

constexpr std::string_view kUpdateHandlerStart = R"vb(
Private Sub Btn_Update_Click()
)vb";

constexpr std::string_view kUpdateVariables = R"vb(  Dim rowsChanged As Long
  Dim columnsSet As Long
)vb";

// The set list holds the changed columns only: each piece is fixed text, chosen at run time.
constexpr std::string_view kUpdateStart = R"vb(  columnsSet = 0
  statementText = "update {table} set"
)vb";

constexpr std::string_view kIfChanged = R"vb(  If {changed} Then
)vb";

constexpr std::string_view kSetSeparator = R"vb(    If columnsSet > 0 Then
      statementText = statementText & ","
    End If
)vb";

constexpr std::string_view kCountColumn = R"vb(    columnsSet = columnsSet + 1
  End If
)vb";

constexpr std::string_view kEndIf = R"vb(  End If
)vb";

constexpr std::string_view kNothingChanged = R"vb(  If columnsSet = 0 Then
    MsgBox "{friendName}没有修改任何内容，不需要保存。", vbInformation, "信息提示"
    Exit Sub
  End If
)vb";

// The row is named by the key the form was opened on, not by anything shown.
constexpr std::string_view kUpdateDone = R"vb(  cmd.Execute rowsChanged
  If rowsChanged = 0 Then
    MsgBox "这条{friendName}已经不存在了!", vbExclamation, "错误提示"
  Else
    MsgBox "{friendName}更新成功!"
  End If
  Unload Me
)vb";

// A class whose only members are its key has nothing an edit could change.
constexpr std::string_view kNothingToUpdate = R"vb(
Private Sub Btn_Update_Click()
  MsgBox "{friendName}没有可以修改的内容!", vbInformation, "信息提示"
  Unload Me
End Sub
)vb";

constexpr std::string_view kShowRecordStart = R"vb(
'显示由键值 {keyNames} 指定的{friendName}：读出记录，填入各控件，再显示窗体
Public Sub ShowRecord({parameters})
  Dim rs As ADODB.Recordset
  Dim i As Long
)vb";

constexpr std::string_view kEntryNoVariable = R"vb(  Dim entryNo As Long
)vb";

constexpr std::string_view kTrapShowErrors = R"vb(  On Error GoTo ShowFailed
)vb";

constexpr std::string_view kKeepKey = R"vb(  edit_{memberName} = key_{memberName}
)vb";

constexpr std::string_view kReadRecord = R"vb(  Set rs = cmd.Execute
  If rs.EOF Then
    rs.Close
    MsgBox "这条{friendName}已经不存在了!", vbExclamation, "错误提示"
    Unload Me
    Exit Sub
  End If
)vb";

constexpr std::string_view kShowRecordEnd = R"vb(  Me.Show
  Me.ZOrder 0
  Exit Sub
ShowFailed:
  MsgBox "读取{friendName}失败：" & Err.Description & vbCrLf & "请检查数据库连接后再试。", vbExclamation, "错误提示"
  Unload Me
End Sub
)vb";

constexpr std::string_view kCloseRecordset = R"vb(  rs.Close
)vb";

constexpr std::string_view kCheckConnection = R"vb(  Call check_condatabase
)vb";

// Lines of a handler one level further in, inside an If.
std::string Indented(const std::string& lines) {
  std::string text;
  bool lineStart = true;
  for (char c : lines) {
    if (lineStart) text += "  ";
    text += c;
    lineStart = c == '\n';
  }
  return text;
}

// The keys the add form writes: none for a key the database numbers.
TMemberRefs TypedKeys(const TFormClass& form) {
  const TMemberRefs keys = KeyMembersOf(form);
  const TMember& key = keys.front();
  const bool numbered = keys.size() == 1 && !key.IsReference() && key.memberIsInteger == 1 &&
                        key.memberKeyEntered == 0;
  return numbered ? TMemberRefs{} : keys;
}

// " where [a] = ? and [b] = ?" over the keys, as statement pieces.
std::vector<std::string> KeyConditionPieces(const TMemberRefs& keys) {
  std::vector<std::string> pieces;
  for (const TMember& key : keys) {
    pieces.push_back((pieces.empty() ? " where " : " and ") + SqlName(key.memberName) + " = ?");
  }
  return pieces;
}

std::string KeyComments(const TMemberRefs& keys) {
  std::string text;
  for (const TMember& key : keys) text += (text.empty() ? "" : "、") + key.memberComment;
  return text;
}

std::string InsertStatement(const std::string& table, const std::vector<std::string>& columns) {
  if (columns.empty()) return StatementLines({"insert into " + table + " default values"});
  std::vector<std::string> pieces = {"insert into " + table + " (" + columns.front()};
  for (std::size_t i = 1; i < columns.size(); ++i) pieces.push_back(", " + columns[i]);
  std::string markers = "?";
  for (std::size_t i = 1; i < columns.size(); ++i) markers += ", ?";
  pieces.push_back(") values (" + markers + ")");
  return StatementLines(pieces);
}

// The statements are made of the class's form, the code of its code form (TCodeForm); the
// key and member lists of the two stand in the same order.
std::string DuplicateKeyCheck(const TFormClass& form, const TFormClass& code) {
  const TMemberRefs keys = TypedKeys(form);
  const TMemberRefs codeKeys = TypedKeys(code);
  std::vector<std::string> pieces = KeyConditionPieces(keys);
  pieces.insert(pieces.begin(), "select count(*) from " + SqlName(form.className));
  std::string text = StatementLines(pieces);
  text += NewCommandLine();
  for (const TMember& key : codeKeys) text += KeyEntryParameter(code, key);
  FillInto(text, kKeyTaken,
           {{"friendName", form.friendName},
            {"keyComment", KeyComments(keys)},
            {"keyControl", KeyControl(codeKeys.front())}});
  return text;
}

std::string AddHandler(const TFormClass& form, const TFormClass& code) {
  const TMemberRefs codeKeys = TypedKeys(code);
  std::string text(kAddHandlerStart);
  text += StatementVariables();
  if (!codeKeys.empty()) text += kRecordsetVariable;
  for (const TMember& key : codeKeys) text += KeyChecks(key);
  for (const TMember& member : code.nonKeyMembers) text += ValueChecks(member);
  text += kTrapSaveErrors;
  if (!codeKeys.empty()) text += DuplicateKeyCheck(form, code);
  std::vector<std::string> columns;
  for (const TMember& key : TypedKeys(form)) columns.push_back(SqlName(key.memberName));
  for (const TMember& member : form.nonKeyMembers) columns.push_back(SqlName(member.memberName));
  text += InsertStatement(SqlName(form.className), columns);
  text += NewCommandLine();
  for (const TMember& key : codeKeys) text += KeyEntryParameter(code, key);
  for (const TMember& member : code.nonKeyMembers) text += ValueParameter(code, member);
  FillInto(text, kInsertDone, {{"friendName", form.friendName}});
  text += SaveFailedTail(form.friendName);
  return text;
}

bool IsOptionalReference(const TFormReference& reference) {
  return reference.member.memberAllowNull == 1 && reference.member.memberIsPri == 0;
}

// The add form picks the first entry of a required list and starts every date at today; the
// edit form locks the lists of its keys, and ShowRecord picks the stored entries.
std::string LoadHandler(const TFormClass& code, const TEntryForm& kind) {
  const bool addForm = kind.formKind == kAddForm.formKind;
  std::string text = LoadHandlerStart(code, kTrapLoadErrors, false);
  text += ReferenceFillVariables(code.references);
  for (const TFormReference& reference : code.references) {
    text += ReferenceListFill(reference, false, addForm && !IsOptionalReference(reference));
    if (addForm && IsOptionalReference(reference)) text += NoEntryText(reference.member);
  }
  for (const TMember& member : code.nonKeyMembers) {
    if (!addForm || RowKindOf(member) != TRowKind::Date) continue;
    FillInto(text, kToday, {{"memberName", member.memberName}});
    if (member.memberAllowNull == 1) FillInto(text, kNoDate, {{"memberName", member.memberName}});
  }
  for (const TMember& key : KeyMembersOf(code)) {
    if (!addForm && key.IsReference())
      FillInto(text, kLockedList, {{"memberName", key.memberName}});
  }
  FillInto(text, kLoadFailed, {{"captionVerb", kind.captionVerb}, {"friendName", code.friendName}});
  text += LoadHandlerEndKeepingConnection();
  return text;
}

std::string EditDeclarations(const TFormClass& code) {
  std::string text;
  for (const TMember& key : KeyMembersOf(code)) {
    FillInto(
        text, kEditKeyVariable,
        {{"memberName", key.memberName}, {"keyType", KeyIsInteger(code, key) ? "Long" : "String"}});
  }
  if (!code.nonKeyMembers.empty()) {
    FillInto(text, kShownValuesVariable, {{"count", std::to_string(code.nonKeyMembers.size())}});
  }
  return text;
}

std::string UpdateHandler(const TFormClass& form, const TFormClass& code) {
  if (form.nonKeyMembers.empty()) return Fill(kNothingToUpdate, {{"friendName", form.friendName}});
  std::string text(kUpdateHandlerStart);
  text += StatementVariables();
  text += kUpdateVariables;
  // A value the user left as shown is not checked again: the database took it, and what a
  // box shows of it (a float as "1E-05", say) need not be what the user could type.
  for (std::size_t i = 0; i < code.nonKeyMembers.size(); ++i) {
    const std::string checks = ValueChecks(code.nonKeyMembers[i]);
    if (checks.empty()) continue;
    FillInto(text, kIfChanged, {{"changed", ChangedCondition(code.nonKeyMembers[i], i + 1)}});
    text += Indented(checks);
    text += kEndIf;
  }
  FillInto(text, kUpdateStart, {{"table", SqlName(form.className)}});
  for (std::size_t i = 0; i < form.nonKeyMembers.size(); ++i) {
    FillInto(text, kIfChanged, {{"changed", ChangedCondition(code.nonKeyMembers[i], i + 1)}});
    if (i > 0) text += kSetSeparator;
    text += Indented(
        AppendedStatementLines({" " + SqlName(form.nonKeyMembers[i].get().memberName) + " = ?"}));
    text += kCountColumn;
  }
  FillInto(text, kNothingChanged, {{"friendName", form.friendName}});
  text += AppendedStatementLines(KeyConditionPieces(KeyMembersOf(form)));
  text += kTrapSaveErrors;
  text += NewCommandLine();
  for (std::size_t i = 0; i < code.nonKeyMembers.size(); ++i) {
    const TMember& member = code.nonKeyMembers[i];
    FillInto(text, kIfChanged, {{"changed", ChangedCondition(member, i + 1)}});
    text += Indented(ValueParameter(code, member));
    text += kEndIf;
  }
  for (const TMember& key : KeyMembersOf(code)) {
    text += KeyVariableParameter(code, key, "edit_" + key.memberName);
  }
  FillInto(text, kUpdateDone, {{"friendName", form.friendName}});
  text += SaveFailedTail(form.friendName);
  return text;
}

bool IsSelfReference(const TFormClass& form, const TFormReference& reference) {
  return reference.member.memberType == form.className;
}

// A row cannot be its own parent: the edit form lists the class's other rows only.
std::string SelfReferenceFills(const TFormClass& form, const TFormClass& code) {
  std::string text;
  const TMember& key = KeyMembersOf(code).front();
  for (const TFormReference& reference : code.references) {
    if (!IsSelfReference(form, reference) || reference.member.memberIsPri == 1) continue;
    text += ReferenceListFillExcept(reference, "key_" + key.memberName);
  }
  return text;
}

std::string ShowRecord(const TFormClass& form, const TFormClass& code) {
  const TMemberRefs keys = KeyMembersOf(form);
  const TMemberRefs codeKeys = KeyMembersOf(code);
  std::string keyNames;
  for (const TMember& key : codeKeys)
    keyNames += (keyNames.empty() ? "key_" : "、key_") + key.memberName;
  std::string text = Fill(kShowRecordStart, {{"keyNames", keyNames},
                                             {"friendName", form.friendName},
                                             {"parameters", ShowRecordParameters(code)}});
  text += StatementVariables();
  const std::string selfFills = SelfReferenceFills(form, code);
  if (!selfFills.empty()) text += kEntryNoVariable;
  text += kTrapShowErrors;
  for (const TMember& key : codeKeys) FillInto(text, kKeepKey, {{"memberName", key.memberName}});
  text += kCheckConnection;
  text += selfFills;
  std::vector<std::string> pieces = KeyConditionPieces(keys);
  pieces.insert(pieces.begin(), "select * from " + SqlName(form.className));
  text += StatementLines(pieces);
  text += NewCommandLine();
  for (const TMember& key : codeKeys) {
    text += KeyVariableParameter(code, key, "key_" + key.memberName);
  }
  FillInto(text, kReadRecord, {{"friendName", form.friendName}});
  for (std::size_t i = 0; i < keys.size(); ++i) {
    const TMember& key = codeKeys[i];
    if (key.IsReference()) {
      text += ShowValue(key, keys[i].get().memberName);
    } else {
      TMember box = key;  // a key row is a text box, however long the key
      box.memberLength = 0;
      text += ShowValue(box, keys[i].get().memberName);
    }
  }
  for (std::size_t i = 0; i < form.nonKeyMembers.size(); ++i) {
    text += ShowValue(code.nonKeyMembers[i], form.nonKeyMembers[i].get().memberName);
  }
  text += kCloseRecordset;
  for (std::size_t i = 0; i < code.nonKeyMembers.size(); ++i) {
    text += RememberShownValue(code.nonKeyMembers[i], i + 1);
  }
  FillInto(text, kShowRecordEnd, {{"friendName", form.friendName}});
  return text;
}

}  // namespace

std::string BuildCompleteAddForm(const TFormClass& form) {
  const TCodeForm named(form);
  const TFormClass& code = named.Form();
  std::string text = CompleteDesignerSection(code, kAddForm, TypedKeys(code), false);
  text += CompleteModuleDeclarations(code);
  text += AddHandler(form, code);
  text += CompletePictureClickHandlers(code);
  text += LoadHandler(code, kAddForm);
  return text;
}

std::string BuildCompleteEditForm(const TFormClass& form) {
  const TCodeForm named(form);
  const TFormClass& code = named.Form();
  std::string text = CompleteDesignerSection(code, kEditForm, KeyMembersOf(code), true);
  text += CompleteModuleDeclarations(code);
  text += EditDeclarations(code);
  text += UpdateHandler(form, code);
  text += ShowRecord(form, code);
  text += CompletePictureClickHandlers(code);
  text += LoadHandler(code, kEditForm);
  return text;
}

void GenerateCompleteAddFormFiles(TGenContext& context, const TModelSnapshot& model) {
  WriteFormPerClass(
      context, model, "FrmAdd",
      [](const TFormClass& form, const TClassModel&) { return BuildCompleteAddForm(form); }, true);
}

void GenerateCompleteEditFormFiles(TGenContext& context, const TModelSnapshot& model) {
  WriteFormPerClass(
      context, model, "FrmEdit",
      [](const TFormClass& form, const TClassModel&) { return BuildCompleteEditForm(form); }, true);
}

}  // namespace vbgen
