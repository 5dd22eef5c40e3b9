#include "model/MemberDAO.h"

#include "model/ClassDAO.h"
#include "model/InsertRow.h"

namespace vbgen {
namespace {

TSqlValue Key(int id) { return std::int64_t{id}; }

// Where each field stands in a row set of "select *", found once per row set.
struct TMemberColumns {
  explicit TMemberColumns(const TRowSet& rows)
      : memberId(rows.ColumnIndex("memberId")),
        projectId(rows.ColumnIndex("projectId")),
        classId(rows.ColumnIndex("classId")),
        memberName(rows.ColumnIndex("memberName")),
        memberType(rows.ColumnIndex("memberType")),
        memberLength(rows.ColumnIndex("memberLength")),
        memberIsPri(rows.ColumnIndex("memberIsPri")),
        memberComment(rows.ColumnIndex("memberComment")),
        memberIsMust(rows.ColumnIndex("memberIsMust")),
        memberIsInteger(rows.ColumnIndex("memberIsInteger")),
        memberIsFloat(rows.ColumnIndex("memberIsFloat")),
        queryFlag(rows.ColumnIndex("queryFlag")),
        memberIsDisplay(rows.ColumnIndex("memberIsDisplay")),
        memberQueryDisplay(rows.ColumnIndex("memberQueryDisplay")) {}
  std::size_t memberId, projectId, classId, memberName, memberType, memberLength, memberIsPri,
      memberComment, memberIsMust, memberIsInteger, memberIsFloat, queryFlag, memberIsDisplay,
      memberQueryDisplay;
};

TMember ReadMember(const TRowSet& rows, const TMemberColumns& at, std::size_t i) {
  auto number = [&](std::size_t column) { return static_cast<int>(rows.IntAt(i, column)); };
  TMember m;
  m.memberId = number(at.memberId);
  m.projectId = number(at.projectId);
  m.classId = number(at.classId);
  m.memberName = rows.TextAt(i, at.memberName);
  m.memberType = rows.TextAt(i, at.memberType);
  m.memberLength = number(at.memberLength);
  m.memberIsPri = number(at.memberIsPri);
  m.memberComment = rows.TextAt(i, at.memberComment);
  m.memberIsMust = number(at.memberIsMust);
  m.memberIsInteger = number(at.memberIsInteger);
  m.memberIsFloat = number(at.memberIsFloat);
  m.queryFlag = number(at.queryFlag);
  m.memberIsDisplay = number(at.memberIsDisplay);
  m.memberQueryDisplay = number(at.memberQueryDisplay);
  return m;
}

}  // namespace

int TMemberDAO::AddMember(const TMember& m) {
  return InsertRow(
      "insert into t_member(projectId,classId,memberName,memberType,memberLength,memberIsPri,"
      "memberComment,memberIsMust,memberIsInteger,memberIsFloat,queryFlag,memberIsDisplay,"
      "memberQueryDisplay) values (?,?,?,?,?,?,?,?,?,?,?,?,?)",
      {Key(m.projectId), Key(m.classId), m.memberName, m.memberType, Key(m.memberLength),
       Key(m.memberIsPri), m.memberComment, Key(m.memberIsMust), Key(m.memberIsInteger),
       Key(m.memberIsFloat), Key(m.queryFlag), Key(m.memberIsDisplay), Key(m.memberQueryDisplay)});
}

void TMemberDAO::UpdateMember(const TMember& m) {
  db_.ExecuteSql(
      "update t_member set memberName=?,memberType=?,memberLength=?,memberIsPri=?,"
      "memberComment=?,memberIsMust=?,memberIsInteger=?,memberIsFloat=?,queryFlag=?,"
      "memberIsDisplay=?,memberQueryDisplay=? where memberId=?",
      {m.memberName, m.memberType, Key(m.memberLength), Key(m.memberIsPri), m.memberComment,
       Key(m.memberIsMust), Key(m.memberIsInteger), Key(m.memberIsFloat), Key(m.queryFlag),
       Key(m.memberIsDisplay), Key(m.memberQueryDisplay), Key(m.memberId)});
}

void TMemberDAO::DeleteMember(int memberId) {
  db_.ExecuteSql("delete from t_member where memberId=?", {Key(memberId)});
}

TMemberList TMemberDAO::List(const std::string& where, const TSqlParams& params) {
  TRowSet rows =
      db_.OpenQuery("select * from t_member where " + where + " order by memberId", params);
  TMemberList list;
  list.reserve(rows.size());
  if (rows.empty()) return list;
  const TMemberColumns at(rows);
  for (std::size_t i = 0; i < rows.size(); ++i) list.push_back(ReadMember(rows, at, i));
  return list;
}

std::optional<TMember> TMemberDAO::First(const std::string& where, const TSqlParams& params) {
  TRowSet rows =
      db_.OpenQuery("select * from t_member where " + where + " order by memberId limit 1", params);
  if (rows.empty()) return std::nullopt;
  return ReadMember(rows, TMemberColumns(rows), 0);
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

// Read in pages, so a large model never stands in memory twice (as rows and as records); the
// caller's transaction keeps the pages one state of the model.
TMemberList TMemberDAO::ListProjectMembers(int projectId) {
  constexpr int kPage = 2048;
  TDbTransaction transaction;
  TMemberList members;
  for (int last = -1;;) {
    TRowSet rows = db_.OpenQuery(
        "select * from t_member where memberId>? and classId in (select classId from t_class "
        "where projectId=?) order by memberId limit " +
            std::to_string(kPage),
        {Key(last), Key(projectId)});
    if (!rows.empty()) {
      const TMemberColumns at(rows);
      for (std::size_t i = 0; i < rows.size(); ++i) members.push_back(ReadMember(rows, at, i));
    }
    if (rows.size() < static_cast<std::size_t>(kPage)) break;
    last = members.back().memberId;
  }
  transaction.Commit();
  return members;
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
