#include "model/MemberDAO.h"

#include "model/ClassDAO.h"
#include "model/InsertRow.h"

namespace vbgen {
namespace {

TSqlValue Key(int id) { return std::int64_t{id}; }

// The columns of every member read, in the order ReadMember takes them.
constexpr const char* kSelectMembers =
    "select memberId,projectId,classId,memberName,memberType,memberLength,memberIsPri,"
    "memberComment,memberIsMust,memberIsInteger,memberIsFloat,queryFlag,memberIsDisplay,"
    "memberQueryDisplay,memberAllowNull,memberKeyEntered,memberSqlType,memberPrecision,"
    "memberScale from t_member ";

TMember ReadMember(const TRowView& row) {
  auto number = [&row](std::size_t column) { return static_cast<int>(row.Int(column)); };
  TMember m;
  m.memberId = number(0);
  m.projectId = number(1);
  m.classId = number(2);
  m.memberName = row.Text(3);
  m.memberType = row.Text(4);
  m.memberLength = number(5);
  m.memberIsPri = number(6);
  m.memberComment = row.Text(7);
  m.memberIsMust = number(8);
  m.memberIsInteger = number(9);
  m.memberIsFloat = number(10);
  m.queryFlag = number(11);
  m.memberIsDisplay = number(12);
  m.memberQueryDisplay = number(13);
  m.memberAllowNull = number(14);
  m.memberKeyEntered = number(15);
  m.memberSqlType = row.Text(16);
  m.memberPrecision = number(17);
  m.memberScale = number(18);
  return m;
}

}  // namespace

int TMemberDAO::AddMember(const TMember& m) {
  return InsertRow(
      "insert into t_member(projectId,classId,memberName,memberType,memberLength,memberIsPri,"
      "memberComment,memberIsMust,memberIsInteger,memberIsFloat,queryFlag,memberIsDisplay,"
      "memberQueryDisplay,memberAllowNull,memberKeyEntered,memberSqlType,memberPrecision,"
      "memberScale) values (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
      {Key(m.projectId), Key(m.classId), m.memberName, m.memberType, Key(m.memberLength),
       Key(m.memberIsPri), m.memberComment, Key(m.memberIsMust), Key(m.memberIsInteger),
       Key(m.memberIsFloat), Key(m.queryFlag), Key(m.memberIsDisplay), Key(m.memberQueryDisplay),
       Key(m.memberAllowNull), Key(m.memberKeyEntered), m.memberSqlType, Key(m.memberPrecision),
       Key(m.memberScale)});
}

void TMemberDAO::UpdateMember(const TMember& m) {
  db_.ExecuteSql(
      "update t_member set memberName=?,memberType=?,memberLength=?,memberIsPri=?,"
      "memberComment=?,memberIsMust=?,memberIsInteger=?,memberIsFloat=?,queryFlag=?,"
      "memberIsDisplay=?,memberQueryDisplay=?,memberAllowNull=?,memberKeyEntered=?,"
      "memberSqlType=?,memberPrecision=?,memberScale=? where memberId=?",
      {m.memberName, m.memberType, Key(m.memberLength), Key(m.memberIsPri), m.memberComment,
       Key(m.memberIsMust), Key(m.memberIsInteger), Key(m.memberIsFloat), Key(m.queryFlag),
       Key(m.memberIsDisplay), Key(m.memberQueryDisplay), Key(m.memberAllowNull),
       Key(m.memberKeyEntered), m.memberSqlType, Key(m.memberPrecision), Key(m.memberScale),
       Key(m.memberId)});
}

void TMemberDAO::DeleteMember(int memberId) {
  db_.ExecuteSql("delete from t_member where memberId=?", {Key(memberId)});
}

TMemberList TMemberDAO::List(const std::string& where, const TSqlParams& params) {
  TMemberList list;
  db_.ForEachRow(kSelectMembers + ("where " + where + " order by memberId"), params,
                 [&list](const TRowView& row) { list.push_back(ReadMember(row)); });
  return list;
}

std::optional<TMember> TMemberDAO::First(const std::string& where, const TSqlParams& params) {
  std::optional<TMember> first;
  db_.ForEachRow(kSelectMembers + ("where " + where + " order by memberId limit 1"), params,
                 [&first](const TRowView& row) { first = ReadMember(row); });
  return first;
}

TMemberList TMemberDAO::ListMembers(int classId) { return List("classId=?", {Key(classId)}); }

TMemberList TMemberDAO::ListPictureMembers(int classId) {
  return List("memberType=? and classId=?", {std::string(kTypePicture), Key(classId)});
}

TMemberList TMemberDAO::ListReferenceMembers(int classId) {
  return List(
      "memberType<>? and memberType<>? and memberType<>? and memberType<>? and memberType<>? "
      "and classId=?",
      {std::string(kTypeString), std::string(kTypeInteger), std::string(kTypeFloat),
       std::string(kTypeDate), std::string(kTypePicture), Key(classId)});
}

TMemberList TMemberDAO::ListQueryMembers(int classId) {
  return List("queryFlag = 1 and classId=?", {Key(classId)});
}

TMemberList TMemberDAO::ListNonKeyMembers(int classId) {
  return List("memberIsPri=0 and classId=?", {Key(classId)});
}

TMemberList TMemberDAO::ListProjectMembers(int projectId) {
  TMemberList members;
  ForEachProjectMember(projectId,
                       [&members](TMember&& member) { members.push_back(std::move(member)); });
  return members;
}

// One pass over the table, which is stored in member order: the "+" keeps SQLite from walking
// the class index once per class instead and sorting all the members afterwards.
void TMemberDAO::ForEachProjectMember(int projectId, const std::function<void(TMember&&)>& take) {
  db_.ForEachRow(std::string(kSelectMembers) +
                     "where +classId in (select classId from t_class where projectId=?) "
                     "order by memberId",
                 {Key(projectId)}, [&take](const TRowView& row) { take(ReadMember(row)); });
}

void TMemberDAO::ForEachProjectMemberByClass(int projectId,
                                             const std::function<void(TMember&&)>& take) {
  db_.ForEachRow(std::string(kSelectMembers) +
                     "where classId in (select classId from t_class where projectId=?) "
                     "order by classId, memberId",
                 {Key(projectId)}, [&take](const TRowView& row) { take(ReadMember(row)); });
}

std::optional<TMember> TMemberDAO::GetMember(int memberId) {
  return First("memberId=?", {Key(memberId)});
}

std::optional<TMember> TMemberDAO::GetKeyMember(int classId) {
  return First("memberIsPri=1 and classId=?", {Key(classId)});
}

std::optional<TMember> TMemberDAO::GetDisplayMemberOfClass(int projectId,
                                                           const std::string& className) {
  const std::optional<int> classId = TClassDAO().FindClassId(projectId, className);
  if (!classId) return std::nullopt;
  return First("memberIsDisplay=1 and projectId=? and classId=?", {Key(projectId), Key(*classId)});
}

std::optional<TMember> TMemberDAO::GetKeyMemberOfClass(int projectId,
                                                       const std::string& className) {
  const std::optional<int> classId = TClassDAO().FindClassId(projectId, className);
  if (!classId) return std::nullopt;
  return First("memberIsPri=1 and projectId=? and classId=?", {Key(projectId), Key(*classId)});
}

void TMemberDAO::SwapMembers(int memberIdA, int memberIdB) {
  TDbTransaction transaction;
  std::optional<TMember> a = GetMember(memberIdA);
  std::optional<TMember> b = GetMember(memberIdB);
  if (!a || !b) throw TDbError("要交换的成员不存在");
  a->memberId = memberIdB;
  b->memberId = memberIdA;
  UpdateMember(*a);
  UpdateMember(*b);
  transaction.Commit();
}

}  // namespace vbgen
