#include "cli/Hints.h"

#include <algorithm>

#include "model/ClassDAO.h"
#include "model/MemberDAO.h"
#include "model/Rules.h"

namespace vbgen::cli {
namespace {

bool StartsWith(const std::string& text, const std::string& head) {
  return text.rfind(head, 0) == 0;
}

bool EndsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() &&
         text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

struct TOptionHint {
  enum class TMatch { Whole, Head, Tail, Contains } match;
  const char* text;
  const char* option;
};

// Each message of the member rules (model/Rules.cpp) and the option that sets what it names.
constexpr TOptionHint kMemberHints[] = {
    {TOptionHint::TMatch::Whole, "成员名称输入不能为空!", "--name"},
    {TOptionHint::TMatch::Whole, "成员属性首个字母必须小写", "--name"},
    {TOptionHint::TMatch::Whole, kMemberNameChars, "--name"},
    {TOptionHint::TMatch::Head, "成员名称最长", "--name"},
    {TOptionHint::TMatch::Tail, "必须勾选是否必填标志!", "--must"},
    {TOptionHint::TMatch::Whole, "图片字段不用参与显示！", "--no-query-display"},
    {TOptionHint::TMatch::Whole, "主键字段必须是整型或字符串型!",
     "--type 整型 或 --type 字符串, 或 --no-pri"},
    {TOptionHint::TMatch::Whole, "主键字段需要参与显示!", "--query-display"},
    {TOptionHint::TMatch::Head, "参与查询的字段不能是", "--no-query"},
    {TOptionHint::TMatch::Whole, kCommentChars, "--comment"},
    {TOptionHint::TMatch::Tail, "不是有效的整数值!", "--length"},
    {TOptionHint::TMatch::Head, "字符串长度", "--length"},
    {TOptionHint::TMatch::Head, "成员类型必须是下列之一", "--type"},
    {TOptionHint::TMatch::Tail, "成员不能指定SQL类型!", "--sql-type \"\""},
    {TOptionHint::TMatch::Contains, "成员的SQL类型只能是", "--sql-type"},
    {TOptionHint::TMatch::Contains, "的长度不能超过", "--length 或 --sql-type char"},
    {TOptionHint::TMatch::Contains, "的精度必须在", "--precision"},
    {TOptionHint::TMatch::Contains, "的小数位数必须在", "--scale"},
    {TOptionHint::TMatch::Whole, "主键字段不能允许为空!", "--no-allow-null"},
    {TOptionHint::TMatch::Whole, "只有整型主键可以选择由用户输入键值!", "--no-key-entered"},
    {TOptionHint::TMatch::Head, "bit类型的主键不能由数据库编号", "--key-entered"},
};

bool Matches(const TOptionHint& hint, const std::string& message) {
  switch (hint.match) {
    case TOptionHint::TMatch::Whole:
      return message == hint.text;
    case TOptionHint::TMatch::Head:
      return StartsWith(message, hint.text);
    case TOptionHint::TMatch::Tail:
      return EndsWith(message, hint.text);
    case TOptionHint::TMatch::Contains:
      return message.find(hint.text) != std::string::npos;
  }
  return false;
}

// What a class holds of a role, and the option that gives or takes it.
std::string RoleHint(int count, const char* role, const char* option) {
  if (count == 0) {
    return std::string(" (没有") + role + ": 用 member add 或 member update 的 --" + option +
           " 设置一个)";
  }
  return std::string(" (有") + std::to_string(count) + "个" + role +
         ": 只留一个, 其余用 member update MEMBERID --no-" + option + ")";
}

int CountMembers(int classId, int TMember::*flag) {
  const TMemberList members = TMemberDAO().ListMembers(classId);
  return static_cast<int>(std::count_if(members.begin(), members.end(),
                                        [&](const TMember& member) { return member.*flag == 1; }));
}

}  // namespace

std::string WithMemberOption(const std::string& message) {
  for (const TOptionHint& hint : kMemberHints) {
    if (Matches(hint, message)) return message + " (" + hint.option + ")";
  }
  return message;
}

std::string WithNameOption(const std::string& message) {
  if (!EndsWith(message, "该工程名称已经存在!")) return message;
  return message + " (用 --name 新名称 另取一个工程名称)";
}

std::string KeyCheckMessage(int classId) {
  return TClassDAO().GetClassNameById(classId) + kKeyCheckText +
         RoleHint(CountMembers(classId, &TMember::memberIsPri), "主键", "pri");
}

std::string DisplayCheckMessage(int classId) {
  return TClassDAO().GetClassNameById(classId) + kDisplayCheckText +
         RoleHint(CountMembers(classId, &TMember::memberIsDisplay), "下拉框显示成员", "display");
}

std::string ProblemLine(int projectId, const TModelProblem& problem) {
  std::string line = problem.Line();
  if (!problem.className || problem.memberName) return line;
  // The check may say after the run's words how the complete application would help.
  const bool key = StartsWith(problem.text, *problem.className + kKeyCheckText);
  const bool display = problem.text == *problem.className + kDisplayCheckText;
  if (!key && !display) return line;
  const std::optional<int> classId = TClassDAO().FindClassId(projectId, *problem.className);
  if (!classId) return line;
  const std::string runWords = *problem.className + (key ? kKeyCheckText : kDisplayCheckText);
  const std::string full = key ? KeyCheckMessage(*classId) : DisplayCheckMessage(*classId);
  return line + full.substr(runWords.size());
}

}  // namespace vbgen::cli
