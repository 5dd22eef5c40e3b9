// vbgen: the desktop program. The program directory (the executable's directory, or the one
// given with --home) holds projects.db, template, bak, the guide and the generated projects.
#include <QApplication>
#include <QFont>
#include <QIcon>
#include <QMessageBox>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>

#include "generate/GenContext.h"
#include "model/DbHelper.h"
#include "ui/Desktop.h"
#include "ui/Dialogs.h"
#include "ui/MainForm.h"
#include "ui/QtText.h"

namespace {

// The --home argument; nullopt after printing the usage when the arguments are wrong, an
// empty path when none was given.
std::optional<std::filesystem::path> HomeArgument(int argc, char* argv[]) {
  std::filesystem::path home;
  for (int i = 1; i < argc; ++i) {
    if (std::string(argv[i]) == "--home" && i + 1 < argc) {
      home = argv[++i];
    } else {
      std::cerr << "usage: vbgen [--home DIR]\n";
      return std::nullopt;
    }
  }
  return home;
}

}  // namespace

int main(int argc, char* argv[]) {
  const std::optional<std::filesystem::path> homeArgument = HomeArgument(argc, argv);
  if (!homeArgument) return 2;
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("vbgen"));
  // The pixel layouts are drawn for a 9-point face.
  QFont font = QApplication::font();
  font.setPointSize(9);
  QApplication::setFont(font);
  const std::filesystem::path home = std::filesystem::absolute(
      homeArgument->empty() ? std::filesystem::path(vbgen::S(QApplication::applicationDirPath()))
                            : *homeArgument);
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
