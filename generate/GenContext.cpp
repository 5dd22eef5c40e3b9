#include "generate/GenContext.h"

#include <condition_variable>
#include <exception>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "generate/Gbk.h"
#include "generate/ModelSnapshot.h"
#include "generate/RunRecord.h"

namespace vbgen {

void WriteGeneratedForm(TGenContext& context, const std::string& fileName,
                        const std::string& utf8Text) {
  std::string path = context.OutputPath(fileName);
  context.sink.Write(path, Utf8ToGbkCrLf(utf8Text));
  context.progress.Progress(path + "生成完毕!");
}

namespace {

// One form made for writing: its bytes and their digest, or what stopped the making.
struct TMadeForm {
  std::string bytes;
  std::string digest;
  std::exception_ptr failure;
  bool ready = false;
};

void Make(const std::function<std::string(const TClassModel&)>& text, const TClassModel& entry,
          TMadeForm& made) {
  try {
    made.bytes = Utf8ToGbkCrLf(text(entry));
    made.digest = FileDigest(made.bytes);
  } catch (...) {
    made.failure = std::current_exception();
  }
}

// A second thread that makes every other form (the odd places of the class order), at most
// kAhead of them before they are taken.
class THelperMaker {
 public:
  static constexpr std::size_t kAhead = 4;

  THelperMaker(const std::vector<TClassModel>& classes,
               const std::function<std::string(const TClassModel&)>& text)
      : classes_(classes), text_(text), thread_([this] { Work(); }) {}
  ~THelperMaker() {
    {
      std::lock_guard lock(mutex_);
      stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
  }
  THelperMaker(const THelperMaker&) = delete;
  THelperMaker& operator=(const THelperMaker&) = delete;

  // The form of the class at the odd place 2k + 1, once made.
  TMadeForm Take(std::size_t k) {
    std::unique_lock lock(mutex_);
    TMadeForm& slot = slots_[k % kAhead];
    changed_.wait(lock, [&] { return slot.ready; });
    TMadeForm made = std::move(slot);
    slot = TMadeForm();
    taken_ = k + 1;
    lock.unlock();
    changed_.notify_all();
    return made;
  }

 private:
  void Work() {
    for (std::size_t k = 0; 2 * k + 1 < classes_.size(); ++k) {
      {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return stopping_ || k < taken_ + kAhead; });
        if (stopping_) return;
      }
      TMadeForm made;
      Make(text_, classes_[2 * k + 1], made);
      made.ready = true;
      {
        std::lock_guard lock(mutex_);
        slots_[k % kAhead] = std::move(made);
      }
      changed_.notify_all();
    }
  }

  const std::vector<TClassModel>& classes_;
  const std::function<std::string(const TClassModel&)>& text_;
  std::mutex mutex_;
  std::condition_variable changed_;
  TMadeForm slots_[kAhead];
  std::size_t taken_ = 0;
  bool stopping_ = false;
  std::thread thread_;
};

}  // namespace

void WriteFormPerClass(TGenContext& context, const TModelSnapshot& model, const std::string& prefix,
                       const std::function<std::string(const TClassModel&)>& text) {
  const std::vector<TClassModel>& classes = model.Classes();
  std::optional<THelperMaker> helper;
  if (classes.size() > 1) helper.emplace(classes, text);
  for (std::size_t i = 0; i < classes.size(); ++i) {
    TMadeForm made;
    if (i % 2 == 0) {
      Make(text, classes[i], made);
    } else {
      made = helper->Take(i / 2);
    }
    if (made.failure) std::rethrow_exception(made.failure);
    std::string path = context.OutputPath(prefix + classes[i].className + ".frm");
    context.sink.WriteDigested(path, std::move(made.bytes), made.digest);
    context.progress.Progress(path + "生成完毕!");
  }
}

}  // namespace vbgen
