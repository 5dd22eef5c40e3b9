#include "generate/write/RunRecord.h"

#include <xxhash.h>

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace vbgen {
namespace fs = std::filesystem;

namespace {

constexpr std::string_view kRecordHead = "vbgen-run 4";

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

// "{size}.{modified}.{identity}", or "-" for none.
std::string StampText(const std::optional<TFileStamp>& stamp) {
  if (!stamp) return "-";
  return std::to_string(stamp->size) + "." + std::to_string(stamp->modified) + "." +
         std::to_string(stamp->identity);
}

template <typename Number>
bool ParseNumber(std::string_view text, Number& number) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  return error == std::errc() && end == text.data() + text.size() && !text.empty();
}

// None inside for "-"; none at all for a text that is no stamp.
std::optional<std::optional<TFileStamp>> ParseStamp(std::string_view text) {
  if (text == "-") return std::optional<TFileStamp>();
  const std::size_t first = text.find('.');
  const std::size_t second = first == std::string_view::npos ? first : text.find('.', first + 1);
  if (second == std::string_view::npos) return std::nullopt;
  TFileStamp stamp;
  if (!ParseNumber(text.substr(0, first), stamp.size) ||
      !ParseNumber(text.substr(first + 1, second - first - 1), stamp.modified) ||
      !ParseNumber(text.substr(second + 1), stamp.identity)) {
    return std::nullopt;
  }
  return std::optional<TFileStamp>(stamp);
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
  for (const std::string& line : problems) text += "W\t" + Escape(line) + "\n";
  for (const std::string& line : progress) text += "P\t" + Escape(line) + "\n";
  for (const TRecordedFile& file : files) {
    text += "F\t" + file.digest + "\t" + StampText(file.stamp) + "\t" + Escape(file.path) + "\n";
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
    if (line.substr(0, 2) == "W\t" || line.substr(0, 2) == "P\t") {
      auto said = Unescape(line.substr(2));
      if (!said) return std::nullopt;
      (line[0] == 'W' ? record.problems : record.progress).push_back(std::move(*said));
    } else if (line.substr(0, 2) == "F\t") {
      const std::size_t tab = line.find('\t', 2);
      const std::size_t next = tab == std::string_view::npos ? tab : line.find('\t', tab + 1);
      if (next == std::string_view::npos) return std::nullopt;
      auto stamp = ParseStamp(line.substr(tab + 1, next - tab - 1));
      auto path = Unescape(line.substr(next + 1));
      if (!stamp || !path) return std::nullopt;
      record.files.push_back({std::move(*path), std::string(line.substr(2, tab - 2)), *stamp});
    } else {
      return std::nullopt;
    }
  }
  if (record.inputs.empty()) return std::nullopt;
  return record;
}

}  // namespace vbgen
