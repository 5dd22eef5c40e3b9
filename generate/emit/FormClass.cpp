#include "generate/emit/FormClass.h"

#include "generate/emit/UIOperate.h"

namespace vbgen {
namespace {

// Strings from this length on get a rich text box instead of a one-line text box.
constexpr int kLongStringLength = 200;

TFormReference ResolveReference(const TModelSnapshot& model, const std::string& className,
                                const TMember& member) {
  const std::string where =
      "类" + className + "的成员" + member.memberName + "引用的类\"" + member.memberType + "\"";
  const TMember* refKey = model.KeyMemberOf(member.memberType);
  if (!refKey) throw TFormModelError(where + "不存在或没有主键成员!");
  const TMember* refDisplay = model.DisplayMemberOf(member.memberType);
  if (!refDisplay) throw TFormModelError(where + "不存在或没有显示成员!");
  return {member,
          refKey->memberName,
          refKey->memberIsInteger == 1,
          refDisplay->memberName,
          refDisplay->memberType == kTypePicture,
          IsUnicodeText(*refKey),
          refKey->memberLength};
}

}  // namespace

TFormClass MakeFormClass(const TModelSnapshot& model, const TClassModel& entry, TKeyNeed keyNeed) {
  TFormClass form;
  form.className = entry.className;
  form.lowerClassName = LowerFirst(entry.className);
  form.friendName = entry.friendName;
  const TMember* key = entry.KeyMember();
  if (!key && keyNeed == TKeyNeed::Required)
    throw TFormModelError("类" + entry.className + "没有主键成员!");
  if (key) form.key = *key;
  form.nonKeyMembers = entry.NonKeyMembers();
  for (const TMember& member : entry.ReferenceMembers()) {
    form.references.push_back(ResolveReference(model, entry.className, member));
  }
  form.pictures = entry.PictureMembers();
  for (const TMember& member : entry.members) {
    if (member.memberIsPri == 1) form.keys.push_back(member);
  }
  return form;
}

bool IsUnicodeText(const TMember& member) {
  return member.memberSqlType == "nvarchar" || member.memberSqlType == "nchar";
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
