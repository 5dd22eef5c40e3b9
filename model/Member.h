#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vbgen {

// The five built-in member types; any other type is the className of a referenced class.
inline constexpr std::string_view kTypeString = "字符串";
inline constexpr std::string_view kTypeInteger = "整型";
inline constexpr std::string_view kTypeFloat = "浮点型";
inline constexpr std::string_view kTypeDate = "日期型";
inline constexpr std::string_view kTypePicture = "图片型";
inline constexpr std::string_view kBuiltinTypes[] = {kTypeString, kTypeInteger, kTypeFloat,
                                                     kTypeDate, kTypePicture};

inline bool IsBuiltinType(std::string_view type) {
  for (auto builtin : kBuiltinTypes) {
    if (type == builtin) return true;
  }
  return false;
}

// One row of t_member. A new record has every number 0 and every text empty, but
// memberQueryDisplay, which starts at 1: members show in the result grid unless switched off.
struct TMember {
  int memberId = 0;
  int projectId = 0;
  int classId = 0;
  std::string memberName;
  std::string memberType;
  int memberLength = 0;
  int memberIsPri = 0;
  std::string memberComment;
  int memberIsMust = 0;
  int memberIsInteger = 0;
  int memberIsFloat = 0;
  int queryFlag = 0;
  int memberIsDisplay = 0;
  int memberQueryDisplay = 1;

  bool IsReference() const { return !IsBuiltinType(memberType); }
  bool operator==(const TMember&) const = default;
};

using TMemberList = std::vector<TMember>;

}  // namespace vbgen
