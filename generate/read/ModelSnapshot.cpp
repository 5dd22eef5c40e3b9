#include "generate/read/ModelSnapshot.h"

#include <algorithm>
#include <iterator>

#include "model/ClassDAO.h"
#include "model/DbHelper.h"
#include "model/MemberDAO.h"
#include "model/ProjectDAO.h"

namespace vbgen {
namespace {

template <typename Keep>
TMemberRefs MembersWhere(const TMemberList& members, Keep keep) {
  TMemberRefs kept;
  kept.reserve(members.size());
  for (const TMember& member : members) {
    if (keep(member)) kept.push_back(std::cref(member));
  }
  return kept;
}

template <typename Keep>
const TMember* FirstWhere(const TMemberList& members, Keep keep) {
  for (const TMember& member : members) {
    if (keep(member)) return &member;
  }
  return nullptr;
}

bool IsKey(const TMember& member) { return member.memberIsPri == 1; }
bool IsDisplay(const TMember& member) { return member.memberIsDisplay == 1; }

}  // namespace

const TMember* TClassModel::KeyMember() const { return FirstWhere(members, IsKey); }

const TMember* TClassModel::DisplayMember() const { return FirstWhere(members, IsDisplay); }

std::size_t TClassModel::KeyCount() const {
  return static_cast<std::size_t>(std::count_if(members.begin(), members.end(), IsKey));
}

std::size_t TClassModel::DisplayCount() const {
  return static_cast<std::size_t>(std::count_if(members.begin(), members.end(), IsDisplay));
}

TMemberRefs TClassModel::NonKeyMembers() const {
  return MembersWhere(members, [](const TMember& m) { return m.memberIsPri == 0; });
}

TMemberRefs TClassModel::QueryMembers() const {
  return MembersWhere(members, [](const TMember& m) { return m.queryFlag == 1; });
}

TMemberRefs TClassModel::PictureMembers() const {
  return MembersWhere(members, [](const TMember& m) { return m.memberType == kTypePicture; });
}

TMemberRefs TClassModel::ReferenceMembers() const {
  return MembersWhere(members, [](const TMember& m) { return m.IsReference(); });
}

TModelSnapshot::TModelSnapshot(int projectId, std::string projectName,
                               std::vector<TClassModel> classes)
    : projectId_(projectId), projectName_(std::move(projectName)), classes_(std::move(classes)) {
  // The first class of a name wins, as the model store's lookup by name finds the lowest key.
  for (std::size_t i = 0; i < classes_.size(); ++i) firstByName_.emplace(classes_[i].className, i);
}

TNamedIdList TModelSnapshot::ClassList() const {
  TNamedIdList list;
  list.reserve(classes_.size());
  for (const TClassModel& entry : classes_) list.push_back(entry.Entry());
  return list;
}

const TClassModel* TModelSnapshot::FindClass(const std::string& className) const {
  auto found = firstByName_.find(className);
  return found == firstByName_.end() ? nullptr : &classes_[found->second];
}

const TMember* TModelSnapshot::KeyMemberOf(const std::string& className) const {
  const TClassModel* target = FindClass(className);
  if (!target) return nullptr;
  return FirstWhere(target->members,
                    [this](const TMember& m) { return IsKey(m) && m.projectId == projectId_; });
}

const TMember* TModelSnapshot::DisplayMemberOf(const std::string& className) const {
  const TClassModel* target = FindClass(className);
  if (!target) return nullptr;
  return FirstWhere(target->members,
                    [this](const TMember& m) { return IsDisplay(m) && m.projectId == projectId_; });
}

std::optional<TModelSnapshot> ReadModelSnapshot(int projectId, const TClassesRead& classesRead) {
  TDbTransaction transaction;  // one read: one model state for the whole run
  std::optional<std::string> projectName = TProjectDAO().GetProjectName(projectId);
  if (!projectName) return std::nullopt;
  std::vector<TClassModel> classes;
  std::unordered_map<int, std::size_t> positionById;
  for (TClassRecord& record : TClassDAO().ListClassRecords(projectId)) {
    positionById.emplace(record.classId, classes.size());
    classes.push_back({record.classId,
                       std::move(record.className),
                       std::move(record.friendName),
                       record.frontShowFlag,
                       {}});
  }
  if (classesRead) {
    std::vector<std::string> classNames;
    classNames.reserve(classes.size());
    for (const TClassModel& entry : classes) classNames.push_back(entry.className);
    classesRead(*projectName, classNames);
  }
  // A class's members come one after another, in class order. They are gathered in one list
  // that keeps its room from class to class, and each class gets a list of its exact size.
  TClassModel* current = nullptr;
  TMemberList gathered;
  const auto close = [&] {
    if (!current) return;
    current->members.insert(current->members.end(), std::make_move_iterator(gathered.begin()),
                            std::make_move_iterator(gathered.end()));
    gathered.clear();
  };
  TMemberDAO().ForEachProjectMemberByClass(projectId, [&](TMember&& member) {
    if (!current || current->classId != member.classId) {
      auto found = positionById.find(member.classId);
      if (found == positionById.end()) return;
      close();
      current = &classes[found->second];
    }
    gathered.push_back(std::move(member));
  });
  close();
  transaction.Commit();
  return TModelSnapshot(projectId, std::move(*projectName), std::move(classes));
}

}  // namespace vbgen
