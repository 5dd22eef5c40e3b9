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

namespace {

bool IsAscii(char c) { return static_cast<unsigned char>(c) < 0x80; }

// The same in both encodings: generated text is mostly ASCII, so only the runs of other
// characters go through iconv.
std::size_t AsciiRunEnd(std::string_view text, std::size_t pos) {
  while (pos < text.size() && IsAscii(text[pos])) ++pos;
  return pos;
}

// The other runs; the line or the field that holds them is what an error names.
std::size_t OtherRunEnd(std::string_view text, std::size_t pos) {
  while (pos < text.size() && !IsAscii(text[pos])) ++pos;
  return pos;
}

std::string_view LineAround(std::string_view text, std::size_t pos) {
  std::size_t begin = text.rfind('\n', pos);
  begin = begin == std::string_view::npos ? 0 : begin + 1;
  std::size_t end = text.find_first_of("\r\n", pos);
  return text.substr(begin, end == std::string_view::npos ? std::string_view::npos : end - begin);
}

}  // namespace

std::string Utf8ToGbk(std::string_view utf8) {
  std::string gbk, converted;
  gbk.reserve(utf8.size());
  std::size_t pos = 0;
  while (pos < utf8.size()) {
    std::size_t ascii = AsciiRunEnd(utf8, pos);
    gbk.append(utf8.substr(pos, ascii - pos));
    if (ascii == utf8.size()) break;
    std::size_t other = OtherRunEnd(utf8, ascii);
    if (!Convert("GBK", "UTF-8", utf8.substr(ascii, other - ascii), converted)) {
      throw TEncodingError("文本无法用GBK编码表示: \"" + std::string(LineAround(utf8, ascii)) +
                           "\"");
    }
    gbk += converted;
    pos = other;
  }
  return gbk;
}

std::string GbkToUtf8(std::string_view gbk) {
  std::string utf8;
  if (!Convert("UTF-8", "GBK", gbk, utf8)) throw TEncodingError("文本不是有效的GBK编码");
  return utf8;
}

bool FitsGbk(std::string_view utf8) {
  if (AsciiRunEnd(utf8, 0) == utf8.size()) return true;
  std::string ignored;
  return Convert("GBK", "UTF-8", utf8, ignored);
}

}  // namespace vbgen
