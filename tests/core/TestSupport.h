// The source tree (golden files, shipped data) and small helpers shared by the suites.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "generate/GenContext.h"
#include "generate/write/FileOperate.h"

namespace vbgen::test {

inline std::filesystem::path SourceDir() { return VBGEN_SOURCE_DIR; }
inline std::filesystem::path GoldenDir() { return SourceDir() / "tests" / "golden"; }

// Keeps the progress lines of a generator, in order.
class TRecordedProgress : public TProgressSink {
 public:
  void Progress(const std::string& line) override { lines.push_back(line); }
  std::vector<std::string> lines;
};

}  // namespace vbgen::test
