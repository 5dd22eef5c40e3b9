#include "generate/Gbk.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>

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

namespace {

constexpr unsigned kFirstLead = 0x81, kLastLead = 0xFE, kFirstTrail = 0x40, kLastTrail = 0xFE;
constexpr unsigned kTrails = kLastTrail - kFirstTrail + 1;
// The one single byte above ASCII that GBK gives a character: the euro sign.
constexpr unsigned char kEuroByte = 0x80;
constexpr char32_t kEuro = 0x20AC;

constexpr std::uint16_t kGbkToUnicode[] = {
#include "generate/GbkTable.inc"
};
static_assert(std::size(kGbkToUnicode) == (kLastLead - kFirstLead + 1) * kTrails);

// The reverse of the table: a character's two GBK bytes (lead in the high byte), 0 for none.
// Built once, on first use, from the same table, so that both directions always agree.
const std::array<std::uint16_t, 0x10000>& UnicodeToGbk() {
  static const auto table = [] {
    auto reverse = std::make_unique<std::array<std::uint16_t, 0x10000>>();
    reverse->fill(0);
    for (std::size_t i = 0; i < std::size(kGbkToUnicode); ++i) {
      if (kGbkToUnicode[i] == 0) continue;
      (*reverse)[kGbkToUnicode[i]] =
          static_cast<std::uint16_t>((kFirstLead + i / kTrails) << 8 | (kFirstTrail + i % kTrails));
    }
    return reverse;
  }();
  return *table;
}

void AppendUtf8(char32_t c, std::string& text) {
  if (c < 0x80) {
    text += static_cast<char>(c);
  } else if (c < 0x800) {
    text += static_cast<char>(0xC0 | c >> 6);
    text += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    text += static_cast<char>(0xE0 | c >> 12);
    text += static_cast<char>(0x80 | (c >> 6 & 0x3F));
    text += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    text += static_cast<char>(0xF0 | c >> 18);
    text += static_cast<char>(0x80 | (c >> 12 & 0x3F));
    text += static_cast<char>(0x80 | (c >> 6 & 0x3F));
    text += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// The character at `pos` of UTF-8 text, advancing `pos`; none for bytes that are not UTF-8
// (overlong forms and surrogates among them, as the system converters refuse them too).
std::optional<char32_t> NextUtf8(std::string_view text, std::size_t& pos) {
  const auto byte = [&](std::size_t at) { return static_cast<unsigned char>(text[at]); };
  const unsigned lead = byte(pos);
  const std::size_t length = lead < 0x80   ? 1
                             : lead < 0xC2 ? 0
                             : lead < 0xE0 ? 2
                             : lead < 0xF0 ? 3
                             : lead < 0xF5 ? 4
                                           : 0;
  if (length == 0 || pos + length > text.size()) return std::nullopt;
  char32_t c = length == 1 ? lead : lead & (0x7F >> length);
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(pos + i) & 0xC0) != 0x80) return std::nullopt;
    c = c << 6 | (byte(pos + i) & 0x3F);
  }
  constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
  if (c < kSmallest[length] || c > 0x10FFFF || (c >= 0xD800 && c < 0xE000)) return std::nullopt;
  pos += length;
  return c;
}

TDecoded DecodeGbk(std::string_view bytes, std::string& text) {
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    const auto lead = static_cast<unsigned char>(bytes[pos]);
    if (lead < 0x80) {
      text += static_cast<char>(lead);
      ++pos;
      continue;
    }
    if (lead == kEuroByte) {
      AppendUtf8(kEuro, text);
      ++pos;
      continue;
    }
    if (lead > kLastLead) return {pos, true};
    if (pos + 1 == bytes.size()) return {pos, false};
    const auto trail = static_cast<unsigned char>(bytes[pos + 1]);
    const char32_t c = trail < kFirstTrail || trail > kLastTrail
                           ? 0
                           : kGbkToUnicode[(lead - kFirstLead) * kTrails + (trail - kFirstTrail)];
    if (c == 0) return {pos, true};
    AppendUtf8(c, text);
    pos += 2;
  }
  return {pos, false};
}

TDecoded DecodeUtf16(std::string_view bytes, bool bigEndian, std::string& text) {
  const auto unit = [&](std::size_t at) {
    const auto first = static_cast<unsigned char>(bytes[at]);
    const auto second = static_cast<unsigned char>(bytes[at + 1]);
    return static_cast<char32_t>(bigEndian ? first << 8 | second : second << 8 | first);
  };
  std::size_t pos = 0;
  while (pos + 2 <= bytes.size()) {
    const char32_t c = unit(pos);
    if (c >= 0xDC00 && c < 0xE000) return {pos, true};  // the second half of a pair, alone
    if (c < 0xD800 || c >= 0xDC00) {
      AppendUtf8(c, text);
      pos += 2;
      continue;
    }
    if (pos + 4 > bytes.size()) return {pos, false};
    const char32_t low = unit(pos + 2);
    if (low < 0xDC00 || low >= 0xE000) return {pos, true};
    AppendUtf8(0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00), text);
    pos += 4;
  }
  return {pos, false};
}

}  // namespace

TDecoded DecodeToUtf8(TSourceEncoding from, std::string_view bytes, std::string& text) {
  switch (from) {
    case TSourceEncoding::Gbk:
      return DecodeGbk(bytes, text);
    case TSourceEncoding::Utf16Le:
      return DecodeUtf16(bytes, false, text);
    case TSourceEncoding::Utf16Be:
      return DecodeUtf16(bytes, true, text);
  }
  return {0, true};
}

bool AppendGbk(std::string_view utf8, std::string& gbk) {
  const auto& table = UnicodeToGbk();
  for (std::size_t pos = 0; pos < utf8.size();) {
    const std::optional<char32_t> c = NextUtf8(utf8, pos);
    if (!c) return false;
    if (*c < 0x80) {
      gbk += static_cast<char>(*c);
    } else if (*c == kEuro) {
      gbk += static_cast<char>(kEuroByte);
    } else if (*c < table.size() && table[*c] != 0) {
      gbk += static_cast<char>(table[*c] >> 8);
      gbk += static_cast<char>(table[*c] & 0xFF);
    } else {
      return false;
    }
  }
  return true;
}

const std::string* TGbkEncoder::ConvertRun(std::string_view run) {
  converted_.clear();
  return AppendGbk(run, converted_) ? &converted_ : nullptr;
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

// One encoder per thread: its buffer is reused from form to form.
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
  const TDecoded decoded = DecodeToUtf8(TSourceEncoding::Gbk, gbk, utf8);
  if (decoded.invalid || decoded.used != gbk.size()) throw TEncodingError("文本不是有效的GBK编码");
  return utf8;
}

bool FitsGbk(std::string_view utf8) {
  if (AsciiRunEnd(utf8, 0) == utf8.size()) return true;
  return TGbkEncoder().Fits(utf8);
}

}  // namespace vbgen
