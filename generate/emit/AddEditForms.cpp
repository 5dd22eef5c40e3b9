// The add form and the edit form of every class. Both are built from the shared pieces of
// EntryFormParts; this file holds what each form has of its own.
#include "generate/emit/AddEditForms.h"

#include <stdexcept>

#include "generate/emit/EntryFormParts.h"
#include "generate/emit/FormClass.h"
#include "generate/emit/TextTemplate.h"

namespace vbgen {
namespace {

// ---- Add form: a text key is typed in, checked and stored; an integer key is left to the
// database's identity column.

constexpr std::string_view kKeyUniqueCheck =
    R"vb(  sql = "select {keyName} from {className} where {keyName} = '" & Me.TB_{keyName}.Text & "'"
  Set {lowerClassName}Rs = cn.Execute(sql)
  If Not {lowerClassName}Rs.EOF Then
    MsgBox "对不起，此{friendName}{keyComment}的信息系统已经存在了！"
    Exit Sub
  End If
  {lowerClassName}Rs.Close
  Set {lowerClassName}Rs = Nothing
)vb";

constexpr std::string_view kSelectWholeTable = R"vb(  sql = "select * from {className}"
)vb";

constexpr std::string_view kAddNew = R"vb(  {lowerClassName}Rs.AddNew '添加新{friendName}信息
)vb";

constexpr std::string_view kAssignKey =
    R"vb(  {lowerClassName}Rs("{keyName}") = Me.TB_{keyName}.Text
)vb";

// ---- Edit form: the row to show is named by a public key variable that the caller sets.

constexpr std::string_view kPublicIntegerKey = R"vb(Public {keyName} As Integer
)vb";

constexpr std::string_view kPublicTextKey = R"vb(Public {keyName} As String
)vb";

constexpr std::string_view kSelectByTextKeyBox =
    R"vb(  sql = "select * from {className} where {keyName}='" & Me.TB_{keyName}.Text & "'"
)vb";

constexpr std::string_view kSelectByIntegerKeyBox =
    R"vb(  sql = "select * from {className} where {keyName}=" & Me.TB_{keyName}.Text
)vb";

constexpr std::string_view kRowQueryStart = R"vb(  '初始化{friendName}数据
  Set {lowerClassName}Rs = New ADODB.Recordset
  Dim querySql As String
)vb";

constexpr std::string_view kQueryByTextKey =
    R"vb(  querySql = "select * from {className} where {keyName}='" & {keyName} & "'"
)vb";

constexpr std::string_view kQueryByIntegerKey =
    R"vb(  querySql = "select * from {className} where {keyName}=" & {keyName}
)vb";

constexpr std::string_view kOpenRow =
    R"vb(  {lowerClassName}Rs.Open querySql, cn, adOpenStatic, adLockPessimistic
)vb";

constexpr std::string_view kShowTextKey = R"vb(  Me.TB_{keyName}.Text = Me.{keyName}
)vb";

constexpr std::string_view kShowIntegerKey = R"vb(  Me.TB_{keyName}.Text = CInt(Me.{keyName})
)vb";

// Short strings, integers and floats alike.
constexpr std::string_view kShowInTextBox =
    R"vb(  Me.TB_{memberName}.Text = {lowerClassName}Rs.Fields("{memberName}")
)vb";

constexpr std::string_view kShowInRichTextBox =
    R"vb(  Me.RTB_{memberName}.Text = {lowerClassName}Rs.Fields("{memberName}")
)vb";

constexpr std::string_view kShowDate =
    R"vb(  Me.DTP_{memberName}.Value = {lowerClassName}Rs.Fields("{memberName}")
)vb";

// The stored picture goes through a temporary file, since LoadPicture reads only files.
constexpr std::string_view kShowPicture = R"vb(  Set {memberName}Stream = New ADODB.Stream
  {memberName}Stream.Type = 1
  '-------------以二进制模式打开------------------------------------
  {memberName}Stream.Open
  '--------------------将字符串内容写入缓冲--------------------------
  {memberName}Stream.Write {lowerClassName}Rs("{memberName}").GetChunk({lowerClassName}Rs("{memberName}").ActualSize)
  '--------------------将缓冲的内容写入文件--------------------------
  {memberName}Stream.SaveToFile App.Path & "\Tmp\{memberName}.photo", 2
  Me.Image_{memberName}.Picture = LoadPicture(App.Path & "\Tmp\{memberName}.photo")
)vb";

// Selects the entry whose key equals the stored value; none when nothing matches. "Next "
// keeps its blank and stands at the start of its line.
constexpr std::string_view kSelectStoredEntry = R"vb(  For i = 1 To UBound({memberName}s)
    If {memberName}s(i) = {lowerClassName}Rs.Fields("{memberName}") Then
        Me.CB_{memberName}.ListIndex = i - 1
        Exit For
    End If
Next 
)vb";

std::string AddButtonHandler(const TFormClass& form) {
  const bool textKey = !form.HasIntegerKey();
  const std::string& keyName = form.key.memberName;
  std::string text = ButtonHandlerStart(form, kAddForm);
  if (textKey) {
    text += KeyEmptyCheck(form);
  }
  text += CheckConnectionCall();
  if (textKey) {
    FillInto(text, kKeyUniqueCheck,
             {{"keyName", keyName},
              {"className", form.className},
              {"lowerClassName", form.lowerClassName},
              {"friendName", form.friendName},
              {"keyComment", form.key.memberComment}});
  }
  FillInto(text, kSelectWholeTable, {{"className", form.className}});
  text += OpenKeysetRecordset(form);
  FillInto(text, kAddNew,
           {{"lowerClassName", form.lowerClassName}, {"friendName", form.friendName}});
  if (textKey) {
    FillInto(text, kAssignKey, {{"lowerClassName", form.lowerClassName}, {"keyName", keyName}});
  }
  text += MemberAssignments(form);
  text += ButtonHandlerEnd(form, kAddForm);
  return text;
}

std::string BuildAddForm(const TFormClass& form) {
  // Only a text key is typed in on the add form.
  std::string text = DesignerSection(form, kAddForm, !form.HasIntegerKey());
  text += ModuleDeclarations(form);
  text += AddButtonHandler(form);
  text += PictureClickHandlers(form);
  text += LoadHandlerStart(form);
  text += ReferenceListFills(form, true);
  text += LoadHandlerEnd();
  return text;
}

std::string UpdateButtonHandler(const TFormClass& form) {
  std::string text = ButtonHandlerStart(form, kEditForm);
  text += CheckConnectionCall();
  FillInto(text, form.HasIntegerKey() ? kSelectByIntegerKeyBox : kSelectByTextKeyBox,
           {{"className", form.className}, {"keyName", form.key.memberName}});
  text += OpenKeysetRecordset(form);
  text += MemberAssignments(form);
  text += ButtonHandlerEnd(form, kEditForm);
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

// Reads the row named by the public key variable and puts its values into the controls.
std::string ShowStoredRow(const TFormClass& form) {
  const bool integerKey = form.HasIntegerKey();
  const std::string& keyName = form.key.memberName;
  std::string text = Fill(
      kRowQueryStart, {{"friendName", form.friendName}, {"lowerClassName", form.lowerClassName}});
  FillInto(text, integerKey ? kQueryByIntegerKey : kQueryByTextKey,
           {{"className", form.className}, {"keyName", keyName}});
  FillInto(text, kOpenRow, {{"lowerClassName", form.lowerClassName}});
  FillInto(text, integerKey ? kShowIntegerKey : kShowTextKey, {{"keyName", keyName}});
  for (const TMember& member : form.nonKeyMembers) {
    FillInto(text, ShowBlockOf(RowKindOf(member)),
             {{"memberName", member.memberName}, {"lowerClassName", form.lowerClassName}});
  }
  return text;
}

std::string BuildEditForm(const TFormClass& form) {
  // The edit form shows the key of every class, an integer key included.
  std::string text = DesignerSection(form, kEditForm, true);
  text += ModuleDeclarations(form);
  FillInto(text, form.HasIntegerKey() ? kPublicIntegerKey : kPublicTextKey,
           {{"keyName", form.key.memberName}});
  text += UpdateButtonHandler(form);
  text += PictureClickHandlers(form);
  text += LoadHandlerStart(form);
  text += ReferenceListFills(form, false);
  text += ShowStoredRow(form);
  text += LoadHandlerEnd();
  return text;
}

}  // namespace

void GenerateAddFormFiles(TGenContext& context, const TModelSnapshot& model) {
  WriteFormPerClass(context, model, "FrmAdd",
                    [](const TFormClass& form, const TClassModel&) { return BuildAddForm(form); });
}

void GenerateEditFormFiles(TGenContext& context, const TModelSnapshot& model) {
  WriteFormPerClass(context, model, "FrmEdit",
                    [](const TFormClass& form, const TClassModel&) { return BuildEditForm(form); });
}

}  // namespace vbgen
