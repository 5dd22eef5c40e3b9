// The main window's commands: their checks and messages, and how they refill the lists.
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <memory>

#include "UiTestSupport.h"
#include "WindowInput.h"
#include "ui/FormUpdateClass.h"
#include "ui/FormUpdateMember.h"
#include "ui/MainForm.h"

using namespace vbgen;
using namespace vbgen::test;

class MainFormTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<TTempHome> home_;
  TFakeDialogs dialogs_;
  TFakeDesktop desktop_;
  std::vector<std::string> opened_;  // class names of the dialogs opened modally
  std::vector<int> openedIds_;       // the class or member id an update dialog was opened for

  // Chooses a project of the drop-down with the keyboard, as far down as index.
  static void ChooseProject(TFormMain& window, int index) {
    window.CB_Project->setFocus();
    QTest::keyClick(window.CB_Project, Qt::Key_Home);
    for (int i = 0; i < index; ++i) QTest::keyClick(window.CB_Project, Qt::Key_Down);
    QCOMPARE(window.CB_Project->currentIndex(), index);
  }

  std::unique_ptr<TFormMain> MakeWindow() {
    auto window = std::make_unique<TFormMain>(TProgramDir(home_->path()), dialogs_, desktop_);
    window->SetModalRunner([this](QDialog& dialog) {
      opened_.push_back(dialog.metaObject()->className());
      if (auto* form = qobject_cast<TUpdateClassForm*>(&dialog))
        openedIds_.push_back(form->ClassId());
      if (auto* form = qobject_cast<TUpdateMemberForm*>(&dialog))
        openedIds_.push_back(form->MemberId());
    });
    return window;
  }

  static QStringList Column(QTableWidget* table, int column) {
    QStringList texts;
    for (int row = 0; row < table->rowCount(); ++row) texts << table->item(row, column)->text();
    return texts;
  }

  static QStringList Items(QListWidget* list) {
    QStringList texts;
    for (int row = 0; row < list->count(); ++row) texts << list->item(row)->text();
    return texts;
  }

  // Project "Library" with class Book (members a..d) and class Reader.
  struct TLibrary {
    int projectId, bookId, readerId;
    std::vector<int> members;
  };
  static TLibrary MakeLibrary() {
    TLibrary lib{};
    lib.projectId = AddProject("Library");
    lib.bookId = AddClass(lib.projectId, "Book", "图书");
    lib.readerId = AddClass(lib.projectId, "Reader", "读者");
    lib.members.push_back(AddMember(lib.projectId, lib.bookId, "bookId", "整型", true));
    lib.members.push_back(AddMember(lib.projectId, lib.bookId, "title", "字符串", false, true, 50));
    lib.members.push_back(AddMember(lib.projectId, lib.bookId, "price", "浮点型"));
    lib.members.push_back(AddMember(lib.projectId, lib.bookId, "reader", "Reader"));
    return lib;
  }

 private slots:
  void init() {
    home_ = std::make_unique<TTempHome>();
    dialogs_ = TFakeDialogs();
    desktop_ = TFakeDesktop();
    opened_.clear();
    openedIds_.clear();
  }
  void cleanup() { home_.reset(); }

  void windowHasTheFixedLayoutMenusAndColumns() {
    auto window = MakeWindow();
    QVERIFY(window->windowTitle().startsWith(QStringLiteral("tavorinvb代码生成器2.0版")));
    QCOMPARE(window->centralWidget()->size(), QSize(783, 547));
    QCOMPARE(window->minimumSize(), window->maximumSize());
    QVERIFY(!(window->windowFlags() & Qt::WindowMaximizeButtonHint));
    QCOMPARE(window->Image1->geometry(), QRect(0, 0, 783, 89));
    QCOMPARE(window->Image1->cursor().shape(), Qt::PointingHandCursor);
    QCOMPARE(window->GroupBox1->title(), QStringLiteral("项目操作区"));
    QCOMPARE(window->CB_Project->geometry(), QRect(36, 18, 121, 21));
    QVERIFY(!window->CB_Project->isEditable());
    QCOMPARE(window->LB_Object->geometry(), QRect(8, 64, 153, 241));
    QCOMPARE(window->LV_Member->geometry(), QRect(162, 16, 617, 281));
    QCOMPARE(window->GroupBox2->title(), QStringLiteral("生成进度"));
    QCOMPARE(window->GroupBox2->height(), 152);
    QCOMPARE(window->GroupBox2->geometry().bottom(), window->GroupBox1->height() - 3);
    QCOMPARE(window->Timer1->interval(), 5000);
    QVERIFY(window->Timer1->isActive());

    const QStringList captions{"编号", "成员名称", "成员类型",   "长度",     "主键",
                               "必填", "查询",     "下拉框显示", "界面显示", "注释"};
    const int widths[] = {1, 90, 70, 50, 50, 50, 50, 75, 60, 110};
    QCOMPARE(window->LV_Member->columnCount(), 10);
    for (int c = 0; c < 10; ++c) {
      QCOMPARE(window->LV_Member->horizontalHeaderItem(c)->text(), captions[c]);
      // The comment column takes what is left of the table (see below).
      if (c < 9) QCOMPARE(window->LV_Member->columnWidth(c), widths[c]);
    }
    QCOMPARE(window->LV_Member->selectionMode(), QAbstractItemView::ExtendedSelection);
    QCOMPARE(window->LV_Member->selectionBehavior(), QAbstractItemView::SelectRows);
    QCOMPARE(window->LV_Member->editTriggers(), QAbstractItemView::NoEditTriggers);

    QStringList menus, items;
    for (QAction* menu : window->menuBar()->actions()) {
      menus << menu->text();
      for (QAction* item : menu->menu()->actions()) {
        if (item->isSeparator()) {
          items << "-";
        } else if (item->isVisible()) {
          items << item->text();
        }
      }
    }
    QCOMPARE(menus, (QStringList{"项目操作(&P)", "代码管理(&A)"}));
    QCOMPARE(items, (QStringList{"新建项目(&F)", "修改项目名称(&X)", "删除当前项目(&D)",
                                 "添加类(&A)", "修改类名(&B)", "删除类(&S)", "添加成员(&M)",
                                 "修改成员属性(&E)", "删除成员(&C)", "-", "导出项目模型\u2026",
                                 "导入项目模型\u2026", "从SQL脚本导入\u2026", "生成建表sql语句",
                                 "自动生成代码(&A)", "自动生成完整应用代码(&C)"}));
    QCOMPARE(window->ActionNamespace->text(), QStringLiteral("设置命名空间(&S)"));
    QVERIFY(!window->ActionNamespace->isVisible());
    QStringList popup;
    for (QAction* item : window->PopupMenu1->actions()) popup << item->text();
    QCOMPARE(popup, (QStringList{"删除成员(&D)", "成员交换(&E)", "成员上移(&U)", "成员下移(&L)"}));
  }

  // With more members than the table shows, the scroll bar takes room from the comment column
  // and no column is pushed out of view.
  void manyMembersLeaveEveryColumnInView() {
    TLibrary lib = MakeLibrary();
    for (int i = 0; i < 30; ++i)
      AddMember(lib.projectId, lib.bookId, "m" + std::to_string(i), "整型");
    TMember longComment = TMemberDAO().ListMembers(lib.bookId).back();
    longComment.memberComment = "一段很长很长的注释，比注释列宽得多，在提示里完整显示";
    TMemberDAO().UpdateMember(longComment);
    auto window = MakeWindow();
    QVERIFY(ShowActive(*window));
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QTableWidget* table = window->LV_Member;
    QHeaderView* header = table->horizontalHeader();
    // Without a scroll bar the comment column is at least as wide as the table says.
    ClickClassRow(*window, 1);
    QTRY_VERIFY(!table->verticalScrollBar()->isVisible());
    QCOMPARE(header->sectionPosition(9) + header->sectionSize(9), table->viewport()->width());
    QVERIFY(table->columnWidth(9) >= 110);
    ClickClassRow(*window, 0);
    QTRY_VERIFY(table->verticalScrollBar()->isVisible());
    QTRY_COMPARE(header->sectionPosition(9) + header->sectionSize(9), table->viewport()->width());
    QVERIFY(table->columnWidth(9) >= 90);
    QVERIFY(!table->horizontalScrollBar()->isVisible());
    QTableWidgetItem* last = table->item(table->rowCount() - 1, 9);
    QCOMPARE(last->toolTip(), QString::fromStdString(longComment.memberComment));
  }

  void emptyModelReportsMissingSelections() {
    auto window = MakeWindow();
    QVERIFY(ShowActive(*window));
    QCOMPARE(window->CB_Project->count(), 0);
    QCOMPARE(window->LB_Object->count(), 0);
    const std::pair<QAction*, const char*> items[] = {
        {window->ActionRenameProject, "当前未有任何项目被选中!"},
        {window->ActionDeleteProject, "未有任何项目被选中!"},
        {window->ActionAddClass, "当前未有任何项目被选中!"},
        {window->ActionSql, "当前未有任何项目被选中!"},
        {window->ActionExportModel, "当前未有任何项目被选中!"},
        {window->ActionGenerate, "没有一个工程被选中！"},
        {window->ActionUpdateClass, "没有类被选中!"},
        {window->ActionDeleteClass, "没有类被选中!"},
        {window->ActionAddMember, "请先选择类对象"},
        {window->ActionUpdateMember, "请先选择一个成员"},
        {window->ActionDeleteMember, "请先选择一个成员"}};
    for (const auto& [item, text] : items) {
      dialogs_.shown.clear();
      ChooseMenuItem(*window, item);
      QCOMPARE(dialogs_.shown.size(), std::size_t(1));
      QCOMPARE(dialogs_.Last(), std::string(text));
    }
    // The context menu of the empty table: delete, swap, up and down.
    const std::pair<Qt::Key, const char*> contextItems[] = {{Qt::Key_D, "请先选择一个成员"},
                                                            {Qt::Key_U, "请先选择一个成员"},
                                                            {Qt::Key_L, "请先选择一个成员"},
                                                            {Qt::Key_E, "请选中2条记录!"}};
    for (const auto& [key, text] : contextItems) {
      dialogs_.shown.clear();
      PickContextItem(*window, QPoint(60, 20), key);
      QCOMPARE(dialogs_.shown.size(), std::size_t(1));
      QCOMPARE(dialogs_.Last(), std::string(text));
    }
    QVERIFY(opened_.empty());
  }

  void newProjectChecksNameAndKeepsTheRememberedSelection() {
    auto window = MakeWindow();
    QVERIFY(ShowActive(*window));
    dialogs_.inputs = {std::nullopt};  // Cancel yields the empty default
    PickMenuItem(window.get(), Qt::Key_P, Qt::Key_F);
    QCOMPARE(dialogs_.shown.front().caption, std::string("请输入工程名称"));
    QCOMPARE(dialogs_.Last(), std::string("工程名称不能为空!"));
    QCOMPARE(window->CB_Project->count(), 0);

    dialogs_.inputs = {std::string("Alpha"), std::string("Beta"), std::string("Alpha")};
    PickMenuItem(window.get(), Qt::Key_P, Qt::Key_F);
    QCOMPARE(dialogs_.Last(), std::string("工程名称添加成功！"));
    PickMenuItem(window.get(), Qt::Key_P, Qt::Key_F);
    QCOMPARE(window->CB_Project->count(), 2);
    QCOMPARE(window->CB_Project->currentText(), QStringLiteral("Alpha"));  // not the new one
    PickMenuItem(window.get(), Qt::Key_P, Qt::Key_F);
    QCOMPARE(dialogs_.Last(), std::string("该工程名称已经存在!"));
    QCOMPARE(TProjectDAO().ListProjects().size(), std::size_t(2));

    // After a rename the renamed project stays selected, and a later add keeps it selected.
    ChooseProject(*window, 1);
    dialogs_.inputs = {std::string("Alpha"), std::string("Gamma")};  // another's name is fine
    PickMenuItem(window.get(), Qt::Key_P, Qt::Key_X);
    QCOMPARE(dialogs_.Last(), std::string("工程名称修改成功！"));
    QCOMPARE(window->LastProjectIndex(), 1);
    QCOMPARE(window->CB_Project->currentIndex(), 1);
    QCOMPARE(window->CB_Project->currentText(), QStringLiteral("Alpha"));
    PickMenuItem(window.get(), Qt::Key_P, Qt::Key_F);
    QCOMPARE(window->CB_Project->count(), 3);
    QCOMPARE(window->CB_Project->currentIndex(), 1);
  }

  void renameRefusesAnEmptyName() {
    AddProject("Alpha");
    auto window = MakeWindow();
    QVERIFY(ShowActive(*window));
    PickMenuItem(window.get(), Qt::Key_P, Qt::Key_X);  // cancelled
    QCOMPARE(dialogs_.shown.front().caption, std::string("请输入项目名称"));
    QCOMPARE(dialogs_.Last(), std::string("工程项目名称不能为空!"));
    QCOMPARE(TProjectDAO().ListProjects().front().name, std::string("Alpha"));
  }

  void deleteProjectAsksFirstThenSelectsTheFirstProject() {
    AddProject("Alpha");
    MakeLibrary();
    auto window = MakeWindow();
    QVERIFY(ShowActive(*window));
    ChooseProject(*window, 1);
    QCOMPARE(Items(window->LB_Object), (QStringList{"Book", "Reader"}));

    dialogs_.confirms = {false};
    PickMenuItem(window.get(), Qt::Key_P, Qt::Key_D);
    QCOMPARE(dialogs_.shown.back().kind, std::string("confirm"));
    QCOMPARE(dialogs_.shown.back().text, std::string("确认删除当前项目吗?"));
    QCOMPARE(dialogs_.shown.back().caption, std::string("删除提示"));
    QCOMPARE(TProjectDAO().ListProjects().size(), std::size_t(2));

    dialogs_.confirms = {true};
    PickMenuItem(window.get(), Qt::Key_P, Qt::Key_D);
    QCOMPARE(dialogs_.Last(), std::string("删除成功!"));
    QCOMPARE(window->CB_Project->count(), 1);
    QCOMPARE(window->CB_Project->currentText(), QStringLiteral("Alpha"));
    QCOMPARE(window->LB_Object->count(), 0);
    QCOMPARE(window->LV_Member->rowCount(), 0);  // no rows of the deleted project's class
  }

  void startupSelectsTheFirstClassAndShowsItsMembers() {
    TLibrary lib = MakeLibrary();
    auto window = MakeWindow();
    QVERIFY(ShowActive(*window));
    QCOMPARE(window->CB_Project->currentText(), QStringLiteral("Library"));
    QCOMPARE(window->SelectedProjectId(), std::optional(lib.projectId));
    QCOMPARE(window->SelectedClassId(), std::optional(lib.bookId));
    QCOMPARE(window->LV_Member->rowCount(), 4);
    QCOMPARE(Column(window->LV_Member, 0),
             (QStringList{QString::number(lib.members[0]), QString::number(lib.members[1]),
                          QString::number(lib.members[2]), QString::number(lib.members[3])}));
    QCOMPARE(Column(window->LV_Member, 1), (QStringList{"bookId", "title", "price", "reader"}));
    QCOMPARE(Column(window->LV_Member, 2), (QStringList{"整型", "字符串", "浮点型", "Reader"}));
    QCOMPARE(Column(window->LV_Member, 3), (QStringList{"0", "50", "0", "0"}));
    QCOMPARE(Column(window->LV_Member, 4), (QStringList{"是", "否", "否", "否"}));
    QCOMPARE(Column(window->LV_Member, 7), (QStringList{"否", "是", "否", "否"}));
    QCOMPARE(Column(window->LV_Member, 8), (QStringList{"是", "是", "是", "是"}));

    ClickClassRow(*window, 1);  // the user picks Reader
    QCOMPARE(window->LV_Member->rowCount(), 0);
  }

  void projectChangeShowsThatProjectsClasses() {
    MakeLibrary();
    int shop = AddProject("Shop");
    AddClass(shop, "Goods", "商品");
    auto window = MakeWindow();
    QVERIFY(ShowActive(*window));
    ChooseProject(*window, 1);
    QCOMPARE(Items(window->LB_Object), (QStringList{"Goods"}));
    QCOMPARE(window->LV_Member->rowCount(), 0);
  }

  void deleteClassRemovesItsItemAndLeavesNoSelection() {
    TLibrary lib = MakeLibrary();
    auto window = MakeWindow();
    QVERIFY(ShowActive(*window));
    PickMenuItem(window.get(), Qt::Key_P, Qt::Key_S);  // cancelled
    QCOMPARE(dialogs_.shown.back().text, std::string("确认删除此类对象！"));
    QCOMPARE(dialogs_.shown.back().caption, std::string("提示"));
    QCOMPARE(window->LB_Object->count(), 2);

    dialogs_.confirms = {true};
    PickMenuItem(window.get(), Qt::Key_P, Qt::Key_S);
    QCOMPARE(dialogs_.Last(), std::string("类对象删除成功!"));
    QCOMPARE(Items(window->LB_Object), (QStringList{"Reader"}));
    QCOMPARE(window->SelectedClassId(), std::optional<int>());
    QCOMPARE(window->LV_Member->rowCount(), 0);
    QVERIFY(TMemberDAO().ListMembers(lib.bookId).empty());
    QCOMPARE(TClassDAO().ListClasses(lib.projectId).size(), std::size_t(1));
  }

  void deleteMemberAsksAndRefills() {
    TLibrary lib = MakeLibrary();
    auto window = MakeWindow();
    QVERIFY(ShowActive(*window));
    SelectMemberRows(*window, {1});
    PickMenuItem(window.get(), Qt::Key_P, Qt::Key_C);  // cancelled
    QCOMPARE(dialogs_.shown.back().text, std::string("确定删除当前成员属性?"));
    QCOMPARE(dialogs_.shown.back().caption, std::string("删除提示"));
    QCOMPARE(window->LV_Member->rowCount(), 4);

    dialogs_.confirms = {true};
    PickMenuItem(window.get(), Qt::Key_P, Qt::Key_C);
    QCOMPARE(dialogs_.Last(), std::string("成员属性删除成功"));
    QCOMPARE(Column(window->LV_Member, 1), (QStringList{"bookId", "price", "reader"}));

    SelectMemberRows(*window, {2});
    dialogs_.confirms = {true};
    PickContextItem(*window, 2, Qt::Key_D);
    QCOMPARE(Column(window->LV_Member, 1), (QStringList{"bookId", "price"}));
    QCOMPARE(TMemberDAO().ListMembers(lib.bookId).size(), std::size_t(2));
  }

  void swapNeedsExactlyTwoRows() {
    MakeLibrary();
    auto window = MakeWindow();
    QVERIFY(ShowActive(*window));
    SelectMemberRows(*window, {1});
    PickContextItem(*window, 1, Qt::Key_E);
    QCOMPARE(dialogs_.Last(), std::string("请选中2条记录!"));
    SelectMemberRows(*window, {0, 1, 2});
    PickContextItem(*window, 2, Qt::Key_E);
    QCOMPARE(dialogs_.Last(), std::string("请选中2条记录!"));
    QCOMPARE(Column(window->LV_Member, 1), (QStringList{"bookId", "title", "price", "reader"}));

    SelectMemberRows(*window, {3, 1});
    PickContextItem(*window, 1, Qt::Key_E);
    QCOMPARE(Column(window->LV_Member, 1), (QStringList{"bookId", "reader", "price", "title"}));
    QCOMPARE(window->LV_Member->selectionModel()->selectedRows().size(), 0);
  }

  void moveUpAndDownStopAtTheEnds() {
    TLibrary lib = MakeLibrary();
    auto window = MakeWindow();
    QVERIFY(ShowActive(*window));
    SelectMemberRows(*window, {0});
    PickContextItem(*window, 0, Qt::Key_U);
    QCOMPARE(dialogs_.Last(), std::string("第一个成员无法上移了！"));
    SelectMemberRows(*window, {3});
    PickContextItem(*window, 3, Qt::Key_L);
    QCOMPARE(dialogs_.Last(), std::string("最后一个成员无法下移了！"));
    QCOMPARE(Column(window->LV_Member, 1), (QStringList{"bookId", "title", "price", "reader"}));

    SelectMemberRows(*window, {2});
    PickContextItem(*window, 2, Qt::Key_U);
    QCOMPARE(Column(window->LV_Member, 1), (QStringList{"bookId", "price", "title", "reader"}));
    // Keys stay in place; the contents move.
    QCOMPARE(Column(window->LV_Member, 0).at(1), QString::number(lib.members[1]));

    SelectMemberRows(*window, {1, 3});  // the first selected row moves
    PickContextItem(*window, 3, Qt::Key_L);
    QCOMPARE(Column(window->LV_Member, 1), (QStringList{"bookId", "title", "price", "reader"}));
  }

  void doubleClicksOpenTheRightDialogs() {
    TLibrary lib = MakeLibrary();
    auto window = MakeWindow();
    QVERIFY(ShowActive(*window));
    DoubleClickClassRow(*window, 0);
    QCOMPARE(opened_.back(), std::string("vbgen::TUpdateClassForm"));
    QCOMPARE(openedIds_.back(), lib.bookId);

    // A double click on the empty part of the table.
    QWidget* viewport = window->LV_Member->viewport();
    const QPoint empty(60, viewport->height() - 10);
    QTest::mouseClick(viewport, Qt::LeftButton, {}, empty);
    QTest::mouseDClick(viewport, Qt::LeftButton, {}, empty);
    QCOMPARE(opened_.back(), std::string("vbgen::TAddMemberForm"));

    // With two rows selected the menu item opens the first of them.
    SelectMemberRows(*window, {2, 1});
    PickMenuItem(window.get(), Qt::Key_P, Qt::Key_E);
    QCOMPARE(opened_.back(), std::string("vbgen::TUpdateMemberForm"));
    QCOMPARE(openedIds_.back(), lib.members[1]);

    PickMenuItem(window.get(), Qt::Key_P, Qt::Key_A);
    QCOMPARE(opened_.back(), std::string("vbgen::TAddClassForm"));
    ChooseMenuItem(*window, window->ActionSql);
    QCOMPARE(opened_.back(), std::string("vbgen::TDataBaseSqlForm"));
  }

  void doubleClickOnAnEmptyPartOfTheTableAddsAMember() {
    MakeLibrary();
    auto window = MakeWindow();
    QVERIFY(ShowActive(*window));
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QWidget* viewport = window->LV_Member->viewport();
    const QPoint onRow(60, window->LV_Member->rowViewportPosition(1) + 5);
    // A real double click is a press (which selects) followed by the double-click event.
    QTest::mouseClick(viewport, Qt::LeftButton, {}, onRow);
    QTest::mouseDClick(viewport, Qt::LeftButton, {}, onRow);
    QCOMPARE(opened_.back(), std::string("vbgen::TUpdateMemberForm"));
    const QPoint empty(60, viewport->height() - 10);
    QTest::mouseClick(viewport, Qt::LeftButton, {}, empty);
    QTest::mouseDClick(viewport, Qt::LeftButton, {}, empty);
    QCOMPARE(opened_.back(), std::string("vbgen::TAddMemberForm"));
  }

  void emptyPartOfTheClassListKeepsTheSelectedClass() {
    TLibrary lib = MakeLibrary();
    auto window = MakeWindow();
    QVERIFY(ShowActive(*window));
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QWidget* viewport = window->LB_Object->viewport();
    const QPoint empty(20, viewport->height() - 10);
    QTest::mouseClick(viewport, Qt::LeftButton, {}, empty);
    QCOMPARE(window->SelectedClassId(), std::optional(lib.bookId));
    QTest::mouseDClick(viewport, Qt::LeftButton, {}, empty);
    QCOMPARE(opened_.back(), std::string("vbgen::TUpdateClassForm"));
    QCOMPARE(openedIds_.back(), lib.bookId);
    // Only the left button clicks: a right click on the banner opens nothing.
    const std::size_t before = desktop_.urls.size();
    QTest::mouseClick(window->Image1, Qt::RightButton);
    QCOMPARE(desktop_.urls.size(), before);
  }

  void namespaceInputKeepsTheOldNameOnCancel() {
    auto window = MakeWindow();
    QVERIFY(ShowActive(*window));
    QCOMPARE(window->NamespaceName(), std::string("tavorin"));
    window->S2Click();  // cancelled: the default comes back, stored again silently
    QCOMPARE(dialogs_.shown.back().caption, std::string("命名空间输入框"));
    QCOMPARE(dialogs_.shown.back().text, std::string("请输入一个命名空间名如:           "));
    QCOMPARE(dialogs_.shown.size(), std::size_t(1));
    dialogs_.inputs = {std::string(""), std::string("acme")};
    window->S2Click();
    QCOMPARE(dialogs_.Last(), std::string("命名空间名输入不能为空!"));
    QCOMPARE(window->NamespaceName(), std::string("tavorin"));
    window->S2Click();
    QCOMPARE(window->NamespaceName(), std::string("acme"));
  }

  void bannerAndTimerOpenTheUserGuide() {
    auto window = MakeWindow();
    QVERIFY(ShowActive(*window));
    const QUrl guide = QUrl::fromLocalFile(
        QString::fromStdString((home_->path() / "guide" / "index.html").string()));
    QTest::mouseClick(window->Image1, Qt::LeftButton);
    QCOMPARE(desktop_.urls, std::vector<QUrl>{guide});
    window->Timer1Timer();
    QCOMPARE(desktop_.urls.size(), std::size_t(2));
    QCOMPARE(desktop_.urls.back(), guide);
    QVERIFY(!window->Timer1->isActive());
    QTest::mouseClick(window->Image1, Qt::LeftButton);
    QCOMPARE(desktop_.urls.size(), std::size_t(3));
  }

  void aDatabaseErrorInACommandReachesTheUserInAnErrorBox() {
    MakeLibrary();
    auto window = MakeWindow();
    QVERIFY(ShowActive(*window));
    SelectMemberRows(*window, {0});
    TMemberDAO().DeleteMember(window->SelectedMemberId().value());  // gone behind the window's back
    PickMenuItem(window.get(), Qt::Key_P, Qt::Key_E);
    QCOMPARE(dialogs_.shown.back().kind, std::string("error"));
    QVERIFY(opened_.empty());
  }
};

QTEST_MAIN(MainFormTest)
#include "MainFormTest.moc"
