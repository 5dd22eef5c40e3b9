// What the window tests share: boxes answered by the test, a recording desktop, and a
// throw-away program directory with its own projects.db.
#pragma once

#include <QApplication>
#include <QDialog>
#include <QInputDialog>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <deque>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "model/ClassDAO.h"
#include "model/DbHelper.h"
#include "model/MemberDAO.h"
#include "model/ProjectDAO.h"
#include "tests/common/TempDir.h"
#include "ui/Desktop.h"
#include "ui/Dialogs.h"

namespace vbgen::test {

struct TShownBox {
  std::string kind;  // "message", "information", "confirm", "input", "error"
  std::string text;
  std::string caption;
  std::string details;  // the list below the text, empty for none
};

// Answers boxes from queues and records every box shown. An input with no queued answer is
// cancelled; a confirmation with none is answered Cancel.
class TFakeDialogs : public TDialogs {
 public:
  void Message(const std::string& text) override { shown.push_back({"message", text, "", ""}); }
  void Information(const std::string& text, const std::string& caption) override {
    shown.push_back({"information", text, caption, ""});
  }
  bool Confirm(const std::string& text, const std::string& caption) override {
    shown.push_back({"confirm", text, caption, ""});
    if (confirms.empty()) return false;
    bool answer = confirms.front();
    confirms.pop_front();
    return answer;
  }
  std::string Input(const std::string& caption, const std::string& prompt,
                    const std::string& defaultText) override {
    shown.push_back({"input", prompt, caption, ""});
    if (inputs.empty()) return defaultText;
    std::optional<std::string> answer = inputs.front();
    inputs.pop_front();
    return answer ? *answer : defaultText;
  }
  void Error(const std::string& text) override { shown.push_back({"error", text, "", ""}); }
  void Detailed(TBoxKind kind, const std::string& text, const std::string& caption,
                const std::string& details) override {
    const char* kinds[] = {"message", "information", "error"};
    shown.push_back({kinds[static_cast<int>(kind)], text, caption, details});
  }
  // File dialogs are recorded apart from the boxes; each takes the next queued answer, and one
  // with none queued is cancelled.
  std::optional<std::string> SaveFileName(const std::string& caption, const std::string& filter,
                                          const std::string& defaultName) override {
    fileDialogs.push_back({"save", caption, filter, defaultName});
    return NextFileName();
  }
  std::optional<std::string> OpenFileName(const std::string& caption,
                                          const std::string& filter) override {
    fileDialogs.push_back({"open", caption, filter, ""});
    return NextFileName();
  }

  // The text of the last box of any kind; empty when none was shown.
  std::string Last() const { return shown.empty() ? std::string() : shown.back().text; }
  std::vector<std::string> Texts(const std::string& kind) const {
    std::vector<std::string> texts;
    for (const auto& box : shown) {
      if (box.kind == kind) texts.push_back(box.text);
    }
    return texts;
  }
  bool Showed(const std::string& text) const {
    for (const auto& box : shown) {
      if (box.text == text) return true;
    }
    return false;
  }

  struct TFileDialog {
    std::string kind;  // "save", "open"
    std::string caption, filter, defaultName;
  };

  std::vector<TShownBox> shown;
  std::deque<std::optional<std::string>> inputs;
  std::deque<bool> confirms;
  std::vector<TFileDialog> fileDialogs;
  std::deque<std::string> fileNames;

 private:
  std::optional<std::string> NextFileName() {
    if (fileNames.empty()) return std::nullopt;
    std::string answer = fileNames.front();
    fileNames.pop_front();
    return answer;
  }
};

class TFakeDesktop : public TDesktop {
 public:
  void OpenUrl(const QUrl& url) override { urls.push_back(url); }
  void OpenDirectory(const std::filesystem::path& directory) override {
    directories.push_back(directory);
  }
  // Recorded, and also as the page's URL.
  void OpenGuide(const TGuideRequest& request) override {
    guides.push_back(request);
    TDesktop::OpenGuide(request);
  }
  bool CanOpenDirectories() const override { return fileManager; }
  std::vector<QUrl> urls;
  std::vector<TGuideRequest> guides;
  bool fileManager = true;
  std::vector<std::filesystem::path> directories;
};

// A program directory of its own for one test, with an empty projects.db.
class TTempHome {
 public:
  TTempHome() { TDbHelper::SetDatabasePath(dir_.path() / "projects.db"); }
  ~TTempHome() { TDbHelper::Close(); }
  const std::filesystem::path& path() const { return dir_.path(); }

 private:
  TTempDir dir_;
};

// Short ways to fill the model.
inline int AddProject(const std::string& name) { return TProjectDAO().AddProject(name); }

inline int AddClass(int projectId, const std::string& name, const std::string& friendName,
                    int frontShowFlag = 1) {
  return TClassDAO().AddClass(projectId, name, friendName, frontShowFlag);
}

// A member as the dialogs store it: the flags follow the type.
inline int AddMember(int projectId, int classId, const std::string& name, const std::string& type,
                     bool pri = false, bool display = false, int length = 0) {
  TMember m;
  m.projectId = projectId;
  m.classId = classId;
  m.memberName = name;
  m.memberType = type;
  m.memberLength = type == kTypeString ? length : 0;
  m.memberIsPri = pri ? 1 : 0;
  m.memberIsMust = 1;
  m.memberIsInteger = type == kTypeInteger ? 1 : 0;
  m.memberIsFloat = type == kTypeFloat ? 1 : 0;
  m.memberIsDisplay = display ? 1 : 0;
  return TMemberDAO().AddMember(m);
}

// The widgets that Tab visits from first on, in order, within its window.
inline std::vector<QWidget*> TabChain(QWidget* first, std::size_t count) {
  std::vector<QWidget*> chain{first};
  QWidget* window = first->window();
  for (QWidget* w = first->nextInFocusChain(); w != first && chain.size() < count;
       w = w->nextInFocusChain()) {
    if (w->window() == window && w != window && (w->focusPolicy() & Qt::TabFocus)) {
      chain.push_back(w);
    }
  }
  return chain;
}

// Types text into a widget as a person does: Latin characters as key presses, anything else
// as the committed text of an input method.
inline void TypeText(QWidget* widget, const QString& text) {
  QString latin;
  auto flushLatin = [&] {
    if (!latin.isEmpty()) QTest::keyClicks(widget, latin);
    latin.clear();
  };
  for (QChar c : text) {
    if (c.unicode() < 0x80) {
      latin += c;
      continue;
    }
    flushLatin();
    QInputMethodEvent commit;
    commit.setCommitString(QString(c));
    QApplication::sendEvent(widget, &commit);
  }
  flushLatin();
}

// Presses a button with the mouse.
inline void Click(QWidget* button) {
  QVERIFY(button != nullptr);
  QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
}

// The push button of a window captioned caption (access-key marks ignored), or nullptr.
inline QPushButton* ButtonCaptioned(QWidget& window, const QString& caption) {
  for (QPushButton* button : window.findChildren<QPushButton*>()) {
    if (button->isVisible() && button->text().remove(QLatin1Char('&')) == caption) return button;
  }
  return nullptr;
}

// Opens a menu of window's menu bar with Alt and its access key, then picks an item by its
// key. The keys go where the keyboard sends them: to the widget that has the focus, once the
// window is active again.
inline void PickMenuItem(QWidget* window, Qt::Key menuKey, Qt::Key itemKey) {
  QTRY_VERIFY(QApplication::activeWindow() == window);
  QWidget* focus = QApplication::focusWidget();
  QTest::keyClick(focus != nullptr ? focus : window, menuKey, Qt::AltModifier);
  QTRY_VERIFY(QApplication::activePopupWidget() != nullptr);
  QTest::keyClick(QApplication::activePopupWidget(), itemKey);
}

// Answers the real boxes and dialogs as a person would. Every modal window that appears is
// recorded and handed to the next queued step, which types into it and presses its buttons
// with input events. A window with no step left is closed, recorded as unexpected, so a test
// fails instead of hanging.
class TModalDriver : public QObject {
 public:
  using TStep = std::function<void(QDialog&)>;

  TModalDriver() { qApp->installEventFilter(this); }
  ~TModalDriver() override { qApp->removeEventFilter(this); }

  TModalDriver& Then(TStep step) {
    steps_.push_back(std::move(step));
    return *this;
  }
  // A box answered by pressing its button captioned caption.
  TModalDriver& Press(const QString& caption) {
    return Then([caption](QDialog& box) { Click(ButtonCaptioned(box, caption)); });
  }
  // An input box: the text typed into its field, then the button pressed.
  TModalDriver& Type(const QString& text, const QString& caption = QStringLiteral("确定")) {
    return Then([text, caption](QDialog& box) {
      QLineEdit* edit = box.findChild<QLineEdit*>();
      QVERIFY(edit != nullptr);
      edit->setFocus();
      edit->selectAll();
      TypeText(edit, text);
      Click(ButtonCaptioned(box, caption));
    });
  }
  std::size_t Pending() const { return steps_.size(); }

  struct TSeen {
    std::string kind;  // "box", "input" or the dialog's class name
    std::string text;  // a box's text, an input box's prompt
    std::string caption;
    std::string details;  // a box's informative text
  };
  std::vector<TSeen> seen;
  int unexpected = 0;

  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const TSeen& s : seen) texts.push_back(s.text);
    return texts;
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::Show || event->spontaneous()) return false;
    auto* dialog = qobject_cast<QDialog*>(watched);
    if (dialog == nullptr || !dialog->isWindow()) return false;
    seen.push_back(Describe(*dialog));
    TStep step;
    if (steps_.empty()) {
      ++unexpected;
      step = [](QDialog& d) { d.reject(); };
    } else {
      step = std::move(steps_.front());
      steps_.pop_front();
    }
    // Answered once the dialog's own event loop runs and the dialog has the keys, as a person
    // answers what is in front of them.
    QTimer::singleShot(0, dialog, [dialog, step] {
      // There is no window manager on the offscreen platform to activate a new window.
      (void)QTest::qWaitForWindowExposed(dialog);
      dialog->activateWindow();
      (void)QTest::qWaitFor([dialog] { return dialog->isActiveWindow(); });
      step(*dialog);
      // A step that failed half-way leaves its window open: close it so the test ends.
      if (QTest::currentTestFailed() && dialog->isVisible()) dialog->reject();
    });
    return false;
  }

 private:
  static TSeen Describe(QDialog& dialog) {
    if (auto* box = qobject_cast<QMessageBox*>(&dialog)) {
      return {"box", box->text().toStdString(), box->windowTitle().toStdString(),
              box->informativeText().toStdString()};
    }
    if (auto* input = qobject_cast<QInputDialog*>(&dialog)) {
      return {"input", input->labelText().toStdString(), input->windowTitle().toStdString(), ""};
    }
    return {dialog.metaObject()->className(), "", dialog.windowTitle().toStdString(), ""};
  }

  std::deque<TStep> steps_;
};

}  // namespace vbgen::test
