// The names Windows would not keep as written. The rule is checked on every system; the
// project directory applies it on Windows, where such a name would reach another file.
#include <gtest/gtest.h>

#include <filesystem>

#include "generate/write/InsidePath.h"
#include "generate/write/ProjectDir.h"
#include "model/Utf8Path.h"
#include "tests/common/TempDir.h"

namespace vbgen::test {

TEST(WindowsNamesTest, DevicesTrailingDotsAndForbiddenCharactersAreNamed) {
  for (const char* device : {"CON", "con", "Nul", "PRN", "aux", "COM1", "com9", "LPT1", "NUL.txt",
                             "con.frm.bak", "CON .txt", "lpt3.log"}) {
    EXPECT_TRUE(WindowsNameProblem(device)) << device;
  }
  for (const char* changed : {"a.", "a ", "frmBook.frm.", "..."}) {
    EXPECT_TRUE(WindowsNameProblem(changed)) << changed;
  }
  for (const char* forbidden :
       {"C:", "a\\b", "\\\\server", "a:b", "a*b", "a?b", "a\"b", "a<b", "a>b", "a|b", "a\tb"}) {
    EXPECT_TRUE(WindowsNameProblem(forbidden)) << forbidden;
  }
  for (const char* plain : {"Form1.frm", "图书管理", "COM0", "COM10", "CONSOLE", "console.frm",
                            "NULL", ".vbgen", "a.b", "LPT", "frm con.frm"}) {
    EXPECT_FALSE(WindowsNameProblem(plain)) << plain;
  }
}

#if defined(_WIN32)
TEST(WindowsNamesTest, TheProjectDirectoryRefusesWhatWindowsWouldChange) {
  TTempDir home;
  for (const char* name :
       {"CON", "nul.txt", "书店.", "书店 ", "C:", "..\\x", "\\\\server\\share"}) {
    EXPECT_THROW(TProjectDir(home.path(), name), TOutsideProjectError) << name;
  }
  TProjectDir dir(home.path(), "书店");
  for (const char* inside :
       {"CON", "sub/aux.bas", "a.", "b ", "..\\escape.txt", "C:/x.txt", "c:x.txt"}) {
    EXPECT_THROW(dir.Write(inside, "x", std::nullopt), TOutsideProjectError) << inside;
  }
  std::error_code error;
  EXPECT_FALSE(std::filesystem::exists(home.path().parent_path() / "escape.txt", error));
}

TEST(WindowsNamesTest, ANameThatDiffersOnlyInCaseIsRefusedAndTheFileKept) {
  TTempDir home;
  TProjectDir dir(home.path(), "书店");
  dir.Write("Form1.frm", "first", std::nullopt);
  dir.Write("Forms/a.frm", "a", std::nullopt);
  dir.Publish();
  TProjectDir again(home.path(), "书店");
  EXPECT_THROW(again.Write("FORM1.frm", "second", std::nullopt), TOutsideProjectError);
  EXPECT_THROW(again.Write("forms/b.frm", "b", std::nullopt), TOutsideProjectError);
  EXPECT_THROW(again.Read("form1.frm"), TOutsideProjectError);
  EXPECT_EQ(again.Read("Form1.frm"), "first");
  EXPECT_TRUE(again.Write("Form1.frm", "third", std::string("first")));
  EXPECT_EQ(again.Read("Form1.frm"), "third");
}

// Wine makes a junction with CreateSymbolicLinkW and a Unix symbolic link under it; either is
// a reparse point to Windows, and is refused whatever it points to.
TEST(WindowsNamesTest, AReparsePointInsideTheProjectDirectoryIsRefused) {
  TTempDir home;
  {
    TProjectDir dir(home.path(), "p");
    dir.Write("inside/a.txt", "a", std::nullopt);
    dir.Publish();
  }
  const std::filesystem::path root = home.path() / "projects" / "p";
  std::error_code error;
  std::filesystem::create_directory_symlink(root / "inside", root / "link", error);
  if (error) GTEST_SKIP() << "this system makes no directory link here: " << error.message();
  TProjectDir dir(home.path(), "p");
  EXPECT_THROW(dir.Write("link/b.txt", "b", std::nullopt), TOutsideProjectError);
  EXPECT_THROW(dir.Read("link/a.txt"), TOutsideProjectError);
  EXPECT_FALSE(std::filesystem::exists(root / "inside" / "b.txt"));
}
#endif

}  // namespace vbgen::test
