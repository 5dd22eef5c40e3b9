// Hands web pages and directories to the desktop's default programs. Injected, so tests record
// the requests instead of starting a browser or a file manager.
#pragma once

#include <QUrl>
#include <filesystem>

namespace vbgen {

class TDesktop {
 public:
  virtual ~TDesktop() = default;
  virtual void OpenUrl(const QUrl& url) = 0;
  virtual void OpenDirectory(const std::filesystem::path& directory) = 0;
};

// The real one: the desktop's default browser and file manager.
class TQtDesktop : public TDesktop {
 public:
  void OpenUrl(const QUrl& url) override;
  void OpenDirectory(const std::filesystem::path& directory) override;
};

}  // namespace vbgen
