// Whether the files of the last complete run still hold what it wrote.
#pragma once

#include <atomic>
#include <exception>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>

#include "generate/write/RunRecord.h"

namespace vbgen {

// The record the last complete run left in a project's directory, and whether its files still
// hold the bytes it names. The record is read at once; the files are looked at on threads of
// their own, so the run can read its model meanwhile. Only reads.
//
// A file whose stamp is still the one recorded is taken as unchanged without reading it. Only a
// file written within the same tick of the clock as the record could keep its stamp through a
// change (same size, same time, same file), so such a file is read and its digest compared.
// Should anything else keep a changed file's stamp (its time set back by hand), nothing is
// lost: the run leaves the file as it is, and the manifest still names the bytes generated, so
// the next run that writes the file backs the change up first.
class TLastRunCheck {
 public:
  TLastRunCheck(std::filesystem::path home, std::string projectName);
  ~TLastRunCheck();  // stops the readers and waits for them
  TLastRunCheck(const TLastRunCheck&) = delete;
  TLastRunCheck& operator=(const TLastRunCheck&) = delete;

  const std::string& ProjectName() const { return projectName_; }
  // None when there is none, or it cannot be read or trusted (a run then generates everything,
  // and meets any fault of the directory where it always does).
  const std::optional<TRunRecord>& Record() const { return record_; }
  // Waits for the readers: true when every file holds its bytes. Rethrows what stopped a
  // reader (a link that leads out of the directory, say).
  bool FilesHold();

 private:
  void ReadBack(int reader, std::size_t begin, std::size_t end);
  bool StandsAsRecorded(TProjectDir& dir, const TRecordedFile& file) const;
  void Join();

  std::filesystem::path home_;
  std::string projectName_;
  std::optional<TRunRecord> record_;
  std::optional<TFileStamp> recordStamp_;  // of the record's own file
  std::atomic<bool> stop_{false};
  bool holds_[2] = {true, true};
  std::exception_ptr failures_[2];
  std::thread readers_[2];
};

}  // namespace vbgen
