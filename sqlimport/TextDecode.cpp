#include "sqlimport/TextDecode.h"

#include "generate/Gbk.h"
#include "model/Rules.h"

namespace vbgen {
namespace {

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
std::string Converted(std::string_view bytes, std::size_t markSize, TSourceEncoding from,
                      const char* name) {
  std::string text;
  const std::string_view body = bytes.substr(markSize);
  // An incomplete character at the end cannot be decoded either.
  const TDecoded decoded = DecodeToUtf8(from, body, text);
  if (decoded.invalid || decoded.used != body.size()) {
    throw TTextDecodeError("文件不是有效的" + std::string(name) + "文本(第" +
                           std::to_string(markSize + decoded.used + 1) + "个字节处无法解码)");
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
    text = Converted(bytes, 2, TSourceEncoding::Utf16Le, "UTF-16");
  } else if (StartsWith(bytes, "\xFE\xFF")) {
    text = Converted(bytes, 2, TSourceEncoding::Utf16Be, "UTF-16");
  } else if (IsValidUtf8(bytes)) {
    text = bytes;
  } else {
    text = Converted(bytes, 0, TSourceEncoding::Gbk, "UTF-8或GBK");
  }
  if (text.find('\0') != std::string::npos) {
    throw TTextDecodeError("文件含有NUL字符, 不是文本脚本(UTF-16的文件须以字节顺序标记开头)");
  }
  return text;
}

std::string ReplaceOutsideGbk(std::string_view utf8, char replacement) {
  const std::string text(utf8);
  std::string result, ignored;
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t start = pos;
    const std::optional<char32_t> c = NextCodePoint(text, pos);
    if (!c) {
      pos = start + 1;
      result += replacement;
    } else if (*c < 0x80 || AppendGbk(std::string_view(text).substr(start, pos - start), ignored)) {
      result.append(text, start, pos - start);
    } else {
      result += replacement;
    }
  }
  return result;
}

}  // namespace vbgen
