#include "Golden.h"

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <string_view>
#include <vector>

#include "TestSupport.h"
#include "generate/Gbk.h"
#include "generate/write/FileOperate.h"
#include "model/Utf8Path.h"

namespace vbgen::test {
namespace {

// Lines of a few around the first difference, on each side.
constexpr std::size_t kContextLines = 2;

// The raw lines of a file split at LF; a CR before the LF stays with its line.
std::vector<std::string> RawLines(const std::string& bytes) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < bytes.size()) {
    std::size_t end = bytes.find('\n', start);
    if (end == std::string::npos) end = bytes.size();
    lines.push_back(bytes.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

std::string WithoutCr(const std::string& line) {
  return !line.empty() && line.back() == '\r' ? line.substr(0, line.size() - 1) : line;
}

// A line as a person can read it: GBK decoded, between quotes so that trailing blanks show,
// other control bytes and undecodable bytes escaped.
std::string Readable(const std::string& rawLine) {
  const std::string line = WithoutCr(rawLine);
  std::string text;
  try {
    text = GbkToUtf8(line);
  } catch (const TEncodingError&) {
    text.clear();
    for (unsigned char c : line) {
      if (c >= 0x80) {
        static const char* kHex = "0123456789ABCDEF";
        text += "\\x";
        text += kHex[c >> 4];
        text += kHex[c & 0xF];
      } else {
        text += static_cast<char>(c);
      }
    }
  }
  std::string out = "\"";
  for (char c : text) {
    if (c == '\r') {
      out += "\\r";
    } else if (c == '\t') {
      out += "\\t";
    } else {
      out += c;
    }
  }
  out += "\"";
  if (rawLine.empty() || rawLine.back() != '\r') out += " (no CR)";
  return out;
}

void AppendLines(std::ostringstream& out, const char* sign, const std::vector<std::string>& lines,
                 std::size_t from, std::size_t to) {
  for (std::size_t i = from; i < std::min(to, lines.size()); ++i) {
    out << sign << " " << (i + 1) << ": " << Readable(lines[i]) << "\n";
  }
}

}  // namespace

bool GoldenUpdateRequested() {
  const char* value = std::getenv("VBGEN_UPDATE_GOLDEN");
  return value != nullptr && !std::string_view(value).empty() && std::string_view(value) != "0";
}

std::optional<std::string> DescribeFirstDifference(const std::string& expected,
                                                   const std::string& actual) {
  if (expected == actual) return std::nullopt;
  const std::vector<std::string> want = RawLines(expected);
  const std::vector<std::string> got = RawLines(actual);
  std::size_t line = 0;
  while (line < want.size() && line < got.size() && want[line] == got[line]) ++line;

  std::ostringstream out;
  if (line == want.size() && line == got.size()) {
    // Same lines: only the very end differs (a final line end present on one side only).
    out << "the texts differ only in the line end after the last line (" << want.size() << ")\n";
    return out.str();
  }
  out << "first difference in line " << (line + 1);
  if (line >= got.size()) {
    out << ": the output ends after line " << got.size() << " of " << want.size();
  } else if (line >= want.size()) {
    out << ": the golden file ends after line " << want.size() << ", the output has " << got.size();
  } else if (WithoutCr(want[line]) == WithoutCr(got[line])) {
    out << ": only the line end differs";
  }
  out << "\n";
  const std::size_t from = line > kContextLines ? line - kContextLines : 0;
  const std::size_t to = line + kContextLines + 1;
  out << "golden:\n";
  AppendLines(out, "-", want, from, to);
  out << "output:\n";
  AppendLines(out, "+", got, from, to);
  return out.str();
}

::testing::AssertionResult CompareWithGolden(const std::filesystem::path& directory,
                                             const std::string& name, const std::string& actual,
                                             bool update) {
  const std::filesystem::path file = directory / Utf8Path(name);
  std::optional<std::string> expected;
  if (std::filesystem::is_regular_file(file)) expected = TFileOperate::ReadBytes(file);
  if (update) {
    if (expected != actual) {
      TFileOperate::WriteTextFile(file.parent_path(), file, actual);
      std::cout << "golden file rewritten: " << file.string() << "\n";
    }
    return ::testing::AssertionSuccess();
  }
  if (!expected) {
    return ::testing::AssertionFailure()
           << "no golden file " << file.string()
           << " (run the suite with VBGEN_UPDATE_GOLDEN=1 to write it)";
  }
  if (auto difference = DescribeFirstDifference(*expected, actual)) {
    return ::testing::AssertionFailure()
           << "output differs from the golden file " << file.string() << "\n"
           << *difference
           << "(if the change is intended, run the suite with VBGEN_UPDATE_GOLDEN=1 and review "
              "git diff tests/golden)";
  }
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult MatchesGolden(const std::string& actual, const std::string& name) {
  return CompareWithGolden(GoldenDir(), name, actual, GoldenUpdateRequested());
}

}  // namespace vbgen::test
