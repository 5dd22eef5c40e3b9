// The main window driven as a person drives it: mouse clicks on the lists, the menus through
// their access keys, the context menu through its event, and the real message, confirmation
// and input boxes answered by pressing their buttons.
#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QTest>
#include <fstream>
#include <memory>

#include "UiTestSupport.h"
#include "WindowInput.h"
#include "ui/MainForm.h"

using namespace vbgen;
using namespace vbgen::test;
namespace fs = std::filesystem;

class MainWindowInputTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<TTempHome> home_;
  std::unique_ptr<TQtDialogs> dialogs_;
  TFakeDesktop desktop_;
  std::unique_ptr<TModalDriver> driver_;

  std::unique_ptr<TFormMain> ShowWindow() {
    return ShowActiveWindow(home_->path(), *dialogs_, desktop_);
  }

  // Opens the member table's context menu over a row, as the right mouse button or the menu
  // key does, and picks an item by its access key.
  static void PickContextItem(TFormMain& window, int row, Qt::Key itemKey) {
    QWidget* viewport = window.LV_Member->viewport();
    const QPoint at = MemberRowPoint(window, row);
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, viewport->mapToGlobal(at));
    QApplication::sendEvent(viewport, &event);
    QTRY_VERIFY(window.PopupMenu1->isVisible());
    QTest::keyClick(window.PopupMenu1, itemKey);
  }

  static void ClickRow(TFormMain& window, int row, Qt::KeyboardModifiers modifiers = {}) {
    QTest::mouseClick(window.LV_Member->viewport(), Qt::LeftButton, modifiers,
                      MemberRowPoint(window, row));
  }

  static QStringList Column(TFormMain& window, int column) {
    QStringList texts;
    for (int row = 0; row < window.LV_Member->rowCount(); ++row)
      texts << window.LV_Member->item(row, column)->text();
    return texts;
  }
  // The stored members of a class, in stored order: ids and names.
  static QStringList StoredIds(int classId) {
    QStringList ids;
    for (const TMember& m : TMemberDAO().ListMembers(classId)) ids << QString::number(m.memberId);
    return ids;
  }
  static QStringList StoredNames(int classId) {
    QStringList names;
    for (const TMember& m : TMemberDAO().ListMembers(classId))
      names << QString::fromStdString(m.memberName);
    return names;
  }

  // 图书馆管理: Book, Reader and Loan, each with its own members.
  struct TLibrary {
    int projectId, bookId, readerId, loanId;
  };
  static TLibrary MakeLibrary() {
    TLibrary lib{};
    lib.projectId = AddProject("图书馆管理");
    lib.bookId = AddClass(lib.projectId, "Book", "图书");
    lib.readerId = AddClass(lib.projectId, "Reader", "读者");
    lib.loanId = AddClass(lib.projectId, "Loan", "借阅");
    AddMember(lib.projectId, lib.bookId, "bookId", "整型", true);
    AddMember(lib.projectId, lib.bookId, "title", "字符串", false, true, 50);
    AddMember(lib.projectId, lib.bookId, "price", "浮点型");
    AddMember(lib.projectId, lib.readerId, "readerId", "整型", true);
    AddMember(lib.projectId, lib.readerId, "readerName", "字符串", false, true, 20);
    AddMember(lib.projectId, lib.loanId, "loanId", "整型", true);
    AddMember(lib.projectId, lib.loanId, "book", "Book");
    AddMember(lib.projectId, lib.loanId, "readerId", "Reader");
    AddMember(lib.projectId, lib.loanId, "loanDate", "日期型", false, true);
    return lib;
  }

  static void WriteFile(const fs::path& file, const std::string& text) {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << text;
  }
  void MakeProgramFiles() {
    const fs::path home = home_->path();
    WriteFile(home / "template" / "MainForm.frm",
              "Begin\r\n$MenuString\r\nEnd\r\n$MenuClickHandleString\r\n");
    WriteFile(home / "template" / "vb信息管理系统.vbp", "Type=Exe\r\n$vbpString\r\n");
    WriteFile(home / "template" / "FrmAdd.frx", "add");
    WriteFile(home / "template" / "FrmManage.frx", "manage");
    WriteFile(home / "bak" / "Module1.bas", "Public czry_flag As String\r\n");
  }

 private slots:
  void init() {
    home_ = std::make_unique<TTempHome>();
    dialogs_ = std::make_unique<TQtDialogs>();
    desktop_ = TFakeDesktop();
    driver_ = std::make_unique<TModalDriver>();
  }
  void cleanup() {
    QCOMPARE(driver_->unexpected, 0);
    driver_.reset();
    home_.reset();
  }

  void aClickOnAClassShowsExactlyItsMembers() {
    TLibrary lib = MakeLibrary();
    auto window = ShowWindow();
    QVERIFY(window);
    const std::pair<int, int> picks[] = {
        {1, lib.readerId}, {0, lib.bookId}, {2, lib.loanId}, {1, lib.readerId}, {1, lib.readerId}};
    for (const auto& [row, classId] : picks) {
      ClickClassRow(*window, row);
      QCOMPARE(window->SelectedClassId(), std::optional(classId));
      QCOMPARE(Column(*window, 0), StoredIds(classId));
      QCOMPARE(Column(*window, 1), StoredNames(classId));
    }
    // The keyboard moves the selection and the table follows.
    QTest::keyClick(window->LB_Object, Qt::Key_Down);
    QCOMPARE(window->SelectedClassId(), std::optional(lib.loanId));
    QCOMPARE(Column(*window, 0), StoredIds(lib.loanId));
    QTest::keyClick(window->LB_Object, Qt::Key_Home);
    QCOMPARE(Column(*window, 0), StoredIds(lib.bookId));
    // Ctrl and a click takes the selection away: no class is selected, no rows are shown.
    ClickClassRow(*window, 0, Qt::ControlModifier);
    QCOMPARE(window->SelectedClassId(), std::optional<int>());
    QCOMPARE(window->LV_Member->rowCount(), 0);
    ClickClassRow(*window, 2);
    QCOMPARE(Column(*window, 1), StoredNames(lib.loanId));
  }

  void theContextMenuSwapsAndMovesMembers() {
    TLibrary lib = MakeLibrary();
    auto window = ShowWindow();
    QVERIFY(window);
    ClickClassRow(*window, 2);  // Loan: loanId, book, readerId, loanDate
    const QStringList ids = StoredIds(lib.loanId);

    ClickRow(*window, 1);
    ClickRow(*window, 3, Qt::ControlModifier);
    PickContextItem(*window, 3, Qt::Key_E);
    QCOMPARE(StoredNames(lib.loanId), (QStringList{"loanId", "loanDate", "readerId", "book"}));
    QCOMPARE(StoredIds(lib.loanId), ids);  // keys stay, contents move
    QCOMPARE(Column(*window, 1), StoredNames(lib.loanId));

    ClickRow(*window, 2);
    PickContextItem(*window, 2, Qt::Key_U);
    QCOMPARE(StoredNames(lib.loanId), (QStringList{"loanId", "readerId", "loanDate", "book"}));
    ClickRow(*window, 0);
    PickContextItem(*window, 0, Qt::Key_L);
    QCOMPARE(StoredNames(lib.loanId), (QStringList{"readerId", "loanId", "loanDate", "book"}));
    QCOMPARE(Column(*window, 1), StoredNames(lib.loanId));

    // The refusals come in the real box, and change nothing.
    driver_->Press("确定").Press("确定");
    ClickRow(*window, 0);
    PickContextItem(*window, 0, Qt::Key_U);
    ClickRow(*window, 0);
    PickContextItem(*window, 0, Qt::Key_E);
    QCOMPARE(driver_->Texts(),
             (std::vector<std::string>{"第一个成员无法上移了！", "请选中2条记录!"}));
    QCOMPARE(driver_->seen.front().caption, std::string(kApplicationTitle));
    QCOMPARE(StoredNames(lib.loanId), (QStringList{"readerId", "loanId", "loanDate", "book"}));

    // Deleting from the context menu asks first; Cancel keeps the member.
    driver_->seen.clear();
    driver_->Press("取消");
    ClickRow(*window, 3);
    PickContextItem(*window, 3, Qt::Key_D);
    QCOMPARE(driver_->Texts(), std::vector<std::string>{"确定删除当前成员属性?"});
    QCOMPARE(TMemberDAO().ListMembers(lib.loanId).size(), std::size_t(4));
    driver_->Press("确定").Press("确定");
    ClickRow(*window, 3);
    PickContextItem(*window, 3, Qt::Key_D);
    QCOMPARE(StoredNames(lib.loanId), (QStringList{"readerId", "loanId", "loanDate"}));
    QCOMPARE(Column(*window, 1), StoredNames(lib.loanId));
  }

  void projectsAreMadeRenamedAndDeletedThroughTheInputBoxes() {
    auto window = ShowWindow();
    QVERIFY(window);
    driver_->Type("图书馆管理").Press("确定");
    PickMenuItem(window.get(), Qt::Key_P, Qt::Key_F);
    QCOMPARE(driver_->seen.at(0).kind, std::string("input"));
    QCOMPARE(driver_->seen.at(0).caption, std::string("请输入工程名称"));
    QCOMPARE(driver_->seen.at(1).text, std::string("工程名称添加成功！"));
    QCOMPARE(TProjectDAO().ListProjects().size(), std::size_t(1));
    QCOMPARE(TProjectDAO().ListProjects().front().name, std::string("图书馆管理"));
    QCOMPARE(window->CB_Project->currentText(), QStringLiteral("图书馆管理"));

    // The same name again: refused, and the box stays with the name until cancelled; then a
    // cancelled box. Nothing stored.
    driver_
        ->Then([](QDialog& box) {
          QLineEdit* edit = box.findChild<QLineEdit*>();
          TypeText(edit, "图书馆管理");
          Click(ButtonCaptioned(box, "确定"));
          QVERIFY(box.isVisible());
          QCOMPARE(edit->text(), QStringLiteral("图书馆管理"));
          Click(ButtonCaptioned(box, "取消"));
        })
        .Press("确定")
        .Press("确定")
        .Type("x", "取消")
        .Press("确定");
    PickMenuItem(window.get(), Qt::Key_P, Qt::Key_F);
    PickMenuItem(window.get(), Qt::Key_P, Qt::Key_F);
    QCOMPARE(driver_->seen.at(3).text, std::string("该工程名称已经存在!"));
    QCOMPARE(driver_->seen.at(4).text, std::string("工程名称不能为空!"));
    QCOMPARE(driver_->seen.at(6).text, std::string("工程名称不能为空!"));
    QCOMPARE(TProjectDAO().ListProjects().size(), std::size_t(1));

    driver_->seen.clear();
    driver_->Type("Library2").Press("确定");
    PickMenuItem(window.get(), Qt::Key_P, Qt::Key_X);
    QCOMPARE(driver_->seen.at(0).caption, std::string("请输入项目名称"));
    QCOMPARE(driver_->seen.at(1).text, std::string("工程名称修改成功！"));
    QCOMPARE(TProjectDAO().ListProjects().front().name, std::string("Library2"));
    QCOMPARE(window->CB_Project->currentText(), QStringLiteral("Library2"));

    driver_->seen.clear();
    driver_->Press("取消");
    PickMenuItem(window.get(), Qt::Key_P, Qt::Key_D);
    QCOMPARE(driver_->seen.at(0).text, std::string("确认删除当前项目吗?"));
    QCOMPARE(driver_->seen.at(0).caption, std::string("删除提示"));
    QCOMPARE(TProjectDAO().ListProjects().size(), std::size_t(1));
    driver_->Press("确定").Press("确定");
    PickMenuItem(window.get(), Qt::Key_P, Qt::Key_D);
    QCOMPARE(driver_->seen.back().text, std::string("删除成功!"));
    QVERIFY(TProjectDAO().ListProjects().empty());
    QCOMPARE(window->CB_Project->count(), 0);
  }

  void theProjectDropDownShowsThatProjectsClasses() {
    MakeLibrary();
    int shop = AddProject("Shop");
    int goods = AddClass(shop, "Goods", "商品");
    AddMember(shop, goods, "goodsId", "整型", true);
    auto window = ShowWindow();
    QVERIFY(window);
    window->CB_Project->setFocus();
    QTest::keyClick(window->CB_Project, Qt::Key_Down);
    QCOMPARE(window->CB_Project->currentText(), QStringLiteral("Shop"));
    QCOMPARE(window->LB_Object->count(), 1);
    QCOMPARE(window->SelectedClassId(), std::optional(goods));
    QCOMPARE(Column(*window, 1), StoredNames(goods));
  }

  void classesAreDeletedFromTheMenu() {
    TLibrary lib = MakeLibrary();
    auto window = ShowWindow();
    QVERIFY(window);
    ClickClassRow(*window, 1);
    driver_->Press("确定");
    // The short success box is still wide enough for its whole caption in the title bar.
    int boxWidth = 0, captionWidth = 0;
    driver_->Then([&](QDialog& box) {
      QFont bold = box.font();
      bold.setBold(true);
      captionWidth = QFontMetrics(bold).horizontalAdvance(box.windowTitle());
      boxWidth = box.width();
      Click(ButtonCaptioned(box, "确定"));
    });
    PickMenuItem(window.get(), Qt::Key_P, Qt::Key_S);
    QVERIFY2(boxWidth >= captionWidth + 100,
             qPrintable(QString("%1 %2").arg(boxWidth).arg(captionWidth)));
    QCOMPARE(driver_->Texts(), (std::vector<std::string>{"确认删除此类对象！", "类对象删除成功!"}));
    QCOMPARE(TClassDAO().ListClasses(lib.projectId).size(), std::size_t(2));
    QVERIFY(TMemberDAO().ListMembers(lib.readerId).empty());
    QCOMPARE(window->LB_Object->count(), 2);
    QCOMPARE(window->LV_Member->rowCount(), 0);
  }

  void theScriptIsCopiedWithItsLineEnds() {
    TLibrary lib = MakeLibrary();
    (void)lib;
    auto window = ShowWindow();
    QVERIFY(window);
    QApplication::clipboard()->clear();
    QString copied, shown;
    driver_->Then([&](QDialog& dialog) {
      auto* memo = dialog.findChild<QPlainTextEdit*>("Memo_Sql");
      QVERIFY(memo != nullptr);
      shown = memo->toPlainText();
      QTest::mouseClick(memo->viewport(), Qt::LeftButton, {}, QPoint(20, 20));
      QTest::keyClick(memo, Qt::Key_A, Qt::ControlModifier);
      QTest::keyClick(memo, Qt::Key_C, Qt::ControlModifier);
      copied = QApplication::clipboard()->text();
      QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    // The item has no access key: the first item of the menu, chosen with Return.
    PickMenuItem(window.get(), Qt::Key_A, Qt::Key_Return);
    QCOMPARE(driver_->seen.size(), std::size_t(1));
    QCOMPARE(driver_->seen.front().caption, std::string("数据库建表sql语句"));
    QVERIFY(shown.contains(QStringLiteral("CREATE TABLE [dbo].[Loan]")));
    QVERIFY(!copied.isEmpty());
    QCOMPARE(copied.count(QStringLiteral("\r\n")), copied.count(QLatin1Char('\n')));
    QCOMPARE(QString(copied).replace(QStringLiteral("\r\n"), QStringLiteral("\n")), shown);
    QVERIFY(copied.startsWith(QStringLiteral("GO\r\n\r\nCREATE TABLE [dbo].[admin](\r\n")));
    QVERIFY(!QApplication::clipboard()->mimeData()->hasHtml());
  }

  void aWholeRunEndsInTheCompletionBox() {
    MakeProgramFiles();
    int project = AddProject("Library");
    int book = AddClass(project, "Book", "图书");
    AddMember(project, book, "bookId", "整型", true);
    AddMember(project, book, "title", "字符串", false, true, 50);
    auto window = ShowWindow();
    QVERIFY(window);
    driver_->Press("确定").Press("确定");
    PickMenuItem(window.get(), Qt::Key_A, Qt::Key_A);
    QTRY_COMPARE_WITH_TIMEOUT(driver_->seen.size(), std::size_t(2), 20000);
    QTRY_VERIFY_WITH_TIMEOUT(!window->RunActive(), 20000);
    QCOMPARE(driver_->Texts(),
             (std::vector<std::string>{"如果以前生成了该项目，最好先删除原来的目录!",
                                       "所有代码生成完毕!"}));
    QCOMPARE(driver_->seen.back().caption, std::string("任务提示"));
    const fs::path output = home_->path() / "projects" / "Library";
    QCOMPARE(desktop_.directories, std::vector<fs::path>{output});
    QVERIFY(fs::exists(output / "FrmAddBook.frm"));
    QVERIFY(fs::exists(output / "Module1.bas"));
    QVERIFY(window->Memo_State->toPlainText().endsWith(QStringLiteral("移动资源文件完毕!")));
    QCOMPARE(QApplication::activeWindow(), window.get());
  }

  void aRefusedRunListsTheProblemsInItsBox() {
    MakeProgramFiles();
    TLibrary lib = MakeLibrary();
    const int fine = AddClass(lib.projectId, "Fine", "罚款");
    AddMember(lib.projectId, fine, "fineId", "整型", true);  // no display member
    AddMember(lib.projectId, fine, "payer", "Member");       // no class Member
    auto window = ShowWindow();
    QVERIFY(window);
    window->Memo_State->setPlainText("an earlier run");
    driver_->Press("确定").Press("确定");
    PickMenuItem(window.get(), Qt::Key_A, Qt::Key_A);
    QTRY_COMPARE_WITH_TIMEOUT(driver_->seen.size(), std::size_t(2), 20000);
    QTRY_VERIFY_WITH_TIMEOUT(!window->RunActive(), 20000);
    const auto& refusal = driver_->seen.back();
    QCOMPARE(QString::fromStdString(refusal.text),
             QStringLiteral("Fine表显示成员设置错误，每个类有且只能设置一个显示成员!"));
    QCOMPARE(QString::fromStdString(refusal.details),
             QStringLiteral("模型检查发现以下问题:\n"
                            "错误: 工程\"图书馆管理\" 类\"Fine\": "
                            "Fine表显示成员设置错误，每个类有且只能设置一个显示成员!\n"
                            "错误: 工程\"图书馆管理\" 类\"Fine\" 成员\"payer\": "
                            "引用的类型\"Member\"不是本项目中的类!"));
    QCOMPARE(window->Memo_State->toPlainText(), QString());
    QVERIFY(!fs::exists(home_->path() / "projects"));
  }

  // A run cannot be cancelled: closing keeps the window up until the run is done, then the
  // window goes by itself, without the completion box.
  void closingDuringARunWaitsVisiblyThenCloses() {
    MakeProgramFiles();
    AddProject("Library");
    auto window = ShowWindow();
    QVERIFY(window);
    driver_->Press("确定");
    PickMenuItem(window.get(), Qt::Key_A, Qt::Key_A);
    QVERIFY(window->RunActive());  // its last notification needs this thread
    QVERIFY(!window->close());
    QVERIFY(window->isVisible());
    QVERIFY(window->Memo_State->toPlainText().contains(QString::fromUtf8(kCloseAfterRunText)));
    QTRY_VERIFY_WITH_TIMEOUT(!window->isVisible(), 20000);
    QVERIFY(!window->RunActive());
    QCOMPARE(driver_->seen.size(), std::size_t(1));
    QVERIFY(desktop_.directories.empty());
    QVERIFY(fs::exists(home_->path() / "projects" / "Library" / "Module1.bas"));
  }
};

QTEST_MAIN(MainWindowInputTest)
#include "MainWindowInputTest.moc"
