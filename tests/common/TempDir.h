// A fresh temporary directory for one test, removed with everything in it at the end.
#pragma once

#include <filesystem>
#include <random>
#include <string>

namespace vbgen::test {

class TTempDir {
 public:
  TTempDir() {
    std::random_device random;
    path_ = std::filesystem::temp_directory_path() /
            ("vbgen-test-" + std::to_string(random()) + std::to_string(random()));
    std::filesystem::create_directories(path_);
  }
  ~TTempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TTempDir(const TTempDir&) = delete;
  TTempDir& operator=(const TTempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace vbgen::test
