#include "generate/Gbk.h"

#include <iconv.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

namespace vbgen {
namespace {

bool IsAscii(char c) { return static_cast<unsigned char>(c) < 0x80; }

// Eight bytes a step: generated text is long and mostly ASCII.
std::size_t AsciiRunEnd(std::string_view text, std::size_t pos) {
  constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;
  for (std::uint64_t word; pos + 8 <= text.size(); pos += 8) {
    std::memcpy(&word, text.data() + pos, 8);
    if (word & kHighBits) break;
  }
  while (pos < text.size() && IsAscii(text[pos])) ++pos;
  return pos;
}

std::size_t OtherRunEnd(std::string_view text, std::size_t pos) {
  while (pos < text.size() && !IsAscii(text[pos])) ++pos;
  return pos;
}

// The line around pos: what an error names, so the user can find the text in the model.
std::string_view LineAround(std::string_view text, std::size_t pos) {
  std::size_t begin = text.rfind('\n', pos);
  begin = begin == std::string_view::npos ? 0 : begin + 1;
  std::size_t end = text.find_first_of("\r\n", pos);
  return text.substr(begin, end == std::string_view::npos ? std::string_view::npos : end - begin);
}

// Line ends live in the ASCII runs only.
void AppendCrLf(std::string& out, std::string_view ascii) {
  std::size_t pos = 0;
  for (std::size_t lf; (lf = ascii.find('\n', pos)) != std::string_view::npos; pos = lf + 1) {
    out.append(ascii, pos, lf - pos);
    out += "\r\n";
  }
  out.append(ascii.substr(pos));
}

}  // namespace

TCodec::TCodec(const char* to, const char* from) : cd_(iconv_open(to, from)) {
  if (cd_ == reinterpret_cast<iconv_t>(-1)) {
    throw TEncodingError(std::string("系统不支持编码转换 ") + from + " -> " + to);
  }
}

TCodec::~TCodec() { iconv_close(static_cast<iconv_t>(cd_)); }

bool TCodec::Convert(std::string_view input, std::string& output) {
  iconv_t cd = static_cast<iconv_t>(cd_);
  iconv(cd, nullptr, nullptr, nullptr, nullptr);  // a fresh start after an earlier failure
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

bool TGbkEncoder::ConvertRun(std::string_view run, std::string& gbk) {
  auto found = known_.find(run);
  if (found != known_.end()) {
    gbk += found->second;
    return true;
  }
  if (!codec_.Convert(run, converted_)) return false;
  if (known_.size() < 100000) known_.emplace(std::string(run), converted_);
  gbk += converted_;
  return true;
}

std::string TGbkEncoder::Encode(std::string_view utf8) { return EncodeWith(utf8, false); }

std::string TGbkEncoder::EncodeCrLf(std::string_view utf8) { return EncodeWith(utf8, true); }

std::string TGbkEncoder::EncodeWith(std::string_view utf8, bool crLf) {
  std::string gbk;
  gbk.reserve(utf8.size() + (crLf ? utf8.size() / 16 : 0));
  std::size_t pos = 0;
  while (pos < utf8.size()) {
    std::size_t ascii = AsciiRunEnd(utf8, pos);
    if (crLf) {
      AppendCrLf(gbk, utf8.substr(pos, ascii - pos));
    } else {
      gbk.append(utf8.substr(pos, ascii - pos));
    }
    if (ascii == utf8.size()) break;
    std::size_t other = OtherRunEnd(utf8, ascii);
    if (!ConvertRun(utf8.substr(ascii, other - ascii), gbk)) {
      throw TEncodingError("文本无法用GBK编码表示: \"" + std::string(LineAround(utf8, ascii)) +
                           "\"");
    }
    pos = other;
  }
  return gbk;
}

bool TGbkEncoder::Fits(std::string_view utf8) {
  std::string gbk;  // the runs of a model's texts are short: their bytes need no allocation
  for (std::size_t pos = AsciiRunEnd(utf8, 0); pos < utf8.size();) {
    std::size_t other = OtherRunEnd(utf8, pos);
    gbk.clear();
    if (!ConvertRun(utf8.substr(pos, other - pos), gbk)) return false;
    pos = AsciiRunEnd(utf8, other);
  }
  return true;
}

namespace {

// One encoder per thread: opening the codec costs more than converting a form.
TGbkEncoder& ThreadEncoder() {
  thread_local TGbkEncoder encoder;
  return encoder;
}

}  // namespace

std::string Utf8ToGbk(std::string_view utf8) {
  if (AsciiRunEnd(utf8, 0) == utf8.size()) return std::string(utf8);
  return ThreadEncoder().Encode(utf8);
}

std::string Utf8ToGbkCrLf(std::string_view utf8) { return ThreadEncoder().EncodeCrLf(utf8); }

std::string GbkToUtf8(std::string_view gbk) {
  std::string utf8;
  if (!TCodec("UTF-8", "GBK").Convert(gbk, utf8)) throw TEncodingError("文本不是有效的GBK编码");
  return utf8;
}

bool FitsGbk(std::string_view utf8) {
  if (AsciiRunEnd(utf8, 0) == utf8.size()) return true;
  return TGbkEncoder().Fits(utf8);
}

}  // namespace vbgen
