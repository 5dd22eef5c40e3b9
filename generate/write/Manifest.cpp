#include "generate/write/Manifest.h"

#include <sstream>

#include "generate/write/EarlierDigests.h"
#include "generate/write/RunRecord.h"

namespace vbgen {

std::string InsideProject(const std::string& relativePath, const std::string& prefix) {
  if (relativePath.rfind(prefix, 0) != 0) {
    throw TOutsideProjectError("生成的文件不在工程目录中: " + relativePath);
  }
  return relativePath.substr(prefix.size());
}

TManifest::TManifest(TProjectDir& dir) : dir_(dir), onDisk_(dir.Read(kManifestFile)) {
  std::istringstream lines(onDisk_.value_or(std::string()));
  std::string line;
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::size_t tab = line.find('\t');
    if (tab != std::string::npos) digests_[line.substr(tab + 1)] = line.substr(0, tab);
  }
}

std::optional<std::string> TManifest::Recorded(const std::string& path) const {
  auto found = digests_.find(path);
  if (found == digests_.end()) return std::nullopt;
  return found->second;
}

std::string TManifest::Text() const {
  std::string text;
  for (const auto& [path, digest] : digests_) text += digest + "\t" + path + "\n";
  return text;
}

void TManifest::Record(const std::string& path, const std::string& digest) {
  auto [entry, added] = digests_.try_emplace(path, digest);
  if (added || entry->second != digest) {
    entry->second = digest;
    changed_ = true;
  }
}

void TManifest::Save() {
  if (onDisk_ && !changed_) return;  // a run that changed nothing leaves the file alone
  std::string text = Text();
  if (dir_.Write(kManifestFile, text, onDisk_)) onDisk_ = std::move(text);
}

bool TManifest::HoldsHandEdit(const std::string& path, const std::string& currentBytes) const {
  auto recorded = Recorded(path);
  return !recorded ||
         (*recorded != FileDigest(currentBytes) && !EarlierDigestOf(*recorded, currentBytes));
}

}  // namespace vbgen
