// The program's own small window for the user guide: it shows a local page without a browser
// and without taking the focus from the window the user is typing in.
#pragma once

#include <QTextBrowser>
#include <filesystem>

namespace vbgen {

class THelpWindow : public QTextBrowser {
  Q_OBJECT

 public:
  explicit THelpWindow(QWidget* owner = nullptr);

  // Shows the page (again at its top) and leaves the active window active.
  void ShowPage(const std::filesystem::path& page);
};

}  // namespace vbgen
