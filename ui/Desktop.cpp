#include "ui/Desktop.h"

#include <QDesktopServices>

#include "ui/HelpWindow.h"
#include "ui/QtText.h"

namespace vbgen {

TQtDesktop::TQtDesktop() = default;
TQtDesktop::~TQtDesktop() { delete help_; }

void TQtDesktop::SetOwner(QWidget* owner) {
  if (owner == owner_) return;
  delete help_;
  owner_ = owner;
}

// Nothing is reported when no handler is installed: the page or directory simply does not open.
void TQtDesktop::OpenUrl(const QUrl& url) {
  if (!url.isLocalFile()) {
    QDesktopServices::openUrl(url);
    return;
  }
  if (!help_) help_ = new THelpWindow(owner_);
  help_->ShowPage(url.toLocalFile().toStdString());
}

void TQtDesktop::OpenDirectory(const std::filesystem::path& directory) {
  QDesktopServices::openUrl(QUrl::fromLocalFile(PathText(directory)));
}

}  // namespace vbgen
