#include "generate/read/Templates.h"

#include <system_error>

#include "generate/write/FileOperate.h"

namespace vbgen {
namespace fs = std::filesystem;

TTemplates::TTemplates(const fs::path& folder) : folder_(folder) {
  std::error_code error;
  if (!fs::exists(folder, error)) return;
  fs::directory_iterator it(folder, error), end;
  for (; !error && it != end; it.increment(error)) {
    std::error_code kind;
    if (!it->is_regular_file(kind)) continue;
    files_.emplace(it->path().filename().string(), TFileOperate::ReadBytes(it->path()));
  }
  if (error) throw TFileError("无法读取模板目录 " + folder.string() + ": " + error.message());
}

std::string TTemplates::Text(const std::string& name) const {
  const auto found = files_.find(name);
  return found == files_.end() ? std::string() : TFileOperate::TextLines(found->second);
}

const std::string& TTemplates::Bytes(const std::string& name) const {
  const auto found = files_.find(name);
  if (found == files_.end()) throw TFileError("无法读取文件 " + (folder_ / name).string());
  return found->second;
}

}  // namespace vbgen
