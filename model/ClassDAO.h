#pragma once

#include <optional>
#include <string>
#include <vector>

#include "model/NamedId.h"

namespace vbgen {

// One row of t_class.
struct TClassRecord {
  int classId = 0;
  std::string className;
  std::string friendName;
  int frontShowFlag = 0;
};

// Classes (table t_class) and the two model checks a generation run makes before writing.
class TClassDAO {
 public:
  std::string GetClassNameById(int classId);
  std::string GetFriendName(int classId);
  int GetFrontShowFlag(int classId);
  // The first class of the project with the name, if there is one.
  std::optional<int> FindClassId(int projectId, const std::string& className);
  int CountClassesByName(int projectId, const std::string& className);
  // Returns the new class's key.
  int AddClass(int projectId, const std::string& className, const std::string& friendName,
               int frontShowFlag);
  // Also re-points the project's members that referenced the class under its old name.
  void UpdateClass(int projectId, int classId, const std::string& className,
                   const std::string& friendName, int frontShowFlag);
  // Removes the class and its members in one transaction.
  void DeleteClass(int classId);
  TNamedIdList ListClasses(int projectId);
  // Every row of the project's classes, in class order.
  std::vector<TClassRecord> ListClassRecords(int projectId);
  TNamedIdList ListOtherClasses(int projectId, int classId);
  // The project a class belongs to, if there is such a class.
  std::optional<int> GetProjectIdOfClass(int classId);

  // The first class (in list order) that has not exactly one key member; none when every
  // class has one, and for an empty list.
  std::optional<int> FindClassWithoutOneKey(const TNamedIdList& classes);
  // The same for display members.
  std::optional<int> FindClassWithoutOneDisplayMember(const TNamedIdList& classes);
};

}  // namespace vbgen
