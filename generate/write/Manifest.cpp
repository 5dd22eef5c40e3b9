#include "generate/write/Manifest.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <sstream>
#include <thread>

#include "generate/write/FileOperate.h"

namespace vbgen {
namespace fs = std::filesystem;

namespace {

constexpr const char* kStateDir = ".vbgen";
constexpr const char* kManifest = ".vbgen/manifest";
constexpr const char* kRunRecord = ".vbgen/run";

// The path inside the output directory of "projects/{projectName}/{path}".
std::string Inside(const std::string& relativePath, const std::string& prefix) {
  if (relativePath.rfind(prefix, 0) != 0) {
    throw TOutsideProjectError("生成的文件不在工程目录中: " + relativePath);
  }
  return relativePath.substr(prefix.size());
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

TManifest::TManifest(TProjectDir& dir) : dir_(dir), onDisk_(dir.Read(kManifest)) {
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
  if (dir_.Write(kManifest, text, onDisk_)) onDisk_ = std::move(text);
}

bool TManifest::HoldsHandEdit(const std::string& path, const std::string& currentBytes) const {
  auto recorded = Recorded(path);
  return !recorded ||
         (*recorded != FileDigest(currentBytes) && *recorded != ContentHash(currentBytes));
}

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
  const std::string path = Inside(relativePath, dir_.Prefix());
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
  dir_.Write(kRunRecord, record.Text(), dir_.Read(kRunRecord));
}

TLastRunCheck::TLastRunCheck(fs::path home, std::string projectName)
    : home_(std::move(home)), projectName_(std::move(projectName)) {
  try {
    TProjectDir dir(home_, projectName_);
    const std::optional<std::string> text = dir.Read(kRunRecord);
    if (text) record_ = TRunRecord::Parse(*text);
  } catch (const TFileError&) {
    return;  // no record to trust; the run meets the fault where it always does
  }
  if (!record_) return;
  // Two readers share the files: reading them back is most of a rerun.
  const std::size_t count = record_->files.size();
  const std::size_t half = count < 64 ? count : count / 2;
  readers_[0] = std::thread([this, half] { ReadBack(0, 0, half); });
  if (half < count) readers_[1] = std::thread([this, half, count] { ReadBack(1, half, count); });
}

TLastRunCheck::~TLastRunCheck() {
  stop_ = true;
  Join();
}

void TLastRunCheck::Join() {
  for (std::thread& reader : readers_) {
    if (reader.joinable()) reader.join();
  }
}

void TLastRunCheck::ReadBack(int reader, std::size_t begin, std::size_t end) {
  try {
    TProjectDir dir(home_, projectName_);  // each reader has its own view of the directory
    std::string current;                   // one buffer for every file
    for (std::size_t i = begin; i < end && !stop_; ++i) {
      const TRecordedFile& file = record_->files[i];
      if (!dir.ReadInto(file.path, current) || FileDigest(current) != file.digest) {
        holds_[reader] = false;
        stop_ = true;  // one file that changed is enough
      }
    }
  } catch (...) {
    failures_[reader] = std::current_exception();
    stop_ = true;
  }
}

bool TLastRunCheck::FilesHold() {
  Join();
  for (const std::exception_ptr& failure : failures_) {
    if (failure) std::rethrow_exception(failure);
  }
  return record_ && holds_[0] && holds_[1];
}

void TGuardedDiskSink::MakeDirectory(const std::string& relativePath) {
  dir_.MakeDirectories(Inside(relativePath, dir_.Prefix()));
}

void TGuardedDiskSink::Admit(const std::string& relativePath) {
  dir_.Admit(Inside(relativePath, dir_.Prefix()));
}

TPlanSink::TPlanSink(fs::path home, const std::string& projectName)
    : dir_(std::move(home), projectName), manifest_(dir_) {}

void TPlanSink::Write(const std::string& relativePath, std::string bytes) {
  const std::string path = Inside(relativePath, dir_.Prefix());
  const std::optional<std::string> current = dir_.Read(path);
  TPlannedChange change = TPlannedChange::Create;
  if (current && *current == bytes) {
    change = TPlannedChange::Unchanged;
  } else if (current) {
    change = manifest_.HoldsHandEdit(path, *current) ? TPlannedChange::ChangeHandEdit
                                                     : TPlannedChange::Change;
  }
  entries_.push_back({relativePath, change});
}

void TPlanSink::Admit(const std::string& relativePath) {
  dir_.Admit(Inside(relativePath, dir_.Prefix()));
}

}  // namespace vbgen
