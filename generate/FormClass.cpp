#include "generate/FormClass.h"

#include "generate/UIOperate.h"
#include "model/ClassDAO.h"

namespace vbgen {
namespace {

// Strings from this length on get a rich text box instead of a one-line text box.
constexpr int kLongStringLength = 200;

TFormReference ReadReference(TMemberDAO& members, int projectId, const std::string& className,
                             const TMember& member) {
  const std::string where =
      "类" + className + "的成员" + member.memberName + "引用的类\"" + member.memberType + "\"";
  std::optional<TMember> refKey = members.GetKeyMemberOfClass(projectId, member.memberType);
  if (!refKey) throw TFormModelError(where + "不存在或没有主键成员!");
  std::optional<TMember> refDisplay = members.GetDisplayMemberOfClass(projectId, member.memberType);
  if (!refDisplay) throw TFormModelError(where + "不存在或没有显示成员!");
  return {member, refKey->memberName, refKey->memberIsInteger == 1, refDisplay->memberName};
}

}  // namespace

TFormClass ReadFormClass(int projectId, const TNamedId& classEntry) {
  TDbTransaction snapshot;  // one read lock for all of the class's queries, one consistent view
  TClassDAO classes;
  TMemberDAO members;
  TFormClass form;
  form.className = classEntry.name;
  form.lowerClassName = LowerFirst(classEntry.name);
  form.friendName = classes.GetFriendName(classEntry.id);
  std::optional<TMember> key = members.GetKeyMember(classEntry.id);
  if (!key) throw TFormModelError("类" + classEntry.name + "没有主键成员!");
  form.key = *key;
  form.nonKeyMembers = members.ListNonKeyMembers(classEntry.id);
  for (const TMember& member : members.ListReferenceMembers(classEntry.id)) {
    form.references.push_back(ReadReference(members, projectId, classEntry.name, member));
  }
  form.pictures = members.ListPictureMembers(classEntry.id);
  snapshot.Commit();
  return form;
}

TRowKind RowKindOf(const TMember& member) {
  if (member.memberType == kTypeString) {
    return member.memberLength < kLongStringLength ? TRowKind::ShortString : TRowKind::LongString;
  }
  if (member.memberType == kTypeInteger) return TRowKind::Integer;
  if (member.memberType == kTypeFloat) return TRowKind::Float;
  if (member.memberType == kTypeDate) return TRowKind::Date;
  if (member.memberType == kTypePicture) return TRowKind::Picture;
  return TRowKind::Reference;
}

}  // namespace vbgen
