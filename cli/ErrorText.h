// Messages from SQLite and the C library arrive in English; the user reads Chinese. The
// English stays beside the translation, so that it can still be looked up.
#pragma once

#include <string>

namespace vbgen::cli {

// Every known English error text in the message becomes "中文 (English)"; the rest is unchanged.
std::string InChinese(const std::string& message);

}  // namespace vbgen::cli
