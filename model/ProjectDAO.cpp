#include "model/ProjectDAO.h"

#include "model/DbHelper.h"
#include "model/InsertRow.h"

namespace vbgen {

int TProjectDAO::CountProjectsByName(const std::string& projectName) {
  return TDbHelper().QueryInt("select count(*) from t_project where projectName=?", {projectName});
}

int TProjectDAO::AddProject(const std::string& projectName) {
  return InsertRow("insert into t_project(projectName) values (?)", {projectName});
}

void TProjectDAO::RenameProject(int projectId, const std::string& projectName) {
  TDbHelper().ExecuteSql("update t_project set projectName=? where projectId=?",
                         {projectName, std::int64_t{projectId}});
}

void TProjectDAO::DeleteProject(int projectId) {
  const TSqlParams key{std::int64_t{projectId}};
  TDbHelper().ExecuteSqlList({
      {"delete from t_project where projectId=?", key},
      {"delete from t_class where projectId=?", key},
      {"delete from t_member where projectId=?", key},
  });
}

TNamedIdList TProjectDAO::ListProjects() {
  TRowSet rows =
      TDbHelper().OpenQuery("select projectId,projectName from t_project order by projectId");
  TNamedIdList list;
  list.reserve(rows.size());
  for (std::size_t i = 0; i < rows.size(); ++i) {
    list.push_back({rows.Text(i, "projectName"), static_cast<int>(rows.Int(i, "projectId"))});
  }
  return list;
}

std::optional<std::string> TProjectDAO::GetProjectName(int projectId) {
  TRowSet rows = TDbHelper().OpenQuery("select projectName from t_project where projectId=?",
                                       {std::int64_t{projectId}});
  if (rows.empty()) return std::nullopt;
  return rows.TextAt(0, 0);
}

}  // namespace vbgen
