// Some lines of the generated-text blocks end in a blank that the generated files need and
// nothing in the source shows. generate/trailing-blanks.txt lists them with a visible mark;
// this test holds the sources to that list, so an editor that trims trailing blanks cannot
// change the output unnoticed.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "generate/write/FileOperate.h"

namespace vbgen::test {
namespace {

namespace fs = std::filesystem;

// One trailing blank in the list file.
const std::string kBlankMark = "\u2423";

// "generate/X.cpp" -> its lines that end in a blank, each blank shown as the mark.
using TBlankLines = std::map<std::string, std::vector<std::string>>;

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

std::string Marked(const std::string& line) {
  const std::size_t kept = line.find_last_not_of(' ') + 1;  // npos + 1 == 0 for all blanks
  std::string marked = line.substr(0, kept);
  for (std::size_t i = kept; i < line.size(); ++i) marked += kBlankMark;
  return marked;
}

// Every C++ source of the program's directories, relative to the source tree.
std::vector<std::string> Sources() {
  std::vector<std::string> sources;
  for (const char* directory : {"generate", "model", "sqlimport", "cli", "ui"}) {
    for (const auto& entry : fs::recursive_directory_iterator(SourceDir() / directory)) {
      const std::string extension = entry.path().extension().string();
      if (extension == ".cpp" || extension == ".h")
        sources.push_back(fs::relative(entry.path(), SourceDir()).generic_string());
    }
  }
  std::sort(sources.begin(), sources.end());
  return sources;
}

TBlankLines FoundInSources() {
  TBlankLines found;
  for (const std::string& source : Sources()) {
    for (const std::string& line : SplitLines(TFileOperate::ReadBytes(SourceDir() / source))) {
      if (!line.empty() && line.back() == ' ') found[source].push_back(Marked(line));
    }
  }
  return found;
}

TBlankLines Listed(const std::string& listText) {
  TBlankLines listed;
  for (const std::string& line : SplitLines(listText)) {
    if (line.empty() || line[0] == '#') continue;
    const std::size_t colon = line.find(':');
    if (colon == std::string::npos) {
      ADD_FAILURE() << "list line without \"file:\": " << line;
      continue;
    }
    listed[line.substr(0, colon)].push_back(line.substr(colon + 1));
  }
  return listed;
}

// What one side has that the other lacks, counting repeated lines.
std::vector<std::string> Missing(const TBlankLines& from, const TBlankLines& in) {
  std::vector<std::string> missing;
  for (const auto& [file, lines] : from) {
    std::vector<std::string> rest = in.count(file) ? in.at(file) : std::vector<std::string>{};
    for (const std::string& line : lines) {
      auto found = std::find(rest.begin(), rest.end(), line);
      if (found == rest.end()) {
        missing.push_back(file + ":" + line);
      } else {
        rest.erase(found);
      }
    }
  }
  return missing;
}

TEST(BlockBlanksTest, MarkShowsEveryTrailingBlank) {
  EXPECT_EQ(Marked("   Begin VB.Menu edit "), "   Begin VB.Menu edit" + kBlankMark);
  EXPECT_EQ(Marked("End  "), "End" + kBlankMark + kBlankMark);
  EXPECT_EQ(Marked("  "), kBlankMark + kBlankMark);
  EXPECT_EQ(Listed("# note\n\ngenerate/A.cpp:  x" + kBlankMark + "\n"),
            (TBlankLines{{"generate/A.cpp", {"  x" + kBlankMark}}}));
}

TEST(BlockBlanksTest, SourceLinesEndInABlankExactlyWhereListed) {
  const TBlankLines listed =
      Listed(TFileOperate::ReadBytes(SourceDir() / "generate" / "trailing-blanks.txt"));
  const TBlankLines found = FoundInSources();
  ASSERT_FALSE(listed.empty());

  for (const std::string& line : Missing(listed, found)) {
    ADD_FAILURE() << "this block line lost its trailing blank (or was changed; then change "
                     "generate/trailing-blanks.txt with it): "
                  << line;
  }
  for (const std::string& line : Missing(found, listed)) {
    ADD_FAILURE() << "this line ends in a blank that generate/trailing-blanks.txt does not "
                     "list (remove the blank, or list the line if the output needs it): "
                  << line;
  }
}

}  // namespace
}  // namespace vbgen::test
