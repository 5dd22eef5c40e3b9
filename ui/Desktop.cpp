#include "ui/Desktop.h"

#include <QDesktopServices>

#include "ui/QtText.h"

namespace vbgen {

// Nothing is reported when no handler is installed: the page or directory simply does not open.
void TQtDesktop::OpenUrl(const QUrl& url) { QDesktopServices::openUrl(url); }

void TQtDesktop::OpenDirectory(const std::filesystem::path& directory) {
  QDesktopServices::openUrl(QUrl::fromLocalFile(PathText(directory)));
}

}  // namespace vbgen
