// A script read a piece at a time, whatever its size, and decoded to UTF-8 on the way: from a
// file, or from bytes already in memory. The encodings are those DecodeScriptText knows.
#pragma once

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

namespace vbgen {

// The bytes of a script, a piece at a time; it can start again from the beginning (the first
// pass over a file without a byte-order mark only finds out whether it is UTF-8).
class TByteInput {
 public:
  virtual ~TByteInput() = default;
  // Up to `size` bytes into `buffer`; 0 at the end. Throws TTextDecodeError on a read error.
  virtual std::size_t Read(char* buffer, std::size_t size) = 0;
  virtual void Rewind() = 0;
};

std::unique_ptr<TByteInput> FileInput(const std::filesystem::path& file);
// The bytes must outlive the input.
std::unique_ptr<TByteInput> MemoryInput(std::string_view bytes);

class TScriptSource {
 public:
  // Finds the encoding; throws TTextDecodeError for bytes that are neither UTF-8 nor GBK.
  explicit TScriptSource(std::unique_ptr<TByteInput> input);
  ~TScriptSource();
  TScriptSource(const TScriptSource&) = delete;
  TScriptSource& operator=(const TScriptSource&) = delete;

  // Appends the next piece of UTF-8 text to `text`; false at the end. Throws TTextDecodeError
  // at bytes that cannot be decoded and at NUL characters.
  bool ReadPiece(std::string& text);

 private:
  class TDecoder;
  std::unique_ptr<TByteInput> input_;
  std::unique_ptr<TDecoder> decoder_;  // none for UTF-8, which is passed on as it is
  std::string pending_;                // bytes of a character cut by the end of a piece
  std::size_t offset_ = 0;             // bytes of the input read so far
};

}  // namespace vbgen
