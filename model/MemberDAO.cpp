#include "model/MemberDAO.h"

#include "model/ClassDAO.h"

namespace vbgen {
namespace {

TSqlValue Key(int id) { return std::int64_t{id}; }

TMember ReadMember(const TRowSet& rows, std::size_t i) {
  auto number = [&](const char* column) { return static_cast<int>(rows.Int(i, column)); };
  TMember m;
  m.memberId = number("memberId");
  m.projectId = number("projectId");
  m.classId = number("classId");
  m.memberName = rows.Text(i, "memberName");
  m.memberType = rows.Text(i, "memberType");
  m.memberLength = number("memberLength");
  m.memberIsPri = number("memberIsPri");
  m.memberComment = rows.Text(i, "memberComment");
  m.memberIsMust = number("memberIsMust");
  m.memberIsInteger = number("memberIsInteger");
  m.memberIsFloat = number("memberIsFloat");
  m.queryFlag = number("queryFlag");
  m.memberIsDisplay = number("memberIsDisplay");
  m.memberQueryDisplay = number("memberQueryDisplay");
  return m;
}

}  // namespace

void TMemberDAO::AddMember(const TMember& m) {
  db_.ExecuteSql(
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
  for (std::size_t i = 0; i < rows.size(); ++i) list.push_back(ReadMember(rows, i));
  return list;
}

std::optional<TMember> TMemberDAO::First(const std::string& where, const TSqlParams& params) {
  TRowSet rows =
      db_.OpenQuery("select * from t_member where " + where + " order by memberId limit 1", params);
  if (rows.empty()) return std::nullopt;
  return ReadMember(rows, 0);
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
    for (std::size_t i = 0; i < rows.size(); ++i) members.push_back(ReadMember(rows, i));
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
  int classId = TClassDAO().FindClassId(projectId, className);
  return First("memberIsDisplay=1 and projectId=? and classId=?", {Key(projectId), Key(classId)});
}

std::optional<TMember> TMemberDAO::GetKeyMemberOfClass(int projectId,
                                                       const std::string& className) {
  int classId = TClassDAO().FindClassId(projectId, className);
  return First("memberIsPri=1 and projectId=? and classId=?", {Key(projectId), Key(classId)});
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
