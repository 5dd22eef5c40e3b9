// How close a generation run comes to the disk's speed. Every figure is a ratio against a
// baseline measured alternately with it (A B A B ...) in the same process, over several rounds;
// min and median are printed beside the target. No output tree is deleted before a timed step:
// every round writes into folders of its own, and all are removed at the end. Each timed step
// starts after a sync, so no step pays for the writeback of another.
//
//   fresh     a run into a new project folder / writing the same files plainly (open, write,
//             close per file)                                           target <= 1.3
//   rerun     a run over its own unchanged output / reading that output and comparing it
//                                                                       target <= 1
//   linear    fresh run of 1000 x 40 / fresh run of 200 x 40            target <= 5.5
//   sql       the table script of 1000 x 40 / sqlite3 reading the three tables  target <= 3
//   check     the model check of 1000 x 40 / the same baseline          target <= 3
//   memory    peak resident size of `vbgen-cli generate` at 1000 x 40   target <= 30 MB
//
// Usage: generate_bench [rounds]   (default 5)
// VBGEN_BENCH_CLI names the vbgen-cli whose memory is measured (by default the one built beside
// this benchmark), so that a benchmark kept from an earlier build measures that build's program.
// VBGEN_BENCH_ONLY=reads prints only sql and check (no runs, no memory figure): the fresh and
// rerun rounds take minutes, the reads seconds. VBGEN_BENCH_VERBOSE=1 also prints each round's
// times in milliseconds. TMPDIR chooses the file system.
//
// On the machines this was measured on (virtual, two cores), files written within minutes after
// much memory was freed (the output trees of an earlier benchmark or test run deleted, this
// benchmark's own clean-up included) cost up to ten times as much, on ext4 and on tmpfs alike,
// for the plain write as for the run; such rounds say little about the ratio. Run the
// benchmark when nothing has deleted thousands of files for five minutes: the round times
// show which case a round met.
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "generate/AutoCode.h"
#include "generate/check/ModelCheck.h"
#include "generate/emit/SqlScript.h"
#include "generate/write/FileOperate.h"
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
  void KeyCheckFailed(const TNamedId&) override { failure = "key check failed"; }
  void DisplayCheckFailed(const TNamedId&) override { failure = "display check failed"; }
  void GenerationDone() override {}
  void RunFailed(const std::string& message) override { failure = message; }
  std::string failure;
};

// A class: an integer key, a display string, a reference to the previous class, then a mix.
int BuildProject(const std::string& name, int classCount, int memberCount) {
  const int projectId = TProjectDAO().AddProject(name);
  TDbTransaction transaction;
  TMemberDAO members;
  const char* types[] = {"字符串", "整型", "浮点型", "日期型", "图片型"};
  for (int c = 0; c < classCount; ++c) {
    const std::string className = "Class" + std::to_string(c);
    const int classId = TClassDAO().AddClass(projectId, className, "类别" + std::to_string(c), 1);
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

double Millis(const std::function<void()>& work) {
  const auto start = Clock::now();
  work();
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

struct TFile {
  std::string relative;
  std::string bytes;
};

std::vector<TFile> Collect(const fs::path& tree) {
  std::vector<TFile> files;
  for (const auto& entry : fs::recursive_directory_iterator(tree)) {
    if (entry.is_regular_file() && entry.path().string().find("/.vbgen") == std::string::npos) {
      files.push_back({fs::relative(entry.path(), tree).string(), TFileOperate::ReadBytes(entry)});
    }
  }
  return files;
}

// The baseline of a fresh run: one open, write and close per file (and its folders).
void PlainWrite(const fs::path& tree, const std::vector<TFile>& files) {
  std::set<fs::path> made;
  for (const TFile& file : files) {
    const fs::path target = tree / file.relative;
    if (made.insert(target.parent_path()).second) fs::create_directories(target.parent_path());
    const int fd = ::open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0 || ::write(fd, file.bytes.data(), file.bytes.size()) !=
                      static_cast<ssize_t>(file.bytes.size())) {
      std::perror("plain write");
      std::exit(1);
    }
    ::close(fd);
  }
}

// The baseline of a rerun: read every file back and compare it with what it should hold.
void ReadAndCompare(const fs::path& tree, const std::vector<TFile>& files) {
  std::size_t differing = 0;
  for (const TFile& file : files) {
    const int fd = ::open((tree / file.relative).c_str(), O_RDONLY | O_CLOEXEC);
    std::string bytes(file.bytes.size() + 1, '\0');
    const ssize_t got = fd < 0 ? -1 : ::read(fd, bytes.data(), bytes.size());
    if (fd >= 0) ::close(fd);
    bytes.resize(got < 0 ? 0 : static_cast<std::size_t>(got));
    differing += bytes != file.bytes;
  }
  if (differing != 0) {
    std::printf("read-and-compare found %zu changed files\n", differing);
    std::exit(1);
  }
}

// The baseline of sql and check: a connection of its own reads every row of the three tables.
void SqliteReadsTheTables(const fs::path& database) {
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(database.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
    std::exit(1);
  }
  std::size_t bytes = 0;
  for (const char* sql :
       {"select * from t_project", "select * from t_class", "select * from t_member"}) {
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, sql, -1, &statement, nullptr);
    while (sqlite3_step(statement) == SQLITE_ROW) {
      for (int i = 0; i < sqlite3_column_count(statement); ++i) {
        bytes += static_cast<std::size_t>(sqlite3_column_bytes(statement, i));
      }
    }
    sqlite3_finalize(statement);
  }
  sqlite3_close(db);
  if (bytes == 0) std::exit(1);
}

void Run(int projectId, const fs::path& home) {
  TQuietListener listener;
  TAutoCode(projectId, "tavorin", TProgramDir(home), listener).Execute();
  if (!listener.failure.empty()) {
    std::printf("generation failed: %s\n", listener.failure.c_str());
    std::exit(1);
  }
}

struct TFigure {
  std::string name;
  double target;
  std::vector<double> ratios;

  void Print() const {
    std::vector<double> sorted = ratios;
    std::sort(sorted.begin(), sorted.end());
    const double median = sorted[sorted.size() / 2];
    std::printf("%-24s min %6.2f  median %6.2f  target %4.1f  %s\n", name.c_str(), sorted.front(),
                median, target, median <= target ? "met" : "NOT MET");
  }
};

// One model size: its project, the files a run writes, and the figures of its rounds.
class TModelRuns {
 public:
  TModelRuns(const fs::path& home, int classes, int members)
      : home_(home),
        label_(std::to_string(classes) + "x" + std::to_string(members)),
        projectId_(BuildProject("p" + label_, classes, members)),
        fresh{"fresh " + label_, 1.3, {}},
        rerun{"rerun " + label_, 1.0, {}} {
    // A first run warms up and gives the files the baselines write and compare.
    Run(projectId_, home_);
    files_ = Collect(home_ / "projects" / ("p" + label_));
    std::printf("%s: %zu files per run\n", label_.c_str(), files_.size());
  }

  // A fresh run into a folder of its own beside a plain write of the same files, then a rerun
  // beside reading and comparing; odd rounds swap the order of each pair.
  void Round(int round) {
    const std::string name = "run" + label_ + "-" + std::to_string(round);
    TProjectDAO().RenameProject(projectId_, name);
    const fs::path tree = home_ / "projects" / name;
    // Beside the run's folder: a new folder's files are placed near their parent's, so both
    // meet the same state of the file system (its recently freed inodes, say).
    const fs::path plain = home_ / "projects" / ("plain-" + name);
    double runMs = 0, plainMs = 0, rerunMs = 0, compareMs = 0;
    Pair(
        round, [&] { runMs = Millis([&] { Run(projectId_, home_); }); },
        [&] { plainMs = Millis([&] { PlainWrite(plain, files_); }); });
    Pair(
        round, [&] { rerunMs = Millis([&] { Run(projectId_, home_); }); },
        [&] { compareMs = Millis([&] { ReadAndCompare(tree, files_); }); });
    if (std::getenv("VBGEN_BENCH_VERBOSE"))
      std::printf("%s round %d: run %.1f ms, plain %.1f ms, rerun %.1f ms, compare %.1f ms\n",
                  label_.c_str(), round, runMs, plainMs, rerunMs, compareMs);
    fresh.ratios.push_back(runMs / plainMs);
    rerun.ratios.push_back(rerunMs / compareMs);
    freshMs.push_back(runMs);
  }

  int ProjectId() const { return projectId_; }

 private:
  // Each step starts with no dirty pages of an earlier one: writeback throttling would
  // otherwise charge one step for the writes of another.
  static void Pair(int round, const std::function<void()>& a, const std::function<void()>& b) {
    const std::function<void()>& first = round % 2 ? b : a;
    const std::function<void()>& second = round % 2 ? a : b;
    ::sync();
    first();
    ::sync();
    second();
  }

  fs::path home_;
  std::string label_;
  int projectId_;
  std::vector<TFile> files_;

 public:
  TFigure fresh, rerun;
  std::vector<double> freshMs;
};

// sql and check of the project against sqlite3 reading its tables, alternately.
void MeasureReads(const fs::path& home, int projectId, int rounds, TFigure& sql, TFigure& check) {
  for (int round = 0; round < rounds; ++round) {
    double baseline = Millis([&] { SqliteReadsTheTables(home / "projects.db"); });
    TDbHelper::Close();  // each command opens the database, as vbgen-cli does
    double script = Millis([&] {
      if (BuildTableScript(projectId).empty()) std::exit(1);
    });
    sql.ratios.push_back(script / baseline);
    baseline = Millis([&] { SqliteReadsTheTables(home / "projects.db"); });
    TDbHelper::Close();
    double problems = Millis([&] { FindModelProblems(projectId); });
    check.ratios.push_back(problems / baseline);
  }
}

// Linux keeps a process's peak resident size across exec, so a child forked from this process,
// which holds whole output trees, would report them as its own. A spawner forked at start-up,
// while this process is still small, starts the command line program instead and reports its
// peak resident size.
class TSpawner {
 public:
  TSpawner() {
    int request[2], reply[2];
    if (::pipe(request) != 0 || ::pipe(reply) != 0) std::exit(1);
    pid_ = fork();
    if (pid_ == 0) {
      ::close(request[1]);
      ::close(reply[0]);
      Serve(request[0], reply[1]);
    }
    ::close(request[0]);
    ::close(reply[1]);
    requests_ = request[1];
    replies_ = reply[0];
  }
  ~TSpawner() {
    ::close(requests_);
    ::waitpid(pid_, nullptr, 0);
  }

  // Peak resident size in MB of `vbgen-cli --home {home} generate {project}`; -1 on failure.
  double PeakMegabytes(const std::string& home, const std::string& project) {
    const std::string line = home + '\n' + project + '\n';
    if (::write(requests_, line.data(), line.size()) != static_cast<ssize_t>(line.size())) {
      return -1;
    }
    double megabytes = -1;
    if (::read(replies_, &megabytes, sizeof megabytes) != sizeof megabytes) return -1;
    return megabytes;
  }

 private:
  [[noreturn]] static void Serve(int requests, int replies) {
    std::string buffer;
    char chunk[4096];
    for (ssize_t n; (n = ::read(requests, chunk, sizeof chunk)) > 0;) {
      buffer.append(chunk, static_cast<std::size_t>(n));
      for (std::size_t first, second; (first = buffer.find('\n')) != std::string::npos &&
                                      (second = buffer.find('\n', first + 1)) != std::string::npos;
           buffer.erase(0, second + 1)) {
        const std::string home = buffer.substr(0, first);
        const std::string project = buffer.substr(first + 1, second - first - 1);
        double megabytes = Spawn(home, project);
        if (::write(replies, &megabytes, sizeof megabytes) < 0) _exit(1);
      }
    }
    _exit(0);
  }
  static double Spawn(const std::string& home, const std::string& project) {
    const pid_t child = fork();
    if (child == 0) {
      const int quiet = ::open("/dev/null", O_WRONLY);
      ::dup2(quiet, 1);
      const char* chosen = std::getenv("VBGEN_BENCH_CLI");
      const char* cli = chosen ? chosen : VBGEN_CLI;
      ::execl(cli, cli, "--home", home.c_str(), "generate", project.c_str(), nullptr);
      _exit(127);
    }
    int status = 0;
    struct rusage usage {};
    ::wait4(child, &status, 0, &usage);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
  }

  pid_t pid_;
  int requests_, replies_;
};

}  // namespace

int main(int argc, char** argv) {
  TSpawner spawner;  // first, while this process is small
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  const char* only = std::getenv("VBGEN_BENCH_ONLY");
  const bool readsOnly = only && std::string(only) == "reads";
  const fs::path programDir = VBGEN_PROGRAM_DIR;
  const fs::path home =
      fs::temp_directory_path() / ("vbgen-generate-bench-" + std::to_string(::getpid()));
  fs::create_directories(home);
  fs::copy(programDir / "template", home / "template", fs::copy_options::recursive);
  fs::copy(programDir / "bak", home / "bak", fs::copy_options::recursive);
  TDbHelper::SetDatabasePath(home / "projects.db");

  const auto finish = [&home] {
    if (std::getenv("VBGEN_BENCH_KEEP")) {
      std::printf("kept %s\n", home.c_str());  // for profiling the trees and the database
    } else {
      fs::remove_all(home);
    }
    return 0;
  };
  TFigure sql{"sql 1000x40", 3.0, {}}, check{"check 1000x40", 3.0, {}};
  if (readsOnly) {
    BuildProject("p200x40", 200, 40);  // the baseline reads the same tables as in a full bench
    MeasureReads(home, BuildProject("p1000x40", 1000, 40), rounds, sql, check);
    std::printf("\nratios over %d rounds, each against its baseline in the same round\n", rounds);
    sql.Print();
    check.Print();
    return finish();
  }

  // The two sizes take turns in every round, so the linear figure compares runs made at the
  // same time, as every other figure does.
  TModelRuns small(home, 200, 40);
  TModelRuns large(home, 1000, 40);
  TFigure linear{"linear 1000x40/200x40", 5.5, {}};
  for (int round = 0; round < rounds; ++round) {
    small.Round(round);
    large.Round(round);
    linear.ratios.push_back(large.freshMs.back() / small.freshMs.back());
  }
  const int largeId = large.ProjectId();
  MeasureReads(home, largeId, rounds, sql, check);
  const std::string largeName = TProjectDAO().GetProjectName(largeId).value();
  TDbHelper::Close();
  const double peakMb = spawner.PeakMegabytes(home.string(), largeName);

  std::printf("\nratios over %d rounds, each against its baseline in the same round\n", rounds);
  for (const TFigure* figure : std::initializer_list<const TFigure*>{
           &small.fresh, &large.fresh, &small.rerun, &large.rerun, &linear, &sql, &check}) {
    figure->Print();
  }
  std::printf("%-24s %6.1f MB  target 30 MB  %s\n", "memory generate 1000x40", peakMb,
              peakMb >= 0 && peakMb <= 30 ? "met" : "NOT MET");
  return finish();
}
