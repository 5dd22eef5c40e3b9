// The input rules of the window and the dialogs, shared with the command line. Each check
// returns the message to show, or nothing when the input passes.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "model/Member.h"
#include "model/NamedId.h"

namespace vbgen {

using TRuleResult = std::optional<std::string>;

// The input a failed check is about, so that a caller showing the inputs apart (the model file
// names the field) can point at it. A check that weighs several inputs together (a type with a
// flag, a name's length against its type) names none of them.
enum class TRuleField { Several, ClassName, FriendName, MemberName, MemberComment };

struct TRuleFailure {
  std::string message;
  TRuleField field;

  bool operator==(const TRuleFailure&) const = default;
};
using TFieldResult = std::optional<TRuleFailure>;

// New project (the new-project input box).
TRuleResult CheckNewProjectName(const std::string& name);
// Rename (the rename input box); another project may already have the name.
TRuleResult CheckRenamedProjectName(const std::string& name);

// The add-class dialog's order: names empty, first letter, characters, friend name, exists;
// then the platforms' limits: a name that differs from another class's only in case, admin,
// the length of the name.
TRuleResult CheckAddClass(int projectId, const std::string& className,
                          const std::string& friendName);
// The same check, with the input that failed.
TFieldResult CheckAddClassWithField(int projectId, const std::string& className,
                                    const std::string& friendName);
// The update-class dialog's order, then admin and the length of the name; a name that another
// class has is accepted (the run refuses the duplicate).
TRuleResult CheckUpdateClass(const std::string& className, const std::string& friendName);

// What the member dialogs hold when OK is pressed.
struct TMemberInput {
  std::string name;
  // The type list of the dialog: the five type words, then the other classes of the project.
  std::vector<std::string> typeList;
  std::optional<std::size_t> typeIndex = 0;  // the selected entry, if any
  std::string lengthText = "20";
  bool isPri = false;
  bool isMust = false;
  bool queryFlag = false;
  bool isDisplay = false;
  bool queryDisplay = true;
  std::string comment;
  // What the database allows beyond the type, for the complete application (see TMember).
  bool allowNull = false;
  bool keyEntered = false;
  std::string sqlType;
  int precision = 0;
  int scale = 0;

  // The text of the selected type entry; empty when none is selected.
  std::string Type() const;
};

// The type list for a member of a class: the five words, then the other classes' names, then
// the class's own name when given (a reference to its own rows, for the complete application).
std::vector<std::string> MemberTypeList(const TNamedIdList& otherClasses,
                                        const std::string& ownClassName = {});

// The declared SQL types a member of the type may have beside its default mapping ("" stands
// for that default and is not listed); none for a date, a picture or a reference.
std::vector<std::string_view> SqlTypesFor(std::string_view memberType);
// decimal and numeric carry a precision and a scale.
bool SqlTypeHasPrecision(std::string_view sqlType);
inline constexpr int kMaxDecimalPrecision = 38;
// nvarchar and nchar hold two bytes a character: at most 4000 of them.
inline constexpr int kMaxNationalLength = 4000;

// In this order: a name is given, it is a lower-case identifier, the must flag is ticked unless
// the type is a string or a picture, a picture is not displayed, a key is an integer or a
// string, a key is displayed, a queried member is searchable; then the comment fits a
// VB string and the name fits the longest control of its type; then what the database allows:
// the SQL type fits the member type (and a national text's length), precision and scale, a
// key is not NULL, only an integer key is entered, a numbered key is no bit.
TRuleResult CheckAddMember(const TMemberInput& input);
// The same check, with the input that failed.
TFieldResult CheckAddMemberWithField(const TMemberInput& input);
// The add dialog's check for a member read from a model file, where a key may also be a
// reference (a link table's key is its references, set in the update dialog or read from a
// script).
TFieldResult CheckModelFileMemberWithField(const TMemberInput& input);
// The add dialog's checks but for the key's type, with the displayed key checked before the
// picture: name given, lower-case identifier, must flag, key displayed, picture not
// displayed, queried member searchable; then the comment and the length of the name; then
// what the database allows, as in the add dialog.
TRuleResult CheckUpdateMember(const TMemberInput& input);

// The record the dialogs store, or the conversion error of a length that is not an integer, or
// a string length outside 1 to 8000. Precision and scale are kept for decimal and numeric only,
// as the length is for a string only.
struct TBuiltMember {
  std::optional<TMember> member;
  std::string error;
};
TBuiltMember BuildMember(const TMemberInput& input, int projectId, int classId, int memberId);

// The input a dialog starts from: the add dialog's fresh state, or a stored member.
TMemberInput NewMemberInput(std::vector<std::string> typeList);
TMemberInput MemberInputFrom(const TMember& member, std::vector<std::string> typeList);

// Checks a stored name as the dialogs would have (used for models from older databases).
TRuleResult CheckStoredClassName(const std::string& className);
// A stored project name, as the new-project box would have checked it (but for duplicates):
// it names the project's output folder.
TRuleResult CheckStoredProjectName(const std::string& projectName);
TRuleResult CheckStoredFriendName(const std::string& friendName);
TRuleResult CheckStoredMemberName(const std::string& memberName);

// Decodes one UTF-8 character at pos and moves past it; none (pos unmoved) for bytes that are
// not UTF-8.
std::optional<char32_t> NextCodePoint(const std::string& text, std::size_t& pos);
// What a class or member name may hold: letters, digits, underscores, Chinese.
bool IsIdentifierChar(char32_t c);
// The parts of the name rules, for the model check to weigh one by one.
// Letters, digits, underscores and Chinese characters only.
bool IsIdentifier(const std::string& name);
// Begins with a letter, ASCII or beyond (a Chinese character counts): what VB6 names need.
bool StartsWithLetter(const std::string& name);
// Holds no double quote and no control character: it can stand in a VB string literal.
bool FitsVbString(const std::string& text);
inline constexpr const char* kClassNameChars = "类名只能由字母、数字、下划线或汉字组成!";
inline constexpr const char* kFriendNameChars = "友好名称不能包含双引号或控制字符!";
inline constexpr const char* kMemberNameChars = "成员名称只能由字母、数字、下划线或汉字组成!";
inline constexpr const char* kCommentChars = "成员注释不能包含双引号或控制字符!";

// Limits of the platforms the generated project meets, checked after the Parts' own rules.
inline constexpr std::size_t kMaxVbControlName = 40;  // VB6 control and form names
inline constexpr std::size_t kMaxSqlName = 128;       // SQL Server identifiers
inline constexpr int kMaxVarcharLength = 8000;        // the widest varchar column

// Characters of a name as VB6 and SQL Server count them (not bytes).
std::size_t NameLength(const std::string& name);
// ASCII letters folded to lower case: VB6 and SQL Server's default collation compare names so.
std::string FoldCase(const std::string& name);

// The longest control name a member of the type gets is prefix + memberName + suffix.
struct TControlAffix {
  std::string_view prefix;
  std::string_view suffix;
};
TControlAffix LongestControlAffix(std::string_view memberType);
std::size_t MaxMemberNameLength(std::string_view memberType);
// CB_Manage{className} (the operator form) and FrmManage{className} are the longest names.
std::size_t MaxClassNameLength();

TRuleResult CheckClassNameLimit(const std::string& className);
TRuleResult CheckMemberNameLimit(const std::string& memberName, std::string_view memberType);
// A length of a varchar column: 1 to 8000.
TRuleResult CheckStringLength(int length);
// The script keeps its operators in the table admin; no class may take that name in any case.
TRuleResult CheckNotOperatorTable(const std::string& className);

}  // namespace vbgen
