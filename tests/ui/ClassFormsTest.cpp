// The add-class and update-class dialogs: layout, the order of their checks, what they store.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <memory>

#include "UiTestSupport.h"
#include "WindowInput.h"
#include "ui/FormAddClass.h"
#include "ui/FormUpdateClass.h"
#include "ui/MainForm.h"

using namespace vbgen;
using namespace vbgen::test;

class ClassFormsTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<TTempHome> home_;
  TFakeDialogs dialogs_;
  TFakeDesktop desktop_;
  int projectId_ = 0;

  std::unique_ptr<TFormMain> MakeWindow() {
    return std::make_unique<TFormMain>(TProgramDir(home_->path()), dialogs_, desktop_);
  }

  static void Fill(TClassFormBase& form, const char* className, const char* friendName) {
    form.Edt_ClassName->setText(QString::fromUtf8(className));
    form.Edt_FriendName->setText(QString::fromUtf8(friendName));
  }

  // Presses OK with the mouse, on the dialog shown and active as the window shows it.
  static void PressOk(TClassFormBase& form) {
    if (!form.isVisible()) QVERIFY(ShowActive(form));
    Click(form.Button1);
  }

  // The add dialog's answer for the given names, with nothing stored when it refuses.
  std::string AddRefusal(TFormMain& window, const char* className, const char* friendName) {
    const std::size_t before = TClassDAO().ListClasses(projectId_).size();
    TAddClassForm form(window);
    Fill(form, className, friendName);
    PressOk(form);
    if (QTest::currentTestFailed()) return "the dialog never became active";
    if (TClassDAO().ListClasses(projectId_).size() != before) return "stored";
    if (form.result() == QDialog::Accepted) return "closed";
    return dialogs_.Last();
  }

 private slots:
  void init() {
    home_ = std::make_unique<TTempHome>();
    dialogs_ = TFakeDialogs();
    projectId_ = AddProject("Library");
  }
  void cleanup() { home_.reset(); }

  void dialogsHaveTheirLayoutAndTabOrder() {
    auto window = MakeWindow();
    TAddClassForm add(*window);
    QCOMPARE(add.windowTitle(), QStringLiteral("添加类"));
    QCOMPARE(add.size(), QSize(261, 219));
    QCOMPARE(add.minimumSize(), add.maximumSize());
    QCOMPARE(add.Edt_ClassName->geometry(), QRect(112, 29, 137, 21));
    QCOMPARE(add.Edt_FriendName->geometry(), QRect(112, 91, 137, 21));
    QCOMPARE(add.CB_FrontShowFlag->geometry(), QRect(112, 128, 105, 41));
    QCOMPARE(add.CB_FrontShowFlag->text(), QStringLiteral("是否前台显示"));
    QVERIFY(add.CB_FrontShowFlag->isChecked());
    QCOMPARE(add.Button1->geometry(), QRect(72, 176, 113, 25));
    QCOMPARE(add.Button1->text(), QStringLiteral("确定"));
    // 取消 beside 确定, reached last with Tab.
    QCOMPARE(add.findChildren<QPushButton*>().size(), 2);
    QCOMPARE(add.Button2->text(), QStringLiteral("取消"));
    QVERIFY(QRect(0, 0, 261, 219).contains(add.Button2->geometry()));
    QVERIFY(!add.Button2->geometry().intersects(add.Button1->geometry()));
    QCOMPARE(TabChain(add.Edt_ClassName, 4),
             (std::vector<QWidget*>{add.Edt_ClassName, add.Edt_FriendName, add.Button1,
                                    add.CB_FrontShowFlag}));

    AddClass(projectId_, "Book", "图书");
    window->FillClassList(projectId_);
    TUpdateClassForm update(*window, window->SelectedClassId().value());
    QCOMPARE(update.windowTitle(), QStringLiteral("类更新"));
    QCOMPARE(update.size(), QSize(271, 233));
    QCOMPARE(update.CB_FrontShowFlag->geometry(), QRect(88, 136, 153, 33));
    QVERIFY(!update.CB_FrontShowFlag->isChecked());
    QCOMPARE(update.Button1->geometry(), QRect(80, 184, 113, 25));
    QCOMPARE(TabChain(update.Edt_ClassName, 4),
             (std::vector<QWidget*>{update.Edt_ClassName, update.Edt_FriendName, update.Button1,
                                    update.CB_FrontShowFlag}));
  }

  void addDialogChecksInItsOrder() {
    auto window = MakeWindow();
    QCOMPARE(AddRefusal(*window, "", ""), std::string("类名称不能为空!"));
    QCOMPARE(AddRefusal(*window, "Book", ""), std::string("友好名称不能为空"));
    QCOMPARE(AddRefusal(*window, "book", "图书"), std::string("类名首个字母必须大写"));
    QCOMPARE(AddRefusal(*window, "图书", "图书"), std::string("类名首个字母必须大写"));
    QCOMPARE(AddRefusal(*window, "1Book", "图书"), std::string("类名首个字母必须大写"));
    AddClass(projectId_, "Book", "图书");
    QCOMPARE(AddRefusal(*window, "Book", "另一本书"), std::string("该类名称已经存在!"));
  }

  void addDialogStoresTheClassAndRefillsTheList() {
    AddClass(projectId_, "Author", "作者");
    int other = AddProject("Shop");
    AddClass(other, "Book", "商品书");  // the same name in another project does not count
    auto window = MakeWindow();
    TAddClassForm form(*window);
    Fill(form, "Book", "图书");
    form.CB_FrontShowFlag->setChecked(false);
    PressOk(form);
    QCOMPARE(dialogs_.Last(), std::string("类名称添加成功！"));
    QCOMPARE(form.result(), int(QDialog::Accepted));
    TNamedIdList classes = TClassDAO().ListClasses(projectId_);
    QCOMPARE(classes.size(), std::size_t(2));
    QCOMPARE(classes.back().name, std::string("Book"));
    QCOMPARE(TClassDAO().GetFriendName(classes.back().id), std::string("图书"));
    QCOMPARE(TClassDAO().GetFrontShowFlag(classes.back().id), 0);
    QCOMPARE(window->LB_Object->count(), 2);
    QCOMPARE(window->LB_Object->currentRow(), 0);  // the first class is selected again

    TAddClassForm ticked(*window);
    Fill(ticked, "Reader", "读者");
    PressOk(ticked);
    QCOMPARE(TClassDAO().GetFrontShowFlag(TClassDAO().ListClasses(projectId_).back().id), 1);
  }

  // The selection the dialog was opened with can go while it is open (the project deleted
  // elsewhere and the list refilled): nothing is stored under a project that is not there.
  void withTheProjectGoneTheAddDialogStoresNothing() {
    auto window = MakeWindow();
    TAddClassForm form(*window);
    Fill(form, "Book", "图书");
    TProjectDAO().DeleteProject(projectId_);
    window->FillProjectList();
    QCOMPARE(window->SelectedProjectId(), std::optional<int>());
    PressOk(form);
    QCOMPARE(dialogs_.Last(), std::string("当前未有任何项目被选中!"));
    QVERIFY(form.result() != QDialog::Accepted);
    QCOMPARE(TDbHelper().QueryInt("select count(*) from t_class"), 0);
  }

  void closingTheAddDialogStoresNothing() {
    auto window = MakeWindow();
    TAddClassForm form(*window);
    Fill(form, "Book", "图书");
    QVERIFY(ShowActive(form));
    QTest::keyClick(form.Edt_FriendName, Qt::Key_Escape);
    QVERIFY(!form.isVisible());
    QCOMPARE(form.result(), int(QDialog::Rejected));
    QVERIFY(TClassDAO().ListClasses(projectId_).empty());
  }

  void updateDialogLoadsFromTheListAndTheStore() {
    int book = AddClass(projectId_, "Book", "图书", 1);
    int reader = AddClass(projectId_, "Reader", "读者", 0);
    auto window = MakeWindow();
    window->LB_Object->item(0)->setText("Book*");  // the name comes from the list item
    TUpdateClassForm form(*window, book);
    QVERIFY(ShowActive(form));  // showing runs FormShow
    QCOMPARE(form.Edt_ClassName->text(), QStringLiteral("Book*"));
    QCOMPARE(form.Edt_FriendName->text(), QStringLiteral("图书"));
    QVERIFY(form.CB_FrontShowFlag->isChecked());

    window->LB_Object->setCurrentRow(1);
    TUpdateClassForm second(*window, reader);
    second.show();  // showing runs FormShow
    QCOMPARE(second.Edt_ClassName->text(), QStringLiteral("Reader"));
    QCOMPARE(second.Edt_FriendName->text(), QStringLiteral("读者"));
    QVERIFY(!second.CB_FrontShowFlag->isChecked());
  }

  void updateDialogChecksNameRuleBeforeFriendName() {
    int book = AddClass(projectId_, "Book", "图书");
    auto window = MakeWindow();
    TUpdateClassForm form(*window, book);
    QVERIFY(ShowActive(form));
    Fill(form, "", "");
    PressOk(form);
    QCOMPARE(dialogs_.Last(), std::string("类名称不能为空"));
    Fill(form, "book", "");
    PressOk(form);
    QCOMPARE(dialogs_.Last(), std::string("类名首个字母必须大写"));
    Fill(form, "Book", "");
    PressOk(form);
    QCOMPARE(dialogs_.Last(), std::string("友好名称不能为空"));
    QCOMPARE(TClassDAO().GetClassNameById(book), std::string("Book"));
    QVERIFY(form.result() != QDialog::Accepted);
  }

  void updateDialogRenamesAndReferencesFollow() {
    int book = AddClass(projectId_, "Book", "图书");
    int reader = AddClass(projectId_, "Reader", "读者");
    AddMember(projectId_, book, "bookId", "整型", true);
    int ref = AddMember(projectId_, reader, "borrowed", "Book");
    auto window = MakeWindow();
    TUpdateClassForm form(*window, book);
    QVERIFY(ShowActive(form));
    Fill(form, "Books", "图书们");
    form.CB_FrontShowFlag->setChecked(false);
    PressOk(form);
    QCOMPARE(dialogs_.Last(), std::string("类名称更新成功"));
    QCOMPARE(form.result(), int(QDialog::Accepted));
    QCOMPARE(TClassDAO().GetClassNameById(book), std::string("Books"));
    QCOMPARE(TClassDAO().GetFriendName(book), std::string("图书们"));
    QCOMPARE(TClassDAO().GetFrontShowFlag(book), 0);
    QCOMPARE(TMemberDAO().GetMember(ref)->memberType, std::string("Books"));
    QCOMPARE(window->LB_Object->item(0)->text(), QStringLiteral("Books"));
    QCOMPARE(window->LB_Object->item(0)->data(Qt::UserRole).toInt(), book);

    // Another class's name is accepted on update.
    TUpdateClassForm again(*window, book);
    QVERIFY(ShowActive(again));
    Fill(again, "Reader", "图书");
    PressOk(again);
    QCOMPARE(dialogs_.Last(), std::string("类名称更新成功"));
    QCOMPARE(TClassDAO().CountClassesByName(projectId_, "Reader"), 2);
  }

  // Typed and clicked as a user does: names VB6 or the script cannot take are refused after
  // the dialog's own rules, and nothing is stored.
  void namesOverTheLimitsAreRefusedWhileTyping() {
    auto window = MakeWindow();
    TAddClassForm form(*window);
    form.show();
    QTest::keyClicks(form.Edt_ClassName, QString(32, QLatin1Char('B')));
    QTest::keyClicks(form.Edt_FriendName, QStringLiteral("Books"));
    QTest::mouseClick(form.Button1, Qt::LeftButton);
    QCOMPARE(dialogs_.Last(),
             std::string("类名最长31个字符: 生成的VB6控件名CB_Manage加类名不能超过40个字符!"));
    form.Edt_ClassName->clear();
    QTest::keyClicks(form.Edt_ClassName, QStringLiteral("Admin"));
    QTest::mouseClick(form.Button1, Qt::LeftButton);
    QCOMPARE(dialogs_.Last(), std::string("类名不能是admin: 建表语句用admin表保存操作员!"));
    QVERIFY(TClassDAO().ListClasses(projectId_).empty());
    QVERIFY(form.isVisible());
  }
};

QTEST_MAIN(ClassFormsTest)
#include "ClassFormsTest.moc"
