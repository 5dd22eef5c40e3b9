#include "generate/TextTemplate.h"

#include <cstring>
#include <stdexcept>

namespace vbgen {
namespace {

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::string Fill(std::string_view block, std::initializer_list<TVar> vars) {
  std::string out;
  out.reserve(block.size() + 64);
  FillInto(out, block, vars);
  return out;
}

void FillInto(std::string& out, std::string_view block, std::initializer_list<TVar> vars) {
  const char* const end = block.data() + block.size();
  const char* copied = block.data();  // the text before it is in out
  const char* scan = copied;
  while (const char* open = static_cast<const char*>(std::memchr(scan, '{', end - scan))) {
    // A name is a letter, then letters and digits, up to the closing brace.
    const char* close = open + 1;
    if (close < end && IsLetter(*close)) {
      while (++close < end && (IsLetter(*close) || IsDigit(*close))) {
      }
    }
    scan = open + 1;
    if (close == open + 1 || close == end || *close != '}') continue;  // literal text
    const std::string_view name(open + 1, static_cast<std::size_t>(close - open - 1));
    const TVar* found = nullptr;
    for (const TVar& var : vars) {
      if (var.first.size() == name.size() && var.first == name) found = &var;
    }
    if (!found) throw std::logic_error("no value for placeholder {" + std::string(name) + "}");
    out.append(copied, static_cast<std::size_t>(open - copied));
    out.append(found->second);
    copied = scan = close + 1;
  }
  out.append(copied, static_cast<std::size_t>(end - copied));
}

std::string CrLf(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16 + 8);
  std::size_t pos = 0;
  for (std::size_t lf; (lf = text.find('\n', pos)) != std::string_view::npos; pos = lf + 1) {
    out.append(text, pos, lf - pos);
    out += "\r\n";
  }
  out.append(text.substr(pos));
  return out;
}

}  // namespace vbgen
