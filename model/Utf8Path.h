// Paths from UTF-8 text, the encoding of the model, the command line and every message.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace vbgen {

// On Windows a std::string is taken in the system's code page, which cannot hold every
// Chinese name; a char8_t string is UTF-8 on every system (and the same bytes on Linux).
inline std::filesystem::path Utf8Path(std::string_view utf8) {
  return std::filesystem::path(
      std::u8string_view(reinterpret_cast<const char8_t*>(utf8.data()), utf8.size()));
}

}  // namespace vbgen
