// The class and member dialogs driven as a person drives them: opened by double clicks and
// access keys, filled by typing, Tab and Space, confirmed with the mouse or the keyboard, their
// boxes answered by pressing the shown box's button; then the table and the database checked.
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <memory>

#include "UiTestSupport.h"
#include "WindowInput.h"
#include "ui/FormAddClass.h"
#include "ui/FormAddMember.h"
#include "ui/FormUpdateClass.h"
#include "ui/FormUpdateMember.h"
#include "ui/MainForm.h"
#include "ui/QtTranslations.h"

using namespace vbgen;
using namespace vbgen::test;

class DialogInputTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<TTempHome> home_;
  std::unique_ptr<TQtDialogs> dialogs_;
  TFakeDesktop desktop_;
  std::unique_ptr<TModalDriver> driver_;
  int projectId_ = 0, bookId_ = 0, readerId_ = 0, loanId_ = 0;

  std::unique_ptr<TFormMain> ShowWindow() {
    return ShowActiveWindow(home_->path(), *dialogs_, desktop_);
  }

  static void DoubleClickClass(TFormMain& window, int row) {
    const QPoint at = window.LB_Object->visualItemRect(window.LB_Object->item(row)).center();
    QTest::mouseClick(window.LB_Object->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(window.LB_Object->viewport(), Qt::LeftButton, {}, at);
  }
  static void DoubleClickTable(TFormMain& window, const QPoint& at) {
    QTest::mouseClick(window.LV_Member->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(window.LV_Member->viewport(), Qt::LeftButton, {}, at);
  }
  static int RowOfMember(TFormMain& window, int memberId) {
    for (int row = 0; row < window.LV_Member->rowCount(); ++row) {
      if (window.LV_Member->item(row, 0)->text().toInt() == memberId) return row;
    }
    return -1;
  }

  // Tab from the focused widget until target has the focus, as a person tabs through a dialog.
  static bool TabTo(QWidget* target) {
    // After a box has closed, its owner takes the keys back.
    if (!QTest::qWaitFor([&] {
          QWidget* focus = QApplication::focusWidget();
          return focus != nullptr && focus->window() == target->window();
        })) {
      return false;
    }
    for (int i = 0; i < 20 && QApplication::focusWidget() != target; ++i) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    return QApplication::focusWidget() == target;
  }
  static void ReplaceText(QLineEdit* edit, const QString& text) {
    QVERIFY(TabTo(edit));
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    TypeText(edit, text);
  }
  static void Tick(QCheckBox* box) {
    QVERIFY(TabTo(box));
    QTest::keyClick(box, Qt::Key_Space);
  }

  // A box answered with the Return key, the way most people close a success box.
  TModalDriver& PressReturn() {
    return driver_->Then([](QDialog& box) { QTest::keyClick(&box, Qt::Key_Return); });
  }

  static void ExpectMainWindowActive(TFormMain& window) {
    QTRY_VERIFY(QApplication::activeWindow() == &window);
    // Alt and an access key reach the menu bar again.
    QWidget* focus = QApplication::focusWidget();
    QTest::keyClick(focus != nullptr ? focus : &window, Qt::Key_P, Qt::AltModifier);
    QTRY_VERIFY(QApplication::activePopupWidget() != nullptr);
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
    QTRY_VERIFY(QApplication::activePopupWidget() == nullptr);
  }

 private slots:
  void init() {
    home_ = std::make_unique<TTempHome>();
    dialogs_ = std::make_unique<TQtDialogs>();
    desktop_ = TFakeDesktop();
    driver_ = std::make_unique<TModalDriver>();
    projectId_ = AddProject("图书馆管理");
    bookId_ = AddClass(projectId_, "Book", "图书");
    readerId_ = AddClass(projectId_, "Reader", "读者");
    loanId_ = AddClass(projectId_, "Loan", "借阅");
    AddMember(projectId_, bookId_, "bookId", "整型", true, false);
    AddMember(projectId_, bookId_, "title", "字符串", false, true, 50);
    AddMember(projectId_, readerId_, "readerId", "整型", true, false);
    AddMember(projectId_, loanId_, "loanId", "整型", true, false);
    AddMember(projectId_, loanId_, "readerId", "Reader");
  }
  void cleanup() {
    QCOMPARE(driver_->unexpected, 0);
    QCOMPARE(driver_->Pending(), std::size_t(0));
    driver_.reset();
    home_.reset();
  }

  void aMemberIsAddedByTyping() {
    auto window = ShowWindow();
    QVERIFY(window);
    // A name the rules refuse first: the box comes, the dialog stays open with the input.
    driver_->Then([&](QDialog& dialog) {
      auto& form = static_cast<TAddMemberForm&>(dialog);
      QCOMPARE(QApplication::focusWidget(), form.Edt_MemberName);
      TypeText(form.Edt_MemberName, "Isbn");
      Click(form.Button1);
      QVERIFY(form.isVisible());
      ReplaceText(form.Edt_MemberName, "isbn");
      Tick(form.CB_MemberIsMust);
      ReplaceText(form.Edt_MemberComment, "国际标准书号");
      Tick(form.CB_QueryFlag);
      ReplaceText(form.Edt_MemberLength, "13");
      Click(form.Button1);
    });
    driver_->Press("确定");
    PressReturn();
    // A double click on the empty part of the table under Book's rows.
    DoubleClickTable(*window, QPoint(60, window->LV_Member->viewport()->height() - 10));
    QCOMPARE(driver_->Texts(),
             (std::vector<std::string>{"", "成员属性首个字母必须小写", "类成员属性添加成功!"}));
    QCOMPARE(driver_->seen.front().caption, std::string("添加成员属性"));

    const TMemberList members = TMemberDAO().ListMembers(bookId_);
    QCOMPARE(members.size(), std::size_t(3));
    const TMember& m = members.back();
    QCOMPARE(m.memberName, std::string("isbn"));
    QCOMPARE(m.memberType, std::string("字符串"));
    QCOMPARE(m.memberLength, 13);
    QCOMPARE(m.memberIsMust, 1);
    QCOMPARE(m.queryFlag, 1);
    QCOMPARE(m.memberIsPri, 0);
    QCOMPARE(m.memberQueryDisplay, 1);
    QCOMPARE(m.memberComment, std::string("国际标准书号"));
    QCOMPARE(window->LV_Member->rowCount(), 3);
    QCOMPARE(window->LV_Member->item(2, 1)->text(), QStringLiteral("isbn"));
    QCOMPARE(window->LV_Member->item(2, 9)->text(), QStringLiteral("国际标准书号"));
    ExpectMainWindowActive(*window);
  }

  void anIntegerMemberIsChosenWithTheKeyboard() {
    auto window = ShowWindow();
    QVERIFY(window);
    driver_->Then([&](QDialog& dialog) {
      auto& form = static_cast<TAddMemberForm&>(dialog);
      TypeText(form.Edt_MemberName, "pages");
      QVERIFY(TabTo(form.CB_MemberType));
      QTest::keyClick(form.CB_MemberType, Qt::Key_Down);
      QCOMPARE(form.CB_MemberType->currentText(), QStringLiteral("整型"));
      Tick(form.CB_MemberIsMust);
      QVERIFY(TabTo(form.Button1));
      QTest::keyClick(form.Button1, Qt::Key_Space);
    });
    PressReturn();
    window->ActionAddMember->trigger();
    const TMember m = TMemberDAO().ListMembers(bookId_).back();
    QCOMPARE(m.memberName, std::string("pages"));
    QCOMPARE(m.memberType, std::string("整型"));
    QCOMPARE(m.memberIsInteger, 1);
    QCOMPARE(m.memberLength, 0);  // the field still shows 20
    ExpectMainWindowActive(*window);
  }

  void okOnAnUnchangedUpdateDialogLeavesTheRowAsItWas() {
    // A reference the list offers, a class of another project it does not, and a row written
    // by another tool that the dialog would build differently (length kept for an integer).
    int shop = AddProject("Shop");
    AddClass(shop, "Goods", "商品");
    const int goodsRef = AddMember(projectId_, loanId_, "goods", "Goods");
    const int odd = AddMember(projectId_, loanId_, "copies", "整型");
    TMember oddRow = *TMemberDAO().GetMember(odd);
    oddRow.memberLength = 8;
    oddRow.memberComment = "旧工具写入";
    TMemberDAO().UpdateMember(oddRow);
    const int readerRef = TMemberDAO().ListMembers(loanId_).at(1).memberId;

    auto window = ShowWindow();
    QVERIFY(window);
    ClickClassRow(*window, 2);  // Loan
    const TMemberList before = TMemberDAO().ListMembers(loanId_);
    for (int memberId : {readerRef, goodsRef, odd}) {
      std::string shownType;
      driver_->Then([&](QDialog& dialog) {
        auto& form = static_cast<TUpdateMemberForm&>(dialog);
        shownType = form.CB_MemberType->currentText().toStdString();
        Click(form.Button1);
      });
      PressReturn();
      DoubleClickTable(*window, MemberRowPoint(*window, RowOfMember(*window, memberId)));
      QCOMPARE(shownType, TMemberDAO().GetMember(memberId)->memberType);
      QCOMPARE(driver_->seen.back().text, std::string("类成员属性更新成功!"));
      ExpectMainWindowActive(*window);
    }
    QCOMPARE(TMemberDAO().ListMembers(loanId_), before);

    // Changing only the comment keeps the type the list lacks.
    driver_->Then([&](QDialog& dialog) {
      auto& form = static_cast<TUpdateMemberForm&>(dialog);
      ReplaceText(form.Edt_MemberComment, "商品引用");
      Click(form.Button1);
    });
    PressReturn();
    DoubleClickTable(*window, MemberRowPoint(*window, RowOfMember(*window, goodsRef)));
    const TMember changed = *TMemberDAO().GetMember(goodsRef);
    QCOMPARE(changed.memberType, std::string("Goods"));
    QCOMPARE(changed.memberComment, std::string("商品引用"));
    QCOMPARE(window->LV_Member->item(RowOfMember(*window, goodsRef), 9)->text(),
             QStringLiteral("商品引用"));
  }

  void aMemberIsUpdatedByTypingAndCancelStoresNothing() {
    auto window = ShowWindow();
    QVERIFY(window);
    const int titleId = TMemberDAO().ListMembers(bookId_).at(1).memberId;
    const TMember before = *TMemberDAO().GetMember(titleId);
    driver_->Then([&](QDialog& dialog) {
      auto& form = static_cast<TUpdateMemberForm&>(dialog);
      ReplaceText(form.Edt_MemberName, "changed");
      Click(form.Button2);
    });
    DoubleClickTable(*window, MemberRowPoint(*window, 1));
    QCOMPARE(*TMemberDAO().GetMember(titleId), before);

    driver_->Then([&](QDialog& dialog) {
      auto& form = static_cast<TUpdateMemberForm&>(dialog);
      QCOMPARE(form.windowTitle(), QStringLiteral("更新成员属性"));
      ReplaceText(form.Edt_MemberName, "bookTitle");
      ReplaceText(form.Edt_MemberLength, "80");
      Tick(form.CB_MemberIsDisplay);  // was ticked: now cleared
      Click(form.Button1);
    });
    PressReturn();
    // The menu item through its access key.
    PickMenuItem(window.get(), Qt::Key_P, Qt::Key_E);
    const TMember after = *TMemberDAO().GetMember(titleId);
    QCOMPARE(after.memberName, std::string("bookTitle"));
    QCOMPARE(after.memberLength, 80);
    QCOMPARE(after.memberIsDisplay, 0);
    QCOMPARE(window->LV_Member->item(1, 1)->text(), QStringLiteral("bookTitle"));
    QCOMPARE(window->LV_Member->item(1, 3)->text(), QStringLiteral("80"));
  }

  void aClassIsAddedByTyping() {
    auto window = ShowWindow();
    QVERIFY(window);
    driver_->Then([&](QDialog& dialog) {
      auto* name = dialog.findChild<QLineEdit*>("Edt_ClassName");
      auto* friendName = dialog.findChild<QLineEdit*>("Edt_FriendName");
      QCOMPARE(QApplication::focusWidget(), name);
      TypeText(name, "Author");
      QTest::keyClick(name, Qt::Key_Tab);
      QCOMPARE(QApplication::focusWidget(), friendName);
      TypeText(friendName, "作者");
      Click(dialog.findChild<QPushButton*>("Button1"));
    });
    PressReturn();
    PickMenuItem(window.get(), Qt::Key_P, Qt::Key_A);
    QCOMPARE(driver_->seen.back().text, std::string("类名称添加成功！"));
    const TNamedIdList classes = TClassDAO().ListClasses(projectId_);
    QCOMPARE(classes.back().name, std::string("Author"));
    QCOMPARE(TClassDAO().GetFriendName(classes.back().id), std::string("作者"));
    QCOMPARE(TClassDAO().GetFrontShowFlag(classes.back().id), 1);
    QCOMPARE(window->LB_Object->item(3)->text(), QStringLiteral("Author"));
    ExpectMainWindowActive(*window);
  }

  // Confirmed from the keyboard, the success box closed with Return: the main window takes the
  // keys again, every time.
  void aClassIsRenamedFromTheKeyboardAndTheWindowHasTheFocusAgain() {
    auto window = ShowWindow();
    QVERIFY(window);
    for (int round = 0; round < 5; ++round) {
      const QString name = QStringLiteral("Reader%1").arg(round);
      driver_->Then([&](QDialog& dialog) {
        auto& form = static_cast<TUpdateClassForm&>(dialog);
        QCOMPARE(form.Edt_ClassName->text(), window->LB_Object->item(1)->text());
        form.Edt_ClassName->selectAll();
        TypeText(form.Edt_ClassName, name);
        QVERIFY(TabTo(form.Button1));
        QTest::keyClick(form.Button1, Qt::Key_Space);
      });
      PressReturn();
      DoubleClickClass(*window, 1);
      QCOMPARE(driver_->seen.back().text, std::string("类名称更新成功"));
      QCOMPARE(TClassDAO().GetClassNameById(readerId_), name.toStdString());
      QCOMPARE(window->LB_Object->item(1)->text(), name);
      // The reference of Loan follows the rename.
      QCOMPARE(TMemberDAO().ListMembers(loanId_).at(1).memberType, name.toStdString());
      ExpectMainWindowActive(*window);
    }
  }
  // Return in the last field submits both add dialogs, a refused input included: the box
  // comes and the dialog stays with the input.
  void enterSubmitsTheAddDialogs() {
    auto window = ShowWindow();
    QVERIFY(window);
    driver_->Then([&](QDialog& dialog) {
      auto& form = static_cast<TAddClassForm&>(dialog);
      TypeText(form.Edt_ClassName, "author");
      QTest::keyClick(form.Edt_ClassName, Qt::Key_Tab);
      TypeText(form.Edt_FriendName, "作者");
      QTest::keyClick(form.Edt_FriendName, Qt::Key_Return);
      QVERIFY(form.isVisible());
      QCOMPARE(form.Edt_FriendName->text(), QStringLiteral("作者"));
      ReplaceText(form.Edt_ClassName, "Author");
      QTest::keyClick(form.Edt_ClassName, Qt::Key_Return);
    });
    driver_->Press("确定");
    PressReturn();
    PickMenuItem(window.get(), Qt::Key_P, Qt::Key_A);
    QCOMPARE(driver_->Texts(),
             (std::vector<std::string>{"", "类名首个字母必须大写", "类名称添加成功！"}));
    QCOMPARE(TClassDAO().ListClasses(projectId_).back().name, std::string("Author"));

    driver_->Then([&](QDialog& dialog) {
      auto& form = static_cast<TAddMemberForm&>(dialog);
      TypeText(form.Edt_MemberName, "isbn");
      QVERIFY(TabTo(form.Edt_MemberComment));
      TypeText(form.Edt_MemberComment, "书号");
      QTest::keyClick(form.Edt_MemberComment, Qt::Key_Enter);
    });
    PressReturn();
    ClickClassRow(*window, 0);
    PickMenuItem(window.get(), Qt::Key_P, Qt::Key_M);
    QCOMPARE(driver_->seen.back().text, std::string("类成员属性添加成功!"));
    QCOMPARE(TMemberDAO().ListMembers(bookId_).back().memberComment, std::string("书号"));
  }

  // 取消 of the add-class dialog, clicked or reached with Tab and pressed with Return, adds
  // nothing; Tab still goes name, friendly name, OK, check box first.
  void cancelLeavesTheAddClassDialogWithoutAdding() {
    auto window = ShowWindow();
    QVERIFY(window);
    const TNamedIdList before = TClassDAO().ListClasses(projectId_);
    driver_->Then([&](QDialog& dialog) {
      auto& form = static_cast<TAddClassForm&>(dialog);
      QCOMPARE(TabChain(form.Edt_ClassName, 5),
               (std::vector<QWidget*>{form.Edt_ClassName, form.Edt_FriendName, form.Button1,
                                      form.CB_FrontShowFlag, form.Button2}));
      TypeText(form.Edt_ClassName, "Author");
      Click(form.Button2);
    });
    PickMenuItem(window.get(), Qt::Key_P, Qt::Key_A);
    driver_->Then([&](QDialog& dialog) {
      auto& form = static_cast<TAddClassForm&>(dialog);
      TypeText(form.Edt_ClassName, "Author");
      QTest::keyClick(form.Edt_ClassName, Qt::Key_Tab);
      TypeText(form.Edt_FriendName, "作者");
      QVERIFY(TabTo(form.Button2));
      QTest::keyClick(form.Button2, Qt::Key_Return);
    });
    PickMenuItem(window.get(), Qt::Key_P, Qt::Key_A);
    QCOMPARE(driver_->Texts(), (std::vector<std::string>{"", ""}));
    QCOMPARE(TClassDAO().ListClasses(projectId_), before);
    ExpectMainWindowActive(*window);
  }

  // A name the rules refuse keeps the new-project box open with the text, to be mended; a
  // cancel still says the name is empty.
  void aRefusedProjectNameStaysInTheBox() {
    auto window = ShowWindow();
    QVERIFY(window);
    driver_->Then([&](QDialog& box) {
      QLineEdit* edit = box.findChild<QLineEdit*>();
      QVERIFY(edit != nullptr);
      TypeText(edit, "a/b");
      Click(ButtonCaptioned(box, "确定"));
      QVERIFY(box.isVisible());
      QCOMPARE(edit->text(), QStringLiteral("a/b"));
      QTest::mouseClick(edit, Qt::LeftButton);
      QTest::keyClick(edit, Qt::Key_End);
      QTest::keyClick(edit, Qt::Key_Backspace);
      QTest::keyClick(edit, Qt::Key_Backspace);
      TypeText(edit, "-b");
      Click(ButtonCaptioned(box, "确定"));
    });
    driver_->Press("确定");
    PressReturn();
    PickMenuItem(window.get(), Qt::Key_P, Qt::Key_F);
    QCOMPARE(driver_->seen.size(), std::size_t(3));
    QCOMPARE(driver_->seen.at(1).text,
             std::string("工程名称不能包含控制字符或下列字符: < > : \" / \\ | ? *"));
    QCOMPARE(driver_->seen.back().text, std::string("工程名称添加成功！"));
    QCOMPARE(TProjectDAO().CountProjectsByName("a-b"), 1);
    QCOMPARE(TProjectDAO().CountProjectsByName("a/b"), 0);

    // A refused name, then 取消: the box closes and the empty name is refused as before.
    const std::size_t projects = TProjectDAO().ListProjects().size();
    driver_->Then([&](QDialog& box) {
      QLineEdit* edit = box.findChild<QLineEdit*>();
      TypeText(edit, "a-b");
      Click(ButtonCaptioned(box, "确定"));
      QVERIFY(box.isVisible());
      Click(ButtonCaptioned(box, "取消"));
    });
    driver_->Press("确定");
    driver_->Press("确定");
    PickMenuItem(window.get(), Qt::Key_P, Qt::Key_F);
    QCOMPARE(driver_->seen.at(4).text, std::string("该工程名称已经存在!"));
    QCOMPARE(driver_->seen.back().text, std::string("工程名称不能为空!"));
    QCOMPARE(TProjectDAO().ListProjects().size(), projects);
  }

  // Qt's own dialogs and buttons speak Chinese: the file dialog, and the standard OK of the
  // box that reports a fatal error at start-up.
  void qtsOwnTextsAreChinese() {
    const std::optional<std::string> missing = InstallQtTranslations(*qApp);
    QVERIFY2(!missing, missing ? missing->c_str() : "");
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "OK"), QStringLiteral("确定"));

    auto window = ShowWindow();
    QVERIFY(window);
    dialogs_->SetOwner(window.get());
    QString lookIn;
    driver_->Then([&](QDialog& box) {
      auto* files = qobject_cast<QFileDialog*>(&box);
      QVERIFY(files != nullptr);
      lookIn = files->labelText(QFileDialog::LookIn);
      Click(ButtonCaptioned(box, "取消"));
    });
    QVERIFY(!dialogs_->OpenFileName("导入项目模型", "项目模型 (*.json)"));
    QVERIFY(!lookIn.isEmpty());
    QVERIFY2(lookIn != QStringLiteral("Look in:"), qPrintable(lookIn));

    driver_->Press("确定");
    QMessageBox::critical(nullptr, QStringLiteral("tavorinvb代码生成器"), QStringLiteral("坏了"));
    QCOMPARE(driver_->seen.back().text, std::string("坏了"));
  }
};

QTEST_MAIN(DialogInputTest)
#include "DialogInputTest.moc"
