// vbgen: the desktop program. The model and the generated projects live in the program
// directory when it holds template/ and bak/ (the build's bin/), otherwise in the user's data
// folder (~/.local/share/vbgen); --home DIR names another.
#include <QApplication>
#include <QFont>
#include <QIcon>
#include <QMessageBox>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>

#include "generate/read/ProgramHome.h"
#include "model/DbHelper.h"
#include "ui/Desktop.h"
#include "ui/Dialogs.h"
#include "ui/MainForm.h"
#include "ui/QtText.h"
#include "ui/QtTranslations.h"

namespace {

constexpr const char* kUsage =
    "用法: vbgen [--home DIR]\n"
    "      vbgen --version | --help\n\n"
    "DIR 是数据目录 (projects.db 与生成的工程 projects/ 所在处)。默认: 程序目录含 template 与 bak\n"
    "时就是程序目录; 安装的程序用 $XDG_DATA_HOME/vbgen (通常是 ~/.local/share/vbgen)。\n";

struct TArguments {
  std::optional<std::filesystem::path> home;
  std::optional<int> exitNow;  // set after --help, --version or a usage error
};

// Read before the display is opened, so that --help works without one.
TArguments ReadArguments(int argc, char* argv[]) {
  TArguments arguments;
  for (int i = 1; i < argc; ++i) {
    const std::string word = argv[i];
    if (word == "--home" && i + 1 < argc && *argv[i + 1] != '\0') {
      arguments.home = argv[++i];
    } else if (word.rfind("--home=", 0) == 0 && word.size() > 7) {
      arguments.home = word.substr(7);
    } else if (word == "--version") {
      std::cout << "vbgen " << VBGEN_VERSION << '\n';
      arguments.exitNow = 0;
      return arguments;
    } else if (word == "--help" || word == "-h") {
      std::cout << kUsage;
      arguments.exitNow = 0;
      return arguments;
    } else {
      std::cerr << "无法识别的参数: " << word << "\n\n" << kUsage;
      arguments.exitNow = 2;
      return arguments;
    }
  }
  return arguments;
}

std::filesystem::path ExecutableDir() {
  return std::filesystem::path(vbgen::S(QApplication::applicationDirPath()));
}

int ShowWindow(const vbgen::TProgramDir& programDir) {
  vbgen::TDbHelper::SetDatabasePath(programDir.Database());
  vbgen::TQtDialogs dialogs;
  vbgen::TQtDesktop desktop;
  vbgen::TFormMain window(programDir, dialogs, desktop);
  dialogs.SetOwner(&window);
  desktop.SetOwner(&window);
  desktop.SetFailureReport([&dialogs](const std::string& message) { dialogs.Error(message); });
  window.show();
  int result = QApplication::exec();
  desktop.SetFailureReport(nullptr);
  desktop.SetOwner(nullptr);
  dialogs.SetOwner(nullptr);
  return result;
}

}  // namespace

int main(int argc, char* argv[]) {
  const TArguments arguments = ReadArguments(argc, argv);
  if (arguments.exitNow) return *arguments.exitNow;
  QApplication app(argc, argv);
  // Before any box, the fatal error's included.
  if (const auto missing = vbgen::InstallQtTranslations(app)) std::cerr << *missing << '\n';
  QApplication::setApplicationName(QStringLiteral("vbgen"));
  QApplication::setApplicationVersion(QStringLiteral(VBGEN_VERSION));
  QApplication::setDesktopFileName(QStringLiteral("vbgen"));
  // The pixel layouts are drawn for a 9-point face.
  QFont font = QApplication::font();
  font.setPointSize(9);
  QApplication::setFont(font);
  try {
    const vbgen::TProgramHome home = vbgen::LocateProgramHome(ExecutableDir(), arguments.home,
                                                              vbgen::TUserDirs::FromEnvironment());
    QApplication::setWindowIcon(QIcon::fromTheme(
        QStringLiteral("vbgen"),
        QIcon(vbgen::PathText(home.programDir.ShippedDir() / "images" / "icon.png"))));
    vbgen::PrepareProgramHome(home);
    return ShowWindow(home.programDir);
  } catch (const std::exception& error) {
    QMessageBox::critical(nullptr, QString::fromUtf8(vbgen::kApplicationTitle),
                          vbgen::Q(error.what()));
    return 1;
  }
}
