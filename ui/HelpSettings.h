// What the user chose about the help window, kept in vbgen.ini in the data folder so that each
// home (and each test's) has its own.
#pragma once

#include <filesystem>

namespace vbgen {

class THelpSettings {
 public:
  explicit THelpSettings(std::filesystem::path file) : file_(std::move(file)) {}

  // Whether the user guide opens by itself a while after start-up; it does until the user
  // says otherwise.
  bool ShowAtStart() const;
  // Throws, with the file's name, when the choice could not be stored.
  void SetShowAtStart(bool show);

  const std::filesystem::path& File() const { return file_; }

 private:
  std::filesystem::path file_;
};

}  // namespace vbgen
