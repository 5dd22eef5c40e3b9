#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace vbgen {

// Text that the GBK code page (936) cannot hold, or bytes that are not valid in the source
// encoding. The message names the offending text.
class TEncodingError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// UTF-8 to GBK bytes; throws TEncodingError naming the text when a character has no GBK form.
std::string Utf8ToGbk(std::string_view utf8);
// GBK bytes to UTF-8; throws TEncodingError on invalid bytes.
std::string GbkToUtf8(std::string_view gbk);
// True when every character of the UTF-8 text has a GBK form.
bool FitsGbk(std::string_view utf8);

}  // namespace vbgen
