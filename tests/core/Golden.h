// Comparing generated files with the golden files under tests/golden.
//
// With VBGEN_UPDATE_GOLDEN=1 in the environment the comparison writes the current output over
// the golden file instead (only when it differs), so a deliberate change of the generated text
// is one run of the suite followed by a review of `git diff tests/golden`.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

namespace vbgen::test {

// True when VBGEN_UPDATE_GOLDEN is set to anything but "" or "0".
bool GoldenUpdateRequested();

// Where two texts part: the first differing line by its number, decoded from GBK to UTF-8,
// with a few lines around it from both sides. Nothing when the bytes are equal.
std::optional<std::string> DescribeFirstDifference(const std::string& expected,
                                                   const std::string& actual);

// Compares `actual` with the golden file `name` in `directory`, or, when `update` is set,
// rewrites that file from `actual`. Failure messages name the file and show the difference.
::testing::AssertionResult CompareWithGolden(const std::filesystem::path& directory,
                                             const std::string& name, const std::string& actual,
                                             bool update);

// The form the suites use: tests/golden of the source tree, updated on request.
::testing::AssertionResult MatchesGolden(const std::string& actual, const std::string& name);

}  // namespace vbgen::test
