// Reading golden files and the shipped data from the source tree.
#pragma once

#include <filesystem>
#include <string>

#include "generate/FileOperate.h"

namespace vbgen::test {

inline std::filesystem::path SourceDir() { return VBGEN_SOURCE_DIR; }
inline std::filesystem::path GoldenDir() { return SourceDir() / "tests" / "golden"; }
inline std::string ReadGolden(const std::string& name) {
  return TFileOperate::ReadBytes(GoldenDir() / name);
}

}  // namespace vbgen::test
