// The writer thread of a run: order, the first failure, and the allowance of waiting bytes.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "generate/Gbk.h"
#include "generate/write/BackgroundWriter.h"
#include "generate/write/FileOperate.h"
#include "generate/write/RunRecord.h"

namespace vbgen::test {
namespace {

// Notes every call in one list, from whichever thread; fails at a chosen write.
class TJournal : public TFileSink, public TProgressSink {
 public:
  void Write(const std::string& path, std::string bytes) override {
    Pause();
    if (path == failAt) throw TFileError("无法写入文件 " + path);
    Note("write " + path + " " + std::to_string(bytes.size()));
  }
  void MakeDirectory(const std::string& path) override { Note("dir " + path); }
  void Admit(const std::string& path) override { Note("admit " + path); }
  void Progress(const std::string& line) override { Note("say " + line); }

  std::vector<std::string> Calls() {
    std::lock_guard lock(mutex_);
    return calls_;
  }
  std::string failAt;
  std::atomic<bool> slow{false};
  std::atomic<std::thread::id> writerThread;

 private:
  void Pause() {
    if (slow) std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  void Note(const std::string& call) {
    writerThread = std::this_thread::get_id();
    std::lock_guard lock(mutex_);
    calls_.push_back(call);
  }
  std::mutex mutex_;
  std::vector<std::string> calls_;
};

TEST(BackgroundWriterTest, EverythingArrivesInTheOrderGivenFromAnotherThread) {
  TJournal journal;
  journal.slow = true;
  std::vector<std::string> expected;
  {
    TBackgroundWriter writer(journal, journal, 1 << 20);
    writer.Admit("a");  // before anything is written
    expected.push_back("admit a");
    for (int i = 0; i < 20; ++i) {
      const std::string name = "f" + std::to_string(i);
      writer.Write(name, std::string(static_cast<std::size_t>(i) * 100, 'x'));
      writer.Progress(name + " done");
      expected.push_back("write " + name + " " + std::to_string(i * 100));
      expected.push_back("say " + name + " done");
    }
    writer.MakeDirectory("pictures");
    expected.push_back("dir pictures");
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
  TBackgroundWriter writer(journal, journal, 1 << 20);
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
  EXPECT_THROW(writer.Admit("late"), TFileError);
  const std::vector<std::string> expected = {"write f0 5",  "say f0 done", "write f1 5",
                                             "say f1 done", "write f2 5",  "say f2 done"};
  EXPECT_EQ(journal.Calls(), expected);  // nothing after the failure, not even its line
}

// A generator that runs ahead waits once the allowance is used up.
class TCountingSink : public TFileSink {
 public:
  void Write(const std::string&, std::string bytes) override {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    written += bytes.size();
  }
  std::atomic<std::size_t> written{0};
};

TEST(BackgroundWriterTest, NoMoreThanTheAllowanceWaits) {
  TCountingSink sink;
  TJournal quiet;
  constexpr std::size_t kAllowance = 10000;
  TBackgroundWriter writer(sink, quiet, kAllowance);
  std::size_t given = 0, mostAhead = 0;
  for (int i = 0; i < 50; ++i) {
    writer.Write("f", std::string(3000, 'x'));
    given += 3000;
    mostAhead = std::max(mostAhead, given - sink.written);
  }
  // What waits, plus the file being written and the one just handed over.
  EXPECT_LE(mostAhead, kAllowance + 2 * 3000);
  writer.Write("big", std::string(5 * kAllowance, 'x'));  // larger than the allowance: still goes
  writer.Finish();
  EXPECT_EQ(sink.written, given + 5 * kAllowance);
}

// A file that does not fit the allowance while the writer sleeps over a few small items: the
// generator must not wait for room that the sleeping writer would never make.
TEST(BackgroundWriterTest, ALargeFileAfterAFewSmallOnesDoesNotStopTheRun) {
  TJournal journal;
  constexpr std::size_t kAllowance = 100000;
  TBackgroundWriter writer(journal, journal, kAllowance);
  std::promise<void> done;
  std::thread generator([&] {
    writer.Write("first", std::string(10, 'x'));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));  // the writer is asleep again
    writer.Write("small", std::string(1000, 'x'));
    writer.Progress("a line");
    writer.Write("large", std::string(kAllowance, 'x'));
    writer.Finish();
    done.set_value();
  });
  if (done.get_future().wait_for(std::chrono::seconds(20)) != std::future_status::ready) {
    std::fprintf(stderr, "the generator still waits for the writer after 20 s\n");
    std::abort();  // the two threads wait for each other: nothing can end them
  }
  generator.join();
  EXPECT_EQ(journal.Calls(), (std::vector<std::string>{"write first 10", "write small 1000",
                                                       "say a line", "write large 100000"}));
}

// Keeps each file's bytes and the digest that came with them.
class TDigestSink : public TFileSink {
 public:
  void Write(const std::string& path, std::string bytes) override {
    WriteDigested(path, bytes, FileDigest(bytes));
  }
  void WriteDigested(const std::string& path, std::string bytes,
                     const std::string& digest) override {
    if (slow) std::this_thread::sleep_for(std::chrono::microseconds(300));
    std::lock_guard lock(mutex);
    files.push_back({path, std::move(bytes), digest});
  }
  struct TFile {
    std::string path, bytes, digest;
  };
  std::mutex mutex;
  std::vector<TFile> files;
  bool slow = false;
};

// Texts are converted by the writer while it keeps up and by the generator while files wait:
// either way each file is the GBK form of its text with CR LF, in the order given.
TEST(BackgroundWriterTest, TextsArriveInGbkWithCrLfWhicheverThreadConvertsThem) {
  for (const bool slowWriter : {false, true}) {
    TDigestSink sink;
    sink.slow = slowWriter;
    TJournal quiet;
    std::vector<std::string> texts;
    {
      TBackgroundWriter writer(sink, quiet, 4000);  // a slow writer soon has files waiting
      for (int i = 0; i < 60; ++i) {
        texts.push_back("Caption = \"图书" + std::to_string(i) + "\"\n" +
                        std::string(static_cast<std::size_t>(i) * 37, 'x') + "\n借阅\n");
        writer.WriteText("f" + std::to_string(i), std::string(texts.back()));
      }
      writer.Finish();
    }
    ASSERT_EQ(sink.files.size(), texts.size()) << slowWriter;
    for (std::size_t i = 0; i < texts.size(); ++i) {
      const auto& file = sink.files[i];
      EXPECT_EQ(file.path, "f" + std::to_string(i));
      EXPECT_EQ(file.bytes, Utf8ToGbkCrLf(texts[i])) << slowWriter << " " << i;
      EXPECT_EQ(file.digest, FileDigest(file.bytes)) << slowWriter << " " << i;
    }
  }
}

// A text without a GBK form is the run's first failure, whichever thread meets it.
TEST(BackgroundWriterTest, ATextWithoutAGbkFormStopsTheRunWhereItStands) {
  TJournal journal;
  TBackgroundWriter writer(journal, journal, 1 << 20);
  writer.WriteText("f0", "图书\n");
  writer.Progress("f0 done");
  writer.WriteText("f1", "Caption = \"\xF0\x9F\x98\x80\"\n");  // an emoji
  writer.Progress("f1 done");
  writer.WriteText("f2", "x\n");
  try {
    writer.Finish();
    ADD_FAILURE() << "the failure was not reported";
  } catch (const TEncodingError& error) {
    EXPECT_NE(std::string(error.what()).find("Caption = "), std::string::npos) << error.what();
  }
  EXPECT_EQ(journal.Calls(), (std::vector<std::string>{"write f0 6", "say f0 done"}));
}

}  // namespace
}  // namespace vbgen::test
