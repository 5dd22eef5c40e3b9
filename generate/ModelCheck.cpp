#include "generate/ModelCheck.h"

#include "generate/Gbk.h"
#include "model/ClassDAO.h"
#include "model/MemberDAO.h"
#include "model/Rules.h"

namespace vbgen {
namespace {

std::vector<std::string> ClassesWithoutExactlyOne(const TNamedIdList& classes, bool keys,
                                                  const char* text) {
  std::vector<std::string> problems;
  TClassDAO dao;
  for (const auto& entry : classes) {
    int failed = 0;
    bool ok =
        keys ? dao.CheckPrimaryKeys({entry}, failed) : dao.CheckDisplayMembers({entry}, failed);
    if (!ok) problems.push_back(entry.name + text);
  }
  return problems;
}

}  // namespace

std::vector<std::string> FindKeyProblems(const TNamedIdList& classes) {
  return ClassesWithoutExactlyOne(classes, true, kKeyCheckText);
}

std::vector<std::string> FindDisplayProblems(const TNamedIdList& classes) {
  return ClassesWithoutExactlyOne(classes, false, kDisplayCheckText);
}

std::vector<std::string> FindMissingReferences(int projectId, const TNamedIdList& classes) {
  std::vector<std::string> problems;
  TClassDAO classDao;
  TMemberDAO memberDao;
  for (const auto& entry : classes) {
    for (const auto& member : memberDao.ListReferenceMembers(entry.id)) {
      if (classDao.FindClassId(projectId, member.memberType) == -1) {
        problems.push_back("类" + entry.name + "的成员" + member.memberName + "引用的类型\"" +
                           member.memberType + "\"不是本项目中的类!");
      }
    }
  }
  return problems;
}

std::vector<std::string> FindTextsOutsideGbk(int /*projectId*/, const TNamedIdList& classes) {
  std::vector<std::string> problems;
  TGbkEncoder encoder;
  auto check = [&problems, &encoder](const std::string& where, const std::string& text) {
    if (!encoder.Fits(text)) problems.push_back(where + "含有GBK无法表示的字符: \"" + text + "\"");
  };
  TClassDAO classDao;
  TMemberDAO memberDao;
  for (const auto& entry : classes) {
    check("类名" + entry.name, entry.name);
    check("类" + entry.name + "的友好名称", classDao.GetFriendName(entry.id));
    for (const auto& member : memberDao.ListMembers(entry.id)) {
      std::string where = "类" + entry.name + "的成员" + member.memberName;
      check(where + "的名称", member.memberName);
      check(where + "的类型", member.memberType);
      check(where + "的注释", member.memberComment);
    }
  }
  return problems;
}

}  // namespace vbgen

namespace vbgen {

namespace {

std::vector<std::string> FindRefusedNames(const TNamedIdList& classes) {
  std::vector<std::string> problems;
  auto note = [&problems](const std::string& where, const TRuleResult& result) {
    if (result) problems.push_back(where + ": " + *result);
  };
  TClassDAO classDao;
  TMemberDAO memberDao;
  for (const auto& entry : classes) {
    note("类" + entry.name + "的类名", CheckStoredClassName(entry.name));
    note("类" + entry.name + "的友好名称", CheckStoredFriendName(classDao.GetFriendName(entry.id)));
    for (const auto& member : memberDao.ListMembers(entry.id)) {
      std::string where = "类" + entry.name + "的成员" + member.memberName;
      note(where + "的名称", CheckStoredMemberName(member.memberName));
      note(where + "的注释", CheckStoredComment(member.memberComment));
    }
  }
  return problems;
}

}  // namespace

std::vector<std::string> FindModelProblems(int projectId) {
  TDbTransaction snapshot;  // one read lock, one consistent view of the model
  const TNamedIdList classes = TClassDAO().ListClasses(projectId);
  std::vector<std::string> all;
  for (const auto& part : {FindKeyProblems(classes), FindDisplayProblems(classes),
                           FindMissingReferences(projectId, classes),
                           FindTextsOutsideGbk(projectId, classes), FindRefusedNames(classes)}) {
    all.insert(all.end(), part.begin(), part.end());
  }
  snapshot.Commit();
  return all;
}

}  // namespace vbgen
