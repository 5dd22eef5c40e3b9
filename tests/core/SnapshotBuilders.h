// Short ways to write a model in memory for the generators, which need no database: a member
// marked as a key or as the display member, and a class of given members.
#pragma once

#include <string>
#include <utility>

#include "generate/read/ModelSnapshot.h"
#include "model/Member.h"

namespace vbgen::test {

inline TMember Key(TMember m) {
  m.memberIsPri = 1;
  return m;
}

inline TMember Display(TMember m) {
  m.memberIsDisplay = 1;
  return m;
}

inline TClassModel Class(int id, const std::string& name, const std::string& friendName,
                         TMemberList members) {
  TClassModel entry;
  entry.classId = id;
  entry.className = name;
  entry.friendName = friendName;
  entry.members = std::move(members);
  return entry;
}

}  // namespace vbgen::test
