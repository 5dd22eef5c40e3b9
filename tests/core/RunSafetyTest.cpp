// Runs over hostile input: names and links that point out of the project directory, leftovers
// of a killed run, support files that cannot be copied, failures after failures.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <fstream>

#include "RunSupport.h"
#include "generate/AutoCode.h"
#include "generate/check/ModelCheck.h"
#include "generate/write/ProjectDir.h"
#include "model/ClassDAO.h"
#include "model/DbHelper.h"
#include "model/ModelFile.h"

namespace vbgen::test {
namespace fs = std::filesystem;
namespace {

// Every path below a directory (links not followed), with what it is.
std::map<std::string, std::string> Tree(const fs::path& root) {
  std::map<std::string, std::string> tree;
  std::error_code error;
  if (!fs::exists(fs::symlink_status(root, error))) return tree;
  for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator();
       ++it) {
    const std::string path = fs::relative(it->path(), root).generic_string();
    if (it->is_symlink()) {
      tree[path] = "link " + fs::read_symlink(it->path()).string();
    } else if (it->is_regular_file()) {
      tree[path] = TFileOperate::ReadBytes(it->path());
    } else {
      tree[path] = "dir";
    }
  }
  return tree;
}

// The same without what vbgen keeps of the directory (.vbgen/: manifest, record, backups).
std::map<std::string, std::string> WithoutState(std::map<std::string, std::string> tree) {
  std::erase_if(tree, [](const auto& entry) { return entry.first.rfind(".vbgen", 0) == 0; });
  return tree;
}

}  // namespace

class RunSafetyTest : public RunHomeTest {
 protected:
  void SetUp() override {
    RunHomeTest::SetUp();
    outside = TempPath() / "outside";
    fs::create_directories(outside);
    TFileOperate::WriteTextFile(outside, outside / "NoImage.jpg", "outside picture");
  }
  TRecorder Generate(int projectId) {
    TRecorder recorder;
    TAutoCode(projectId, "tavorin", TProgramDir(home), recorder).Execute();
    return recorder;
  }
  // What lies in the temporary directory beside the home, which no run may touch.
  std::map<std::string, std::string> Beside() const {
    std::map<std::string, std::string> beside;
    for (const auto& entry : fs::directory_iterator(TempPath())) {
      if (entry.path().filename() == "home" || entry.path().filename() == "projects.db") continue;
      for (auto& [path, bytes] : Tree(entry.path())) {
        beside[entry.path().filename().string() + "/" + path] = bytes;
      }
      beside[entry.path().filename().string()] = "entry";
    }
    return beside;
  }
  // Runs the project in a child process that stops for good at its progress line `line` (the
  // files before it written, those after it not), then kills it there, as a user or a crash
  // would. No clock is involved: the child says through a pipe that it has got there.
  void KillRunAt(int projectId, int line) {
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    TDbHelper::Close();  // the child opens its own connection
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      class TStopAtLine : public TRecorder {
       public:
        TStopAtLine(int line, int fd) : line_(line), fd_(fd) {}
        void Progress(const std::string&) override {
          if (++seen_ != line_) return;
          [[maybe_unused]] const auto sent = write(fd_, "x", 1);
          pause();
        }

       private:
        int line_, fd_, seen_ = 0;
      } stopping(line, ready[1]);
      TAutoCode(projectId, "tavorin", TProgramDir(home), stopping).Execute();
      [[maybe_unused]] const auto sent = write(ready[1], "x", 1);  // fewer lines than asked
      _exit(0);
    }
    close(ready[1]);
    char byte;
    EXPECT_EQ(read(ready[0], &byte, 1), 1) << "the run ended without a word";
    close(ready[0]);
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
  }
  void ExpectRefusedNaming(const TRecorder& run, const std::string& name) {
    ASSERT_EQ(run.events.size(), 1u);
    EXPECT_EQ(run.events[0].rfind("failed ", 0), 0u) << run.events[0];
    EXPECT_NE(run.events[0].find(name), std::string::npos) << run.events[0];
    EXPECT_TRUE(run.lines.empty()) << run.lines.front();
  }

  fs::path outside;
};

TEST_F(RunSafetyTest, NamesThatLeaveTheProjectDirectoryAreRefusedBeforeAnythingIsWritten) {
  // Stored by another tool: the window's rules never saw them.
  const int escaping = Example("escaped");
  TProjectDAO().RenameProject(escaping, "../../escaped");
  const auto before = Beside();
  EXPECT_FALSE(FindModelProblems(escaping).empty());
  ExpectRefusedNaming(Generate(escaping), "../../escaped");

  const int project = AddProject("正常");
  const int cls = AddClass(project, "X/../../../../esc", "逃逸");
  AddMember(project, cls, "id", "整型", "编号", 0, true, true);
  EXPECT_FALSE(FindModelProblems(project).empty());
  ExpectRefusedNaming(Generate(project), "X/../../../../esc");

  EXPECT_EQ(Beside(), before);
  EXPECT_FALSE(fs::exists(home / "projects"));
  EXPECT_FALSE(fs::exists(home / "esc.frm"));
}

TEST_F(RunSafetyTest, LinksOutOfTheProjectDirectoryAreNeverFollowed) {
  const int projectId = Example();
  struct TCase {
    std::string link;  // inside the project directory
    fs::path target;
  };
  for (const TCase& trap : {TCase{".vbgen", outside}, TCase{"background", outside},
                            TCase{"FrmAddBook.frm", outside / "NoImage.jpg"},
                            TCase{"Tmp", TempPath() / "no-such-folder"}}) {
    SCOPED_TRACE(trap.link);
    fs::remove_all(Output());
    fs::create_directories(Output());
    fs::create_symlink(trap.target, Output() / trap.link);
    const auto before = Beside();
    ExpectRefusedNaming(Generate(projectId), trap.link);
    EXPECT_EQ(Beside(), before);
    EXPECT_EQ(Tree(Output()).size(), 1u) << "something was written";
  }
  EXPECT_EQ(TFileOperate::ReadBytes(outside / "NoImage.jpg"), "outside picture");
}

TEST_F(RunSafetyTest, AUsersLinkInPlaceOfAKeptSupportFileIsLeftAlone) {
  const int projectId = Example();
  fs::create_directories(Output());
  fs::create_symlink(outside / "NoImage.jpg", Output() / "ModMain.bas");  // a shared module
  ASSERT_EQ(Generate(projectId).events, std::vector<std::string>{"done"});
  EXPECT_TRUE(fs::is_symlink(Output() / "ModMain.bas"));
  EXPECT_EQ(TFileOperate::ReadBytes(outside / "NoImage.jpg"), "outside picture");
}

TEST_F(RunSafetyTest, ALinkThatStaysInsideIsFollowed) {
  const int projectId = Example();
  fs::create_directories(Output() / "pictures");
  fs::create_symlink("pictures", Output() / "background");
  const TRecorder run = Generate(projectId);
  ASSERT_EQ(run.events, std::vector<std::string>{"done"});
  EXPECT_EQ(TFileOperate::ReadBytes(Output() / "pictures" / "NoImage.jpg"),
            TFileOperate::ReadBytes(home / "bak" / "background" / "NoImage.jpg"));
  EXPECT_TRUE(fs::is_symlink(Output() / "background"));
}

TEST_F(RunSafetyTest, TheNextRunRemovesWhatAKilledRunLeftAndOnlyThat) {
  const int projectId = Example();
  ASSERT_EQ(Generate(projectId).events, std::vector<std::string>{"done"});
  const auto clean = Tree(Output());
  const std::vector<std::string> leftovers = {
      ".~FrmAddBook.frm.123456.tmp", "background/.~NoImage.jpg.42.tmp", ".vbgen/.~manifest.7.tmp"};
  for (const auto& name : leftovers) {
    TFileOperate::WriteTextFile((Output() / name).parent_path(), Output() / name, "half");
  }
  // Names of the user's that merely look alike stay.
  for (const auto& name : {".~notes.tmp", ".~plan.txt.12.tmp.bak", "~a.1.tmp"}) {
    TFileOperate::WriteTextFile(Output(), Output() / name, "mine");
  }
  ASSERT_EQ(Generate(projectId).events, std::vector<std::string>{"done"});
  for (const auto& name : leftovers) EXPECT_FALSE(fs::exists(Output() / name)) << name;
  auto after = Tree(Output());
  for (const auto& name : {".~notes.tmp", ".~plan.txt.12.tmp.bak", "~a.1.tmp"}) {
    EXPECT_EQ(after[name], "mine") << name;
    after.erase(name);
  }
  EXPECT_EQ(after, clean);
}

TEST_F(RunSafetyTest, ARunKilledAtAnyMomentLeavesOnlyWholeFilesAndNoDebrisAfterTheNext) {
  const int projectId = Example();
  ASSERT_EQ(Generate(projectId).events, std::vector<std::string>{"done"});
  const auto before = WithoutState(Tree(Output()));
  // Every class gets another friend name, so the forms are written again over the old ones.
  for (const TNamedId& entry : TClassDAO().ListClasses(projectId)) {
    TClassDAO().UpdateClass(projectId, entry.id, entry.name,
                            TClassDAO().GetFriendName(entry.id) + "新", 1);
  }
  // Each round kills a run a little further on.
  std::vector<std::map<std::string, std::string>> killed;
  for (int line : {1, 2, 4, 7, 10, 13}) {
    KillRunAt(projectId, line);
    killed.push_back(WithoutState(Tree(Output())));
  }
  ASSERT_EQ(Generate(projectId).events, std::vector<std::string>{"done"});
  const auto after = WithoutState(Tree(Output()));
  // Whatever a killed run left is a file of the old project or of the new one, never half of one.
  for (const auto& tree : killed) {
    for (const auto& [path, bytes] : tree) {
      EXPECT_FALSE(IsLeftoverName(fs::path(path).filename().string())) << path;
      const bool old = before.count(path) && before.at(path) == bytes;
      EXPECT_TRUE(old || (after.count(path) && after.at(path) == bytes))
          << path << " is half written";
    }
  }
  EXPECT_NE(after, before);
  for (const auto& [path, bytes] : Tree(Output())) {
    EXPECT_FALSE(IsLeftoverName(fs::path(path).filename().string())) << path;
  }
  for (const auto& entry : fs::directory_iterator(home / "projects")) {
    EXPECT_EQ(entry.path().filename(), "馆") << "left beside the project";
  }
}

// A first run builds the project directory under a temporary name: killed, it leaves no
// project directory at all, only that folder, which the next run removes.
TEST_F(RunSafetyTest, AFirstRunKilledLeavesNoProjectDirectory) {
  const int projectId = Example();
  KillRunAt(projectId, 1);
  std::vector<fs::path> building;
  for (const auto& entry : fs::directory_iterator(home / "projects")) {
    if (IsBuildFolderOf(entry.path().filename().string(), "馆")) building.push_back(entry);
  }
  ASSERT_EQ(building.size(), 1u) << "the run made no folder to build in";
  EXPECT_FALSE(fs::exists(Output())) << "a half-built project directory has its real name";

  ASSERT_EQ(Generate(projectId).events, std::vector<std::string>{"done"});
  EXPECT_FALSE(fs::exists(building[0])) << "the killed run's folder stays";
  EXPECT_TRUE(fs::exists(Output() / "MainForm.frm"));
}

// Only folders named as this project's build folders go; another project's, names that merely
// look alike and links are left, and nothing is followed out of the projects folder.
TEST_F(RunSafetyTest, TheNextRunRemovesOnlyItsOwnAbandonedBuilds) {
  const int projectId = Example();
  const fs::path projects = home / "projects";
  for (const char* folder : {".~馆.123.tmp", ".~馆.9.tmp/background", ".~馆x.5.tmp", ".~书馆.7.tmp",
                             ".~馆.tmp", ".~馆.12a.tmp"}) {
    fs::create_directories(projects / folder);
    TFileOperate::WriteTextFile(projects / folder, projects / folder / "half.frm", "half");
  }
  fs::create_directory_symlink(outside, projects / ".~馆.77.tmp");
  ASSERT_EQ(Generate(projectId).events, std::vector<std::string>{"done"});
  EXPECT_FALSE(fs::exists(projects / ".~馆.123.tmp"));
  EXPECT_FALSE(fs::exists(projects / ".~馆.9.tmp"));
  for (const char* kept : {".~馆x.5.tmp", ".~书馆.7.tmp", ".~馆.tmp", ".~馆.12a.tmp"}) {
    EXPECT_EQ(TFileOperate::ReadBytes(projects / kept / "half.frm"), "half") << kept;
  }
  EXPECT_TRUE(fs::is_symlink(projects / ".~馆.77.tmp"));
  EXPECT_EQ(TFileOperate::ReadBytes(outside / "NoImage.jpg"), "outside picture");
}

// Should another program take the name while a run builds the directory, nothing of either is
// lost: the run says so, and its files stay in the folder it built them in.
TEST_F(RunSafetyTest, ANameTakenWhileTheDirectoryIsBuiltIsLeftAlone) {
  std::optional<fs::path> building;
  {
    TProjectDir dir(home, "p");
    ASSERT_TRUE(dir.Write("a.frm", "generated", std::nullopt));
    for (const auto& entry : fs::directory_iterator(home / "projects")) building = entry.path();
    ASSERT_TRUE(building && IsBuildFolderOf(building->filename().string(), "p"));
    fs::create_directories(home / "projects" / "p");
    TFileOperate::WriteTextFile(home / "projects" / "p", home / "projects" / "p" / "mine.txt",
                                "mine");
    try {
      dir.Publish();
      ADD_FAILURE() << "a taken name was replaced";
    } catch (const TFileError& error) {
      EXPECT_NE(std::string(error.what()).find(building->string()), std::string::npos)
          << error.what();
    }
  }
  EXPECT_EQ(Tree(home / "projects" / "p"),
            (std::map<std::string, std::string>{{"mine.txt", "mine"}}));
  EXPECT_EQ(TFileOperate::ReadBytes(*building / "a.frm"), "generated");
}

// A writer that goes without Publish (a run stopped by a failure) leaves what it wrote under the
// project's name, as in a directory that existed before.
TEST_F(RunSafetyTest, WhatAStoppedRunWroteKeepsTheProjectsName) {
  {
    TProjectDir dir(home, "p");
    ASSERT_TRUE(dir.Write("sub/a.frm", "generated", std::nullopt));
    EXPECT_FALSE(fs::exists(home / "projects" / "p"));
  }
  EXPECT_EQ(Tree(home / "projects"),
            (std::map<std::string, std::string>{
                {"p", "dir"}, {"p/sub", "dir"}, {"p/sub/a.frm", "generated"}}));
}

TEST_F(RunSafetyTest, SupportFilesThatCannotBeReadAreAllNamedAndTheRunFails) {
  const int projectId = Example();
  // Links that loop cannot be read by anyone, root included.
  fs::remove(home / "bak" / "readme.txt");
  fs::create_symlink("readme.txt", home / "bak" / "readme.txt");
  fs::remove_all(home / "bak" / "background");
  fs::create_symlink("background", home / "bak" / "background");
  const TRecorder run = Generate(projectId);
  ASSERT_EQ(run.events.size(), 1u);
  EXPECT_NE(run.events[0].find("bak/readme.txt"), std::string::npos) << run.events[0];
  EXPECT_NE(run.events[0].find("bak/background"), std::string::npos) << run.events[0];
  // Everything else was written.
  EXPECT_TRUE(fs::exists(Output() / "ModMain.bas"));
  EXPECT_TRUE(fs::exists(Output() / "Tmp" / "readme.txt"));
  EXPECT_TRUE(fs::exists(Output() / "FrmManageLoan.frm"));

  if (geteuid() != 0) {  // permissions mean nothing to root
    fs::permissions(home / "bak" / "Tmp", fs::perms::none);
    const TRecorder locked = Generate(projectId);
    fs::permissions(home / "bak" / "Tmp", fs::perms::owner_all);
    ASSERT_EQ(locked.events.size(), 1u);
    EXPECT_NE(locked.events[0].find("bak/Tmp"), std::string::npos) << locked.events[0];
  }
}

TEST_F(RunSafetyTest, TheFirstFailureIsTheOneReported) {
  const int projectId = Example();
  ASSERT_EQ(Generate(projectId).events, std::vector<std::string>{"done"});
  std::ofstream(Output() / "FrmAddBook.frm", std::ios::app) << "' mine\r\n";
  // The backup folder cannot be made, and neither can the manifest be saved afterwards.
  TFileOperate::WriteTextFile(Output() / ".vbgen", Output() / ".vbgen" / "backup", "a file");
  fs::remove(Output() / ".vbgen" / "manifest");
  fs::create_directories(Output() / ".vbgen" / "manifest");
  const TRecorder run = Generate(projectId);
  ASSERT_EQ(run.events.size(), 1u);
  EXPECT_NE(run.events[0].find(".vbgen/backup"), std::string::npos) << run.events[0];
  EXPECT_EQ(run.events[0].find("manifest"), std::string::npos) << run.events[0];
  EXPECT_NE(run.lines.back().find("manifest"), std::string::npos) << run.lines.back();
  EXPECT_NE(TFileOperate::ReadBytes(Output() / "FrmAddBook.frm").find("' mine"), std::string::npos)
      << "the hand edit was replaced without a backup";
}

TEST_F(RunSafetyTest, ARerunLeavesUnchangedFilesUntouched) {
  const int projectId = Example();
  ASSERT_EQ(Generate(projectId).events, std::vector<std::string>{"done"});
  // Dated an hour back: a file written again would show today's time, however fast the run.
  const auto anHourAgo = fs::file_time_type::clock::now() - std::chrono::hours(1);
  fs::last_write_time(Output() / "FrmAddBook.frm", anHourAgo);
  struct stat first, manifest;
  ASSERT_EQ(::stat((Output() / "FrmAddBook.frm").c_str(), &first), 0);
  ASSERT_EQ(::stat((Output() / ".vbgen" / "manifest").c_str(), &manifest), 0);
  ASSERT_EQ(Generate(projectId).events, std::vector<std::string>{"done"});
  struct stat second, manifestAgain;
  ASSERT_EQ(::stat((Output() / "FrmAddBook.frm").c_str(), &second), 0);
  ASSERT_EQ(::stat((Output() / ".vbgen" / "manifest").c_str(), &manifestAgain), 0);
  EXPECT_EQ(second.st_ino, first.st_ino);
  EXPECT_EQ(second.st_mtim.tv_nsec, first.st_mtim.tv_nsec);
  EXPECT_EQ(second.st_mtim.tv_sec, first.st_mtim.tv_sec);
  EXPECT_EQ(manifestAgain.st_ino, manifest.st_ino);
}

TEST_F(RunSafetyTest, ProjectDirRefusesPathsWithDotDotOrAbsoluteParts) {
  fs::create_directories(home / "projects" / "p");
  TProjectDir dir(home, "p");
  for (const char* path : {"../x", "a/../../x", "/etc/passwd", "a//b", "./x", ""}) {
    EXPECT_THROW(dir.Admit(path), TOutsideProjectError) << path;
    EXPECT_THROW(dir.Write(path, "x", std::nullopt), TOutsideProjectError) << path;
  }
  for (const char* name : {"..", ".", "a/b", ""}) {
    EXPECT_THROW(TProjectDir(home, name), TOutsideProjectError) << name;
  }
  EXPECT_EQ(Tree(home / "projects").size(), 1u);
}

}  // namespace vbgen::test
