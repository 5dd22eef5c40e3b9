#pragma once

#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>

namespace vbgen {

// Text that the GBK code page (936) cannot hold, or bytes that are not valid in the source
// encoding. The message names the offending text.
class TEncodingError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// One conversion direction, opened once and used for many texts (opening is the costly part).
class TCodec {
 public:
  TCodec(const char* to, const char* from);
  ~TCodec();
  TCodec(const TCodec&) = delete;
  TCodec& operator=(const TCodec&) = delete;

  // Converts; false on the first character that has no form in the target encoding.
  bool Convert(std::string_view input, std::string& output);

 private:
  void* cd_;
};

// Runs of text looked up as views into the text, without a copy of their own.
struct TRunHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view run) const { return std::hash<std::string_view>()(run); }
};

// UTF-8 to GBK. Generated text is mostly ASCII, which is the same in both, so only the other
// runs go through the codec; and the same Chinese runs (captions, friend names, the type words)
// recur in every form and every model, so each run's GBK form is kept once found.
class TGbkEncoder {
 public:
  TGbkEncoder() : codec_("GBK", "UTF-8") {}
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

  TCodec codec_;
  std::string converted_;
  std::unordered_map<std::string, std::string, TRunHash, std::equal_to<>> known_;
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
