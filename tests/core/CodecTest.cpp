// The conversions every system runs: they must give the bytes the GNU C library's converter
// gave (what Linux builds wrote before), and decode the script encodings the same way.
#include <gtest/gtest.h>

#if __has_include(<iconv.h>) && !defined(_WIN32)
#include <iconv.h>
#define VBGEN_HAS_ICONV 1
#endif

#include <optional>
#include <string>

#include "generate/Gbk.h"
#include "sqlimport/TextDecode.h"

namespace vbgen::test {
namespace {

std::string Utf8Of(char32_t c) {
  std::string text;
  const std::string utf16{static_cast<char>(c & 0xFF), static_cast<char>(c >> 8 & 0xFF)};
  if (c < 0x10000) {
    DecodeToUtf8(TSourceEncoding::Utf16Le, utf16, text);
    return text;
  }
  const char32_t high = 0xD800 + ((c - 0x10000) >> 10), low = 0xDC00 + ((c - 0x10000) & 0x3FF);
  const std::string pair{static_cast<char>(high & 0xFF), static_cast<char>(high >> 8),
                         static_cast<char>(low & 0xFF), static_cast<char>(low >> 8)};
  DecodeToUtf8(TSourceEncoding::Utf16Le, pair, text);
  return text;
}

}  // namespace

TEST(CodecTest, DecodingStopsAtTheFirstInvalidBytesAndWaitsForACutCharacter) {
  std::string text;
  TDecoded decoded = DecodeToUtf8(TSourceEncoding::Gbk, "ab\xcd\xbc\xca", text);
  EXPECT_EQ(text, "ab图");
  EXPECT_EQ(decoded.used, 4u);
  EXPECT_FALSE(decoded.invalid);  // a lead byte at the end: the next piece may complete it

  text.clear();
  decoded = DecodeToUtf8(TSourceEncoding::Gbk, "a\x81\x30z", text);
  EXPECT_TRUE(decoded.invalid);
  EXPECT_EQ(decoded.used, 1u);
  EXPECT_EQ(text, "a");

  text.clear();
  decoded = DecodeToUtf8(TSourceEncoding::Gbk, "\x80\xff", text);
  EXPECT_EQ(text, "€");
  EXPECT_TRUE(decoded.invalid);
  EXPECT_EQ(decoded.used, 1u);

  // UTF-16: a lone second half, a first half followed by no second, a cut pair.
  text.clear();
  EXPECT_TRUE(DecodeToUtf8(TSourceEncoding::Utf16Le, std::string("a\0\x00\xdc", 4), text).invalid);
  text.clear();
  decoded = DecodeToUtf8(TSourceEncoding::Utf16Be, std::string("\xd8\x3d\x00\x41", 4), text);
  EXPECT_TRUE(decoded.invalid);
  EXPECT_EQ(decoded.used, 0u);
  text.clear();
  decoded = DecodeToUtf8(TSourceEncoding::Utf16Be, std::string("\x00\x41\xd8\x3d\xde", 5), text);
  EXPECT_FALSE(decoded.invalid);
  EXPECT_EQ(decoded.used, 2u);
  EXPECT_EQ(text, "A");
  text.clear();
  DecodeToUtf8(TSourceEncoding::Utf16Be, std::string("\xd8\x3d\xde\x00", 4), text);
  EXPECT_EQ(text, "😀");
}

TEST(CodecTest, EncodingRefusesWhatIsNotUtf8OrNotGbk) {
  std::string gbk;
  EXPECT_TRUE(AppendGbk("€·图", gbk));
  EXPECT_EQ(gbk, "\x80\xa1\xa4\xcd\xbc");
  for (const char* bad : {"\xc0\xaf", "\xed\xa0\x80", "\xe5\x9b", "\xf4\x90\x80\x80", "\xff"}) {
    gbk.clear();
    EXPECT_FALSE(AppendGbk(bad, gbk)) << bad;
  }
  // Tag characters have no GBK form: refused, never dropped without a word.
  gbk.clear();
  EXPECT_FALSE(AppendGbk(Utf8Of(0xE0041), gbk));
  EXPECT_FALSE(FitsGbk("a" + Utf8Of(0xE0041)));
}

TEST(CodecTest, EveryGbkCharacterRoundTrips) {
  int characters = 0;
  for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
    for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
      const std::string pair{static_cast<char>(lead), static_cast<char>(trail)};
      std::string text;
      if (DecodeToUtf8(TSourceEncoding::Gbk, pair, text).invalid) continue;
      ++characters;
      ASSERT_EQ(Utf8ToGbk(text), pair) << std::hex << lead << trail;
    }
  }
  EXPECT_EQ(characters, 21791);  // GBK's two-byte characters, as the table holds them
}

#ifdef VBGEN_HAS_ICONV
// The bytes of the system's converter for one text, or none when it refuses it.
std::optional<std::string> Iconv(const char* to, const char* from, const std::string& input) {
  iconv_t cd = iconv_open(to, from);
  char* in = const_cast<char*>(input.data());
  std::size_t inLeft = input.size();
  std::string output(input.size() * 4 + 8, '\0');
  char* out = output.data();
  std::size_t outLeft = output.size();
  const bool done = iconv(cd, &in, &inLeft, &out, &outLeft) != static_cast<std::size_t>(-1);
  iconv_close(cd);
  if (!done || inLeft != 0) return std::nullopt;
  output.resize(output.size() - outLeft);
  return output;
}

TEST(CodecTest, EncodingAgreesWithTheSystemConverterForEveryCharacter) {
  for (char32_t c = 0x80; c <= 0x10FFFF; ++c) {
    if (c >= 0xD800 && c < 0xE000) continue;
    const std::string text = Utf8Of(c);
    std::string ours;
    const bool fits = AppendGbk(text, ours);
    const std::optional<std::string> system = Iconv("GBK", "UTF-8", text);
    if (c >= 0xE0000 && c <= 0xE007F) {
      ASSERT_FALSE(fits);  // the GNU converter drops tag characters; we refuse them
      continue;
    }
    ASSERT_EQ(fits, system.has_value()) << std::hex << static_cast<unsigned>(c);
    if (fits) {
      ASSERT_EQ(ours, *system) << std::hex << static_cast<unsigned>(c);
    }
  }
}

TEST(CodecTest, DecodingAgreesWithTheSystemConverterForEveryPair) {
  for (unsigned lead = 0x80; lead <= 0xFF; ++lead) {
    for (unsigned trail = 0; trail <= 0xFF; ++trail) {
      const std::string pair{static_cast<char>(lead), static_cast<char>(trail)};
      std::string ours;
      const TDecoded decoded = DecodeToUtf8(TSourceEncoding::Gbk, pair, ours);
      const bool whole = !decoded.invalid && decoded.used == pair.size();
      const std::optional<std::string> system = Iconv("UTF-8", "GBK", pair);
      ASSERT_EQ(whole, system.has_value()) << std::hex << lead << ' ' << trail;
      if (whole) {
        ASSERT_EQ(ours, *system) << std::hex << lead << ' ' << trail;
      }
    }
  }
  // UTF-16 scripts: every character of the Basic Multilingual Plane, both byte orders.
  std::string little, big;
  for (char32_t c = 1; c < 0x10000; ++c) {
    if (c >= 0xD800 && c < 0xE000) continue;
    little += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
    big += {static_cast<char>(c >> 8), static_cast<char>(c & 0xFF)};
  }
  EXPECT_EQ(DecodeScriptText("\xFF\xFE" + little), Iconv("UTF-8", "UTF-16LE", little));
  EXPECT_EQ(DecodeScriptText("\xFE\xFF" + big), Iconv("UTF-8", "UTF-16BE", big));
}
#endif

}  // namespace vbgen::test
