#include "ui/HelpWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <QWindow>

#include "ui/HelpPlacement.h"
#include "ui/QtText.h"

namespace vbgen {

THelpWindow::THelpWindow(QWidget* owner) : QWidget(owner, Qt::Window) {
  // Owned by the main window so that it closes with it, but a window of its own.
  setAttribute(Qt::WA_ShowWithoutActivating);
  setWindowTitle(QStringLiteral("使用说明"));
  page_ = new QTextBrowser(this);
  page_->setOpenExternalLinks(true);
  notAtStart_ = new QCheckBox(QStringLiteral("启动时不再显示"), this);
  connect(notAtStart_, &QCheckBox::toggled, this, [this](bool notAtStart) {
    if (storeShowAtStart_) storeShowAtStart_(!notAtStart);
  });
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addWidget(page_);
  layout->addWidget(notAtStart_);
  // Wherever the focus is inside the window.
  new QShortcut(QKeySequence(Qt::Key_Escape), this, this, &QWidget::close);
  resize(kPreferredWidth, kPreferredHeight);
}

void THelpWindow::SetStartChoice(bool showAtStart, std::function<void(bool)> store) {
  storeShowAtStart_ = nullptr;  // setting the box is not the user's change
  notAtStart_->setChecked(!showAtStart);
  storeShowAtStart_ = std::move(store);
}

void THelpWindow::ShowPage(const std::filesystem::path& page, TGuideOpening opening) {
  const QUrl url = QUrl::fromLocalFile(PathText(page));
  if (page_->source() == url) {
    page_->reload();  // the page may have changed on disk since it was shown
  } else {
    page_->setSource(url);
  }
  page_->verticalScrollBar()->setValue(0);
  if (page_->documentTitle().size() > 0) setWindowTitle(page_->documentTitle());
  if (isVisible() && !isMinimized()) return;
  // Some platforms activate every window shown, whatever it asks for; the window the user was
  // in gets its activation (and so its focus) back.
  QWidget* active = QApplication::activeWindow();
  Untie();
  Place(opening);
  if (active != nullptr && active != this) active->activateWindow();
}

void THelpWindow::Untie() {
  if (!testAttribute(Qt::WA_WState_Created)) create();
  if (windowHandle() != nullptr) windowHandle()->setTransientParent(nullptr);
}

void THelpWindow::Place(TGuideOpening opening) {
  QWidget* owner = parentWidget();
  if (owner == nullptr) {
    showNormal();
    return;
  }
  const QRect available = owner->screen()->availableGeometry();
  // The frame the window system adds, known once the window has been shown.
  const QMargins frame(
      geometry().left() - frameGeometry().left(), geometry().top() - frameGeometry().top(),
      frameGeometry().right() - geometry().right(), frameGeometry().bottom() - geometry().bottom());
  const QSize preferred = QSize(kPreferredWidth, kPreferredHeight).grownBy(frame);
  std::optional<QRect> place = PlaceBeside(owner->frameGeometry(), available, preferred);
  // Minimised would need a window manager to take effect; without one the window would open
  // over the main window. Not opened at all, it is a click on the banner away.
  if (!place && opening == TGuideOpening::AtStart) return;
  const QRect outer = place ? *place : PlaceWithin(owner->frameGeometry(), available, preferred);
  const QRect inner = outer.marginsRemoved(frame);
  resize(inner.size());
  move(outer.topLeft());  // a window's position is that of its frame
  showNormal();
  raise();
}

}  // namespace vbgen
