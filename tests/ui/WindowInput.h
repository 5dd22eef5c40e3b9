// The main window as the input-level suites drive it: shown with the real boxes, and the points
// of its lists that a mouse click aims at.
#pragma once

#include <QContextMenuEvent>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
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

// Shows a window and waits until it has the keys; false when it never became active.
inline bool ShowActive(QWidget& window) {
  window.show();
  window.activateWindow();
  return QTest::qWaitFor([&] { return window.isActiveWindow(); });
}

// Chooses an item of the window's menu bar with the mouse: a click on its menu's title, then
// one on the item in the menu that opens. Also reaches the items that have no access key.
inline void ChooseMenuItem(QMainWindow& window, QAction* item) {
  QMenuBar* bar = window.menuBar();
  for (QAction* title : bar->actions()) {
    QMenu* menu = title->menu();
    if (menu == nullptr || !menu->actions().contains(item)) continue;
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(title).center());
    QTRY_VERIFY(menu->isVisible());
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(item).center());
    return;
  }
  QFAIL("the item is in none of the window's menus");
}

// Chooses a menu item with the mouse once the window is shown and active, as it is when a
// person reaches for its menus.
inline void ShowAndChooseMenuItem(QMainWindow& window, QAction* item) {
  if (!window.isActiveWindow()) QVERIFY(ShowActive(window));
  ChooseMenuItem(window, item);
}

// The middle of a member row's type cell.
inline QPoint MemberRowPoint(TFormMain& window, int row) {
  return window.LV_Member->visualRect(window.LV_Member->model()->index(row, 1)).center();
}

inline void ClickClassRow(TFormMain& window, int row, Qt::KeyboardModifiers modifiers = {}) {
  QTest::mouseClick(window.LB_Object->viewport(), Qt::LeftButton, modifiers,
                    window.LB_Object->visualItemRect(window.LB_Object->item(row)).center());
}

inline void ClickMemberRow(TFormMain& window, int row, Qt::KeyboardModifiers modifiers = {}) {
  QTest::mouseClick(window.LV_Member->viewport(), Qt::LeftButton, modifiers,
                    MemberRowPoint(window, row));
}

// Selects member rows as a person does: a click on the first, Ctrl and a click on the others.
inline void SelectMemberRows(TFormMain& window, std::initializer_list<int> rows) {
  Qt::KeyboardModifiers modifiers;
  for (int row : rows) {
    ClickMemberRow(window, row, modifiers);
    modifiers = Qt::ControlModifier;
  }
}

// Opens the member table's context menu at a point of its viewport, as the right mouse button
// or the menu key does, and picks an item by its access key.
inline void PickContextItem(TFormMain& window, const QPoint& at, Qt::Key itemKey) {
  QWidget* viewport = window.LV_Member->viewport();
  QContextMenuEvent event(QContextMenuEvent::Mouse, at, viewport->mapToGlobal(at));
  QApplication::sendEvent(viewport, &event);
  QTRY_VERIFY(window.PopupMenu1->isVisible());
  QTest::keyClick(window.PopupMenu1, itemKey);
}

inline void PickContextItem(TFormMain& window, int row, Qt::Key itemKey) {
  PickContextItem(window, MemberRowPoint(window, row), itemKey);
}

// Double-clicks a class of the list: the press before the double click selects it.
inline void DoubleClickClassRow(TFormMain& window, int row) {
  const QPoint at = window.LB_Object->visualItemRect(window.LB_Object->item(row)).center();
  QTest::mouseClick(window.LB_Object->viewport(), Qt::LeftButton, {}, at);
  QTest::mouseDClick(window.LB_Object->viewport(), Qt::LeftButton, {}, at);
}

}  // namespace vbgen::test
