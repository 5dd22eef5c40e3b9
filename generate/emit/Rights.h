// The rights numbering of the generated application. The main form's menu handlers ask
// check_qx for these numbers, the operator form writes and reads these digit positions of
// ql_flag, and the script sizes the ql_flag column and grants the first operator every right:
// the three must agree, so the numbers are made here only.
//
// For n classes in class order (i counted from 0): digit 2i + 1 grants adding to class i,
// 2i + 2 managing it, 2n + 1 operator maintenance and 2n + 2 report printing; ql_flag has
// 2n + 2 digits.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string>

namespace vbgen {

class TRightsNumbering {
 public:
  explicit TRightsNumbering(std::size_t classCount) : classCount_(classCount) {}

  static std::size_t AddRight(std::size_t classIndex) { return 2 * classIndex + 1; }
  static std::size_t ManageRight(std::size_t classIndex) { return 2 * classIndex + 2; }
  std::size_t ManageUserRight() const { return 2 * classCount_ + 1; }
  std::size_t PrintRight() const { return 2 * classCount_ + 2; }
  // Digits of ql_flag.
  std::size_t Width() const { return 2 * classCount_ + 2; }
  // Every right granted: what the first operator of a new database holds.
  std::string AllGranted() const { return std::string(Width(), '1'); }
  // The width of the script's ql_flag column: the width it has always had (enough for 24
  // classes), widened when more classes need more digits.
  std::size_t FlagColumnWidth() const { return std::max<std::size_t>(50, Width()); }

 private:
  std::size_t classCount_;
};

}  // namespace vbgen
