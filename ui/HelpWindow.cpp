#include "ui/HelpWindow.h"

#include <QApplication>
#include <QScrollBar>

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
  const QUrl url = QUrl::fromLocalFile(PathText(page));
  if (source() == url) {
    reload();  // the page may have changed on disk since it was shown
  } else {
    setSource(url);
  }
  verticalScrollBar()->setValue(0);
  if (documentTitle().size() > 0) setWindowTitle(documentTitle());
  if (isVisible()) return;
  // Some platforms activate every window shown, whatever it asks for; the window the user was
  // in gets its activation (and so its focus) back.
  QWidget* active = QApplication::activeWindow();
  show();
  if (active != nullptr && active != this) active->activateWindow();
}

}  // namespace vbgen
