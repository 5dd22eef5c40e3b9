// Conversions between the model's UTF-8 text and Qt's strings.
#pragma once

#include <QString>
#include <filesystem>
#include <string>

namespace vbgen {

inline QString Q(const std::string& utf8) { return QString::fromStdString(utf8); }
inline std::string S(const QString& text) { return text.toStdString(); }
// Paths on this platform are UTF-8 bytes.
inline QString PathText(const std::filesystem::path& path) { return Q(path.string()); }

}  // namespace vbgen
