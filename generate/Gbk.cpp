#include "generate/Gbk.h"

#include <iconv.h>

#include <cerrno>
#include <memory>

namespace vbgen {
namespace {

// Converts with iconv; returns false on the first character that has no form in the target.
bool Convert(const char* to, const char* from, std::string_view input, std::string& output) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    throw TEncodingError(std::string("系统不支持编码转换 ") + from + " -> " + to);
  }
  std::unique_ptr<void, int (*)(iconv_t)> guard(cd, iconv_close);
  output.clear();
  output.resize(input.size() * 2 + 16);
  char* in = const_cast<char*>(input.data());
  std::size_t inLeft = input.size();
  char* out = output.data();
  std::size_t outLeft = output.size();
  while (inLeft > 0) {
    if (iconv(cd, &in, &inLeft, &out, &outLeft) != static_cast<std::size_t>(-1)) continue;
    if (errno != E2BIG) return false;
    std::size_t used = output.size() - outLeft;
    output.resize(output.size() * 2);
    out = output.data() + used;
    outLeft = output.size() - used;
  }
  output.resize(output.size() - outLeft);
  return true;
}

}  // namespace

std::string Utf8ToGbk(std::string_view utf8) {
  std::string gbk;
  if (!Convert("GBK", "UTF-8", utf8, gbk)) {
    throw TEncodingError("文本无法用GBK编码表示: \"" + std::string(utf8) + "\"");
  }
  return gbk;
}

std::string GbkToUtf8(std::string_view gbk) {
  std::string utf8;
  if (!Convert("UTF-8", "GBK", gbk, utf8)) throw TEncodingError("文本不是有效的GBK编码");
  return utf8;
}

bool FitsGbk(std::string_view utf8) {
  std::string ignored;
  return Convert("GBK", "UTF-8", utf8, ignored);
}

}  // namespace vbgen
