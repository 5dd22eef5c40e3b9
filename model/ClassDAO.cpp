#include "model/ClassDAO.h"

#include "model/DbHelper.h"
#include "model/InsertRow.h"

namespace vbgen {
namespace {

TSqlValue Key(int id) { return std::int64_t{id}; }

TNamedIdList ReadClassList(const TRowSet& rows) {
  TNamedIdList list;
  list.reserve(rows.size());
  for (std::size_t i = 0; i < rows.size(); ++i) {
    list.push_back({rows.Text(i, "className"), static_cast<int>(rows.Int(i, "classId"))});
  }
  return list;
}

// The first class whose count is not exactly one.
std::optional<int> FirstNotExactlyOne(const TNamedIdList& classes, const std::string& countSql) {
  TDbTransaction snapshot;  // one read lock for the whole check
  TDbHelper db;
  std::optional<int> failed;
  for (const auto& entry : classes) {
    if (db.QueryInt(countSql, {Key(entry.id)}) != 1) {
      failed = entry.id;
      break;
    }
  }
  snapshot.Commit();
  return failed;
}

// A key column's value, if the query found a row.
std::optional<int> FoundKey(const std::string& sql, const TSqlParams& params) {
  TRowSet rows = TDbHelper().OpenQuery(sql, params);
  if (rows.empty()) return std::nullopt;
  return static_cast<int>(rows.IntAt(0, 0));
}

}  // namespace

std::string TClassDAO::GetClassNameById(int classId) {
  return TDbHelper().QueryString("select className from t_class where classId=?", {Key(classId)});
}

std::string TClassDAO::GetFriendName(int classId) {
  return TDbHelper().QueryString("select friendName from t_class where classId=?", {Key(classId)});
}

int TClassDAO::GetFrontShowFlag(int classId) {
  return TDbHelper().QueryInt("select frontShowFlag from t_class where classId=?", {Key(classId)});
}

std::optional<int> TClassDAO::FindClassId(int projectId, const std::string& className) {
  return FoundKey("select classId from t_class where projectId=? and className=? order by classId",
                  {Key(projectId), className});
}

int TClassDAO::CountClassesByName(int projectId, const std::string& className) {
  return TDbHelper().QueryInt("select count(*) from t_class where projectId=? and className=?",
                              {Key(projectId), className});
}

int TClassDAO::AddClass(int projectId, const std::string& className, const std::string& friendName,
                        int frontShowFlag) {
  return InsertRow(
      "insert into t_class(projectId,className,friendName,frontShowFlag) values (?,?,?,?)",
      {Key(projectId), className, friendName, Key(frontShowFlag)});
}

void TClassDAO::UpdateClass(int projectId, int classId, const std::string& className,
                            const std::string& friendName, int frontShowFlag) {
  TDbTransaction transaction;
  std::string oldClassName = GetClassNameById(classId);
  TDbHelper db;
  db.ExecuteSql("update t_class set friendName=?,className=?,frontShowFlag=? where classId=?",
                {friendName, className, Key(frontShowFlag), Key(classId)});
  db.ExecuteSql("update t_member set memberType=? where projectId=? and memberType=?",
                {className, Key(projectId), oldClassName});
  transaction.Commit();
}

void TClassDAO::DeleteClass(int classId) {
  TDbHelper().ExecuteSqlList({
      {"delete from t_class where classId=?", {Key(classId)}},
      {"delete from t_member where classId=?", {Key(classId)}},
  });
}

TNamedIdList TClassDAO::ListClasses(int projectId) {
  return ReadClassList(TDbHelper().OpenQuery(
      "select classId,className from t_class where projectId=? order by classId",
      {Key(projectId)}));
}

std::vector<TClassRecord> TClassDAO::ListClassRecords(int projectId) {
  std::vector<TClassRecord> records;
  TDbHelper().ForEachRow(
      "select classId,className,friendName,frontShowFlag from t_class where projectId=? "
      "order by classId",
      {Key(projectId)}, [&records](const TRowView& row) {
        records.push_back(
            {static_cast<int>(row.Int(0)), row.Text(1), row.Text(2), static_cast<int>(row.Int(3))});
      });
  return records;
}

TNamedIdList TClassDAO::ListOtherClasses(int projectId, int classId) {
  return ReadClassList(TDbHelper().OpenQuery(
      "select classId,className from t_class where classId<>? and projectId=? order by classId",
      {Key(classId), Key(projectId)}));
}

std::optional<int> TClassDAO::GetProjectIdOfClass(int classId) {
  return FoundKey("select projectId from t_class where classId=?", {Key(classId)});
}

std::optional<int> TClassDAO::FindClassWithoutOneKey(const TNamedIdList& classes) {
  return FirstNotExactlyOne(classes,
                            "select count(*) from t_member where classId=? and memberIsPri=1");
}

std::optional<int> TClassDAO::FindClassWithoutOneDisplayMember(const TNamedIdList& classes) {
  return FirstNotExactlyOne(classes,
                            "select count(*) from t_member where classId=? and memberIsDisplay=1");
}

}  // namespace vbgen
