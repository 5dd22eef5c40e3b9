#pragma once

#include <string>
#include <vector>

namespace vbgen {

// A list entry: a name with the key of what it names (projectName/projectId, className/classId).
struct TNamedId {
  std::string name;
  int id = 0;

  bool operator==(const TNamedId&) const = default;
};

using TNamedIdList = std::vector<TNamedId>;

}  // namespace vbgen
