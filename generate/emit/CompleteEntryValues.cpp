#include "generate/emit/CompleteEntryValues.h"

#include <stdexcept>

#include "generate/emit/CompleteParts.h"
#include "generate/emit/EntryFormParts.h"
#include "generate/emit/TextTemplate.h"

namespace vbgen {
namespace {

// What a member's value is to the code, beyond how its row looks.
enum class TValueKind { Text, Whole, YesNo, Fixed, Float, Date, Picture, Reference };

TValueKind ValueKindOf(const TMember& member) {
  switch (RowKindOf(member)) {
    case TRowKind::ShortString:
    case TRowKind::LongString:
      return TValueKind::Text;
    case TRowKind::Integer:
      return IsYesNoMember(member) ? TValueKind::YesNo : TValueKind::Whole;
    case TRowKind::Float:
      return member.memberSqlType.empty() ? TValueKind::Float : TValueKind::Fixed;
    case TRowKind::Date:
      return TValueKind::Date;
    case TRowKind::Picture:
      return TValueKind::Picture;
    case TRowKind::Reference:
      return TValueKind::Reference;
  }
  throw std::logic_error("unknown row kind");
}

bool Optional(const TMember& member) { return member.memberAllowNull == 1; }

std::string_view VbBool(bool value) { return value ? "True" : "False"; }

// The text control of a member: a rich text box for long texts, a text box otherwise.
std::string TextControl(const TMember& member) {
  return (RowKindOf(member) == TRowKind::LongString ? "RTB_" : "TB_") + member.memberName;
}

// The range the server takes for a whole-number column.
struct TWholeRange {
  std::string_view lowest, highest, adoType;
};

TWholeRange WholeRangeOf(const TMember& member) {
  if (member.memberSqlType == "tinyint") return {"0", "255", "adUnsignedTinyInt"};
  if (member.memberSqlType == "smallint") return {"-32768", "32767", "adSmallInt"};
  return {"-2147483648", "2147483647", "adInteger"};
}

// Precision and scale of a fixed-point column; SQL Server's own default for a bare decimal.
std::pair<int, int> FixedShapeOf(const TMember& member) {
  if (member.memberSqlType == "money") return {19, 4};
  if (member.memberSqlType == "smallmoney") return {10, 4};
  if (member.memberPrecision <= 0) return {18, 0};
  return {member.memberPrecision, member.memberScale};
}

// An optional value is checked only when something was typed: empty is its NULL.
std::string WhenTyped(const TMember& member) {
  if (!Optional(member)) return {};
  return "Trim$(Me.TB_" + member.memberName + ".Text) <> \"\" And ";
}

constexpr std::string_view kRequiredText = R"vb(  If Trim$(Me.{control}.Text) = "" Then
    MsgBox "请输入{memberComment}!", vbInformation, "信息提示"
    Me.{control}.SetFocus
    Exit Sub
  End If
)vb";

constexpr std::string_view kTextFits =
    R"vb(  If Not TextFits(Me.{control}.Text, {length}, {countsBytes}) Then
    MsgBox "{memberComment}不能超过{length}{unit}!", vbInformation, "信息提示"
    Me.{control}.SetFocus
    Exit Sub
  End If
)vb";
constexpr std::string_view kByteUnit = "个字节（一个汉字占两个字节）";
constexpr std::string_view kCharacterUnit = "个字符";

constexpr std::string_view kWholeCheck =
    R"vb(  If {whenTyped}Not WholeNumberBetween(Me.TB_{memberName}.Text, {lowest}, {highest}) Then
    MsgBox "{memberComment}应是{lowest}到{highest}之间的整数!", vbInformation, "信息提示"
    Me.TB_{memberName}.SetFocus
    Exit Sub
  End If
)vb";

constexpr std::string_view kFixedCheck =
    R"vb(  If {whenTyped}Not NumberFits(Me.TB_{memberName}.Text, {integerDigits}, {scale}) Then
    MsgBox "{memberComment}应是数字：整数部分至多{integerDigits}位，小数部分至多{scale}位!", vbInformation, "信息提示"
    Me.TB_{memberName}.SetFocus
    Exit Sub
  End If
)vb";

// The message is that of the conversion it replaces, with its full-width exclamation mark.
constexpr std::string_view kFloatCheck =
    R"vb(  If {whenTyped}Not NumberFits(Me.TB_{memberName}.Text, -1, -1) Then
    MsgBox "{memberComment}输入格式不正确！", vbInformation, "信息提示"
    Me.TB_{memberName}.SetFocus
    Exit Sub
  End If
)vb";

constexpr std::string_view kChosenEntryCheck = R"vb(  If Me.CB_{memberName}.ListIndex < 0 Then
    MsgBox "请选择{memberComment}!", vbInformation, "信息提示"
    Me.CB_{memberName}.SetFocus
    Exit Sub
  End If
)vb";

constexpr std::string_view kTextParameter =
    R"vb(  Call AddColumnTextParameter(cmd, {value}, {unicode}, {length}, {emptyIsNull})
)vb";
constexpr std::string_view kLongParameter = R"vb(  Call AddLongParameter(cmd, {value})
)vb";
constexpr std::string_view kWholeParameter =
    R"vb(  Call AddWholeNumberParameter(cmd, Me.TB_{memberName}.Text, {adoType}, {emptyIsNull})
)vb";
constexpr std::string_view kYesNoParameter =
    R"vb(  Call AddYesNoParameter(cmd, Me.CHB_{memberName}.Value)
)vb";
constexpr std::string_view kFixedParameter =
    R"vb(  Call AddFixedNumberParameter(cmd, Me.TB_{memberName}.Text, {precision}, {scale}, {emptyIsNull})
)vb";
constexpr std::string_view kFloatParameter =
    R"vb(  Call AddFloatNumberParameter(cmd, Me.TB_{memberName}.Text, {emptyIsNull})
)vb";
constexpr std::string_view kDateParameter =
    R"vb(  Call AddPickedDateParameter(cmd, Me.DTP_{memberName}.Value)
)vb";
constexpr std::string_view kPictureParameter =
    R"vb(  Call AddPictureParameter(cmd, {memberName}Stream)
)vb";

// The key array is filled from position 1, the list from position 0; nothing chosen in the
// list of an optional reference is a NULL of the key's type.
constexpr std::string_view kOptionalReferenceParameter =
    R"vb(  If Me.CB_{memberName}.ListIndex < 0 Then
    Call AddNullParameter(cmd, {adoType})
  Else
  {keyParameter}  End If
)vb";

constexpr std::string_view kShowText =
    R"vb(  Me.{control}.Text = FieldText(rs.Fields("{columnName}").Value)
)vb";

constexpr std::string_view kShowYesNo =
    R"vb(  Me.CHB_{memberName}.Value = YesNoState(rs.Fields("{columnName}").Value)
)vb";

// A NULL in a column that should not hold one leaves the picker at its date; it counts as
// unchanged, so it is not written back unless the user picks a date.
constexpr std::string_view kShowDate = R"vb(  If Not IsNull(rs.Fields("{columnName}").Value) Then
    Me.DTP_{memberName}.Value = rs.Fields("{columnName}").Value
  End If
)vb";

constexpr std::string_view kShowOptionalDate =
    R"vb(  If IsNull(rs.Fields("{columnName}").Value) Then
    Me.DTP_{memberName}.Value = Null
  Else
    Me.DTP_{memberName}.Value = rs.Fields("{columnName}").Value
  End If
)vb";

// A stored picture is shown through a temporary file, since LoadPicture reads only files; the
// stream keeps it. No stored picture leaves the stream empty and the placeholder shown; stored
// bytes that are no picture LoadPicture reads show the placeholder too, and the record opens.
constexpr std::string_view kShowPicture = R"vb(  Set {memberName}Stream = New ADODB.Stream
  {memberName}Stream.Type = adTypeBinary
  {memberName}Stream.Open
  If Not IsNull(rs.Fields("{columnName}").Value) Then
    {memberName}Stream.Write rs.Fields("{columnName}").Value
    {memberName}Stream.SaveToFile App.Path & "\Tmp\{memberName}.photo", adSaveCreateOverWrite
    On Error Resume Next
    Me.Image_{memberName}.Picture = LoadPicture(App.Path & "\Tmp\{memberName}.photo")
    If Err.Number <> 0 Then Me.Image_{memberName}.Picture = LoadPicture(App.Path & "\background\NoImage.jpg")
    On Error GoTo ShowFailed
  End If
)vb";

// Selects the entry whose key equals the stored value; none when nothing matches or it is NULL.
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

// What the control shows is read back from it: a text box holds the code page's letters, so
// a stored letter outside it is shown as "?" and must not count as a change.
// Nothing chosen shows an empty list, whatever text the list had before.
constexpr std::string_view kNoEntryText = R"vb(  Me.CB_{memberName}.Text = ""
)vb";

constexpr std::string_view kRemember = R"vb(  shownValues({position}) = {shown}
)vb";

std::string ShownExpression(const TMember& member) {
  switch (ValueKindOf(member)) {
    case TValueKind::Text:
      return "Me." + TextControl(member) + ".Text";
    case TValueKind::Whole:
    case TValueKind::Fixed:
    case TValueKind::Float:
      return "Me.TB_" + member.memberName + ".Text";
    case TValueKind::YesNo:
      return "Me.CHB_" + member.memberName + ".Value";
    case TValueKind::Date:
      return "Me.DTP_" + member.memberName + ".Value";
    case TValueKind::Reference:
      return "Me.CB_" + member.memberName + ".ListIndex";
    case TValueKind::Picture:
      return {};
  }
  throw std::logic_error("unknown value kind");
}

std::string TextChecks(const std::string& control, const TMember& member, bool unicode) {
  std::string text;
  if (member.memberIsMust == 1) {
    FillInto(text, kRequiredText, {{"control", control}, {"memberComment", member.memberComment}});
  }
  if (member.memberLength > 0) {
    FillInto(text, kTextFits,
             {{"control", control},
              {"length", std::to_string(member.memberLength)},
              {"countsBytes", VbBool(!unicode)},
              {"memberComment", member.memberComment},
              {"unit", unicode ? kCharacterUnit : kByteUnit}});
  }
  return text;
}

std::string WholeCheck(const TMember& member, const std::string& whenTyped) {
  const TWholeRange range = WholeRangeOf(member);
  return Fill(kWholeCheck, {{"whenTyped", whenTyped},
                            {"memberName", member.memberName},
                            {"lowest", range.lowest},
                            {"highest", range.highest},
                            {"memberComment", member.memberComment}});
}

// The parameter of a key value: a Long, or a text of the key column's kind.
std::string KeyValueParameter(bool integer, bool unicode, int length, const std::string& value) {
  if (integer) return Fill(kLongParameter, {{"value", value}});
  return Fill(kTextParameter, {{"value", value},
                               {"unicode", VbBool(unicode)},
                               {"length", std::to_string(length)},
                               {"emptyIsNull", "False"}});
}

std::string ReferenceParameter(const TFormClass& code, const TMember& member) {
  const TFormReference& reference = ReferenceOf(code, member);
  std::string keyParameter = KeyValueParameter(
      reference.refKeyIsInteger, reference.refKeyIsUnicode, reference.refKeyLength,
      member.memberName + "s(Me.CB_" + member.memberName + ".ListIndex + 1)");
  if (!Optional(member)) return keyParameter;
  const std::string_view adoType = reference.refKeyIsInteger   ? "adInteger"
                                   : reference.refKeyIsUnicode ? "adVarWChar"
                                                               : "adVarChar";
  return Fill(
      kOptionalReferenceParameter,
      {{"memberName", member.memberName}, {"adoType", adoType}, {"keyParameter", keyParameter}});
}

}  // namespace

std::string ValueChecks(const TMember& member) {
  const std::string whenTyped = WhenTyped(member);
  switch (ValueKindOf(member)) {
    case TValueKind::Text:
      return TextChecks(TextControl(member), member, IsUnicodeText(member));
    case TValueKind::Whole:
      return WholeCheck(member, whenTyped);
    case TValueKind::Fixed: {
      const auto [precision, scale] = FixedShapeOf(member);
      return Fill(kFixedCheck, {{"whenTyped", whenTyped},
                                {"memberName", member.memberName},
                                {"integerDigits", std::to_string(precision - scale)},
                                {"scale", std::to_string(scale)},
                                {"memberComment", member.memberComment}});
    }
    case TValueKind::Float:
      return Fill(kFloatCheck, {{"whenTyped", whenTyped},
                                {"memberName", member.memberName},
                                {"memberComment", member.memberComment}});
    case TValueKind::Reference:
      if (Optional(member)) return {};
      return Fill(kChosenEntryCheck,
                  {{"memberName", member.memberName}, {"memberComment", member.memberComment}});
    case TValueKind::YesNo:
    case TValueKind::Date:
    case TValueKind::Picture:
      return {};
  }
  throw std::logic_error("unknown value kind");
}

std::string KeyChecks(const TMember& key) {
  if (key.IsReference()) {
    return Fill(kChosenEntryCheck,
                {{"memberName", key.memberName}, {"memberComment", key.memberComment}});
  }
  if (key.memberIsInteger == 1) return WholeCheck(key, "");
  // Whatever the model says, a key is never empty.
  TMember required = key;
  required.memberIsMust = 1;
  return TextChecks("TB_" + key.memberName, required, IsUnicodeText(key));
}

std::string ValueParameter(const TFormClass& code, const TMember& member) {
  const std::string_view emptyIsNull = VbBool(Optional(member));
  switch (ValueKindOf(member)) {
    case TValueKind::Text:
      return Fill(kTextParameter, {{"value", "Me." + TextControl(member) + ".Text"},
                                   {"unicode", VbBool(IsUnicodeText(member))},
                                   {"length", std::to_string(member.memberLength)},
                                   {"emptyIsNull", emptyIsNull}});
    case TValueKind::Whole:
      return Fill(kWholeParameter, {{"memberName", member.memberName},
                                    {"adoType", WholeRangeOf(member).adoType},
                                    {"emptyIsNull", emptyIsNull}});
    case TValueKind::YesNo:
      return Fill(kYesNoParameter, {{"memberName", member.memberName}});
    case TValueKind::Fixed: {
      const auto [precision, scale] = FixedShapeOf(member);
      return Fill(kFixedParameter, {{"memberName", member.memberName},
                                    {"precision", std::to_string(precision)},
                                    {"scale", std::to_string(scale)},
                                    {"emptyIsNull", emptyIsNull}});
    }
    case TValueKind::Float:
      return Fill(kFloatParameter,
                  {{"memberName", member.memberName}, {"emptyIsNull", emptyIsNull}});
    case TValueKind::Date:
      return Fill(kDateParameter, {{"memberName", member.memberName}});
    case TValueKind::Picture:
      return Fill(kPictureParameter, {{"memberName", member.memberName}});
    case TValueKind::Reference:
      return ReferenceParameter(code, member);
  }
  throw std::logic_error("unknown value kind");
}

std::string KeyEntryParameter(const TFormClass& code, const TMember& key) {
  if (key.IsReference()) {
    TMember required = key;
    required.memberAllowNull = 0;
    return ReferenceParameter(code, required);
  }
  const std::string box = "Me.TB_" + key.memberName + ".Text";
  if (key.memberIsInteger == 1) return KeyValueParameter(true, false, 0, "CLng(" + box + ")");
  return KeyValueParameter(false, IsUnicodeText(key), key.memberLength, box);
}

std::string KeyVariableParameter(const TFormClass& code, const TMember& key,
                                 const std::string& variable) {
  if (key.IsReference()) {
    const TFormReference& reference = ReferenceOf(code, key);
    return KeyValueParameter(reference.refKeyIsInteger, reference.refKeyIsUnicode,
                             reference.refKeyLength, variable);
  }
  return KeyValueParameter(key.memberIsInteger == 1, IsUnicodeText(key), key.memberLength,
                           variable);
}

std::string KeyControl(const TMember& key) {
  return (key.IsReference() ? "CB_" : "TB_") + key.memberName;
}

std::string ShowValue(const TMember& member, const std::string& column) {
  const std::string& name = member.memberName;
  switch (ValueKindOf(member)) {
    case TValueKind::Text:
      return Fill(kShowText, {{"control", TextControl(member)}, {"columnName", column}});
    case TValueKind::Whole:
    case TValueKind::Fixed:
    case TValueKind::Float:
      return Fill(kShowText, {{"control", "TB_" + name}, {"columnName", column}});
    case TValueKind::YesNo:
      return Fill(kShowYesNo, {{"memberName", name}, {"columnName", column}});
    case TValueKind::Date:
      return Fill(Optional(member) ? kShowOptionalDate : kShowDate,
                  {{"memberName", name}, {"columnName", column}});
    case TValueKind::Picture:
      return Fill(kShowPicture, {{"memberName", name}, {"columnName", column}});
    case TValueKind::Reference:
      return (Optional(member) ? NoEntryText(member) : std::string()) +
             Fill(kSelectStoredEntry, {{"memberName", name}, {"columnName", column}});
  }
  throw std::logic_error("unknown value kind");
}

std::string NoEntryText(const TMember& member) {
  return Fill(kNoEntryText, {{"memberName", member.memberName}});
}

std::string RememberShownValue(const TMember& member, std::size_t position) {
  const std::string shown = ShownExpression(member);
  if (shown.empty()) return {};
  return Fill(kRemember, {{"position", std::to_string(position)}, {"shown", shown}});
}

std::string ChangedCondition(const TMember& member, std::size_t position) {
  const std::string shown = ShownExpression(member);
  if (shown.empty()) return "Me.TB_" + member.memberName + "Path.Text <> \"\"";
  return "ValueChanged(" + shown + ", shownValues(" + std::to_string(position) + "))";
}

}  // namespace vbgen
