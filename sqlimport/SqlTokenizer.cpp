#include "sqlimport/SqlTokenizer.h"

#include <cctype>

namespace vbgen {

TSqlScriptError::TSqlScriptError(int line, const std::string& message)
    : std::runtime_error("第" + std::to_string(line) + "行: " + message), line_(line) {}

std::string UpperAscii(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

bool TSqlToken::Is(const char* keyword) const {
  if (kind != TSqlTokenKind::Word) return false;
  // Compared in place: the tokens of a large script are many, the keyword checks more.
  std::size_t i = 0;
  for (; i < text.size() && keyword[i] != '\0'; ++i) {
    char c = text[i];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c != keyword[i]) return false;
  }
  return i == text.size() && keyword[i] == '\0';
}

bool TSqlToken::IsSymbol(char symbol) const {
  return kind == TSqlTokenKind::Symbol && text.size() == 1 && text[0] == symbol;
}

namespace {

bool IsWordStart(unsigned char c) {
  return std::isalpha(c) || c == '_' || c == '@' || c == '#' || c >= 0x80;
}

bool IsWordChar(unsigned char c) { return IsWordStart(c) || std::isdigit(c) || c == '$'; }

}  // namespace

// Reads from a window of the text that is refilled from the pieces as the reading moves on; the
// part already read is dropped then, so only the token being read is held.
class TSqlTokenStream::TImpl {
 public:
  explicit TImpl(TTextPieces pieces) : pieces_(std::move(pieces)) {}

  TSqlToken Next() {
    if (!SkipSpaceAndComments()) return {TSqlTokenKind::End, {}, line_};
    const int line = line_;
    const unsigned char c = Peek();
    if (c == '[') return Made(TSqlTokenKind::QuotedName, Delimited(']', "方括号名称"), line);
    if (c == '"') return Made(TSqlTokenKind::QuotedName, Delimited('"', "双引号名称"), line);
    if (c == '\'') return Made(TSqlTokenKind::String, Delimited('\'', "字符串"), line);
    if ((c == 'N' || c == 'n') && Peek(1) == '\'') {
      Skip();
      return Made(TSqlTokenKind::String, Delimited('\'', "字符串"), line);
    }
    if (std::isdigit(c) || (c == '.' && std::isdigit(Peek(1))) || c == '$') {
      return Made(TSqlTokenKind::Number, NumberText(), line);
    }
    if (IsWordStart(c)) return Word(line);
    Skip();
    return Made(TSqlTokenKind::Symbol, std::string(1, static_cast<char>(c)), line);
  }

  void SetDiscarding(bool discarding) { discarding_ = discarding; }

 private:
  // The byte `ahead` places on; 0 past the end of the text.
  unsigned char Peek(std::size_t ahead = 0) {
    while (pos_ + ahead >= window_.size() && !ended_) Refill();
    return pos_ + ahead < window_.size() ? static_cast<unsigned char>(window_[pos_ + ahead]) : 0;
  }
  bool AtEnd() { return Peek() == 0 && pos_ >= window_.size(); }

  void Refill() {
    window_.erase(0, pos_);
    pos_ = 0;
    if (!pieces_(window_)) ended_ = true;
  }

  void Skip() { ++pos_; }
  void Advance() {
    if (window_[pos_] == '\n') ++line_;
    ++pos_;
  }

  TSqlToken Made(TSqlTokenKind kind, std::string text, int line) {
    lastTokenLine_ = line;
    return {kind, std::move(text), line};
  }

  // Skips blanks, line comments and (nested) block comments; false at the end of the text.
  bool SkipSpaceAndComments() {
    while (!AtEnd()) {
      const unsigned char c = Peek();
      if (std::isspace(c)) {
        Advance();
      } else if (c == '-' && Peek(1) == '-') {
        while (!AtEnd() && Peek() != '\n') Skip();
      } else if (c == '/' && Peek(1) == '*') {
        BlockComment();
      } else {
        return true;
      }
    }
    return false;
  }

  void BlockComment() {
    const int start = line_;
    int depth = 0;
    do {
      if (AtEnd()) throw TSqlScriptError(start, "注释 /* 没有结束");
      if (Peek() == '/' && Peek(1) == '*') {
        ++depth;
        pos_ += 2;
      } else if (Peek() == '*' && Peek(1) == '/') {
        --depth;
        pos_ += 2;
      } else {
        Advance();
      }
    } while (depth > 0);
  }

  // The text between the opening character at pos_ and its closing one; a doubled closing
  // character stands for itself.
  std::string Delimited(char close, const char* what) {
    const int start = line_;
    Skip();
    std::string content;
    for (;;) {
      if (AtEnd()) throw TSqlScriptError(start, std::string(what) + "没有结束");
      if (Peek() == static_cast<unsigned char>(close)) {
        if (Peek(1) != static_cast<unsigned char>(close)) break;
        Skip();
      }
      if (!discarding_) content += window_[pos_];
      Advance();
    }
    Skip();
    return content;
  }

  std::string NumberText() {
    std::string text;
    auto take = [&] {
      if (!discarding_) text += static_cast<char>(Peek());
      Skip();
    };
    const bool hex = Peek() == '0' && (Peek(1) == 'x' || Peek(1) == 'X');
    if (Peek() == '$') take();
    if (hex) {
      take();
      take();
    }
    unsigned char previous = 0;
    while (!AtEnd()) {
      const unsigned char c = Peek();
      const bool exponentSign = (c == '+' || c == '-') && (previous == 'e' || previous == 'E');
      if (!std::isalnum(c) && c != '.' && !exponentSign) break;
      previous = c;
      take();
    }
    return text;
  }

  TSqlToken Word(int line) {
    std::string word;
    while (!AtEnd() && IsWordChar(Peek())) {
      word += static_cast<char>(Peek());
      Skip();
    }
    if (UpperAscii(word) == "GO" && lastTokenLine_ != line && RestOfLineIsGoCount()) {
      while (!AtEnd() && Peek() != '\n') Skip();
      return Made(TSqlTokenKind::BatchEnd, word, line);
    }
    return Made(TSqlTokenKind::Word, std::move(word), line);
  }

  // GO stands alone on its line, or with a repeat count and a line comment after it.
  bool RestOfLineIsGoCount() {
    std::size_t at = 0;
    auto blank = [&] {
      while (Peek(at) == ' ' || Peek(at) == '\t' || Peek(at) == '\r') ++at;
    };
    blank();
    while (std::isdigit(Peek(at))) ++at;
    blank();
    if (Peek(at) == '-' && Peek(at + 1) == '-') return true;
    return Peek(at) == 0 || Peek(at) == '\n';
  }

  TTextPieces pieces_;
  std::string window_;
  std::size_t pos_ = 0;
  bool ended_ = false;
  bool discarding_ = false;
  int line_ = 1;
  int lastTokenLine_ = 0;
};

TSqlTokenStream::TSqlTokenStream(TTextPieces pieces)
    : impl_(std::make_unique<TImpl>(std::move(pieces))) {}
TSqlTokenStream::~TSqlTokenStream() = default;
TSqlToken TSqlTokenStream::Next() { return impl_->Next(); }
void TSqlTokenStream::SetDiscarding(bool discarding) { impl_->SetDiscarding(discarding); }

std::vector<TSqlToken> TokenizeSql(const std::string& text) {
  bool given = false;
  TSqlTokenStream stream([&](std::string& piece) {
    if (given) return false;
    piece += text;
    given = true;
    return true;
  });
  std::vector<TSqlToken> tokens;
  do {
    tokens.push_back(stream.Next());
  } while (tokens.back().kind != TSqlTokenKind::End);
  return tokens;
}

}  // namespace vbgen
