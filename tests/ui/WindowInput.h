// The main window as the input-level suites drive it: shown with the real boxes, and the points
// of its lists that a mouse click aims at.
#pragma once

#include <QListWidget>
#include <QTableWidget>
#include <QTest>
#include <filesystem>
#include <memory>

#include "UiTestSupport.h"
#include "ui/MainForm.h"

namespace vbgen::test {

// The window with the real boxes, shown and active; none when it never became active.
inline std::unique_ptr<TFormMain> ShowActiveWindow(const std::filesystem::path& home,
                                                   TQtDialogs& dialogs, TFakeDesktop& desktop) {
  auto window = std::make_unique<TFormMain>(TProgramDir(home), dialogs, desktop);
  dialogs.SetOwner(window.get());
  window->Timer1->stop();
  window->show();
  window->activateWindow();
  if (!QTest::qWaitFor([&] { return window->isActiveWindow(); })) return nullptr;
  return window;
}

// The middle of a member row's type cell.
inline QPoint MemberRowPoint(TFormMain& window, int row) {
  return window.LV_Member->visualRect(window.LV_Member->model()->index(row, 1)).center();
}

inline void ClickClassRow(TFormMain& window, int row, Qt::KeyboardModifiers modifiers = {}) {
  QTest::mouseClick(window.LB_Object->viewport(), Qt::LeftButton, modifiers,
                    window.LB_Object->visualItemRect(window.LB_Object->item(row)).center());
}

}  // namespace vbgen::test
