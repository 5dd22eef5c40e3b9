#pragma once

#include <atomic>
#include <string>
#include <vector>

#include "generate/GenContext.h"
#include "generate/write/FileOperate.h"
#include "model/NamedId.h"

namespace vbgen {

class TProjectWriter;
class TTemplates;
struct TRunInputs;

// How a run talks to its caller. The three notifications may block: the run waits until they
// return (the window shows its message box meanwhile).
class TRunListener : public TProgressSink {
 public:
  // The class that failed, by name and key, as the run's snapshot has it.
  virtual void KeyCheckFailed(const TNamedId& failedClass) = 0;
  virtual void DisplayCheckFailed(const TNamedId& failedClass) = 0;
  virtual void GenerationDone() = 0;
  // Anything else that stops a run: a model the generators cannot handle, a missing template,
  // a file that cannot be written, a path that would leave the project directory, a database
  // error.
  virtual void RunFailed(const std::string& message) = 0;
  // Instead of GenerationDone: every generated file was written, but these support files (or
  // folders of bak) could not be copied, each named with the reason. Unless the caller says
  // otherwise, that is a failure whose message names them all.
  virtual void GenerationIncomplete(const std::vector<std::string>& notCopied);
  // Before anything is checked or written: everything the model check finds in the run's own
  // snapshot (errors and warnings, one line each), so a caller can show them all at once
  // without reading the model itself. Not called when there is nothing to say.
  virtual void ModelProblemsFound(const std::vector<std::string>& problems);
};

// "以下支持文件未能复制…" followed by one line per file.
std::string IncompleteMessage(const std::vector<std::string>& notCopied);

// One generation run of one project. The project's name is read once, when the run starts.
class TAutoCode {
 public:
  TAutoCode(int projectId, std::string namespaceName, TProgramDir programDir,
            TRunListener& listener);
  // Writes through this sink instead of the disk (tests, dry runs); it must outlive Execute.
  void SetSink(TFileSink* sink) { sink_ = sink; }
  void SetOptions(const TRunOptions& options) { options_ = options; }

  // The whole run, on the calling thread; every outcome reaches the listener.
  void Execute();

 private:
  void Run();
  void CheckShippedFiles(const TRunInputs& inputs) const;
  void WriteResourcesEarly(TProjectWriter& writer, const TTemplates& templates,
                           const std::vector<std::string>& classNames) const;
  void WriteTo(TFileSink& sink, const TRunInputs& inputs,
               const std::vector<std::string>& generated);
  // Every generated file and its progress line: a pure function of the inputs.
  void Emit(const TRunInputs& inputs, TFileSink& sink, TProgressSink& progress) const;
  // `disk` makes the empty folders; a sink has no folders.
  std::vector<std::string> CopySupportFiles(TFileSink& sink, TProjectWriter* disk,
                                            const TRunInputs& inputs,
                                            const std::vector<TFileOperate::TTreeEntry>& copies);
  void Done(const std::vector<std::string>& notCopied);

  int projectId_;
  std::string namespaceName_;
  TProgramDir programDir_;
  TRunListener& listener_;
  TFileSink* sink_ = nullptr;
  TRunOptions options_;
};

// Lets one run in at a time: the window refuses a second start while one is active.
class TRunGate {
 public:
  bool TryEnter() { return !busy_.exchange(true); }
  void Leave() { busy_ = false; }
  bool Busy() const { return busy_; }

 private:
  std::atomic<bool> busy_{false};
};

inline constexpr const char* kRunBusyText = "代码生成正在进行中，请等待本次生成完毕后再开始!";

}  // namespace vbgen
