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

// The encodings a text arrives in besides UTF-8.
enum class TSourceEncoding { Gbk, Utf16Le, Utf16Be };

// How far DecodeToUtf8 got through its bytes.
struct TDecoded {
  std::size_t used = 0;  // the bytes decoded; where the invalid bytes begin when `invalid`
  // True at bytes that are no character of the encoding; false when all were decoded but an
  // incomplete character at the end (which the next piece of the input may complete).
  bool invalid = false;
};

// The conversions are our own, the same on every system, so that a project generated on
// Windows holds the bytes one generated on Linux holds: the GBK table is the one the GNU C
// library's converter uses (generate/GbkTable.inc, made by tools/gbk-table.c).
// Appends the UTF-8 form of the bytes to `text`.
TDecoded DecodeToUtf8(TSourceEncoding from, std::string_view bytes, std::string& text);
// Appends the GBK bytes of the UTF-8 text to `gbk`; false at the first character that GBK
// cannot hold, or bytes that are not UTF-8 (`gbk` then holds what came before).
bool AppendGbk(std::string_view utf8, std::string& gbk);

// UTF-8 to GBK. Generated text is mostly ASCII, which is the same in both, so only the other
// runs go through the table.
class TGbkEncoder {
 public:
  // Throws TEncodingError naming the line of the text that holds a character without GBK form.
  std::string Encode(std::string_view utf8);
  // The same, turning every LF into CR LF on the way: one pass, no copy of the whole text.
  std::string EncodeCrLf(std::string_view utf8);
  // The same bytes as EncodeCrLf, a byte at a time: what every build without SSE2 runs.
  std::string EncodeCrLfBytewise(std::string_view utf8) { return EncodeWith(utf8, true, false); }
  bool Fits(std::string_view utf8);

 private:
  // The GBK bytes of a run of non-ASCII UTF-8 text, valid until the next call; null when it
  // has none.
  const std::string* ConvertRun(std::string_view run);
  std::string EncodeWith(std::string_view utf8, bool crLf, bool wideSteps = true);

  std::string converted_;
};

// UTF-8 to GBK bytes; throws TEncodingError naming the text when a character has no GBK form.
std::string Utf8ToGbk(std::string_view utf8);
// What a generated file holds: the UTF-8 text in GBK bytes, each LF turned into CR LF
// (Utf8ToGbk(CrLf(utf8)) in one pass).
std::string Utf8ToGbkCrLf(std::string_view utf8);
// GBK bytes to UTF-8; throws TEncodingError on invalid bytes.
std::string GbkToUtf8(std::string_view gbk);
// True when every character of the UTF-8 text has a GBK form.
bool FitsGbk(std::string_view utf8);

}  // namespace vbgen
