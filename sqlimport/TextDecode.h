// Script files as the SQL Server tools and editors save them: UTF-8 with or without a byte-order
// mark, UTF-16 with one, or GBK (code page 936). Decoded to UTF-8, the model's own encoding.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace vbgen {

class TTextDecodeError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The text as UTF-8. A byte-order mark decides; without one, valid UTF-8 is taken as it is and
// anything else must be valid GBK. Throws TTextDecodeError for bytes that are neither, and for
// text holding NUL characters (UTF-16 without its mark, or not a text file at all).
std::string DecodeScriptText(std::string_view bytes);

// The UTF-8 text with every character that GBK cannot hold replaced by `replacement`.
std::string ReplaceOutsideGbk(std::string_view utf8, char replacement);

}  // namespace vbgen
