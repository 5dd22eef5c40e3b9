#include "sqlimport/ScriptSource.h"

#include <fstream>

#include "generate/Gbk.h"
#include "sqlimport/TextDecode.h"

namespace vbgen {
namespace {

constexpr std::size_t kPieceSize = 64 * 1024;

class TFileInput : public TByteInput {
 public:
  explicit TFileInput(const std::filesystem::path& file) : file_(file, std::ios::binary) {
    if (!file_) throw TTextDecodeError("无法打开文件 " + file.string());
  }
  std::size_t Read(char* buffer, std::size_t size) override {
    file_.read(buffer, static_cast<std::streamsize>(size));
    if (file_.bad()) throw TTextDecodeError("读取文件时出错");
    return static_cast<std::size_t>(file_.gcount());
  }
  void Rewind() override {
    file_.clear();
    file_.seekg(0);
  }

 private:
  std::ifstream file_;
};

class TMemoryInput : public TByteInput {
 public:
  explicit TMemoryInput(std::string_view bytes) : bytes_(bytes) {}
  std::size_t Read(char* buffer, std::size_t size) override {
    const std::string_view piece = bytes_.substr(pos_, size);
    piece.copy(buffer, piece.size());
    pos_ += piece.size();
    return piece.size();
  }
  void Rewind() override { pos_ = 0; }

 private:
  std::string_view bytes_;
  std::size_t pos_ = 0;
};

// The length of the UTF-8 sequence a lead byte begins; 0 for a byte that begins none.
std::size_t SequenceLength(unsigned char lead) {
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 0;
}

// Checks UTF-8 a piece at a time; a sequence cut by the end of a piece is finished by the next.
class TUtf8Check {
 public:
  // False at the first invalid sequence.
  bool Feed(std::string_view bytes) {
    for (const char c : bytes) {
      const auto byte = static_cast<unsigned char>(c);
      if (need_ == 0) {
        const std::size_t length = SequenceLength(byte);
        if (length == 0) return false;
        need_ = length - 1;
        first_ = true;
        lead_ = byte;
        continue;
      }
      if ((byte & 0xC0) != 0x80) return false;
      // The second byte rules out overlong forms, surrogates and values past U+10FFFF.
      if (first_ && ((lead_ == 0xE0 && byte < 0xA0) || (lead_ == 0xED && byte > 0x9F) ||
                     (lead_ == 0xF0 && byte < 0x90) || (lead_ == 0xF4 && byte > 0x8F))) {
        return false;
      }
      first_ = false;
      --need_;
    }
    return true;
  }
  bool Complete() const { return need_ == 0; }

 private:
  std::size_t need_ = 0;
  bool first_ = false;
  unsigned char lead_ = 0;
};

std::size_t CompleteUtf8Prefix(std::string_view bytes) {
  // A cut sequence is at most three bytes long, and starts at its lead byte.
  for (std::size_t back = 1; back <= 3 && back <= bytes.size(); ++back) {
    const auto byte = static_cast<unsigned char>(bytes[bytes.size() - back]);
    if ((byte & 0xC0) == 0x80) continue;
    const std::size_t length = SequenceLength(byte);
    return length > back ? bytes.size() - back : bytes.size();
  }
  return bytes.size();
}

// The whole input, from its beginning, read once to see whether it is valid UTF-8.
bool IsUtf8Throughout(TByteInput& input) {
  input.Rewind();
  TUtf8Check check;
  std::string piece(kPieceSize, '\0');
  for (;;) {
    const std::size_t size = input.Read(piece.data(), piece.size());
    if (size == 0) return check.Complete();
    if (!check.Feed(std::string_view(piece.data(), size))) return false;
  }
}

}  // namespace

std::unique_ptr<TByteInput> FileInput(const std::filesystem::path& file) {
  return std::make_unique<TFileInput>(file);
}

std::unique_ptr<TByteInput> MemoryInput(std::string_view bytes) {
  return std::make_unique<TMemoryInput>(bytes);
}

// The script's encoding, decoded a piece at a time.
class TScriptSource::TDecoder {
 public:
  TDecoder(TSourceEncoding from, const char* name) : from_(from), name_(name) {}

  // Converts what it can of `bytes` (starting at byte `offset` of the file) and leaves in it
  // a character cut by the piece's end; at the end of the input nothing may be left.
  void Convert(std::string& bytes, std::string& text, std::size_t offset, bool last) {
    const TDecoded decoded = DecodeToUtf8(from_, bytes, text);
    if (decoded.invalid || (last && decoded.used != bytes.size())) {
      throw TTextDecodeError("文件不是有效的" + name_ + "文本(第" +
                             std::to_string(offset + decoded.used + 1) + "个字节处无法解码)");
    }
    bytes.erase(0, decoded.used);
  }

 private:
  TSourceEncoding from_;
  std::string name_;
};

TScriptSource::TScriptSource(std::unique_ptr<TByteInput> input) : input_(std::move(input)) {
  char head[3] = {};
  const std::size_t got = input_->Read(head, sizeof head);
  const std::string_view start(head, got);
  std::size_t mark = 0;
  if (start.substr(0, 3) == "\xEF\xBB\xBF") {
    mark = 3;
  } else if (start.substr(0, 2) == "\xFF\xFE") {
    mark = 2;
    decoder_ = std::make_unique<TDecoder>(TSourceEncoding::Utf16Le, "UTF-16");
  } else if (start.substr(0, 2) == "\xFE\xFF") {
    mark = 2;
    decoder_ = std::make_unique<TDecoder>(TSourceEncoding::Utf16Be, "UTF-16");
  } else if (!start.empty() && !IsUtf8Throughout(*input_)) {
    // Without a mark, a file that is valid UTF-8 throughout is UTF-8, else it must be GBK.
    decoder_ = std::make_unique<TDecoder>(TSourceEncoding::Gbk, "UTF-8或GBK");
  }
  if (mark == 3 && !IsUtf8Throughout(*input_)) {
    throw TTextDecodeError("文件以UTF-8的字节顺序标记开头, 却不是有效的UTF-8文本");
  }
  input_->Rewind();
  if (mark > 0) input_->Read(head, mark);
  offset_ = mark;
}

TScriptSource::~TScriptSource() = default;

bool TScriptSource::ReadPiece(std::string& text) {
  std::string piece(kPieceSize, '\0');
  const std::size_t size = input_->Read(piece.data(), piece.size());
  piece.resize(size);
  const bool last = size == 0;
  if (last && pending_.empty()) return false;
  const std::size_t start = text.size();
  const std::size_t pendingStart = offset_ - pending_.size();
  pending_ += piece;
  if (decoder_) {
    decoder_->Convert(pending_, text, pendingStart, last);
  } else {
    const std::size_t whole = last ? pending_.size() : CompleteUtf8Prefix(pending_);
    text.append(pending_, 0, whole);
    pending_.erase(0, whole);
  }
  offset_ += size;
  if (text.find('\0', start) != std::string::npos) {
    throw TTextDecodeError("文件含有NUL字符, 不是文本脚本(UTF-16的文件须以字节顺序标记开头)");
  }
  if (last && !pending_.empty()) throw TTextDecodeError("文件在一个字符的中间结束");
  return true;
}

}  // namespace vbgen
