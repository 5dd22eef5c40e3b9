#include "ui/Desktop.h"

#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>
#include <iostream>

#include "ui/HelpWindow.h"
#include "ui/QtText.h"

namespace vbgen {

void TDesktop::OpenGuide(const TGuideRequest& request) {
  OpenUrl(QUrl::fromLocalFile(PathText(request.page)));
}

namespace {
// Linux desktops open a folder through xdg-open, which reports whether it could; Windows opens
// it through the shell (Explorer), which reports nothing useful beyond starting.
#ifndef _WIN32
const QString kFileManager = QStringLiteral("xdg-open");
#endif
}  // namespace

TQtDesktop::TQtDesktop() : context_(std::make_unique<QObject>()) {}
TQtDesktop::~TQtDesktop() { delete help_; }

void TQtDesktop::SetOwner(QWidget* owner) {
  if (owner == owner_) return;
  delete help_;
  owner_ = owner;
}

void TQtDesktop::SetFailureReport(std::function<void(const std::string&)> report) {
  report_ = std::move(report);
}

void TQtDesktop::ReportFailure(const std::string& message) const {
  if (report_) {
    report_(message);
  } else {
    std::cerr << message << '\n';
  }
}

THelpWindow& TQtDesktop::Help() {
  if (!help_) help_ = new THelpWindow(owner_);
  return *help_;
}

// Nothing is reported when no handler is installed: the page simply does not open.
void TQtDesktop::OpenUrl(const QUrl& url) {
  if (!url.isLocalFile()) {
    QDesktopServices::openUrl(url);
    return;
  }
  Help().ShowPage(S(url.toLocalFile()), TGuideOpening::Asked);
}

void TQtDesktop::OpenGuide(const TGuideRequest& request) {
  THelpWindow& help = Help();
  help.SetStartChoice(request.showAtStart, request.storeShowAtStart);
  help.ShowPage(request.page, request.opening);
}

#ifdef _WIN32
bool TQtDesktop::CanOpenDirectories() const { return true; }

void TQtDesktop::OpenDirectory(const std::filesystem::path& directory) {
  if (!QDesktopServices::openUrl(QUrl::fromLocalFile(PathText(directory)))) {
    ReportFailure("无法打开文件夹 " + PathUtf8(directory));
  }
}
#else
bool TQtDesktop::CanOpenDirectories() const {
  return !QStandardPaths::findExecutable(kFileManager).isEmpty();
}

// The process is not ended with the program: a file manager it started in its place stays.
void TQtDesktop::OpenDirectory(const std::filesystem::path& directory) {
  const std::string failed = "无法打开文件夹 " + PathUtf8(directory) + ": ";
  auto* process = new QProcess();
  process->setProgram(kFileManager);
  process->setArguments({PathText(directory)});
  process->setStandardOutputFile(QProcess::nullDevice());
  QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
  QObject::connect(process, &QProcess::finished, context_.get(),
                   [this, process, failed](int exitCode, QProcess::ExitStatus status) {
                     if (status == QProcess::NormalExit && exitCode == 0) return;
                     const std::string said =
                         S(QString::fromLocal8Bit(process->readAllStandardError()).trimmed());
                     ReportFailure(failed + S(kFileManager) + " 退出码 " +
                                   std::to_string(exitCode) +
                                   (said.empty() ? std::string() : " (" + said + ")"));
                   });
  QObject::connect(process, &QProcess::errorOccurred, context_.get(),
                   [this, process, failed](QProcess::ProcessError error) {
                     if (error != QProcess::FailedToStart) return;
                     ReportFailure(failed + "无法启动 " + S(kFileManager));
                     process->deleteLater();
                   });
  process->start();
}
#endif

}  // namespace vbgen
