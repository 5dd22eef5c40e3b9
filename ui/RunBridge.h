// Carries a generation run's reports from its worker thread to the window's thread. Progress
// lines are queued; the notifications block the worker until the window has handled them (the
// user has closed the message box). No widget is touched from the worker.
#pragma once

#include <functional>
#include <string>

#include "generate/AutoCode.h"

class QObject;

namespace vbgen {

struct TRunHandlers {
  std::function<void(const std::string&)> progress;
  std::function<void(const TNamedId&)> keyCheckFailed;
  std::function<void(const TNamedId&)> displayCheckFailed;
  std::function<void()> generationDone;
  std::function<void(const std::string&)> runFailed;
  std::function<void(const std::vector<std::string>&)> modelProblems;
};

class TRunBridge : public TRunListener {
 public:
  // The handlers run on the thread of context, which must outlive the run.
  TRunBridge(QObject* context, TRunHandlers handlers);

  void Progress(const std::string& line) override;
  void KeyCheckFailed(const TNamedId& failedClass) override;
  void DisplayCheckFailed(const TNamedId& failedClass) override;
  void GenerationDone() override;
  void RunFailed(const std::string& message) override;
  void ModelProblemsFound(const std::vector<std::string>& problems) override;

 private:
  void Queued(std::function<void()> call);
  void Blocking(std::function<void()> call);

  QObject* context_;
  TRunHandlers handlers_;
};

}  // namespace vbgen
