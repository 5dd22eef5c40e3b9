// The words of a T-SQL script: names, literals, symbols and the batch separator GO, each with
// the line it stands on. Comments and white space are dropped.
#pragma once

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace vbgen {

// A script that cannot be read; the message begins with the line ("第12行: ...").
class TSqlScriptError : public std::runtime_error {
 public:
  TSqlScriptError(int line, const std::string& message);
  int Line() const { return line_; }

 private:
  int line_;
};

enum class TSqlTokenKind {
  Word,        // a bare name or keyword, as written
  QuotedName,  // [name] or "name", without its quotes
  String,      // 'text' or N'text', without quotes, '' as one apostrophe
  Number,      // 12, 1.5, 0x1F, $3
  Symbol,      // one character: ( ) , ; . = + - and the like
  BatchEnd,    // a line that holds only GO
  End,
};

struct TSqlToken {
  TSqlTokenKind kind = TSqlTokenKind::End;
  std::string text;
  int line = 0;

  // A bare word equal to keyword, ignoring ASCII case. Quoted names are never keywords.
  bool Is(const char* keyword) const;
  bool IsSymbol(char symbol) const;
};

// Appends the next piece of a UTF-8 text; false when there is no more.
using TTextPieces = std::function<bool(std::string&)>;

// The tokens of a script whose text arrives in pieces, one token at a time: only the token being
// read is held, however long the script.
class TSqlTokenStream {
 public:
  explicit TSqlTokenStream(TTextPieces pieces);
  ~TSqlTokenStream();
  TSqlTokenStream(const TSqlTokenStream&) = delete;
  TSqlTokenStream& operator=(const TSqlTokenStream&) = delete;

  // The next token; End, again and again, at the end. Throws TSqlScriptError for a string,
  // quoted name or comment that is never closed.
  TSqlToken Next();
  // While set, strings, quoted names and numbers come without their text: for statements that
  // are passed over, whose literals may be long.
  void SetDiscarding(bool discarding);

 private:
  class TImpl;
  std::unique_ptr<TImpl> impl_;
};

// The tokens of a UTF-8 script, ending with one End token. Throws TSqlScriptError for a string,
// quoted name or comment that is never closed.
std::vector<TSqlToken> TokenizeSql(const std::string& text);

// ASCII upper case; other bytes unchanged.
std::string UpperAscii(std::string text);

}  // namespace vbgen
