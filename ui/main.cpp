// vbgen: the desktop program. The program directory (the executable's directory, or the one
// given with --home) holds projects.db, template, bak, the guide and the generated projects.
#include <QApplication>
#include <QFont>
#include <QIcon>
#include <QMessageBox>
#include <QStringList>
#include <filesystem>
#include <iostream>

#include "generate/GenContext.h"
#include "model/DbHelper.h"
#include "ui/Desktop.h"
#include "ui/Dialogs.h"
#include "ui/MainForm.h"
#include "ui/QtText.h"

namespace {

// The program directory, or an empty path after printing why the arguments are wrong.
std::filesystem::path ProgramHome(const QStringList& arguments) {
  std::filesystem::path home = vbgen::S(QCoreApplication::applicationDirPath());
  for (qsizetype i = 1; i < arguments.size(); ++i) {
    if (arguments[i] == QStringLiteral("--home") && i + 1 < arguments.size()) {
      home = vbgen::S(arguments[++i]);
    } else {
      std::cerr << "usage: vbgen [--home DIR]\n";
      return {};
    }
  }
  return std::filesystem::absolute(home);
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("vbgen"));
  // The pixel layouts are drawn for a 9-point face.
  QFont font = QApplication::font();
  font.setPointSize(9);
  QApplication::setFont(font);
  const std::filesystem::path home = ProgramHome(QApplication::arguments());
  if (home.empty()) return 2;
  QApplication::setWindowIcon(QIcon(vbgen::PathText(home / "images" / "icon.png")));

  vbgen::TProgramDir programDir(home);
  vbgen::TDbHelper::SetDatabasePath(programDir.Database());
  vbgen::TQtDialogs dialogs;
  vbgen::TQtDesktop desktop;
  try {
    vbgen::TFormMain window(programDir, dialogs, desktop);
    dialogs.SetOwner(&window);
    window.show();
    int result = app.exec();
    dialogs.SetOwner(nullptr);
    return result;
  } catch (const std::exception& error) {
    QMessageBox::critical(nullptr, QString::fromUtf8(vbgen::kApplicationTitle),
                          vbgen::Q(error.what()));
    return 1;
  }
}
