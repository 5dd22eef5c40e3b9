#include "ui/HelpWindow.h"

#include "ui/QtText.h"

namespace vbgen {

THelpWindow::THelpWindow(QWidget* owner) : QTextBrowser(owner) {
  // A tool window of its owner: it stays beside the main window and closes with it.
  setWindowFlags(Qt::Tool);
  setAttribute(Qt::WA_ShowWithoutActivating);
  setOpenExternalLinks(true);
  setWindowTitle(QStringLiteral("使用说明"));
  resize(560, 460);
}

void THelpWindow::ShowPage(const std::filesystem::path& page) {
  setSource(QUrl::fromLocalFile(PathText(page)));
  if (documentTitle().size() > 0) setWindowTitle(documentTitle());
  if (!isVisible()) show();
}

}  // namespace vbgen
