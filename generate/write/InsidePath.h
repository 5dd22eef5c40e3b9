// Paths inside a project directory: relative, "/" between parts, UTF-8.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vbgen {

// The folder part of a path inside ("" for the root) and its last part.
std::string InsideParent(const std::string& inside);
std::string InsideLastPart(const std::string& inside);

// A path inside the directory names no "." or ".." part, starts with no "/" and has no empty
// part: anything else could point out of it before any link is looked at. On Windows every part
// must also be a name Windows keeps as it is written (WindowsNameProblem).
bool IsPlainInsidePath(const std::string& inside);

// Why Windows would not keep one part of a path as written, or none when it would: a drive
// ("C:"), a separator or another character Windows refuses (\ / : * ? " < > | and controls), a
// device name (CON, PRN, AUX, NUL, COM1 to COM9, LPT1 to LPT9, with any extension: "nul.txt"
// is the device too), or a trailing dot or blank (dropped by Windows, so "a." would be "a").
std::optional<std::string> WindowsNameProblem(std::string_view part);

}  // namespace vbgen
