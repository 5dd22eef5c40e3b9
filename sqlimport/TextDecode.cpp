#include "sqlimport/TextDecode.h"

#include <iconv.h>

#include <cerrno>

#include "model/Rules.h"

namespace vbgen {
namespace {

// One iconv conversion, opened for one call.
class TIconv {
 public:
  TIconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {
    if (cd_ == reinterpret_cast<iconv_t>(-1)) {
      throw TTextDecodeError(std::string("系统不支持") + from + "到" + to + "的转换");
    }
  }
  ~TIconv() { iconv_close(cd_); }
  TIconv(const TIconv&) = delete;
  TIconv& operator=(const TIconv&) = delete;

  // The converted text, or false at the first byte sequence that cannot be converted; offset
  // then tells where in the input it stood.
  bool Convert(std::string_view input, std::string& output, std::size_t& offset) {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    output.clear();
    char* in = const_cast<char*>(input.data());
    std::size_t inLeft = input.size();
    char buffer[4096];
    while (inLeft > 0) {
      char* out = buffer;
      std::size_t outLeft = sizeof buffer;
      std::size_t done = iconv(cd_, &in, &inLeft, &out, &outLeft);
      output.append(buffer, static_cast<std::size_t>(out - buffer));
      if (done == static_cast<std::size_t>(-1) && errno != E2BIG) {
        offset = input.size() - inLeft;
        return false;
      }
    }
    char* out = buffer;
    std::size_t outLeft = sizeof buffer;
    iconv(cd_, nullptr, nullptr, &out, &outLeft);
    output.append(buffer, static_cast<std::size_t>(out - buffer));
    return true;
  }

 private:
  iconv_t cd_;
};

bool StartsWith(std::string_view bytes, std::string_view mark) {
  return bytes.substr(0, mark.size()) == mark;
}

bool IsValidUtf8(std::string_view text) {
  std::string copy(text);
  std::size_t pos = 0;
  while (pos < copy.size()) {
    if (!NextCodePoint(copy, pos)) return false;
  }
  return true;
}

// The bytes after a byte-order mark of `markSize` bytes, decoded.
std::string Converted(std::string_view bytes, std::size_t markSize, const char* from,
                      const char* name) {
  std::string text;
  std::size_t offset = 0;
  if (!TIconv("UTF-8", from).Convert(bytes.substr(markSize), text, offset)) {
    throw TTextDecodeError("文件不是有效的" + std::string(name) + "文本(第" +
                           std::to_string(markSize + offset + 1) + "个字节处无法解码)");
  }
  return text;
}

}  // namespace

std::string DecodeScriptText(std::string_view bytes) {
  std::string text;
  if (StartsWith(bytes, "\xEF\xBB\xBF")) {
    text = bytes.substr(3);
    if (!IsValidUtf8(text))
      throw TTextDecodeError("文件以UTF-8的字节顺序标记开头, 却不是有效的UTF-8文本");
  } else if (StartsWith(bytes, "\xFF\xFE")) {
    text = Converted(bytes, 2, "UTF-16LE", "UTF-16");
  } else if (StartsWith(bytes, "\xFE\xFF")) {
    text = Converted(bytes, 2, "UTF-16BE", "UTF-16");
  } else if (IsValidUtf8(bytes)) {
    text = bytes;
  } else {
    text = Converted(bytes, 0, "GBK", "UTF-8或GBK");
  }
  if (text.find('\0') != std::string::npos) {
    throw TTextDecodeError("文件含有NUL字符, 不是文本脚本(UTF-16的文件须以字节顺序标记开头)");
  }
  return text;
}

std::string ReplaceOutsideGbk(std::string_view utf8, char replacement) {
  const std::string text(utf8);
  TIconv toGbk("GBK", "UTF-8");
  std::string result, ignored;
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t start = pos;
    std::size_t offset = 0;
    const std::optional<char32_t> c = NextCodePoint(text, pos);
    if (!c) {
      pos = start + 1;
      result += replacement;
    } else if (*c < 0x80 ||
               toGbk.Convert(std::string_view(text).substr(start, pos - start), ignored, offset)) {
      result.append(text, start, pos - start);
    } else {
      result += replacement;
    }
  }
  return result;
}

}  // namespace vbgen
