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
  // What the database says beyond the built-in types; the complete application and its script
  // follow these, the plain output keeps its own fixed mapping. A new member has them all off.
  // memberAllowNull: the column takes NULL, and an empty entry is stored as NULL.
  int memberAllowNull = 0;
  // memberKeyEntered: an integer key the user types (no IDENTITY); 0 keeps it numbered by the
  // database.
  int memberKeyEntered = 0;
  // memberSqlType: the column's declared SQL Server type where it is not the one the member type
  // maps to ("nvarchar", "nchar", "char" for a text; "bit", "tinyint", "smallint" for a whole
  // number; "decimal", "numeric", "money", "smallmoney" for a decimal number); empty otherwise.
  std::string memberSqlType;
  // memberPrecision, memberScale: of a "decimal" or "numeric" column; 0 elsewhere.
  int memberPrecision = 0;
  int memberScale = 0;

  bool IsReference() const { return !IsBuiltinType(memberType); }
  bool operator==(const TMember&) const = default;
};

using TMemberList = std::vector<TMember>;

}  // namespace vbgen
