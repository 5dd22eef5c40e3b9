#include "generate/write/ProjectWriter.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <set>

#include "model/Utf8Path.h"

namespace vbgen {
namespace fs = std::filesystem;

namespace {

// Enough files waiting to keep the writer busy, few enough to keep a run's memory small.
constexpr std::size_t kMaxPendingBytes = 256 * 1024;

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

std::string FolderOf(const std::string& inside) {
  const std::size_t slash = inside.rfind('/');
  return slash == std::string::npos ? std::string() : inside.substr(0, slash);
}

}  // namespace

std::vector<TFileOperate::TTreeEntry> SupportToCopy(const fs::path& projectRoot,
                                                    const TFileOperate::TTreeListing& support,
                                                    const std::vector<std::string>& generated) {
  const std::set<std::string> generatedNames(generated.begin(), generated.end());
  std::vector<TFileOperate::TTreeEntry> copies;
  for (const auto& entry : support.entries) {
    const bool topLevelFile = !entry.isDirectory && entry.relative.find('/') == std::string::npos;
    if (topLevelFile) {
      if (generatedNames.count(entry.relative)) continue;
      std::error_code error;
      if (fs::exists(fs::symlink_status(projectRoot / Utf8Path(entry.relative), error))) continue;
    }
    copies.push_back(entry);
  }
  return copies;
}

TProjectWriter::TProjectWriter(fs::path home, std::string projectName, TProgressSink& progress)
    : home_(std::move(home)), projectName_(std::move(projectName)), progress_(progress) {
  lastRun_.emplace(home_, projectName_);
}

TProjectWriter::~TProjectWriter() {
  // What still waits is written first: the thread notes into members declared after it, which
  // would otherwise go before it.
  writer_.reset();
  if (provisional_) dir_->DropBuild();
}

std::optional<std::vector<std::string>> TProjectWriter::CheckedBefore(
    const std::string& fingerprint) const {
  const std::optional<TRunRecord>& record = lastRun_->Record();
  if (!record || record->inputs != fingerprint) return std::nullopt;
  return record->problems;
}

bool TProjectWriter::LastRunHolds(const std::string& fingerprint,
                                  std::vector<std::string> generated) {
  const std::optional<TRunRecord>& record = lastRun_->Record();
  if (!record || record->inputs != fingerprint) return false;
  std::vector<std::string> recorded;
  for (const TRecordedFile& file : record->files) recorded.push_back(file.path);
  std::sort(recorded.begin(), recorded.end());
  std::sort(generated.begin(), generated.end());
  return recorded == generated && lastRun_->FilesHold();
}

void TProjectWriter::Open() {
  dir_.emplace(home_, projectName_);
  manifest_.emplace(*dir_);
  dir_->RemoveAbandonedBuilds();
}

bool TProjectWriter::BeginProvisional() {
  try {
    // A directory that is there is left to Begin, which opens it once (a rerun's case).
    if (!TProjectDir(home_, projectName_).Exists()) {
      Open();
      provisional_ = dir_->BuildNew();
    }
  } catch (const TFileError&) {
    // Not lost: the run checks its model, then opens the directory again, and fails on it
    // in its usual order, with this message.
  }
  if (!provisional_) {
    dir_.reset();
    manifest_.reset();
    return false;
  }
  lastRun_.reset();  // a directory that was not there held no last run
  TWriteTarget& target = *this;
  writer_ = std::make_unique<TBackgroundWriter>(target, kMaxPendingBytes);
  return true;
}

std::vector<TFileOperate::TTreeEntry> TProjectWriter::Begin(
    const std::vector<std::string>& generated, const TFileOperate::TTreeListing& support,
    bool lastRunHolds) {
  if (!lastRunHolds) lastRun_.reset();  // nothing to confirm: the readers stop first
  const bool begun = provisional_;
  provisional_ = false;
  if (!begun) Open();
  std::vector<TFileOperate::TTreeEntry> copies = SupportToCopy(dir_->Root(), support, generated);
  dir_->RemoveLeftovers(kStateDir, true);
  // Files that still hold what the last run wrote are only read (links followed while they stay
  // inside, as for any read); otherwise every path is checked before the first file is written:
  // a link that leads out of the directory stops the run with nothing written.
  if (!lastRunHolds) {
    for (const std::string& name : generated) dir_->Admit(name);
  }
  for (const auto& entry : copies) dir_->Admit(entry.relative);
  adopted_ = lastRunHolds;
  TWriteTarget& target = *this;
  if (!lastRunHolds && !writer_) {
    writer_ = std::make_unique<TBackgroundWriter>(target, kMaxPendingBytes);
  }
  return copies;
}

void TProjectWriter::AdoptLastRun() {
  const TRunRecord& record = *lastRun_->Record();
  for (const TRecordedFile& file : record.files) {
    dir_->RemoveLeftoversOnce(FolderOf(file.path));
    manifest_->Record(file.path, file.digest);
  }
  for (const std::string& line : record.progress) progress_.Progress(line);
}

void TProjectWriter::Write(const std::string& relativePath, std::string bytes) {
  if (provisional_) {
    provisionalDigests_.emplace(relativePath, FileDigest(bytes));
  } else if (const auto found = provisionalDigests_.find(relativePath);
             found != provisionalDigests_.end() && found->second == FileDigest(bytes)) {
    return;
  }
  if (writer_) return writer_->Write(relativePath, std::move(bytes));
  const std::string digest = FileDigest(bytes);
  WriteFile(InsideProject(relativePath, dir_->Prefix()), bytes, digest);
}

void TProjectWriter::Progress(const std::string& line) {
  if (writer_) return writer_->Progress(line);
  progress_.Progress(line);
}

// Only the writer's thread comes here.
void TProjectWriter::Say(const std::string& line) {
  made_.progress.push_back(line);
  progress_.Progress(line);
}

// Only the writer's thread comes here.
void TProjectWriter::Store(const std::string& relativePath, std::string bytes,
                           const std::string& digest) {
  const std::string path = InsideProject(relativePath, dir_->Prefix());
  WriteFile(path, bytes, digest);
  // Stamped once written, before the record is: see TLastRunCheck.
  made_.files.push_back({path, digest, dir_->Stamp(path)});
}

void TProjectWriter::WriteFile(const std::string& path, const std::string& bytes,
                               const std::string& digest) {
  const std::optional<std::string> current = dir_->Read(path);
  if (current && *current != bytes && manifest_->HoldsHandEdit(path, *current)) {
    const std::string backup = BackupDir() + "/" + path;
    dir_->Write(backup, *current, std::nullopt);
    progress_.Progress("已备份手工修改过的文件: " + dir_->Prefix() + path + " -> " +
                       dir_->Prefix() + backup);
  }
  dir_->Write(path, bytes, current);
  manifest_->Record(path, digest);
}

std::string TProjectWriter::BackupDir() {
  if (backupDir_.empty()) {
    const std::string base = std::string(kStateDir) + "/backup/" + Timestamp();
    std::string candidate = base;
    for (int n = 2; !dir_->MakeNewDirectory(candidate); ++n) {
      candidate = base + "-" + std::to_string(n);
    }
    backupDir_ = candidate;
  }
  return backupDir_;
}

void TProjectWriter::EndGenerated() {
  if (!writer_) return;
  writer_->Finish();
  writer_.reset();
}

void TProjectWriter::MakeFolder(const std::string& relativePath) {
  dir_->MakeDirectories(InsideProject(relativePath, dir_->Prefix()));
}

void TProjectWriter::Finish(const std::string& fingerprint, std::vector<std::string> problems,
                            bool complete) {
  EndGenerated();
  manifest_->Save();
  if (complete && !adopted_) {
    made_.inputs = fingerprint;
    made_.problems = std::move(problems);
    dir_->Write(kRunRecordFile, made_.Text(), dir_->Read(kRunRecordFile));
  }
  dir_->Publish();
}

void TProjectWriter::Abandon() noexcept {
  writer_.reset();  // what still waits is written, unless the writer failed
  if (!dir_) return;
  try {
    if (manifest_) manifest_->Save();
  } catch (const std::exception& error) {
    progress_.Progress(std::string("未能保存生成记录: ") + error.what());
  }
  try {
    dir_->Publish();
  } catch (const std::exception& error) {
    progress_.Progress(error.what());
  }
}

}  // namespace vbgen
