// Hands web pages and directories to the desktop's default programs. Injected, so tests record
// the requests instead of starting a browser or a file manager.
#pragma once

#include <QPointer>
#include <QUrl>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "ui/HelpWindow.h"

namespace vbgen {

// The user guide to show, and the user's choice about showing it at start-up.
struct TGuideRequest {
  std::filesystem::path page;
  TGuideOpening opening = TGuideOpening::Asked;
  bool showAtStart = true;
  // Called when the user changes the choice in the help window.
  std::function<void(bool)> storeShowAtStart;
};

class TDesktop {
 public:
  virtual ~TDesktop() = default;
  virtual void OpenUrl(const QUrl& url) = 0;
  virtual void OpenDirectory(const std::filesystem::path& directory) = 0;
  // Whether this desktop has a file manager to open directories in.
  virtual bool CanOpenDirectories() const { return true; }
  // Unless overridden, the guide opens as any local page does.
  virtual void OpenGuide(const TGuideRequest& request);
};

// The real one: local pages (the user guide) in the program's own help window, other pages in
// the default browser, directories in the file manager.
// A directory is handed to xdg-open (the shell on Windows); a failure, which shows only once it
// has ended, goes to the failure report set (a box of the window), to stderr while none is set.
class TQtDesktop : public TDesktop {
 public:
  TQtDesktop();
  ~TQtDesktop() override;
  // The window the help window belongs to; it is made anew for another owner.
  void SetOwner(QWidget* owner);
  void SetFailureReport(std::function<void(const std::string&)> report);

  void OpenUrl(const QUrl& url) override;
  void OpenDirectory(const std::filesystem::path& directory) override;
  bool CanOpenDirectories() const override;
  void OpenGuide(const TGuideRequest& request) override;

  THelpWindow* HelpWindow() const { return help_; }

 private:
  THelpWindow& Help();
  void ReportFailure(const std::string& message) const;

  QWidget* owner_ = nullptr;
  // Owned by owner_ when there is one, which may go first.
  QPointer<THelpWindow> help_;
  std::function<void(const std::string&)> report_;
  // The receiver of the file manager's end: gone with this desktop, so a late end reports
  // nothing to a report that is gone.
  std::unique_ptr<QObject> context_;
};

}  // namespace vbgen
