// Reading golden files and the shipped data from the source tree.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "generate/FileOperate.h"
#include "generate/GenContext.h"

namespace vbgen::test {

inline std::filesystem::path SourceDir() { return VBGEN_SOURCE_DIR; }
inline std::filesystem::path GoldenDir() { return SourceDir() / "tests" / "golden"; }
inline std::string ReadGolden(const std::string& name) {
  return TFileOperate::ReadBytes(GoldenDir() / name);
}

// Keeps the progress lines of a generator, in order.
class TRecordedProgress : public TProgressSink {
 public:
  void Progress(const std::string& line) override { lines.push_back(line); }
  std::vector<std::string> lines;
};

}  // namespace vbgen::test
