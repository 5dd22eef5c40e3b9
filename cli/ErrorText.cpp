#include "cli/ErrorText.h"

#include <utility>

namespace vbgen::cli {
namespace {

// sqlite3_errmsg and strerror texts a user meets: a read-only or full disk, a locked or
// damaged model, a missing folder.
constexpr std::pair<const char*, const char*> kTranslations[] = {
    {"attempt to write a readonly database", "试图写入只读的数据库"},
    {"database is locked", "数据库被另一个程序锁定"},
    {"database disk image is malformed", "数据库文件已损坏"},
    {"file is not a database", "文件不是数据库"},
    {"unable to open database file", "无法打开数据库文件"},
    {"disk I/O error", "磁盘读写错误"},
    {"database or disk is full", "数据库或磁盘已满"},
    {"out of memory", "内存不足"},
    {"Permission denied", "没有权限"},
    {"Read-only file system", "文件系统是只读的"},
    {"No space left on device", "磁盘空间不足"},
    {"No such file or directory", "没有这个文件或目录"},
    {"Not a directory", "不是目录"},
    {"Is a directory", "是一个目录"},
    {"File exists", "文件已存在"},
    {"Too many levels of symbolic links", "符号链接层数过多"},
    {"Operation not permitted", "不允许的操作"},
    {"Disk quota exceeded", "超出磁盘配额"},
};

}  // namespace

std::string InChinese(const std::string& message) {
  std::string text = message;
  for (const auto& [english, chinese] : kTranslations) {
    const std::string replacement = std::string(chinese) + " (" + english + ")";
    for (std::size_t at = text.find(english); at != std::string::npos;
         at = text.find(english, at + replacement.size())) {
      text.replace(at, std::char_traits<char>::length(english), replacement);
    }
  }
  return text;
}

}  // namespace vbgen::cli
