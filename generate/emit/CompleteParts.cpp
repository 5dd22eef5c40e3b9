#include "generate/emit/CompleteParts.h"

#include <stdexcept>
#include <unordered_set>

#include "generate/check/ReservedWords.h"
#include "generate/emit/EntryFormParts.h"
#include "generate/emit/TextTemplate.h"
#include "model/Rules.h"

namespace vbgen {
namespace {

constexpr std::string_view kOptionExplicit = R"vb(Option Explicit
)vb";

constexpr std::string_view kStatementVariables = R"vb(  Dim cmd As ADODB.Command
  Dim statementText As String
)vb";

constexpr std::string_view kNewCommand = R"vb(  Set cmd = NewCommand(statementText)
)vb";

constexpr std::string_view kFirstPiece = R"vb(  statementText = "{piece}"
)vb";

constexpr std::string_view kNextPiece = R"vb(  statementText = statementText & "{piece}"
)vb";

constexpr std::string_view kReferenceFillVariables = R"vb(  Dim rs As ADODB.Recordset
  Dim statementText As String
  Dim entryNo As Long
)vb";

constexpr std::string_view kReferenceQuery = R"vb(  Set rs = NewCommand(statementText).Execute
)vb";

// The list without one row: the statement's marker takes the row's key.
constexpr std::string_view kReferenceQueryExcept = R"vb(  Set cmd = NewCommand(statementText)
  Call {addKey}(cmd, {keyValue})
  Set rs = cmd.Execute
)vb";

constexpr std::string_view kReferenceFillHead = R"vb(  Me.CB_{memberName}.Clear
  ReDim {memberName}s(0)
)vb";

// A query list starts with an entry that sets no condition; its key position 0 stays unused.
constexpr std::string_view kAllEntry = R"vb(  Me.CB_{memberName}.AddItem "(全部)"
)vb";

constexpr std::string_view kReferenceFillLoop = R"vb(  entryNo = 0
  Do Until rs.EOF
    entryNo = entryNo + 1
    ReDim Preserve {memberName}s(entryNo)
    {memberName}s(entryNo) = {keyConversion}(rs.Fields(0).Value)
    Me.CB_{memberName}.AddItem EntryLabel(rs.Fields(0).Value, rs.Fields(1).Value)
    rs.MoveNext
  Loop
  rs.Close
)vb";

constexpr std::string_view kSelectFirstEntry = R"vb(  If Me.CB_{memberName}.ListCount > 0 Then
    Me.CB_{memberName}.ListIndex = 0
  End If
)vb";

constexpr std::string_view kSaveFailed = R"vb(  Exit Sub
SaveFailed:
  MsgBox "{friendName}保存失败：" & Err.Description, vbExclamation, "错误提示"
End Sub
)vb";

// What the complete forms make of a member's code name, whatever its type: controls, the
// streams and key arrays, the picture buttons' handlers.
constexpr std::pair<std::string_view, std::string_view> kCodeDerived[] = {
    {"TB_", ""}, {"RTB_", ""},       {"DTP_", ""}, {"DTP_", "To"},  {"CHB_", ""},
    {"CB_", ""}, {"Image_", ""},     {"Btn_", ""}, {"TB_", "Path"}, {"", "Stream"},
    {"", "s"},   {"Btn_", "_Click"}, {"key_", ""}, {"edit_", ""}};

// The names the complete forms give their own controls, variables and procedures.
constexpr std::string_view kFormsOwnNames[] = {"VScroll1",
                                               "Picture1",
                                               "Frame1",
                                               "Frame2",
                                               "Adodc1",
                                               "DataGrid1",
                                               "Btn_Add",
                                               "Btn_Update",
                                               "Btn_Query",
                                               "popMenu",
                                               "mnuEdit",
                                               "mnuDelete",
                                               "mnuExport",
                                               "listRs",
                                               "editKey",
                                               "rs",
                                               "cmd",
                                               "statementText",
                                               "entryNo",
                                               "rowsChanged",
                                               "i",
                                               "recordKey",
                                               "shownValues",
                                               "columnsSet",
                                               "clickedRow",
                                               "fileName",
                                               "headingLine",
                                               "columnNo",
                                               "rowCount",
                                               "LoadList",
                                               "ShowRecord",
                                               "HasCurrentRecord",
                                               "Form_Load",
                                               "Form_Activate",
                                               "VScroll1_Change",
                                               "Btn_Add_Click",
                                               "Btn_Update_Click",
                                               "Btn_Query_Click"};

// Longer code names could make a control name past VB6's 40 characters.
constexpr std::size_t kMaxCodeName = 28;

class TCodeNamer {
 public:
  TCodeNamer() {
    for (std::string_view name : kFormsOwnNames) taken_.insert(FoldCase(std::string(name)));
  }

  std::string Name(const std::string& stored, std::size_t position) {
    std::string base = stored;
    if (!StartsWithLetter(base) || IsVbReservedWord(base)) base = "m_" + stored;
    if (NameLength(base) > kMaxCodeName) base = "m" + std::to_string(position + 1);
    std::string name = base;
    for (int number = 2; !Free(name); ++number) name = base + "_" + std::to_string(number);
    for (const auto& [prefix, suffix] : kCodeDerived)
      taken_.insert(FoldCase(std::string(prefix) + name + std::string(suffix)));
    return name;
  }

 private:
  bool Free(const std::string& name) const {
    for (const auto& [prefix, suffix] : kCodeDerived) {
      const std::string derived = std::string(prefix) + name + std::string(suffix);
      if (IsVbReservedWord(derived) || taken_.count(FoldCase(derived))) return false;
    }
    return true;
  }

  std::unordered_set<std::string> taken_;
};

}  // namespace

TCodeForm::TCodeForm(const TFormClass& form) : code_(form) {
  TCodeNamer namer;
  auto add = [&](const TMember& member) -> const TMember& {
    original_.emplace_back(member.memberId, member.memberName);
    TMember& renamed = members_.emplace_back(member);
    renamed.memberName = namer.Name(member.memberName, members_.size() - 1);
    return renamed;
  };
  code_.key = add(form.key);
  code_.keys.clear();
  for (const TMember& key : form.keys) {
    const bool first = key.memberId == form.key.memberId && key.memberName == form.key.memberName;
    code_.keys.push_back(first ? members_.front() : add(key));
  }
  code_.nonKeyMembers.clear();
  for (const TMember& member : form.nonKeyMembers) code_.nonKeyMembers.push_back(add(member));
  for (TFormReference& reference : code_.references) reference.member = Renamed(reference.member);
  code_.pictures.clear();
  for (const TMember& member : form.pictures) {
    for (const TMember& renamed : code_.nonKeyMembers) {
      if (renamed.memberId == member.memberId && Renamed(member).memberName == renamed.memberName)
        code_.pictures.push_back(renamed);
    }
  }
}

TMember TCodeForm::Renamed(const TMember& member) const {
  TMember renamed = member;
  for (std::size_t i = 0; i < original_.size(); ++i) {
    if (original_[i].first == member.memberId && original_[i].second == member.memberName) {
      renamed.memberName = members_[i].memberName;
      break;
    }
  }
  return renamed;
}

std::string SqlName(const std::string& name) {
  std::string quoted = "[";
  for (char c : name) {
    quoted += c;
    if (c == ']') quoted += ']';
  }
  return quoted + "]";
}

namespace {

std::string PieceLines(const std::vector<std::string>& pieces, bool appended) {
  std::string text;
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    if (pieces[i].find('"') != std::string::npos) {
      throw std::logic_error("a statement piece holds a double quote: " + pieces[i]);
    }
    FillInto(text, i == 0 && !appended ? kFirstPiece : kNextPiece, {{"piece", pieces[i]}});
  }
  return text;
}

}  // namespace

std::string StatementLines(const std::vector<std::string>& pieces) {
  return PieceLines(pieces, false);
}

std::string AppendedStatementLines(const std::vector<std::string>& pieces) {
  return PieceLines(pieces, true);
}

std::string CompleteModuleDeclarations(const TFormClass& form) {
  return std::string(kOptionExplicit) + ModuleDeclarations(form, true);
}

std::string OptionExplicit() { return std::string(kOptionExplicit); }

std::string StatementVariables() { return std::string(kStatementVariables); }

std::string NewCommandLine() { return std::string(kNewCommand); }

const TFormReference& ReferenceOf(const TFormClass& form, const TMember& member) {
  for (const TFormReference& reference : form.references) {
    if (reference.member.memberId == member.memberId &&
        reference.member.memberName == member.memberName)
      return reference;
  }
  throw std::logic_error("no reference for member " + member.memberName);
}

std::string_view KeyParameterCall(bool integerKey) {
  return integerKey ? "AddLongParameter" : "AddKeyTextParameter";
}

std::string_view KeyConversion(bool integerKey) { return integerKey ? "CLng" : "FieldText"; }

std::string ReferenceFillVariables(const std::vector<TFormReference>& references) {
  return references.empty() ? std::string() : std::string(kReferenceFillVariables);
}

std::string ReferenceListFill(const TFormReference& reference, bool withAllEntry,
                              bool selectFirstEntry) {
  const std::string& memberName = reference.member.memberName;
  const std::string key = SqlName(reference.refKeyName);
  const std::string display = SqlName(reference.refDisplayName);
  std::string text = StatementLines({"select " + key + ", " + display + " from " +
                                     SqlName(reference.member.memberType) + " order by " +
                                     (reference.refDisplayIsPicture ? key : display)});
  text += kReferenceQuery;
  FillInto(text, kReferenceFillHead, {{"memberName", memberName}});
  if (withAllEntry) FillInto(text, kAllEntry, {{"memberName", memberName}});
  FillInto(
      text, kReferenceFillLoop,
      {{"memberName", memberName}, {"keyConversion", KeyConversion(reference.refKeyIsInteger)}});
  if (selectFirstEntry) FillInto(text, kSelectFirstEntry, {{"memberName", memberName}});
  return text;
}

std::string ReferenceListFillExcept(const TFormReference& reference, const std::string& keyValue) {
  const std::string& memberName = reference.member.memberName;
  const std::string key = SqlName(reference.refKeyName);
  const std::string display = SqlName(reference.refDisplayName);
  std::string text = StatementLines(
      {"select " + key + ", " + display + " from " + SqlName(reference.member.memberType) +
       " where " + key + " <> ? order by " + (reference.refDisplayIsPicture ? key : display)});
  FillInto(text, kReferenceQueryExcept,
           {{"addKey", KeyParameterCall(reference.refKeyIsInteger)}, {"keyValue", keyValue}});
  FillInto(text, kReferenceFillHead, {{"memberName", memberName}});
  FillInto(
      text, kReferenceFillLoop,
      {{"memberName", memberName}, {"keyConversion", KeyConversion(reference.refKeyIsInteger)}});
  return text;
}

TMemberRefs KeyMembersOf(const TFormClass& form) {
  if (!form.keys.empty()) return form.keys;
  return {std::cref(form.key)};
}

bool KeyIsInteger(const TFormClass& form, const TMember& key) {
  if (key.IsReference()) return ReferenceOf(form, key).refKeyIsInteger;
  return key.memberIsInteger == 1;
}

std::string ShowRecordParameters(const TFormClass& code) {
  std::string text;
  for (const TMember& key : KeyMembersOf(code)) {
    if (!text.empty()) text += ", ";
    text += "ByVal key_" + key.memberName + " As " + (KeyIsInteger(code, key) ? "Long" : "String");
  }
  return text;
}

std::string ShowRecordArguments(const TFormClass& form, std::string_view recordset) {
  std::string text;
  for (const TMember& key : KeyMembersOf(form)) {
    if (!text.empty()) text += ", ";
    text += std::string(KeyConversion(KeyIsInteger(form, key))) + "(" + std::string(recordset) +
            ".Fields(\"" + key.memberName + "\").Value)";
  }
  return text;
}

std::string SaveFailedTail(const std::string& friendName) {
  return Fill(kSaveFailed, {{"friendName", friendName}});
}

}  // namespace vbgen
