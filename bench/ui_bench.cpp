// Start-up of the main window with a model of 200 classes, and the refill of a member table of
// 1,000 members. Prints the figures beside their targets (300 ms and 50 ms).
#include <QApplication>
#include <QElapsedTimer>
#include <QListWidget>
#include <QTableWidget>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <random>
#include <vector>

#include "model/ClassDAO.h"
#include "model/DbHelper.h"
#include "model/MemberDAO.h"
#include "model/ProjectDAO.h"
#include "ui/Desktop.h"
#include "ui/Dialogs.h"
#include "ui/MainForm.h"

using namespace vbgen;
namespace fs = std::filesystem;

namespace {

class TSilentDialogs : public TDialogs {
 public:
  void Message(const std::string&) override {}
  void Information(const std::string&, const std::string&) override {}
  bool Confirm(const std::string&, const std::string&) override { return false; }
  std::string Input(const std::string&, const std::string&, const std::string& d) override {
    return d;
  }
  void Error(const std::string& text) override {
    std::fprintf(stderr, "error: %s\n", text.c_str());
  }
  std::optional<std::string> SaveFileName(const std::string&, const std::string&,
                                          const std::string&) override {
    return std::nullopt;
  }
  std::optional<std::string> OpenFileName(const std::string&, const std::string&) override {
    return std::nullopt;
  }
};

class TNoDesktop : public TDesktop {
 public:
  void OpenUrl(const QUrl&) override {}
  void OpenDirectory(const fs::path&) override {}
};

void AddMembers(int projectId, int classId, int count) {
  TDbTransaction transaction;  // one commit instead of one per member
  TMemberDAO members;
  for (int i = 0; i < count; ++i) {
    TMember m;
    m.projectId = projectId;
    m.classId = classId;
    m.memberName = "member" + std::to_string(i);
    m.memberType = i == 0 ? "整型" : "字符串";
    m.memberLength = i == 0 ? 0 : 50;
    m.memberIsPri = i == 0;
    m.memberIsMust = 1;
    m.memberIsDisplay = i == 1;
    m.memberComment = "成员注释" + std::to_string(i);
    members.AddMember(m);
  }
  transaction.Commit();
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char* argv[]) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  QApplication app(argc, argv);
  const fs::path home =
      fs::temp_directory_path() / ("vbgen-ui-bench-" + std::to_string(std::random_device()()));
  fs::create_directories(home);
  TDbHelper::SetDatabasePath(home / "projects.db");

  const int projectId = TProjectDAO().AddProject("Bench");
  {
    TDbTransaction transaction;
    for (int i = 0; i < 200; ++i) {
      TClassDAO().AddClass(projectId, "Class" + std::to_string(i), "类" + std::to_string(i), 1);
    }
    transaction.Commit();
  }
  const TNamedIdList classes = TClassDAO().ListClasses(projectId);
  for (const TNamedId& entry : classes) AddMembers(projectId, entry.id, 8);
  const int bigClassId = classes.back().id;
  AddMembers(projectId, bigClassId, 1000 - 8);

  TSilentDialogs dialogs;
  TNoDesktop desktop;
  QElapsedTimer timer;
  timer.start();
  auto window = std::make_unique<TFormMain>(TProgramDir(home), dialogs, desktop);
  window->show();
  QApplication::processEvents();
  const double startupMs = timer.nsecsElapsed() / 1e6;

  std::vector<double> refills;
  for (int run = 0; run < 15; ++run) {
    timer.restart();
    window->FillMemberList(bigClassId);
    window->LV_Member->repaint();
    refills.push_back(timer.nsecsElapsed() / 1e6);
  }
  std::printf("main window shown with %zu classes:  %.1f ms (target < 300 ms)\n", classes.size(),
              startupMs);
  std::printf("refill of %d members (median of %zu): %.1f ms (target < 50 ms)\n",
              window->LV_Member->rowCount(), refills.size(), Median(refills));

  window.reset();
  TDbHelper::Close();
  fs::remove_all(home);
  return 0;
}
