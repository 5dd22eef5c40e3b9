#include "model/Rules.h"

#include <charconv>

#include "model/ClassDAO.h"
#include "model/ProjectDAO.h"

namespace vbgen {
namespace {

// Decodes one UTF-8 character at pos; returns false for bytes that are not valid UTF-8.
bool NextCodePoint(const std::string& text, std::size_t& pos, char32_t& out) {
  auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  unsigned char lead = byte(pos);
  int extra = lead < 0x80           ? 0
              : (lead >> 5) == 0x6  ? 1
              : (lead >> 4) == 0xE  ? 2
              : (lead >> 3) == 0x1E ? 3
                                    : -1;
  if (extra < 0 || pos + static_cast<std::size_t>(extra) >= text.size() + (extra == 0 ? 1 : 0))
    return false;
  char32_t value = extra == 0 ? lead : lead & (0x3F >> extra);
  for (int i = 1; i <= extra; ++i) {
    unsigned char next = byte(pos + static_cast<std::size_t>(i));
    if ((next & 0xC0) != 0x80) return false;
    value = (value << 6) | (next & 0x3F);
  }
  pos += static_cast<std::size_t>(extra) + 1;
  out = value;
  return true;
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
  char32_t c;
  while (pos < name.size()) {
    if (!NextCodePoint(name, pos, c) || !IsIdentifierChar(c)) return false;
  }
  return true;
}

bool HasControlChar(const std::string& text) {
  for (unsigned char c : text) {
    if (c < 0x20 || c == 0x7F) return true;
  }
  return false;
}

// Friend names and comments land inside VB string literals.
bool FitsVbString(const std::string& text) {
  return text.find('"') == std::string::npos && !HasControlChar(text);
}

TRuleResult ProjectNameSafety(const std::string& name) {
  if (name == "." || name == "..") return "工程名称不能是\".\"或\"..\"!";
  if (HasControlChar(name) || name.find_first_of("<>:\"/\\|?*") != std::string::npos)
    return "工程名称不能包含控制字符或下列字符: < > : \" / \\ | ? *";
  return std::nullopt;
}

bool FirstByteIn(const std::string& text, char low, char high) {
  return !text.empty() && text[0] >= low && text[0] <= high;
}

constexpr const char* kClassNameChars = "类名只能由字母、数字、下划线或汉字组成!";
constexpr const char* kFriendNameChars = "友好名称不能包含双引号或控制字符!";
constexpr const char* kMemberNameChars = "成员名称只能由字母、数字、下划线或汉字组成!";
constexpr const char* kCommentChars = "成员注释不能包含双引号或控制字符!";

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

TRuleResult CheckAddClass(int projectId, const std::string& className,
                          const std::string& friendName) {
  if (className.empty()) return "类名称不能为空!";
  if (friendName.empty()) return "友好名称不能为空";
  if (!FirstByteIn(className, 'A', 'Z')) return "类名首个字母必须大写";
  if (!IsIdentifier(className)) return kClassNameChars;
  if (!FitsVbString(friendName)) return kFriendNameChars;
  if (TClassDAO().CountClassesByName(projectId, className) > 0) return "该类名称已经存在!";
  return std::nullopt;
}

TRuleResult CheckUpdateClass(const std::string& className, const std::string& friendName) {
  if (className.empty()) return "类名称不能为空";
  if (!FirstByteIn(className, 'A', 'Z')) return "类名首个字母必须大写";
  if (!IsIdentifier(className)) return kClassNameChars;
  if (friendName.empty()) return "友好名称不能为空";
  if (!FitsVbString(friendName)) return kFriendNameChars;
  return std::nullopt;
}

std::string TMemberInput::Type() const {
  if (typeIndex < 0 || static_cast<std::size_t>(typeIndex) >= typeList.size()) return {};
  return typeList[static_cast<std::size_t>(typeIndex)];
}

std::vector<std::string> MemberTypeList(const TNamedIdList& otherClasses) {
  std::vector<std::string> list(std::begin(kBuiltinTypes), std::end(kBuiltinTypes));
  for (const auto& entry : otherClasses) list.push_back(entry.name);
  return list;
}

namespace {

TRuleResult RuleN1(const TMemberInput& in) {
  if (in.name.empty()) return "成员名称输入不能为空!";
  return std::nullopt;
}
TRuleResult RuleN2(const TMemberInput& in) {
  if (!FirstByteIn(in.name, 'a', 'z')) return "成员属性首个字母必须小写";
  if (!IsIdentifier(in.name)) return kMemberNameChars;
  return std::nullopt;
}
TRuleResult RuleM(const TMemberInput& in) {
  std::string type = in.Type();
  if (type != kTypeString && type != kTypePicture && !in.isMust)
    return type + "必须勾选是否必填标志!";
  return std::nullopt;
}
TRuleResult RuleP(const TMemberInput& in) {
  if (in.Type() == kTypePicture && in.queryDisplay) return "图片字段不用参与显示！";
  return std::nullopt;
}
TRuleResult RuleK1(const TMemberInput& in) {
  if (in.isPri && in.typeIndex >= 2) return "主键字段必须是整型或字符串型!";
  return std::nullopt;
}
TRuleResult RuleK2(const TMemberInput& in) {
  if (in.isPri && !in.queryDisplay) return "主键字段需要参与显示!";
  return std::nullopt;
}
TRuleResult RuleQ(const TMemberInput& in) {
  std::string type = in.Type();
  if (in.queryFlag && (type == kTypeInteger || type == kTypeFloat || type == kTypePicture))
    return "参与查询的字段不能是" + type;
  return std::nullopt;
}
TRuleResult CommentSafety(const TMemberInput& in) {
  if (!FitsVbString(in.comment)) return kCommentChars;
  return std::nullopt;
}

using TRule = TRuleResult (*)(const TMemberInput&);

TRuleResult FirstFailure(const TMemberInput& input, std::initializer_list<TRule> rules) {
  for (TRule rule : rules) {
    if (auto message = rule(input)) return message;
  }
  return std::nullopt;
}

}  // namespace

TRuleResult CheckAddMember(const TMemberInput& input) {
  return FirstFailure(input, {RuleN1, RuleN2, RuleM, RuleP, RuleK1, RuleK2, RuleQ, CommentSafety});
}

TRuleResult CheckUpdateMember(const TMemberInput& input) {
  return FirstFailure(input, {RuleN1, RuleN2, RuleM, RuleK2, RuleP, RuleQ, CommentSafety});
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
    // A column of no characters cannot be created: refuse it here, not in SQL Server.
    if (length <= 0) return {std::nullopt, "字符串长度必须大于0!"};
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
  input.typeIndex = -1;
  for (std::size_t i = 0; i < input.typeList.size(); ++i) {
    if (input.typeList[i] == member.memberType) {
      input.typeIndex = static_cast<int>(i);
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
  return input;
}

TRuleResult CheckStoredClassName(const std::string& className) {
  if (className.empty()) return "类名称不能为空!";
  if (!FirstByteIn(className, 'A', 'Z')) return "类名首个字母必须大写";
  if (!IsIdentifier(className)) return kClassNameChars;
  return std::nullopt;
}

TRuleResult CheckClassNameAsFileName(const std::string& className) {
  if (!IsIdentifier(className)) return kClassNameChars;
  return std::nullopt;
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
  if (auto message = RuleN1(input)) return message;
  return RuleN2(input);
}

TRuleResult CheckStoredComment(const std::string& comment) {
  if (!FitsVbString(comment)) return kCommentChars;
  return std::nullopt;
}

}  // namespace vbgen
