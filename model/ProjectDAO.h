#pragma once

#include <optional>
#include <string>

#include "model/NamedId.h"

namespace vbgen {

// Projects (table t_project). Holds no state; each operation uses a fresh TDbHelper.
class TProjectDAO {
 public:
  int CountProjectsByName(const std::string& projectName);
  // Returns the new project's key.
  int AddProject(const std::string& projectName);
  void RenameProject(int projectId, const std::string& projectName);
  // Removes the project, its classes and their members in one transaction.
  void DeleteProject(int projectId);
  TNamedIdList ListProjects();
  // The name of a project, none when there is no project with that key.
  std::optional<std::string> GetProjectName(int projectId);
};

}  // namespace vbgen
