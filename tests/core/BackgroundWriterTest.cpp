// The writer thread of a run: order, the first failure, and the allowance of waiting bytes.
#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "generate/write/BackgroundWriter.h"
#include "generate/write/FileOperate.h"
#include "generate/write/RunRecord.h"

namespace vbgen::test {
namespace {

// A state several threads wait on: each change wakes every waiter, who checks its condition
// again. The tests hold the writer or the generator at a chosen point this way, never for a
// chosen time.
class TSignal {
 public:
  void Change(const std::function<void()>& change) {
    {
      std::lock_guard lock(mutex_);
      change();
    }
    changed_.notify_all();
  }
  void WaitUntil(const std::function<bool()>& condition) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, condition);
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
};

// A sink's writes wait at the gate while it is shut.
class TGate {
 public:
  void Shut() {
    signal_.Change([this] { open_ = false; });
  }
  void Open() {
    signal_.Change([this] { open_ = true; });
  }
  void Pass() {
    signal_.WaitUntil([this] { return open_; });
  }

 private:
  TSignal signal_;
  bool open_ = true;
};

// Notes every call in one list, from whichever thread; fails at a chosen write.
class TJournal : public TWriteTarget {
 public:
  void Store(const std::string& path, std::string bytes, const std::string& digest) override {
    gate.Pass();
    if (path == failAt) throw TFileError("无法写入文件 " + path);
    if (digest != FileDigest(bytes)) throw std::logic_error("a wrong digest for " + path);
    Note("write " + path + " " + std::to_string(bytes.size()));
  }
  void Say(const std::string& line) override { Note("say " + line); }

  std::vector<std::string> Calls() { return Snapshot(); }
  std::string failAt;
  TGate gate;
  std::atomic<std::thread::id> writerThread;

 private:
  void Note(const std::string& call) {
    writerThread = std::this_thread::get_id();
    noted_.Change([&] { calls_.push_back(call); });
  }
  std::vector<std::string> Snapshot() {
    std::vector<std::string> calls;
    noted_.Change([&] { calls = calls_; });
    return calls;
  }
  TSignal noted_;
  std::vector<std::string> calls_;
};

TEST(BackgroundWriterTest, EverythingArrivesInTheOrderGivenFromAnotherThread) {
  TJournal journal;
  journal.gate.Shut();  // everything below waits in the writer's queue until the gate opens
  std::vector<std::string> expected;
  {
    TBackgroundWriter writer(journal, 1 << 20);
    for (int i = 0; i < 20; ++i) {
      const std::string name = "f" + std::to_string(i);
      writer.Write(name, std::string(static_cast<std::size_t>(i) * 100, 'x'));
      writer.Progress(name + " done");
      expected.push_back("write " + name + " " + std::to_string(i * 100));
      expected.push_back("say " + name + " done");
    }
    journal.gate.Open();
    writer.Finish();
    EXPECT_EQ(journal.Calls(), expected);  // Finish waited for all of it
    writer.Write("last", "x");
    expected.push_back("write last 1");
  }  // leaving writes what still waits
  EXPECT_EQ(journal.Calls(), expected);
  EXPECT_NE(journal.writerThread.load(), std::this_thread::get_id());
}

TEST(BackgroundWriterTest, TheFirstFailureStopsTheWriterAndReachesTheGenerator) {
  TJournal journal;
  journal.failAt = "f3";
  TBackgroundWriter writer(journal, 1 << 20);
  // The generator may well be done before the writer fails: Finish tells it then.
  for (int i = 0; i < 6; ++i) {
    writer.Write("f" + std::to_string(i), "bytes");
    writer.Progress("f" + std::to_string(i) + " done");
  }
  try {
    writer.Finish();
    ADD_FAILURE() << "the failure was not reported";
  } catch (const TFileError& error) {
    EXPECT_STREQ(error.what(), "无法写入文件 f3");
  }
  // Once it has failed, every later call says so.
  EXPECT_THROW(writer.Write("f9", "bytes"), TFileError);
  EXPECT_THROW(writer.Progress("f9 done"), TFileError);
  const std::vector<std::string> expected = {"write f0 5",  "say f0 done", "write f1 5",
                                             "say f1 done", "write f2 5",  "say f2 done"};
  EXPECT_EQ(journal.Calls(), expected);  // nothing after the failure, not even its line
}

// A generator that runs ahead waits once the allowance is used up. The sink writes one file
// each time the test lets it, and the test lets it only when the generator waits for room or
// has given everything: so the distance is measured when the generator is as far ahead as it
// can get.
class TCountingSink : public TWriteTarget {
 public:
  void Store(const std::string&, std::string bytes, const std::string&) override {
    progress.WaitUntil([this] { return permits > 0; });
    progress.Change([&] {
      --permits;
      written += bytes.size();
    });
  }
  void Say(const std::string&) override {}
  TSignal progress;  // guards everything below
  std::size_t permits = 0, written = 0, given = 0;
  bool allGiven = false;
};

TEST(BackgroundWriterTest, NoMoreThanTheAllowanceWaits) {
  TCountingSink sink;
  constexpr std::size_t kAllowance = 10000, kFile = 3000, kFiles = 50;
  TBackgroundWriter writer(sink, kAllowance);
  std::thread generator([&] {
    for (std::size_t i = 0; i < kFiles; ++i) {
      writer.Write("f", std::string(kFile, 'x'));
      sink.progress.Change([&] { sink.given += kFile; });
    }
    sink.progress.Change([&] { sink.allGiven = true; });
  });
  const auto generatorStopped = [&] {
    bool allGiven = false;
    sink.progress.Change([&] { allGiven = sink.allGiven; });
    return allGiven || writer.GeneratorWaiting();
  };
  std::size_t mostAhead = 0;
  for (std::size_t i = 0; i < kFiles; ++i) {
    while (!generatorStopped()) std::this_thread::yield();
    sink.progress.Change([&] {
      mostAhead = std::max(mostAhead, sink.given - sink.written);
      ++sink.permits;
    });
  }
  generator.join();
  EXPECT_GT(mostAhead, kAllowance - kFile);  // it did run ahead
  EXPECT_LE(mostAhead, kAllowance);
  sink.progress.Change([&] { ++sink.permits; });          // for the large file
  writer.Write("big", std::string(5 * kAllowance, 'x'));  // larger than the allowance: still goes
  writer.Finish();
  EXPECT_EQ(sink.written, kFiles * kFile + 5 * kAllowance);
}

// A file that does not fit the allowance while the writer sleeps over a few small items: the
// generator must not wait for room that the sleeping writer would never make.
TEST(BackgroundWriterTest, ALargeFileAfterAFewSmallOnesDoesNotStopTheRun) {
  TJournal journal;
  constexpr std::size_t kAllowance = 100000;
  TBackgroundWriter writer(journal, kAllowance);
  // Too little to wake the writer, which has waited for work since it started.
  writer.Write("first", std::string(10, 'x'));
  writer.Write("small", std::string(1000, 'x'));
  writer.Progress("a line");
  // A writer that waited for room here would never return (the test's time limit ends it).
  writer.Write("large", std::string(kAllowance, 'x'));
  writer.Finish();
  EXPECT_EQ(journal.Calls(), (std::vector<std::string>{"write first 10", "write small 1000",
                                                       "say a line", "write large 100000"}));
}

}  // namespace
}  // namespace vbgen::test
