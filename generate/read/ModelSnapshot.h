// The model of one project as a run sees it: read once, in one read transaction, when the run
// starts, and never changed afterwards. The checks, the project assembly, the four form
// generators and the table-creation script are functions of this value alone; none of them
// touches the database, so an edit made while a run is under way cannot reach half of its
// files, and every generator can be tested with a value built by hand.
//
// The value keeps what the model store holds, as it holds it: classes in class order
// (ascending classId), each with all of its members in member order (ascending memberId).
// Questions the generators ask (the key member, the query members, the class a reference
// names) are answered by the helpers below in the same way the model store's queries answer
// them, so output built from a snapshot is the output built from the database.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "model/Member.h"
#include "model/NamedId.h"

namespace vbgen {

// Members of a class picked out in member order, without copies of their own: they live as
// long as the class.
using TMemberRefs = std::vector<std::reference_wrapper<const TMember>>;

// One class of the project (a row of t_class) with its members.
struct TClassModel {
  int classId = 0;
  std::string className;
  std::string friendName;
  int frontShowFlag = 0;
  TMemberList members;  // every member of the class, in member order

  // The first member whose flag equals 1, null when there is none. Like every member the
  // helpers below point to, it lives as long as the class.
  const TMember* KeyMember() const;
  const TMember* DisplayMember() const;
  // How many members carry the flag (the run's checks want exactly one of each).
  std::size_t KeyCount() const;
  std::size_t DisplayCount() const;

  // Sublists in member order: memberIsPri equal to 0; queryFlag equal to 1; type "图片型";
  // a type that is none of the five type words.
  TMemberRefs NonKeyMembers() const;
  TMemberRefs QueryMembers() const;
  TMemberRefs PictureMembers() const;
  TMemberRefs ReferenceMembers() const;

  TNamedId Entry() const { return {className, classId}; }
};

// The whole model of one project. Immutable once made; cheap to share by const reference.
class TModelSnapshot {
 public:
  TModelSnapshot(int projectId, std::string projectName, std::vector<TClassModel> classes);

  int ProjectId() const { return projectId_; }
  const std::string& ProjectName() const { return projectName_; }
  // In class order: a class's position i fixes its rights (see Rights.h).
  const std::vector<TClassModel>& Classes() const { return classes_; }
  // (className, classId) of every class, in class order.
  TNamedIdList ClassList() const;

  // The first class (in class order) of that name, none when the project has no such class.
  const TClassModel* FindClass(const std::string& className) const;
  // What a reference member of type className resolves to: the key and the display member of
  // that class, counting only members recorded under this project. Null when the class is
  // missing or has no such member.
  const TMember* KeyMemberOf(const std::string& className) const;
  const TMember* DisplayMemberOf(const std::string& className) const;

 private:
  int projectId_;
  std::string projectName_;
  std::vector<TClassModel> classes_;
  std::unordered_map<std::string, std::size_t> firstByName_;
};

// The project's name and its class names in class order, told while its members are still
// being read (in the same transaction): what is known of a model before the rest of it.
using TClassesRead =
    std::function<void(const std::string& projectName, const std::vector<std::string>& classNames)>;

// Reads the project's model in one read transaction; none when there is no such project.
// Throws TDbError on a database failure.
std::optional<TModelSnapshot> ReadModelSnapshot(int projectId,
                                                const TClassesRead& classesRead = nullptr);

}  // namespace vbgen
