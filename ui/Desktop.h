// Hands web pages and directories to the desktop's default programs. Injected, so tests record
// the requests instead of starting a browser or a file manager.
#pragma once

#include <QPointer>
#include <QUrl>
#include <filesystem>

#include "ui/HelpWindow.h"

namespace vbgen {

class TDesktop {
 public:
  virtual ~TDesktop() = default;
  virtual void OpenUrl(const QUrl& url) = 0;
  virtual void OpenDirectory(const std::filesystem::path& directory) = 0;
};

// The real one: local pages (the user guide) in the program's own help window, other pages in
// the default browser, directories in the file manager.
class TQtDesktop : public TDesktop {
 public:
  TQtDesktop();
  ~TQtDesktop() override;
  // The window the help window belongs to; it is made anew for another owner.
  void SetOwner(QWidget* owner);

  void OpenUrl(const QUrl& url) override;
  void OpenDirectory(const std::filesystem::path& directory) override;

  THelpWindow* HelpWindow() const { return help_; }

 private:
  QWidget* owner_ = nullptr;
  // Owned by owner_ when there is one, which may go first.
  QPointer<THelpWindow> help_;
};

}  // namespace vbgen
