// The program's own small window for the user guide: it shows a local page without a browser
// and without taking the focus from the window the user is typing in. It stands beside the
// main window, not over it, and is an ordinary window: the main window comes to the front when
// clicked.
#pragma once

#include <QWidget>
#include <filesystem>
#include <functional>

class QCheckBox;
class QTextBrowser;

namespace vbgen {

// How the user guide came to be opened: asked for (the banner), or by itself after start-up.
enum class TGuideOpening { Asked, AtStart };

class THelpWindow : public QWidget {
  Q_OBJECT

 public:
  // The size the guide reads best at; narrower where the screen has less room.
  static constexpr int kPreferredWidth = 560;
  static constexpr int kPreferredHeight = 460;

  explicit THelpWindow(QWidget* owner = nullptr);

  // Shows the page (again at its top) and leaves the active window active. Beside the owner
  // where the screen has room; otherwise not at all when it opens by itself, and within the
  // screen when asked for.
  void ShowPage(const std::filesystem::path& page, TGuideOpening opening);

  // The check box "启动时不再显示" shows !showAtStart; a change is handed to store.
  void SetStartChoice(bool showAtStart, std::function<void(bool)> store);

  QTextBrowser* Page() const { return page_; }
  QCheckBox* NotAtStartBox() const { return notAtStart_; }

 private:
  void Place(TGuideOpening opening);
  // Drops the window system's tie to the owner, which would keep this window above it.
  void Untie();

  QTextBrowser* page_;
  QCheckBox* notAtStart_;
  std::function<void(bool)> storeShowAtStart_;
};

}  // namespace vbgen
