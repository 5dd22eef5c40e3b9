// Hands the files of a run to a thread of their own, so that generating the next file and
// writing the last one overlap (the disk work of a run is about as large as its text work).
// Files and progress lines reach the target in the order they were given, from the writer's
// thread; nothing else calls it meanwhile. The writer's first failure stops it:
// the next call of the generator rethrows it, and so does Finish, so the failure reported is the
// first one and nothing is written after it.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <mutex>
#include <string>
#include <thread>

namespace vbgen {

// Where the writer's thread puts what it was given.
class TWriteTarget {
 public:
  virtual ~TWriteTarget() = default;
  // The bytes of one file, with their FileDigest (RunRecord.h).
  virtual void Store(const std::string& relativePath, std::string bytes,
                     const std::string& digest) = 0;
  virtual void Say(const std::string& line) = 0;
};

class TBackgroundWriter {
 public:
  // At most maxPendingBytes of file contents wait at a time: a generator that runs ahead waits.
  TBackgroundWriter(TWriteTarget& target, std::size_t maxPendingBytes);
  // Writes what is still waiting (unless the writer failed), then stops the thread.
  ~TBackgroundWriter();
  TBackgroundWriter(const TBackgroundWriter&) = delete;
  TBackgroundWriter& operator=(const TBackgroundWriter&) = delete;

  // The digest is worked out here, on the generator's thread: the writer's is the busier one.
  void Write(const std::string& relativePath, std::string bytes);
  void Progress(const std::string& line);

  // Waits until everything given has been written and said; rethrows the writer's failure.
  void Finish();
  // Whether the generator waits for room at this moment: lets a test that holds the sink see
  // how far ahead the generator got.
  bool GeneratorWaiting() const;

 private:
  struct TItem {
    bool isFile;
    std::string text;    // the path, or the progress line
    std::string bytes;   // of a file
    std::string digest;  // of its bytes
  };

  void Put(TItem item);
  void Drain(std::unique_lock<std::mutex>& lock);
  template <typename Until>
  void GeneratorWait(std::unique_lock<std::mutex>& lock, Until until);
  void RethrowFailure();
  void Work();
  void Apply(TItem& item);

  TWriteTarget& target_;
  const std::size_t maxPendingBytes_;

  // Each side wakes the other only when it waits: a run hands over thousands of items.
  mutable std::mutex mutex_;
  std::condition_variable workGiven_;  // the writer waits for items
  std::condition_variable workDone_;   // the generator waits for room, or for the end
  bool writerWaits_ = false;
  bool generatorWaits_ = false;
  std::deque<TItem> pending_;
  std::size_t pendingBytes_ = 0;  // of the items waiting and those the writer holds
  bool busy_ = false;             // the writer holds items
  bool stopping_ = false;
  std::exception_ptr failure_;
  std::thread thread_;
};

}  // namespace vbgen
