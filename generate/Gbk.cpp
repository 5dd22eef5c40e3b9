#include "generate/Gbk.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#include <iconv.h>

#include <algorithm>
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

const std::string* TGbkEncoder::ConvertRun(std::string_view run) {
  auto found = known_.find(run);
  if (found != known_.end()) return &found->second;
  if (!codec_.Convert(run, converted_)) return nullptr;
  if (known_.size() < 100000) return &known_.emplace(std::string(run), converted_).first->second;
  return &converted_;
}

std::string TGbkEncoder::Encode(std::string_view utf8) { return EncodeWith(utf8, false); }

std::string TGbkEncoder::EncodeCrLf(std::string_view utf8) { return EncodeWith(utf8, true); }

std::string TGbkEncoder::EncodeWith(std::string_view utf8, bool crLf, bool wideSteps) {
  // Written in place: GBK takes no more bytes than UTF-8 for any character it holds, so only
  // the CRs can outgrow the guess, which grows when they do.
  std::string gbk(utf8.size() + (crLf ? utf8.size() / 16 : 0) + 32, '\0');
  std::size_t used = 0;
  const auto room = [&](std::size_t bytes) {
    if (used + bytes > gbk.size()) gbk.resize(std::max(gbk.size() * 2, used + bytes));
  };
  const char* text = utf8.data();
#if defined(__SSE2__)
  const __m128i lineEnd = _mm_set1_epi8(crLf ? '\n' : '\x80');
#else
  wideSteps = false;
#endif
  std::size_t pos = 0;
  while (pos < utf8.size()) {
#if defined(__SSE2__)
    // Sixteen bytes a step while they are plain ASCII. The line ends of such a step are
    // turned into CR LF in the step while sixteen more bytes follow it: each piece between
    // them is stored as sixteen bytes from where it starts, and the next store overwrites
    // what lies beyond the piece.
    for (; wideSteps && pos + 16 <= utf8.size(); pos += 16) {
      const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + pos));
      const auto other = static_cast<unsigned>(_mm_movemask_epi8(chunk));
      auto lineEnds = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, lineEnd)));
      room(48);
      char* out = gbk.data();
      if (other == 0 && lineEnds != 0 && pos + 32 <= utf8.size()) {
        unsigned start = 0;
        for (; lineEnds != 0; lineEnds &= lineEnds - 1) {
          const auto end = static_cast<unsigned>(__builtin_ctz(lineEnds));
          _mm_storeu_si128(reinterpret_cast<__m128i*>(out + used),
                           _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + pos + start)));
          used += end - start;
          out[used++] = '\r';
          out[used++] = '\n';
          start = end + 1;
        }
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + used),
                         _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + pos + start)));
        used += 16 - start;
        continue;
      }
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + used), chunk);
      if ((other | lineEnds) != 0) {
        const auto plain = static_cast<unsigned>(__builtin_ctz(other | lineEnds));
        used += plain;
        pos += plain;
        break;
      }
      used += 16;
    }
#endif
    if (pos >= utf8.size()) break;
    const char c = text[pos];
    if (crLf && c == '\n') {
      room(2);
      gbk[used++] = '\r';
      gbk[used++] = '\n';
      ++pos;
    } else if (IsAscii(c)) {
      room(1);
      gbk[used++] = c;
      ++pos;
    } else {
      const std::size_t other = OtherRunEnd(utf8, pos);
      const std::string_view run = utf8.substr(pos, other - pos);
      const std::string* converted = ConvertRun(run);
      if (!converted) {
        throw TEncodingError("文本无法用GBK编码表示: \"" + std::string(LineAround(utf8, pos)) +
                             "\"");
      }
      room(converted->size());
      std::memcpy(gbk.data() + used, converted->data(), converted->size());
      used += converted->size();
      pos = other;
    }
  }
  gbk.resize(used);
  return gbk;
}

bool TGbkEncoder::Fits(std::string_view utf8) {
  for (std::size_t pos = AsciiRunEnd(utf8, 0); pos < utf8.size();) {
    std::size_t other = OtherRunEnd(utf8, pos);
    if (!ConvertRun(utf8.substr(pos, other - pos))) return false;
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
