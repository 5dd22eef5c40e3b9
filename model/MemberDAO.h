#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "model/DbHelper.h"
#include "model/Member.h"

namespace vbgen {

// Members (table t_member). Lists come back in member order (ascending memberId).
class TMemberDAO {
 public:
  // Stores every field but memberId and returns the key the new row got.
  int AddMember(const TMember& member);
  // Writes every field but memberId, projectId and classId into the row memberId names.
  void UpdateMember(const TMember& member);
  void DeleteMember(int memberId);

  TMemberList ListMembers(int classId);
  TMemberList ListPictureMembers(int classId);
  TMemberList ListReferenceMembers(int classId);
  TMemberList ListQueryMembers(int classId);
  TMemberList ListNonKeyMembers(int classId);
  // The members of all of the project's classes (by t_class), in member order.
  TMemberList ListProjectMembers(int projectId);
  // The same, each handed to `take` as it is read, so a whole model need not stand in a list.
  void ForEachProjectMember(int projectId, const std::function<void(TMember&&)>& take);
  // The same members class by class (ascending classId), each class's in member order: the
  // class index leads to them, so a project costs what it holds, however large the table.
  void ForEachProjectMemberByClass(int projectId, const std::function<void(TMember&&)>& take);

  std::optional<TMember> GetMember(int memberId);
  std::optional<TMember> GetKeyMember(int classId);
  std::optional<TMember> GetDisplayMemberOfClass(int projectId, const std::string& className);
  std::optional<TMember> GetKeyMemberOfClass(int projectId, const std::string& className);

  // Exchanges the contents of two rows (all but their keys, project and class) in one
  // transaction, so the two members trade places in the member order.
  void SwapMembers(int memberIdA, int memberIdB);

 private:
  TMemberList List(const std::string& where, const TSqlParams& params);
  std::optional<TMember> First(const std::string& where, const TSqlParams& params);

  TDbHelper db_;
};

}  // namespace vbgen
