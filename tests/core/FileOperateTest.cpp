#include <gtest/gtest.h>

#include "TestModel.h"
#include "generate/write/FileOperate.h"

namespace vbgen::test {
namespace fs = std::filesystem;

namespace {
void Put(const fs::path& file, const std::string& bytes) {
  fs::create_directories(file.parent_path());
  TFileOperate::WriteTextFile(file.parent_path(), file, bytes);
}
}  // namespace

TEST(FileOperateTest, ReadTextFileLineEnds) {
  TTempDir dir;
  struct Case {
    std::string bytes, expected;
  } cases[] = {
      {"a\nb", "a\r\nb\r\n"},          // last line without an end gets one
      {"a\r\nb\r\n", "a\r\nb\r\n"},    // CR LF stays
      {"a\rb\n", "ab\r\n"},            // a lone CR is dropped
      {"a\n\nb\n", "a\r\n\r\nb\r\n"},  // empty lines are kept
      {"a\nb\x1a"
       "c\n",
       "a\r\nb\r\n"},  // byte 26 ends the file
      {"", ""},
      {"\xc4\xe3\xba\xc3\n", "\xc4\xe3\xba\xc3\r\n"},  // GBK bytes unconverted
  };
  for (const auto& c : cases) {
    Put(dir.path() / "f.txt", c.bytes);
    EXPECT_EQ(TFileOperate::ReadTextFile(dir.path() / "f.txt"), c.expected) << c.bytes;
  }
  EXPECT_EQ(TFileOperate::ReadTextFile(dir.path() / "missing.txt"), "");
}

TEST(FileOperateTest, WriteCreatesMissingParentsAndWritesExactBytes) {
  TTempDir dir;
  fs::path deep = dir.path() / "a" / "b" / "c";
  std::string bytes("x\r\ny\n\0z", 7);
  TFileOperate::WriteTextFile(deep, deep / "out.frm", bytes);
  EXPECT_EQ(TFileOperate::ReadBytes(deep / "out.frm"), bytes);
  TFileOperate::WriteTextFile(deep, deep / "out.frm", "short");
  EXPECT_EQ(TFileOperate::ReadBytes(deep / "out.frm"), "short");
  // Nothing but the file itself stays behind: no temporary file.
  EXPECT_EQ(std::distance(fs::directory_iterator(deep), fs::directory_iterator()), 1);
}

TEST(FileOperateTest, FailedWriteLeavesTheOldFileWhole) {
  TTempDir dir;
  Put(dir.path() / "keep.txt", "old");
  // The target is a directory: the rename fails, and the temporary file is cleaned up.
  fs::create_directories(dir.path() / "blocked");
  Put(dir.path() / "blocked" / "inner", "x");
  EXPECT_THROW(TFileOperate::WriteTextFile(dir.path(), dir.path() / "blocked", "new"), TFileError);
  EXPECT_EQ(TFileOperate::ReadBytes(dir.path() / "keep.txt"), "old");
  int entries = 0;
  for (auto& e : fs::directory_iterator(dir.path())) entries += e.path().filename() != "" ? 1 : 0;
  EXPECT_EQ(entries, 2);
}

TEST(FileOperateTest, CopyKeepsTopLevelFilesAndReplacesNestedOnes) {
  TTempDir dir;
  fs::path bak = dir.path() / "bak", out = dir.path() / "projects" / "p";
  Put(bak / "Module1.bas", "shipped");
  Put(bak / "background" / "NoImage.jpg", "image");
  Put(bak / "Tmp" / "deep" / "x.txt", "deep");
  Put(out / "Module1.bas", "edited by user");
  Put(out / "background" / "NoImage.jpg", "edited image");
  EXPECT_TRUE(TFileOperate::CopyDirectory(bak, out, true));
  EXPECT_EQ(TFileOperate::ReadBytes(out / "Module1.bas"), "edited by user");
  EXPECT_EQ(TFileOperate::ReadBytes(out / "background" / "NoImage.jpg"), "image");
  EXPECT_EQ(TFileOperate::ReadBytes(out / "Tmp" / "deep" / "x.txt"), "deep");
  // Without the flag the top level is replaced too.
  EXPECT_TRUE(TFileOperate::CopyDirectory(bak, out, false));
  EXPECT_EQ(TFileOperate::ReadBytes(out / "Module1.bas"), "shipped");
}

TEST(FileOperateTest, CopyOfMissingSourceFailsAndCreatesNothing) {
  TTempDir dir;
  EXPECT_FALSE(TFileOperate::CopyDirectory(dir.path() / "nope", dir.path() / "target", true));
  EXPECT_FALSE(fs::exists(dir.path() / "target"));
}

TEST(FileOperateTest, CurrentDirectoryIsNeverChanged) {
  TTempDir dir;
  fs::path before = fs::current_path();
  Put(dir.path() / "bak" / "sub" / "a.txt", "a");
  TFileOperate::CopyDirectory(dir.path() / "bak", dir.path() / "out", true);
  EXPECT_EQ(fs::current_path(), before);
}

}  // namespace vbgen::test
