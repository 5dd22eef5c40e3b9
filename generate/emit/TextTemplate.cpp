#include "generate/emit/TextTemplate.h"

#include <cstring>
#include <stdexcept>

namespace vbgen {
namespace {

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The size of the placeholder name that starts at name, up to its closing brace: a letter,
// then letters and digits. 0 when the brace holds anything else: it is literal text.
std::size_t PlaceholderNameSize(const char* name, const char* end) {
  if (name == end || !IsLetter(*name)) return 0;
  const char* close = name + 1;
  while (close < end && (IsLetter(*close) || IsDigit(*close))) ++close;
  return close < end && *close == '}' ? static_cast<std::size_t>(close - name) : 0;
}

// Whether the text at scan reads name and then the closing brace. Names are short: a plain
// loop beats a call of memcmp.
bool NamesAt(const char* scan, std::size_t left, std::string_view name) {
  const std::size_t size = name.size();
  if (size == 0 || size >= left || scan[size] != '}') return false;
  for (std::size_t i = 0; i < size; ++i) {
    if (scan[i] != name[i]) return false;
  }
  return true;
}

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
    scan = open + 1;
    // Most braces open a placeholder of a given value: its name and the closing brace are
    // compared directly, without working out where the name ends first.
    const TVar* found = nullptr;
    const auto left = static_cast<std::size_t>(end - scan);
    for (const TVar* var = vars.end(); var != vars.begin() && !found;) {
      --var;  // of two values of one name, the last given counts
      if (NamesAt(scan, left, var->first)) found = var;
    }
    if (!found) {
      const std::size_t size = PlaceholderNameSize(scan, end);
      if (size == 0) continue;  // literal text
      throw std::logic_error("no value for placeholder {" + std::string(scan, size) + "}");
    }
    out.append(copied, static_cast<std::size_t>(open - copied));
    out.append(found->second);
    copied = scan = scan + found->first.size() + 1;
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
