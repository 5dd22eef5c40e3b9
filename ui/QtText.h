// Conversions between the model's UTF-8 text and Qt's strings.
#pragma once

#include <QFile>
#include <QString>
#include <filesystem>
#include <string>

namespace vbgen {

inline QString Q(const std::string& utf8) { return QString::fromStdString(utf8); }
inline std::string S(const QString& text) { return text.toStdString(); }
// A path as Qt names it: from the wide native form where paths are UTF-16 (Windows), from the
// bytes as the file system gives them elsewhere (UTF-8 here), so no code page comes between.
inline QString PathText(const std::filesystem::path& path) {
#ifdef _WIN32
  return QString::fromStdWString(path.native());
#else
  return QFile::decodeName(QByteArray::fromStdString(path.native()));
#endif
}
// The same as UTF-8 text, for messages.
inline std::string PathUtf8(const std::filesystem::path& path) { return S(PathText(path)); }

}  // namespace vbgen
