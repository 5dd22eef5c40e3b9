#include "ui/RunBridge.h"

#include <QMetaObject>
#include <QObject>
#include <QThread>

namespace vbgen {

TRunBridge::TRunBridge(QObject* context, TRunHandlers handlers)
    : context_(context), handlers_(std::move(handlers)) {}

void TRunBridge::Progress(const std::string& line) {
  Queued([this, line] { handlers_.progress(line); });
}

void TRunBridge::KeyCheckFailed(const TNamedId& failedClass) {
  Blocking([this, &failedClass] { handlers_.keyCheckFailed(failedClass); });
}

void TRunBridge::DisplayCheckFailed(const TNamedId& failedClass) {
  Blocking([this, &failedClass] { handlers_.displayCheckFailed(failedClass); });
}

void TRunBridge::GenerationDone() {
  Blocking([this] { handlers_.generationDone(); });
}

void TRunBridge::RunFailed(const std::string& message) {
  Blocking([this, message] { handlers_.runFailed(message); });
}

// Queued like a progress line: it reaches the window before any box the run shows after it.
void TRunBridge::ModelProblemsFound(const std::vector<std::string>& problems) {
  if (handlers_.modelProblems) Queued([this, problems] { handlers_.modelProblems(problems); });
}

void TRunBridge::Queued(std::function<void()> call) {
  QMetaObject::invokeMethod(context_, std::move(call), Qt::QueuedConnection);
}

// Queued events keep their order, so every progress line is shown before the box that follows.
// A run executed on the window's own thread (a test) calls straight through instead of
// waiting for itself.
void TRunBridge::Blocking(std::function<void()> call) {
  if (QThread::currentThread() == context_->thread()) {
    call();
    return;
  }
  QMetaObject::invokeMethod(context_, std::move(call), Qt::BlockingQueuedConnection);
}

}  // namespace vbgen
