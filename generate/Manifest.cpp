#include "generate/Manifest.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <sstream>

#include "generate/FileOperate.h"

namespace vbgen {
namespace fs = std::filesystem;

namespace {

constexpr const char* kStateDir = ".vbgen";

// The path inside the output directory of "projects/{projectName}/{path}".
std::string Inside(const std::string& relativePath, const std::string& prefix) {
  if (relativePath.rfind(prefix, 0) != 0) {
    throw TFileError("生成的文件不在工程目录中: " + relativePath);
  }
  return relativePath.substr(prefix.size());
}

std::optional<std::string> ReadIfPresent(const fs::path& file) {
  std::error_code error;
  if (!fs::is_regular_file(file, error)) return std::nullopt;
  return TFileOperate::ReadBytes(file);
}

std::string Timestamp() {
  std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
  std::tm local{};
  localtime_r(&now, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
  return text;
}

}  // namespace

// Eight bytes a step: the manifest is computed for every generated file.
std::string ContentHash(const std::string& bytes) {
  std::uint64_t hash = 14695981039346656037ULL ^ bytes.size();
  std::size_t pos = 0;
  for (; pos + 8 <= bytes.size(); pos += 8) {
    std::uint64_t word;
    std::memcpy(&word, bytes.data() + pos, 8);
    hash = (hash ^ word) * 1099511628211ULL;
    hash ^= hash >> 29;
  }
  for (; pos < bytes.size(); ++pos) {
    hash = (hash ^ static_cast<unsigned char>(bytes[pos])) * 1099511628211ULL;
  }
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
  return text;
}

TManifest::TManifest(fs::path outputDir) : outputDir_(std::move(outputDir)) {
  std::istringstream lines(TFileOperate::ReadTextFile(outputDir_ / kStateDir / "manifest"));
  std::string line;
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::size_t tab = line.find('\t');
    if (tab != std::string::npos) hashes_[line.substr(tab + 1)] = line.substr(0, tab);
  }
}

std::optional<std::string> TManifest::Recorded(const std::string& path) const {
  auto found = hashes_.find(path);
  if (found == hashes_.end()) return std::nullopt;
  return found->second;
}

void TManifest::Save() const {
  std::string text;
  for (const auto& [path, hash] : hashes_) text += hash + "\t" + path + "\n";
  TFileOperate::WriteTextFile(outputDir_ / kStateDir, outputDir_ / kStateDir / "manifest", text);
}

bool TManifest::HoldsHandEdit(const std::string& path, const std::string& currentBytes) const {
  auto recorded = Recorded(path);
  return !recorded || *recorded != ContentHash(currentBytes);
}

TGuardedDiskSink::TGuardedDiskSink(fs::path home, const std::string& projectName,
                                   TProgressSink& progress)
    : home_(std::move(home)),
      prefix_("projects/" + projectName + "/"),
      manifest_(home_ / "projects" / projectName),
      progress_(progress) {}

fs::path TGuardedDiskSink::BackupDir() {
  if (backupDir_.empty()) {
    fs::path base = manifest_.OutputDir() / kStateDir / "backup";
    std::string stamp = Timestamp();
    backupDir_ = base / stamp;
    for (int n = 2; fs::exists(backupDir_); ++n)
      backupDir_ = base / (stamp + "-" + std::to_string(n));
  }
  return backupDir_;
}

void TGuardedDiskSink::Write(const std::string& relativePath, const std::string& bytes) {
  const std::string path = Inside(relativePath, prefix_);
  const fs::path target = manifest_.OutputDir() / fs::path(path);
  if (auto current = ReadIfPresent(target);
      current && *current != bytes && manifest_.HoldsHandEdit(path, *current)) {
    const fs::path backup = BackupDir() / fs::path(path);
    TFileOperate::WriteTextFile(backup.parent_path(), backup, *current);
    progress_.Progress("已备份手工修改过的文件: " + relativePath + " -> " +
                       fs::relative(backup, home_).generic_string());
  }
  TFileOperate::WriteTextFile(target.parent_path(), target, bytes);
  manifest_.Record(path, ContentHash(bytes));
}

TPlanSink::TPlanSink(fs::path home, const std::string& projectName)
    : home_(std::move(home)),
      prefix_("projects/" + projectName + "/"),
      manifest_(home_ / "projects" / projectName) {}

void TPlanSink::Write(const std::string& relativePath, const std::string& bytes) {
  const std::string path = Inside(relativePath, prefix_);
  auto current = ReadIfPresent(manifest_.OutputDir() / fs::path(path));
  TPlannedChange change = TPlannedChange::Create;
  if (current && *current == bytes) {
    change = TPlannedChange::Unchanged;
  } else if (current) {
    change = manifest_.HoldsHandEdit(path, *current) ? TPlannedChange::ChangeHandEdit
                                                     : TPlannedChange::Change;
  }
  entries_.push_back({relativePath, change});
}

}  // namespace vbgen
