#include "generate/write/GuardedDiskSink.h"

#include <chrono>
#include <ctime>

namespace vbgen {
namespace fs = std::filesystem;

namespace {

// The local date and time, as a backup folder is named.
std::string Timestamp() {
  std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
  std::tm local{};
#if defined(_WIN32)
  localtime_s(&local, &now);
#else
  localtime_r(&now, &local);
#endif
  char text[32];
  std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
  return text;
}

}  // namespace

TGuardedDiskSink::TGuardedDiskSink(fs::path home, const std::string& projectName,
                                   TProgressSink& progress)
    : dir_(std::move(home), projectName), manifest_(dir_), progress_(progress) {
  dir_.RemoveAbandonedBuilds();
  dir_.RemoveLeftovers(kStateDir, true);
}

std::string TGuardedDiskSink::BackupDir() {
  if (backupDir_.empty()) {
    const std::string base = std::string(kStateDir) + "/backup/" + Timestamp();
    std::string candidate = base;
    for (int n = 2; !dir_.MakeNewDirectory(candidate); ++n) {
      candidate = base + "-" + std::to_string(n);
    }
    backupDir_ = candidate;
  }
  return backupDir_;
}

void TGuardedDiskSink::Write(const std::string& relativePath, std::string bytes) {
  const std::string digest = FileDigest(bytes);
  WriteDigested(relativePath, std::move(bytes), digest);
}

void TGuardedDiskSink::WriteDigested(const std::string& relativePath, std::string bytes,
                                     const std::string& digest) {
  const std::string path = InsideProject(relativePath, dir_.Prefix());
  const std::optional<std::string> current = dir_.Read(path);
  if (current && *current != bytes && manifest_.HoldsHandEdit(path, *current)) {
    const std::string backup = BackupDir() + "/" + path;
    dir_.Write(backup, *current, std::nullopt);
    progress_.Progress("已备份手工修改过的文件: " + relativePath + " -> " + dir_.Prefix() + backup);
  }
  dir_.Write(path, bytes, current);
  if (noted_) noted_->files.push_back({path, digest});
  manifest_.Record(path, digest);
}

void TGuardedDiskSink::AdoptConfirmed(const TRunRecord& record) {
  for (const TRecordedFile& file : record.files) {
    const std::size_t slash = file.path.rfind('/');
    dir_.RemoveLeftoversOnce(slash == std::string::npos ? std::string()
                                                        : file.path.substr(0, slash));
    manifest_.Record(file.path, file.digest);
  }
}

void TGuardedDiskSink::SaveRunRecord(const TRunRecord& record) {
  dir_.Write(kRunRecordFile, record.Text(), dir_.Read(kRunRecordFile));
}

void TGuardedDiskSink::MakeDirectory(const std::string& relativePath) {
  dir_.MakeDirectories(InsideProject(relativePath, dir_.Prefix()));
}

void TGuardedDiskSink::Admit(const std::string& relativePath) {
  dir_.Admit(InsideProject(relativePath, dir_.Prefix()));
}

}  // namespace vbgen
