#include "generate/ModelCheck.h"

#include "generate/Gbk.h"
#include "model/Rules.h"

namespace vbgen {
namespace {

template <typename Count>
std::vector<std::string> ClassesWithoutExactlyOne(const TModelSnapshot& model, Count count,
                                                  const char* text) {
  std::vector<std::string> problems;
  for (const TClassModel& entry : model.Classes()) {
    if (count(entry) != 1) problems.push_back(entry.className + text);
  }
  return problems;
}

}  // namespace

std::vector<std::string> FindKeyProblems(const TModelSnapshot& model) {
  return ClassesWithoutExactlyOne(
      model, [](const TClassModel& entry) { return entry.KeyCount(); }, kKeyCheckText);
}

std::vector<std::string> FindDisplayProblems(const TModelSnapshot& model) {
  return ClassesWithoutExactlyOne(
      model, [](const TClassModel& entry) { return entry.DisplayCount(); }, kDisplayCheckText);
}

std::vector<std::string> FindMissingReferences(const TModelSnapshot& model) {
  std::vector<std::string> problems;
  for (const TClassModel& entry : model.Classes()) {
    for (const TMember& member : entry.ReferenceMembers()) {
      if (!model.FindClass(member.memberType)) {
        problems.push_back("类" + entry.className + "的成员" + member.memberName + "引用的类型\"" +
                           member.memberType + "\"不是本项目中的类!");
      }
    }
  }
  return problems;
}

std::vector<std::string> FindTextsOutsideGbk(const TModelSnapshot& model) {
  std::vector<std::string> problems;
  TGbkEncoder encoder;
  auto check = [&problems, &encoder](const std::string& where, const std::string& text) {
    if (!encoder.Fits(text)) problems.push_back(where + "含有GBK无法表示的字符: \"" + text + "\"");
  };
  for (const TClassModel& entry : model.Classes()) {
    check("类名" + entry.className, entry.className);
    check("类" + entry.className + "的友好名称", entry.friendName);
    for (const TMember& member : entry.members) {
      std::string where = "类" + entry.className + "的成员" + member.memberName;
      check(where + "的名称", member.memberName);
      check(where + "的类型", member.memberType);
      check(where + "的注释", member.memberComment);
    }
  }
  return problems;
}

std::vector<std::string> FindRefusedNames(const TModelSnapshot& model) {
  std::vector<std::string> problems;
  auto note = [&problems](const std::string& where, const TRuleResult& result) {
    if (result) problems.push_back(where + ": " + *result);
  };
  note("工程" + model.ProjectName() + "的名称", CheckStoredProjectName(model.ProjectName()));
  for (const TClassModel& entry : model.Classes()) {
    note("类" + entry.className + "的类名", CheckStoredClassName(entry.className));
    note("类" + entry.className + "的友好名称", CheckStoredFriendName(entry.friendName));
    for (const TMember& member : entry.members) {
      std::string where = "类" + entry.className + "的成员" + member.memberName;
      note(where + "的名称", CheckStoredMemberName(member.memberName));
      note(where + "的注释", CheckStoredComment(member.memberComment));
    }
  }
  return problems;
}

std::vector<std::string> FindNamesUnfitForFiles(const TModelSnapshot& model) {
  std::vector<std::string> problems;
  if (auto refused = CheckStoredProjectName(model.ProjectName())) {
    problems.push_back("工程" + model.ProjectName() + "的名称: " + *refused);
  }
  for (const TClassModel& entry : model.Classes()) {
    if (auto refused = CheckClassNameAsFileName(entry.className)) {
      problems.push_back("类" + entry.className + "的类名: " + *refused);
    }
  }
  return problems;
}

std::vector<std::string> FindModelProblems(const TModelSnapshot& model) {
  std::vector<std::string> all;
  for (const auto& part :
       {FindKeyProblems(model), FindDisplayProblems(model), FindMissingReferences(model),
        FindTextsOutsideGbk(model), FindRefusedNames(model)}) {
    all.insert(all.end(), part.begin(), part.end());
  }
  return all;
}

std::vector<std::string> FindModelProblems(int projectId) {
  const std::optional<TModelSnapshot> model = ReadModelSnapshot(projectId);
  return model ? FindModelProblems(*model) : std::vector<std::string>{};
}

}  // namespace vbgen
