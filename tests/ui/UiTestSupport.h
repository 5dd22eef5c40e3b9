// What the window tests share: boxes answered by the test, a recording desktop, and a
// throw-away program directory with its own projects.db.
#pragma once

#include <QDialog>
#include <QWidget>
#include <deque>
#include <filesystem>
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
};

// Answers boxes from queues and records every box shown. An input with no queued answer is
// cancelled; a confirmation with none is answered Cancel.
class TFakeDialogs : public TDialogs {
 public:
  void Message(const std::string& text) override { shown.push_back({"message", text, ""}); }
  void Information(const std::string& text, const std::string& caption) override {
    shown.push_back({"information", text, caption});
  }
  bool Confirm(const std::string& text, const std::string& caption) override {
    shown.push_back({"confirm", text, caption});
    if (confirms.empty()) return false;
    bool answer = confirms.front();
    confirms.pop_front();
    return answer;
  }
  std::string Input(const std::string& caption, const std::string& prompt,
                    const std::string& defaultText) override {
    shown.push_back({"input", prompt, caption});
    if (inputs.empty()) return defaultText;
    std::optional<std::string> answer = inputs.front();
    inputs.pop_front();
    return answer ? *answer : defaultText;
  }
  void Error(const std::string& text) override { shown.push_back({"error", text, ""}); }
  // File dialogs are recorded apart from the boxes; each takes the next queued answer, and one
  // with none queued is cancelled (an empty name).
  std::string SaveFileName(const std::string& caption, const std::string& filter,
                           const std::string& defaultName) override {
    fileDialogs.push_back({"save", caption, filter, defaultName});
    return NextFileName();
  }
  std::string OpenFileName(const std::string& caption, const std::string& filter) override {
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
  std::string NextFileName() {
    if (fileNames.empty()) return {};
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
  std::vector<QUrl> urls;
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
inline int AddProject(const std::string& name) {
  TProjectDAO().AddProject(name);
  return TProjectDAO().ListProjects().back().id;
}

inline int AddClass(int projectId, const std::string& name, const std::string& friendName,
                    int frontShowFlag = 1) {
  TClassDAO().AddClass(projectId, name, friendName, frontShowFlag);
  return TClassDAO().ListClasses(projectId).back().id;
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
  TMemberDAO().AddMember(m);
  return TMemberDAO().ListMembers(classId).back().memberId;
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

}  // namespace vbgen::test
