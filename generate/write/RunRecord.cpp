#include "generate/write/RunRecord.h"

#include <xxhash.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace vbgen {
namespace fs = std::filesystem;

namespace {

constexpr std::string_view kRecordHead = "vbgen-run 3";

// Record lines hold text that may contain anything but must stay one line.
std::string Escape(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c == '\\') {
      out += "\\\\";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\t') {
      out += "\\t";
    } else {
      out += c;
    }
  }
  return out;
}

std::optional<std::string> Unescape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      out += text[i];
      continue;
    }
    if (++i == text.size()) return std::nullopt;
    switch (text[i]) {
      case '\\':
        out += '\\';
        break;
      case 'n':
        out += '\n';
        break;
      case 'r':
        out += '\r';
        break;
      case 't':
        out += '\t';
        break;
      default:
        return std::nullopt;
    }
  }
  return out;
}

}  // namespace

std::string FileDigest(std::string_view bytes) {
  char text[17];
  std::snprintf(text, sizeof text, "%016llx",
                static_cast<unsigned long long>(XXH3_64bits(bytes.data(), bytes.size())));
  return text;
}

std::string TRunRecord::Text() const {
  std::string text = std::string(kRecordHead) + "\ninputs\t" + inputs + "\n";
  for (const std::string& line : progress) text += "P\t" + Escape(line) + "\n";
  for (const TRecordedFile& file : files) {
    text += "F\t" + file.digest + "\t" + Escape(file.path) + "\n";
  }
  return text + "end\n";
}

std::optional<TRunRecord> TRunRecord::Parse(const std::string& text) {
  std::vector<std::string_view> lines;
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = text.find('\n', start);
    if (end == std::string::npos) return std::nullopt;  // cut short
    lines.emplace_back(text.data() + start, end - start);
    start = end + 1;
  }
  if (lines.size() < 3 || lines.front() != kRecordHead || lines.back() != "end") {
    return std::nullopt;
  }
  constexpr std::string_view inputsHead = "inputs\t";
  if (lines[1].substr(0, inputsHead.size()) != inputsHead) return std::nullopt;
  TRunRecord record;
  record.inputs = std::string(lines[1].substr(inputsHead.size()));
  for (std::size_t i = 2; i + 1 < lines.size(); ++i) {
    const std::string_view line = lines[i];
    if (line.substr(0, 2) == "P\t") {
      auto progress = Unescape(line.substr(2));
      if (!progress) return std::nullopt;
      record.progress.push_back(std::move(*progress));
    } else if (line.substr(0, 2) == "F\t") {
      const std::size_t tab = line.find('\t', 2);
      if (tab == std::string_view::npos) return std::nullopt;
      auto path = Unescape(line.substr(tab + 1));
      if (!path) return std::nullopt;
      record.files.push_back({std::move(*path), std::string(line.substr(2, tab - 2))});
    } else {
      return std::nullopt;
    }
  }
  if (record.inputs.empty()) return std::nullopt;
  return record;
}

}  // namespace vbgen
