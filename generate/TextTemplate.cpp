#include "generate/TextTemplate.h"

#include <stdexcept>

namespace vbgen {
namespace {

bool IsPlaceholderName(std::string_view name) {
  if (name.empty() || !((name[0] >= 'a' && name[0] <= 'z') || (name[0] >= 'A' && name[0] <= 'Z')))
    return false;
  for (char c : name) {
    bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    if (!ok) return false;
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
  std::size_t pos = 0;
  while (pos < block.size()) {
    std::size_t open = block.find('{', pos);
    if (open == std::string_view::npos) break;
    std::size_t close = block.find('}', open + 1);
    if (close == std::string_view::npos) break;
    std::string_view name = block.substr(open + 1, close - open - 1);
    if (!IsPlaceholderName(name)) {
      out.append(block, pos, open + 1 - pos);
      pos = open + 1;
      continue;
    }
    const TVar* found = nullptr;
    for (const auto& var : vars) {
      if (var.first == name) found = &var;
    }
    if (!found) throw std::logic_error("no value for placeholder {" + std::string(name) + "}");
    out.append(block, pos, open - pos);
    out.append(found->second);
    pos = close + 1;
  }
  out.append(block.substr(pos));
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
