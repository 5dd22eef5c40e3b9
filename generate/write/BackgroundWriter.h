// Hands the files of a run to a thread of their own, so that generating the next file and
// writing the last one overlap (the disk work of a run is about as large as its text work).
// Files and progress lines reach the sink and the listener in the order they were given, from
// the writer's thread; nothing else calls them meanwhile. The writer's first failure stops it:
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

#include "generate/GenContext.h"

namespace vbgen {

class TBackgroundWriter : public TFileSink, public TProgressSink {
 public:
  // At most maxPendingBytes of file contents wait at a time: a generator that runs ahead waits.
  TBackgroundWriter(TFileSink& sink, TProgressSink& progress, std::size_t maxPendingBytes);
  // Writes what is still waiting (unless the writer failed), then stops the thread.
  ~TBackgroundWriter() override;
  TBackgroundWriter(const TBackgroundWriter&) = delete;
  TBackgroundWriter& operator=(const TBackgroundWriter&) = delete;

  void Write(const std::string& relativePath, std::string bytes) override;
  // Converted on whichever thread has less to do: by the writer while few files wait for it,
  // here while more do.
  void WriteText(const std::string& relativePath, std::string&& utf8Text) override;
  void MakeDirectory(const std::string& relativePath) override;
  // Checked at once, after what is waiting has been written: it must come before any write.
  void Admit(const std::string& relativePath) override;
  void Progress(const std::string& line) override;

  // Waits until everything given has been written and said; rethrows the writer's failure.
  void Finish();
  // Whether the generator waits for room at this moment: lets a test that holds the sink see
  // how far ahead the generator got.
  bool GeneratorWaiting() const;

 private:
  enum class TKind { Write, Text, MakeDirectory, Progress };
  struct TItem {
    TKind kind;
    std::string text;    // the path, or the progress line
    std::string bytes;   // what is written; the UTF-8 text of a Text item
    std::string digest;  // of the bytes of a Write item
  };

  void Put(TItem item);
  void Drain(std::unique_lock<std::mutex>& lock);
  template <typename Until>
  void GeneratorWait(std::unique_lock<std::mutex>& lock, Until until);
  void RethrowFailure();
  void Work();
  void Apply(TItem& item);

  TFileSink& sink_;
  TProgressSink& progress_;
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
