// Generates a project of 24 classes x 30 members and one of 200 classes x 40 members, copies
// each resulting tree with cp -r, and prints both times and their ratio (target: generation
// within 1.5x of the copy).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "generate/AutoCode.h"
#include "model/ClassDAO.h"
#include "model/DbHelper.h"
#include "model/MemberDAO.h"
#include "model/ProjectDAO.h"

using namespace vbgen;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

class TQuietListener : public TRunListener {
 public:
  void Progress(const std::string&) override {}
  void KeyCheckFailed(int) override { failure = "key check failed"; }
  void DisplayCheckFailed(int) override { failure = "display check failed"; }
  void GenerationDone() override {}
  void RunFailed(const std::string& message) override { failure = message; }
  std::string failure;
};

// A class: an integer key, a display string, a reference to the previous class, then a mix.
int BuildProject(const std::string& name, int classCount, int memberCount) {
  TProjectDAO().AddProject(name);
  const int projectId = TProjectDAO().ListProjects().back().id;
  TDbTransaction transaction;
  TMemberDAO members;
  const char* types[] = {"字符串", "整型", "浮点型", "日期型", "图片型"};
  for (int c = 0; c < classCount; ++c) {
    const std::string className = "Class" + std::to_string(c);
    TClassDAO().AddClass(projectId, className, "类别" + std::to_string(c), 1);
    const int classId = TClassDAO().FindClassId(projectId, className);
    for (int m = 0; m < memberCount; ++m) {
      TMember member;
      member.projectId = projectId;
      member.classId = classId;
      member.memberName = "member" + std::to_string(m);
      member.memberComment = "成员" + std::to_string(m);
      member.memberIsMust = 1;
      if (m == 0) {
        member.memberType = "整型";
        member.memberIsPri = 1;
      } else if (m == 1) {
        member.memberType = "字符串";
        member.memberLength = 50;
        member.memberIsDisplay = 1;
        member.queryFlag = 1;
      } else if (m == 2 && c > 0) {
        member.memberType = "Class" + std::to_string(c - 1);
        member.queryFlag = 1;
      } else {
        member.memberType = types[m % 5];
        member.memberLength = member.memberType == "字符串" ? (m % 2 ? 30 : 500) : 0;
        member.queryFlag = (member.memberType == "日期型" && m < 12) ? 1 : 0;
        member.memberQueryDisplay = member.memberType == "图片型" ? 0 : 1;
      }
      member.memberIsInteger = member.memberType == "整型";
      member.memberIsFloat = member.memberType == "浮点型";
      members.AddMember(member);
    }
  }
  transaction.Commit();
  return projectId;
}

double Millis(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The best of several rounds of each, so a busy disk or a neighbour's burst does not decide.
void Measure(const fs::path& home, const std::string& name, int classes, int members) {
  constexpr int kRounds = 5;
  const int projectId = BuildProject(name, classes, members);
  const fs::path tree = home / "projects" / name;
  const fs::path copy = home / "copy";
  const std::string command = "cp -r '" + tree.string() + "' '" + copy.string() + "'";
  double generate = 1e9, copyMs = 1e9;
  for (int round = 0; round < kRounds; ++round) {
    fs::remove_all(tree);
    TQuietListener listener;
    auto start = Clock::now();
    TAutoCode(projectId, "tavorin", TProgramDir(home), listener).Execute();
    generate = std::min(generate, Millis(start));
    if (!listener.failure.empty()) {
      std::printf("%s: generation failed: %s\n", name.c_str(), listener.failure.c_str());
      std::exit(1);
    }
    fs::remove_all(copy);
    start = Clock::now();
    if (std::system(command.c_str()) != 0) std::exit(1);
    copyMs = std::min(copyMs, Millis(start));
  }
  std::size_t files = 0;
  for (auto& entry : fs::recursive_directory_iterator(tree)) files += entry.is_regular_file();
  std::printf(
      "%3d classes x %2d members (%zu files): generate %.1f ms, cp -r %.1f ms, ratio %.2f "
      "(best of %d; target 1.5)\n",
      classes, members, files, generate, copyMs, generate / copyMs, kRounds);
}

}  // namespace

int main(int argc, char** argv) {
  const fs::path programDir = argc > 1 ? fs::path(argv[1]) : fs::path(VBGEN_PROGRAM_DIR);
  const fs::path home = fs::temp_directory_path() / "vbgen-generate-bench";
  fs::remove_all(home);
  fs::create_directories(home);
  fs::copy(programDir / "template", home / "template", fs::copy_options::recursive);
  fs::copy(programDir / "bak", home / "bak", fs::copy_options::recursive);
  TDbHelper::SetDatabasePath(home / "projects.db");
  Measure(home, "small", 24, 30);
  Measure(home, "large", 200, 40);
  TDbHelper::Close();
  fs::remove_all(home);
  return 0;
}
