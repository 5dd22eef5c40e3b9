#include "model/Rules.h"

#include <algorithm>
#include <charconv>

#include "model/ClassDAO.h"
#include "model/ProjectDAO.h"

namespace vbgen {

std::optional<char32_t> NextCodePoint(const std::string& text, std::size_t& pos) {
  auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  unsigned char lead = byte(pos);
  int extra = lead < 0x80           ? 0
              : (lead >> 5) == 0x6  ? 1
              : (lead >> 4) == 0xE  ? 2
              : (lead >> 3) == 0x1E ? 3
                                    : -1;
  if (extra < 0 || pos + static_cast<std::size_t>(extra) >= text.size() + (extra == 0 ? 1 : 0))
    return std::nullopt;
  char32_t value = extra == 0 ? lead : lead & (0x3F >> extra);
  for (int i = 1; i <= extra; ++i) {
    unsigned char next = byte(pos + static_cast<std::size_t>(i));
    if ((next & 0xC0) != 0x80) return std::nullopt;
    value = (value << 6) | (next & 0x3F);
  }
  pos += static_cast<std::size_t>(extra) + 1;
  return value;
}

// Letters, digits, underscores, and letters beyond ASCII (Chinese above all): what may stand
// in a VB identifier, a SQL Server name and a file name alike.
bool IsIdentifierChar(char32_t c) {
  if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_')
    return true;
  if (c >= 0xC0 && c <= 0x24F) return c != 0xD7 && c != 0xF7;
  return (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) ||
         (c >= 0xF900 && c <= 0xFAFF);
}

bool IsIdentifier(const std::string& name) {
  std::size_t pos = 0;
  while (pos < name.size()) {
    if (static_cast<unsigned char>(name[pos]) < 0x80) {  // most names are ASCII throughout
      if (!IsIdentifierChar(static_cast<char32_t>(name[pos++]))) return false;
      continue;
    }
    const std::optional<char32_t> c = NextCodePoint(name, pos);
    if (!c || !IsIdentifierChar(*c)) return false;
  }
  return true;
}

bool StartsWithLetter(const std::string& name) {
  if (name.empty()) return false;
  std::size_t pos = 0;
  const std::optional<char32_t> c = NextCodePoint(name, pos);
  return c && IsIdentifierChar(*c) && *c != '_' && !(*c >= '0' && *c <= '9');
}

namespace {

bool HasControlChar(const std::string& text) {
  for (unsigned char c : text) {
    if (c < 0x20 || c == 0x7F) return true;
  }
  return false;
}

}  // namespace

// Friend names and comments land inside VB string literals.
bool FitsVbString(const std::string& text) {
  return text.find('"') == std::string::npos && !HasControlChar(text);
}

namespace {

TRuleResult ProjectNameSafety(const std::string& name) {
  if (name == "." || name == "..") return "工程名称不能是\".\"或\"..\"!";
  if (HasControlChar(name) || name.find_first_of("<>:\"/\\|?*") != std::string::npos)
    return "工程名称不能包含控制字符或下列字符: < > : \" / \\ | ? *";
  return std::nullopt;
}

bool FirstByteIn(const std::string& text, char low, char high) {
  return !text.empty() && text[0] >= low && text[0] <= high;
}

}  // namespace

TRuleResult CheckNewProjectName(const std::string& name) {
  if (name.empty()) return "工程名称不能为空!";
  if (auto unsafe = ProjectNameSafety(name)) return unsafe;
  if (TProjectDAO().CountProjectsByName(name) > 0) return "该工程名称已经存在!";
  return std::nullopt;
}

TRuleResult CheckRenamedProjectName(const std::string& name) {
  if (name.empty()) return "工程项目名称不能为空!";
  return ProjectNameSafety(name);
}

namespace {

// Both class dialogs and the check of stored models: what VB6 and the generated names need.
TRuleResult ClassNameForm(const std::string& className) {
  if (!FirstByteIn(className, 'A', 'Z')) return "类名首个字母必须大写";
  if (!IsIdentifier(className)) return kClassNameChars;
  return std::nullopt;
}

// The platforms' limits, which both dialogs check after their own rules.
TRuleResult ClassNamePlatformLimits(const std::string& className) {
  if (auto admin = CheckNotOperatorTable(className)) return admin;
  return CheckClassNameLimit(className);
}

// SQL Server and VB6 ignore case, so two classes may not differ in case alone.
TRuleResult ClassNameDiffersInCase(int projectId, const std::string& className) {
  for (const auto& entry : TClassDAO().ListClasses(projectId)) {
    if (FoldCase(entry.name) == FoldCase(className)) {
      return "该类名称与已有的类" + entry.name + "只差大小写, VB6和SQL Server不区分大小写!";
    }
  }
  return std::nullopt;
}

}  // namespace

namespace {

TFieldResult About(TRuleField field, TRuleResult message) {
  if (!message) return std::nullopt;
  return TRuleFailure{std::move(*message), field};
}

TRuleResult MessageOf(TFieldResult failure) {
  if (!failure) return std::nullopt;
  return std::move(failure->message);
}

}  // namespace

TFieldResult CheckAddClassWithField(int projectId, const std::string& className,
                                    const std::string& friendName) {
  if (className.empty()) return TRuleFailure{"类名称不能为空!", TRuleField::ClassName};
  if (friendName.empty()) return TRuleFailure{"友好名称不能为空", TRuleField::FriendName};
  if (auto form = ClassNameForm(className)) return About(TRuleField::ClassName, form);
  if (!FitsVbString(friendName)) return TRuleFailure{kFriendNameChars, TRuleField::FriendName};
  if (TClassDAO().CountClassesByName(projectId, className) > 0)
    return TRuleFailure{"该类名称已经存在!", TRuleField::ClassName};
  if (auto caseOnly = ClassNameDiffersInCase(projectId, className))
    return About(TRuleField::ClassName, caseOnly);
  return About(TRuleField::ClassName, ClassNamePlatformLimits(className));
}

TRuleResult CheckAddClass(int projectId, const std::string& className,
                          const std::string& friendName) {
  return MessageOf(CheckAddClassWithField(projectId, className, friendName));
}

TRuleResult CheckUpdateClass(const std::string& className, const std::string& friendName) {
  if (className.empty()) return "类名称不能为空";
  if (auto form = ClassNameForm(className)) return form;
  if (auto friendly = CheckStoredFriendName(friendName)) return friendly;
  return ClassNamePlatformLimits(className);
}

std::string TMemberInput::Type() const {
  if (!typeIndex || *typeIndex >= typeList.size()) return {};
  return typeList[*typeIndex];
}

std::vector<std::string> MemberTypeList(const TNamedIdList& otherClasses,
                                        const std::string& ownClassName) {
  std::vector<std::string> list(std::begin(kBuiltinTypes), std::end(kBuiltinTypes));
  for (const auto& entry : otherClasses) list.push_back(entry.name);
  if (!ownClassName.empty()) list.push_back(ownClassName);
  return list;
}

std::vector<std::string_view> SqlTypesFor(std::string_view memberType) {
  if (memberType == kTypeString) return {"nvarchar", "nchar", "char"};
  if (memberType == kTypeInteger) return {"bit", "tinyint", "smallint"};
  if (memberType == kTypeFloat) return {"decimal", "numeric", "money", "smallmoney"};
  return {};
}

bool SqlTypeHasPrecision(std::string_view sqlType) {
  return sqlType == "decimal" || sqlType == "numeric";
}

namespace {

TFieldResult NameGiven(const TMemberInput& in) {
  if (in.name.empty()) return TRuleFailure{"成员名称输入不能为空!", TRuleField::MemberName};
  return std::nullopt;
}
// VB6 property names of the generated classes begin with a lower-case ASCII letter.
TFieldResult NameIsLowerIdentifier(const TMemberInput& in) {
  if (!FirstByteIn(in.name, 'a', 'z'))
    return TRuleFailure{"成员属性首个字母必须小写", TRuleField::MemberName};
  if (!IsIdentifier(in.name)) return TRuleFailure{kMemberNameChars, TRuleField::MemberName};
  return std::nullopt;
}
// Only a string or a picture may stay empty in a generated entry form.
TFieldResult MustTickedUnlessStringOrPicture(const TMemberInput& in) {
  std::string type = in.Type();
  if (type != kTypeString && type != kTypePicture && !in.isMust)
    return TRuleFailure{type + "必须勾选是否必填标志!", TRuleField::Several};
  return std::nullopt;
}
TFieldResult PictureNotDisplayed(const TMemberInput& in) {
  if (in.Type() == kTypePicture && in.queryDisplay)
    return TRuleFailure{"图片字段不用参与显示！", TRuleField::Several};
  return std::nullopt;
}
TFieldResult KeyIsIntegerOrString(const TMemberInput& in) {
  std::string type = in.Type();
  if (in.isPri && type != kTypeString && type != kTypeInteger)
    return TRuleFailure{"主键字段必须是整型或字符串型!", TRuleField::Several};
  return std::nullopt;
}
// A reference key holds the referenced class's key, itself an integer or a string: the key of a
// link table is its references. The add dialog does not offer it; a model file may hold it.
TFieldResult KeyIsIntegerStringOrReference(const TMemberInput& in) {
  const std::string type = in.Type();
  if (!type.empty() && !IsBuiltinType(type)) return std::nullopt;
  return KeyIsIntegerOrString(in);
}
// The manage form finds the selected row by the key shown in the grid.
TFieldResult KeyIsDisplayed(const TMemberInput& in) {
  if (in.isPri && !in.queryDisplay)
    return TRuleFailure{"主键字段需要参与显示!", TRuleField::Several};
  return std::nullopt;
}
// The generated query searches with LIKE, which numbers and pictures do not take.
TFieldResult QueriedTypeIsSearchable(const TMemberInput& in) {
  std::string type = in.Type();
  if (in.queryFlag && (type == kTypeInteger || type == kTypeFloat || type == kTypePicture))
    return TRuleFailure{"参与查询的字段不能是" + type, TRuleField::Several};
  return std::nullopt;
}
TFieldResult CommentSafety(const TMemberInput& in) {
  if (!FitsVbString(in.comment)) return TRuleFailure{kCommentChars, TRuleField::MemberComment};
  return std::nullopt;
}
// The longest name depends on the type, so the name alone is not at fault.
TFieldResult NameLimit(const TMemberInput& in) {
  return About(TRuleField::Several, CheckMemberNameLimit(in.name, in.Type()));
}

TFieldResult SqlTypeFitsMemberType(const TMemberInput& in) {
  if (in.sqlType.empty()) return std::nullopt;
  const std::string type = in.Type();
  const std::vector<std::string_view> allowed = SqlTypesFor(type);
  if (std::find(allowed.begin(), allowed.end(), in.sqlType) != allowed.end()) return std::nullopt;
  if (allowed.empty()) {
    return TRuleFailure{(type.empty() ? std::string("该") : type) + "成员不能指定SQL类型!",
                        TRuleField::Several};
  }
  std::string choices;
  for (std::size_t i = 0; i < allowed.size(); ++i) {
    choices += (i == 0 ? "" : i + 1 == allowed.size() ? "或" : "、") + std::string(allowed[i]);
  }
  return TRuleFailure{type + "成员的SQL类型只能是" + choices + "!", TRuleField::Several};
}
// The length is checked against 8000 when the member is built; a national text holds half.
TFieldResult NationalTextFits(const TMemberInput& in) {
  if (in.sqlType != "nvarchar" && in.sqlType != "nchar") return std::nullopt;
  int length = 0;
  const std::string& text = in.lengthText;
  const char* begin = text.data() + (!text.empty() && text[0] == '+' ? 1 : 0);
  const auto [rest, error] = std::from_chars(begin, text.data() + text.size(), length);
  if (error != std::errc() || rest != text.data() + text.size()) return std::nullopt;
  if (length <= kMaxNationalLength) return std::nullopt;
  return TRuleFailure{in.sqlType + "的长度不能超过" + std::to_string(kMaxNationalLength) + "!",
                      TRuleField::Several};
}
TFieldResult PrecisionAndScaleFit(const TMemberInput& in) {
  if (!SqlTypeHasPrecision(in.sqlType)) return std::nullopt;
  if (in.precision < 1 || in.precision > kMaxDecimalPrecision) {
    return TRuleFailure{
        in.sqlType + "的精度必须在1到" + std::to_string(kMaxDecimalPrecision) + "之间!",
        TRuleField::Several};
  }
  if (in.scale < 0 || in.scale > in.precision) {
    return TRuleFailure{
        in.sqlType + "的小数位数必须在0到精度" + std::to_string(in.precision) + "之间!",
        TRuleField::Several};
  }
  return std::nullopt;
}
// A key finds its row; a NULL finds none.
TFieldResult KeyIsNotNull(const TMemberInput& in) {
  if (in.isPri && in.allowNull) return TRuleFailure{"主键字段不能允许为空!", TRuleField::Several};
  return std::nullopt;
}
// A text or a reference key is always typed or picked; only an integer key may be numbered by
// the database instead.
TFieldResult OnlyAnIntegerKeyIsEntered(const TMemberInput& in) {
  if (in.keyEntered && !(in.isPri && in.Type() == kTypeInteger))
    return TRuleFailure{"只有整型主键可以选择由用户输入键值!", TRuleField::Several};
  return std::nullopt;
}
// SQL Server numbers no bit column (IDENTITY takes whole numbers of at least a byte).
TFieldResult NumberedKeyIsNoBit(const TMemberInput& in) {
  if (in.isPri && !in.keyEntered && in.Type() == kTypeInteger && in.sqlType == "bit")
    return TRuleFailure{"bit类型的主键不能由数据库编号, 请选择由用户输入键值!",
                        TRuleField::Several};
  return std::nullopt;
}

using TRule = TFieldResult (*)(const TMemberInput&);

TFieldResult FirstFailure(const TMemberInput& input, std::initializer_list<TRule> rules) {
  for (TRule rule : rules) {
    if (auto failure = rule(input)) return failure;
  }
  return std::nullopt;
}

// What the database allows, after the rules of the plain output: a model that uses none of it
// meets exactly those.
TFieldResult DatabaseRulesFailure(const TMemberInput& input) {
  return FirstFailure(input, {SqlTypeFitsMemberType, NationalTextFits, PrecisionAndScaleFit,
                              KeyIsNotNull, OnlyAnIntegerKeyIsEntered, NumberedKeyIsNoBit});
}

TFieldResult AddFailure(const TMemberInput& input, TRule keyType) {
  if (auto failure =
          FirstFailure(input, {NameGiven, NameIsLowerIdentifier, MustTickedUnlessStringOrPicture,
                               PictureNotDisplayed, keyType, KeyIsDisplayed,
                               QueriedTypeIsSearchable, CommentSafety, NameLimit})) {
    return failure;
  }
  return DatabaseRulesFailure(input);
}

}  // namespace

TFieldResult CheckAddMemberWithField(const TMemberInput& input) {
  return AddFailure(input, KeyIsIntegerOrString);
}

TFieldResult CheckModelFileMemberWithField(const TMemberInput& input) {
  return AddFailure(input, KeyIsIntegerStringOrReference);
}

TRuleResult CheckAddMember(const TMemberInput& input) {
  return MessageOf(CheckAddMemberWithField(input));
}

TRuleResult CheckUpdateMember(const TMemberInput& input) {
  if (auto failure = FirstFailure(
          input, {NameGiven, NameIsLowerIdentifier, MustTickedUnlessStringOrPicture, KeyIsDisplayed,
                  PictureNotDisplayed, QueriedTypeIsSearchable, CommentSafety, NameLimit})) {
    return MessageOf(failure);
  }
  return MessageOf(DatabaseRulesFailure(input));
}

TBuiltMember BuildMember(const TMemberInput& input, int projectId, int classId, int memberId) {
  TMember m;
  m.memberId = memberId;
  m.projectId = projectId;
  m.classId = classId;
  m.memberName = input.name;
  m.memberType = input.Type();
  if (m.memberType == kTypeString) {
    const std::string& text = input.lengthText;
    const char* begin = text.data() + (!text.empty() && text[0] == '+' ? 1 : 0);
    const char* end = text.data() + text.size();
    int length = 0;
    auto [rest, error] = std::from_chars(begin, end, length);
    if (text.empty() || error != std::errc() || rest != end) {
      return {std::nullopt, "\"" + text + "\"不是有效的整数值!"};
    }
    // A column SQL Server cannot create is refused here, not when the script is run.
    if (auto refused = CheckStringLength(length)) return {std::nullopt, *refused};
    m.memberLength = length;
  }
  m.memberIsPri = input.isPri ? 1 : 0;
  m.memberIsInteger = m.memberType == kTypeInteger ? 1 : 0;
  m.memberIsFloat = m.memberType == kTypeFloat ? 1 : 0;
  m.memberIsMust = input.isMust ? 1 : 0;
  m.queryFlag = input.queryFlag ? 1 : 0;
  m.memberIsDisplay = input.isDisplay ? 1 : 0;
  m.memberQueryDisplay = input.queryDisplay ? 1 : 0;
  m.memberComment = input.comment;
  m.memberAllowNull = input.allowNull ? 1 : 0;
  m.memberKeyEntered = input.keyEntered ? 1 : 0;
  m.memberSqlType = input.sqlType;
  if (SqlTypeHasPrecision(input.sqlType)) {
    m.memberPrecision = input.precision;
    m.memberScale = input.scale;
  }
  return {m, {}};
}

TMemberInput NewMemberInput(std::vector<std::string> typeList) {
  TMemberInput input;
  input.typeList = std::move(typeList);
  return input;
}

TMemberInput MemberInputFrom(const TMember& member, std::vector<std::string> typeList) {
  TMemberInput input;
  input.typeList = std::move(typeList);
  input.typeIndex = std::nullopt;
  for (std::size_t i = 0; i < input.typeList.size(); ++i) {
    if (input.typeList[i] == member.memberType) {
      input.typeIndex = i;
      break;
    }
  }
  input.name = member.memberName;
  input.lengthText = std::to_string(member.memberLength);
  input.isMust = member.memberIsMust == 1;
  input.queryFlag = member.queryFlag == 1;
  input.isPri = member.memberIsPri == 1;
  input.isDisplay = member.memberIsDisplay == 1;
  input.queryDisplay = member.memberQueryDisplay == 1;
  input.comment = member.memberComment;
  input.allowNull = member.memberAllowNull == 1;
  input.keyEntered = member.memberKeyEntered == 1;
  input.sqlType = member.memberSqlType;
  input.precision = member.memberPrecision;
  input.scale = member.memberScale;
  return input;
}

TRuleResult CheckStoredClassName(const std::string& className) {
  if (className.empty()) return "类名称不能为空!";
  return ClassNameForm(className);
}

TRuleResult CheckStoredProjectName(const std::string& projectName) {
  if (projectName.empty()) return "工程名称不能为空!";
  return ProjectNameSafety(projectName);
}

TRuleResult CheckStoredFriendName(const std::string& friendName) {
  if (friendName.empty()) return "友好名称不能为空";
  if (!FitsVbString(friendName)) return kFriendNameChars;
  return std::nullopt;
}

TRuleResult CheckStoredMemberName(const std::string& memberName) {
  TMemberInput input;
  input.name = memberName;
  return MessageOf(FirstFailure(input, {NameGiven, NameIsLowerIdentifier}));
}

std::size_t NameLength(const std::string& name) {
  std::size_t count = 0;
  for (unsigned char c : name) {
    if ((c & 0xC0) != 0x80) ++count;  // every byte but a UTF-8 continuation starts a character
  }
  return count;
}

std::string FoldCase(const std::string& name) {
  std::string folded = name;
  for (char& c : folded) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return folded;
}

// The generated controls per type: TB_ (text, numbers, key), RTB_ (long text), DTP_ and CHB_
// (dates), CB_ (references), Image_, Btn_ and TB_{memberName}Path (pictures).
TControlAffix LongestControlAffix(std::string_view memberType) {
  if (memberType == kTypeString) return {"RTB_", ""};
  if (memberType == kTypeDate) return {"DTP_", ""};
  if (memberType == kTypePicture) return {"TB_", "Path"};
  if (memberType == kTypeInteger || memberType == kTypeFloat) return {"TB_", ""};
  return {"CB_", ""};
}

std::size_t MaxMemberNameLength(std::string_view memberType) {
  const TControlAffix affix = LongestControlAffix(memberType);
  return kMaxVbControlName - affix.prefix.size() - affix.suffix.size();
}

namespace {
constexpr std::string_view kLongestClassPrefix = "CB_Manage";
}  // namespace

std::size_t MaxClassNameLength() { return kMaxVbControlName - kLongestClassPrefix.size(); }

TRuleResult CheckClassNameLimit(const std::string& className) {
  if (NameLength(className) <= MaxClassNameLength()) return std::nullopt;
  return "类名最长" + std::to_string(MaxClassNameLength()) + "个字符: 生成的VB6控件名" +
         std::string(kLongestClassPrefix) + "加类名不能超过" + std::to_string(kMaxVbControlName) +
         "个字符!";
}

TRuleResult CheckMemberNameLimit(const std::string& memberName, std::string_view memberType) {
  const std::size_t limit = MaxMemberNameLength(memberType);
  if (NameLength(memberName) <= limit) return std::nullopt;
  const TControlAffix affix = LongestControlAffix(memberType);
  std::string control = std::string(affix.prefix) + "加成员名称";
  if (!affix.suffix.empty()) control += "加" + std::string(affix.suffix);
  return "成员名称最长" + std::to_string(limit) + "个字符: 生成的VB6控件名" + control + "不能超过" +
         std::to_string(kMaxVbControlName) + "个字符!";
}

TRuleResult CheckStringLength(int length) {
  if (length <= 0) return "字符串长度必须大于0!";
  if (length > kMaxVarcharLength) {
    return "字符串长度不能超过" + std::to_string(kMaxVarcharLength) + "! (SQL Server的varchar最长" +
           std::to_string(kMaxVarcharLength) + ")";
  }
  return std::nullopt;
}

TRuleResult CheckNotOperatorTable(const std::string& className) {
  if (FoldCase(className) == "admin") return "类名不能是admin: 建表语句用admin表保存操作员!";
  return std::nullopt;
}

}  // namespace vbgen
