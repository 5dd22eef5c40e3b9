// The golden-file comparison itself: what a mismatch reports, and the switch that rewrites.
#include <gtest/gtest.h>

#include <cstdlib>

#include "Golden.h"
#include "generate/Gbk.h"
#include "generate/write/FileOperate.h"
#include "tests/common/TempDir.h"

namespace vbgen::test {
namespace {

namespace fs = std::filesystem;

// Twenty GBK lines with CR LF: "第1行 标签" ... "第20行 标签".
std::string NumberedLines(int changedLine = 0, const std::string& changedText = "") {
  std::string utf8;
  for (int i = 1; i <= 20; ++i) {
    utf8 += i == changedLine ? changedText : "第" + std::to_string(i) + "行 标签";
    utf8 += "\r\n";
  }
  return Utf8ToGbk(utf8);
}

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST(GoldenTest, MismatchNamesTheLineAndShowsItDecodedWithAFewNeighbours) {
  const auto report = DescribeFirstDifference(NumberedLines(), NumberedLines(9, "第9行 改过"));
  ASSERT_TRUE(report.has_value());
  EXPECT_TRUE(Contains(*report, "first difference in line 9\n")) << *report;
  EXPECT_TRUE(Contains(*report, "- 9: \"第9行 标签\"")) << *report;
  EXPECT_TRUE(Contains(*report, "+ 9: \"第9行 改过\"")) << *report;
  EXPECT_TRUE(Contains(*report, "- 7: \"第7行 标签\"")) << *report;
  EXPECT_TRUE(Contains(*report, "+ 11: \"第11行 标签\"")) << *report;
  // A short diff, not the file: lines far from the difference stay out.
  EXPECT_FALSE(Contains(*report, "第1行")) << *report;
  EXPECT_FALSE(Contains(*report, "第20行")) << *report;
  EXPECT_LT(report->size(), 600u);
}

TEST(GoldenTest, InvisibleDifferencesAreMadeVisible) {
  // A trailing blank lost: the quotes show where each line ends.
  const auto blank = DescribeFirstDifference(NumberedLines(3, "第3行 "), NumberedLines(3, "第3行"));
  ASSERT_TRUE(blank.has_value());
  EXPECT_TRUE(Contains(*blank, "- 3: \"第3行 \"")) << *blank;
  EXPECT_TRUE(Contains(*blank, "+ 3: \"第3行\"")) << *blank;

  // A line end without CR.
  std::string lf = NumberedLines();
  lf.erase(lf.find("\r\n"), 1);
  const auto lineEnd = DescribeFirstDifference(NumberedLines(), lf);
  ASSERT_TRUE(lineEnd.has_value());
  EXPECT_TRUE(Contains(*lineEnd, "line 1: only the line end differs")) << *lineEnd;
  EXPECT_TRUE(Contains(*lineEnd, "+ 1: \"第1行 标签\" (no CR)")) << *lineEnd;

  // Bytes that are not GBK are escaped instead of breaking the report.
  const auto broken = DescribeFirstDifference("ok\r\n", "ok\r\n\xFF\xFF\r\n");
  ASSERT_TRUE(broken.has_value());
  EXPECT_TRUE(Contains(*broken, "the golden file ends after line 1, the output has 2")) << *broken;
  EXPECT_TRUE(Contains(*broken, "+ 2: \"\\xFF\\xFF\"")) << *broken;
}

TEST(GoldenTest, ShorterOutputAndFinalLineEndAreReported) {
  const std::string full = NumberedLines();
  const std::string cut = full.substr(0, full.find(Utf8ToGbk("第12行")));
  const auto shorter = DescribeFirstDifference(full, cut);
  ASSERT_TRUE(shorter.has_value());
  EXPECT_TRUE(Contains(*shorter, "first difference in line 12: the output ends after line 11"))
      << *shorter;
  EXPECT_TRUE(Contains(*shorter, "- 12: \"第12行 标签\"")) << *shorter;

  const auto end = DescribeFirstDifference("a\r\nb\r\n", "a\r\nb\r");
  ASSERT_TRUE(end.has_value());
  EXPECT_TRUE(Contains(*end, "only in the line end after the last line")) << *end;

  EXPECT_FALSE(DescribeFirstDifference(full, full).has_value());
}

TEST(GoldenTest, SwitchRewritesOnlyWhatChangedAndComparingThenPasses) {
  TTempDir dir;
  const std::string old = NumberedLines();
  const std::string current = NumberedLines(5, "第5行 新的");
  TFileOperate::WriteTextFile(dir.path(), dir.path() / "Form.frm", old);

  const auto failure = CompareWithGolden(dir.path(), "Form.frm", current, false);
  EXPECT_FALSE(failure);
  EXPECT_TRUE(Contains(failure.message(), "first difference in line 5")) << failure.message();
  EXPECT_TRUE(Contains(failure.message(), "VBGEN_UPDATE_GOLDEN=1")) << failure.message();
  EXPECT_EQ(TFileOperate::ReadBytes(dir.path() / "Form.frm"), old) << "comparing wrote the file";

  EXPECT_TRUE(CompareWithGolden(dir.path(), "Form.frm", current, true));
  EXPECT_EQ(TFileOperate::ReadBytes(dir.path() / "Form.frm"), current);
  EXPECT_TRUE(CompareWithGolden(dir.path(), "Form.frm", current, false));

  // An unchanged golden file is left alone, so the update leaves no noise in git.
  const auto stamp = fs::file_time_type::clock::now() - std::chrono::hours(24);
  fs::last_write_time(dir.path() / "Form.frm", stamp);
  EXPECT_TRUE(CompareWithGolden(dir.path(), "Form.frm", current, true));
  EXPECT_EQ(fs::last_write_time(dir.path() / "Form.frm"), stamp);
}

TEST(GoldenTest, MissingGoldenFileFailsUnlessTheSwitchWritesIt) {
  TTempDir dir;
  const auto missing = CompareWithGolden(dir.path(), "New.sql", "select 1\r\n", false);
  EXPECT_FALSE(missing);
  EXPECT_TRUE(Contains(missing.message(), "no golden file")) << missing.message();
  EXPECT_FALSE(fs::exists(dir.path() / "New.sql"));

  EXPECT_TRUE(CompareWithGolden(dir.path(), "New.sql", "select 1\r\n", true));
  EXPECT_EQ(TFileOperate::ReadBytes(dir.path() / "New.sql"), "select 1\r\n");
}

#if defined(_WIN32)
// The Windows C runtime has no setenv: _putenv_s sets a variable, and removes it when empty.
int setenv(const char* name, const char* value, int) { return _putenv_s(name, value); }
int unsetenv(const char* name) { return _putenv_s(name, ""); }
#endif

TEST(GoldenTest, SwitchIsReadFromTheEnvironment) {
  const char* before = std::getenv("VBGEN_UPDATE_GOLDEN");
  const std::optional<std::string> saved =
      before ? std::optional<std::string>(before) : std::nullopt;
  unsetenv("VBGEN_UPDATE_GOLDEN");
  EXPECT_FALSE(GoldenUpdateRequested());
  setenv("VBGEN_UPDATE_GOLDEN", "0", 1);
  EXPECT_FALSE(GoldenUpdateRequested());
  setenv("VBGEN_UPDATE_GOLDEN", "", 1);
  EXPECT_FALSE(GoldenUpdateRequested());
  setenv("VBGEN_UPDATE_GOLDEN", "1", 1);
  EXPECT_TRUE(GoldenUpdateRequested());
  if (saved) {
    setenv("VBGEN_UPDATE_GOLDEN", saved->c_str(), 1);
  } else {
    unsetenv("VBGEN_UPDATE_GOLDEN");
  }
}

}  // namespace
}  // namespace vbgen::test
