#include "generate/write/BackgroundWriter.h"

#include "generate/write/RunRecord.h"

namespace vbgen {

namespace {
constexpr std::size_t kWakeItems = 16;
}  // namespace

TBackgroundWriter::TBackgroundWriter(TWriteTarget& target, std::size_t maxPendingBytes)
    : target_(target), maxPendingBytes_(maxPendingBytes), thread_([this] { Work(); }) {}

TBackgroundWriter::~TBackgroundWriter() {
  {
    std::unique_lock lock(mutex_);
    Drain(lock);
    stopping_ = true;
  }
  workGiven_.notify_one();
  thread_.join();
}

void TBackgroundWriter::Write(const std::string& relativePath, std::string bytes) {
  std::string digest = FileDigest(bytes);
  Put({true, relativePath, std::move(bytes), std::move(digest)});
}

void TBackgroundWriter::Progress(const std::string& line) { Put({false, line, {}, {}}); }

void TBackgroundWriter::Finish() {
  {
    std::unique_lock lock(mutex_);
    Drain(lock);
  }
  RethrowFailure();
}

template <typename Until>
void TBackgroundWriter::GeneratorWait(std::unique_lock<std::mutex>& lock, Until until) {
  while (!until()) {
    // A writer asleep on a short list would never make the room waited for: it is woken
    // first, however little waits.
    if (writerWaits_ && !pending_.empty()) workGiven_.notify_one();
    generatorWaits_ = true;
    workDone_.wait(lock);
    generatorWaits_ = false;
  }
}

bool TBackgroundWriter::GeneratorWaiting() const {
  std::lock_guard lock(mutex_);
  return generatorWaits_;
}

void TBackgroundWriter::Put(TItem item) {
  bool wake = false;
  {
    std::unique_lock lock(mutex_);
    // A file larger than the allowance still goes, once nothing else waits. A generator that
    // has to wait waits until half the allowance is free, so the two take turns in long
    // stretches rather than one file at a time.
    const auto fits = [&] {
      return failure_ || pendingBytes_ == 0 ||
             pendingBytes_ + item.bytes.size() <= maxPendingBytes_;
    };
    if (!fits()) {
      GeneratorWait(lock, [&] {
        return failure_ || pendingBytes_ == 0 || (pendingBytes_ <= maxPendingBytes_ / 2 && fits());
      });
    }
    if (!failure_) {
      pendingBytes_ += item.bytes.size();
      pending_.push_back(std::move(item));
      // A waiting writer is woken for a good stretch of work, not for every line.
      wake =
          writerWaits_ && (pending_.size() >= kWakeItems || pendingBytes_ >= maxPendingBytes_ / 4);
    }
  }
  if (wake) workGiven_.notify_one();
  RethrowFailure();
}

void TBackgroundWriter::Drain(std::unique_lock<std::mutex>& lock) {
  GeneratorWait(lock, [&] { return failure_ || (pending_.empty() && !busy_); });
}

void TBackgroundWriter::RethrowFailure() {
  std::exception_ptr failure;
  {
    std::lock_guard lock(mutex_);
    failure = failure_;
  }
  if (failure) std::rethrow_exception(failure);
}

// Takes everything waiting at once and applies it outside the lock; the room each item leaves
// is given back as soon as it is written.
void TBackgroundWriter::Work() {
  std::deque<TItem> batch;
  std::unique_lock lock(mutex_);
  while (true) {
    while (!stopping_ && pending_.empty()) {
      writerWaits_ = true;
      workGiven_.wait(lock);
      writerWaits_ = false;
    }
    if (pending_.empty()) return;  // stopping, with nothing left
    batch.swap(pending_);
    busy_ = true;
    std::exception_ptr failure;
    while (!batch.empty() && !failure) {
      lock.unlock();
      const std::size_t size = batch.front().bytes.size();
      try {
        Apply(batch.front());
      } catch (...) {
        failure = std::current_exception();
      }
      lock.lock();
      pendingBytes_ -= size;
      batch.pop_front();
      if (generatorWaits_ && pendingBytes_ <= maxPendingBytes_ / 2) workDone_.notify_one();
    }
    busy_ = false;
    if (failure) {
      failure_ = failure;
      batch.clear();
      pending_.clear();  // nothing is written after the first failure
      pendingBytes_ = 0;
    }
    if (generatorWaits_) workDone_.notify_one();
  }
}

void TBackgroundWriter::Apply(TItem& item) {
  if (item.isFile) return target_.Store(item.text, std::move(item.bytes), item.digest);
  target_.Say(item.text);
}

}  // namespace vbgen
