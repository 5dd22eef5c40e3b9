#include "generate/write/LastRunCheck.h"

#include "generate/write/Manifest.h"
#include "generate/write/ProjectDir.h"

namespace vbgen {
namespace fs = std::filesystem;

TLastRunCheck::TLastRunCheck(fs::path home, std::string projectName)
    : home_(std::move(home)), projectName_(std::move(projectName)) {
  try {
    TProjectDir dir(home_, projectName_);
    const std::optional<std::string> text = dir.Read(kRunRecordFile);
    if (text) record_ = TRunRecord::Parse(*text);
    if (record_) recordStamp_ = dir.Stamp(kRunRecordFile);
  } catch (const TFileError&) {
    return;  // no record to trust; the run meets the fault where it always does
  }
  if (!record_) return;
  // Two readers share the files: where stamps cannot tell, reading them back is most of a rerun.
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
      if (StandsAsRecorded(dir, file)) continue;
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

bool TLastRunCheck::StandsAsRecorded(TProjectDir& dir, const TRecordedFile& file) const {
  // Written before the tick the record was written in: a later write would show.
  if (!file.stamp || !recordStamp_ || file.stamp->modified >= recordStamp_->modified) return false;
  return dir.Stamp(file.path) == file.stamp;
}

bool TLastRunCheck::FilesHold() {
  Join();
  for (const std::exception_ptr& failure : failures_) {
    if (failure) std::rethrow_exception(failure);
  }
  return record_ && holds_[0] && holds_[1];
}

}  // namespace vbgen
