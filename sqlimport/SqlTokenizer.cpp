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

class TTokenizer {
 public:
  explicit TTokenizer(const std::string& text) : text_(text) {}

  std::vector<TSqlToken> Run() {
    while (SkipSpaceAndComments()) {
      const int line = line_;
      const unsigned char c = Peek();
      if (c == '[') {
        Emit(TSqlTokenKind::QuotedName, Delimited(']', "方括号名称"), line);
      } else if (c == '"') {
        Emit(TSqlTokenKind::QuotedName, Delimited('"', "双引号名称"), line);
      } else if (c == '\'') {
        Emit(TSqlTokenKind::String, Delimited('\'', "字符串"), line);
      } else if ((c == 'N' || c == 'n') && Peek(1) == '\'') {
        ++pos_;
        Emit(TSqlTokenKind::String, Delimited('\'', "字符串"), line);
      } else if (std::isdigit(c) || (c == '.' && std::isdigit(Peek(1))) || c == '$') {
        Emit(TSqlTokenKind::Number, NumberText(), line);
      } else if (IsWordStart(c)) {
        Word(line);
      } else {
        ++pos_;
        Emit(TSqlTokenKind::Symbol, std::string(1, static_cast<char>(c)), line);
      }
    }
    tokens_.push_back({TSqlTokenKind::End, {}, line_});
    return std::move(tokens_);
  }

 private:
  unsigned char Peek(std::size_t ahead = 0) const {
    return pos_ + ahead < text_.size() ? static_cast<unsigned char>(text_[pos_ + ahead]) : 0;
  }
  bool AtEnd() const { return pos_ >= text_.size(); }

  void Advance() {
    if (text_[pos_] == '\n') ++line_;
    ++pos_;
  }

  void Emit(TSqlTokenKind kind, std::string text, int line) {
    tokens_.push_back({kind, std::move(text), line});
    lastTokenLine_ = line;
  }

  // Skips blanks, line comments and (nested) block comments; false at the end of the text.
  bool SkipSpaceAndComments() {
    while (!AtEnd()) {
      const unsigned char c = Peek();
      if (std::isspace(c)) {
        Advance();
      } else if (c == '-' && Peek(1) == '-') {
        while (!AtEnd() && Peek() != '\n') ++pos_;
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
    ++pos_;
    std::string content;
    for (;;) {
      if (AtEnd()) throw TSqlScriptError(start, std::string(what) + "没有结束");
      if (Peek() == static_cast<unsigned char>(close)) {
        if (Peek(1) != static_cast<unsigned char>(close)) break;
        ++pos_;
      }
      content += text_[pos_];
      Advance();
    }
    ++pos_;
    return content;
  }

  std::string NumberText() {
    const std::size_t start = pos_;
    if (Peek() == '$' || (Peek() == '0' && (Peek(1) == 'x' || Peek(1) == 'X')))
      pos_ += Peek() == '$' ? 1 : 2;
    while (!AtEnd() && (std::isalnum(Peek()) || Peek() == '.' ||
                        ((Peek() == '+' || Peek() == '-') &&
                         (text_[pos_ - 1] == 'e' || text_[pos_ - 1] == 'E')))) {
      ++pos_;
    }
    return text_.substr(start, pos_ - start);
  }

  void Word(int line) {
    const std::size_t start = pos_;
    while (!AtEnd() && IsWordChar(Peek())) ++pos_;
    std::string word = text_.substr(start, pos_ - start);
    if (UpperAscii(word) == "GO" && lastTokenLine_ != line && RestOfLineIsGoCount()) {
      while (!AtEnd() && Peek() != '\n') ++pos_;
      Emit(TSqlTokenKind::BatchEnd, word, line);
      return;
    }
    Emit(TSqlTokenKind::Word, std::move(word), line);
  }

  // GO stands alone on its line, or with a repeat count and a line comment after it.
  bool RestOfLineIsGoCount() const {
    std::size_t at = pos_;
    auto blank = [&] {
      while (at < text_.size() && (text_[at] == ' ' || text_[at] == '\t' || text_[at] == '\r'))
        ++at;
    };
    blank();
    while (at < text_.size() && std::isdigit(static_cast<unsigned char>(text_[at]))) ++at;
    blank();
    if (at + 1 < text_.size() && text_[at] == '-' && text_[at + 1] == '-') return true;
    return at >= text_.size() || text_[at] == '\n';
  }

  const std::string& text_;
  std::size_t pos_ = 0;
  int line_ = 1;
  int lastTokenLine_ = 0;
  std::vector<TSqlToken> tokens_;
};

}  // namespace

std::vector<TSqlToken> TokenizeSql(const std::string& text) { return TTokenizer(text).Run(); }

}  // namespace vbgen
