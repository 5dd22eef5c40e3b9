// Generation runs started from the main window: the worker thread's progress lines, its
// notifications answered on the window's thread, refusal of a second start, and failures.
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <fstream>
#include <memory>

#include "UiTestSupport.h"
#include "WindowInput.h"
#include "generate/AutoCode.h"
#include "ui/Desktop.h"
#include "ui/MainForm.h"

// How the check names the complete application as the way out of what only it manages.
#define kWayOut \
  ": 请修改模型, 或生成完整应用(菜单\"自动生成完整应用代码\", 或vbgen-cli的--complete)"

using namespace vbgen;
using namespace vbgen::test;
namespace fs = std::filesystem;

class RunTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<TTempHome> home_;
  TFakeDialogs dialogs_;
  TFakeDesktop desktop_;

  static void WriteFile(const fs::path& file, const std::string& text) {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << text;
  }

  // Small templates with the markers, and a support directory of our own.
  void MakeProgramFiles() {
    const fs::path home = home_->path();
    WriteFile(home / "template" / "MainForm.frm",
              "Begin\r\n$MenuString\r\nEnd\r\n$MenuClickHandleString\r\n");
    WriteFile(home / "template" / "vb信息管理系统.vbp", "Type=Exe\r\n$vbpString\r\n");
    WriteFile(home / "template" / "FrmAdd.frx", "add");
    WriteFile(home / "template" / "FrmManage.frx", "manage");
    WriteFile(home / "bak" / "Module1.bas", "Public czry_flag As String\r\n");
    WriteFile(home / "bak" / "images" / "logo.txt", "logo");
  }

  std::unique_ptr<TFormMain> MakeWindow() {
    return std::make_unique<TFormMain>(TProgramDir(home_->path()), dialogs_, desktop_);
  }

  static QStringList MemoLines(TFormMain& window) {
    return window.Memo_State->toPlainText().split('\n', Qt::SkipEmptyParts);
  }

 private slots:
  void init() {
    home_ = std::make_unique<TTempHome>();
    dialogs_ = TFakeDialogs();
    desktop_ = TFakeDesktop();
    MakeProgramFiles();
  }
  void cleanup() { home_.reset(); }

  void aFailedKeyCheckNamesTheClassAndWritesNothing() {
    int project = AddProject("Library");
    int book = AddClass(project, "Book", "图书");
    AddMember(project, book, "bookId", "整型", true, true);
    AddMember(project, book, "isbn", "字符串", true, false, 20);
    int reader = AddClass(project, "Reader", "读者");  // no key either; never reached
    (void)reader;
    auto window = MakeWindow();
    window->Memo_State->setPlainText("an earlier run");
    ShowAndChooseMenuItem(*window, window->ActionGenerate);
    QCOMPARE(dialogs_.shown.front().text,
             std::string("如果以前生成了该项目，最好先删除原来的目录!"));
    // The memo is cleared and stays empty: a refused run writes no progress line.
    QCOMPARE(dialogs_.shown.size(), std::size_t(1));
    QCOMPARE(window->Memo_State->toPlainText(), QString());
    QTRY_VERIFY_WITH_TIMEOUT(!window->RunActive(), 10000);
    QCOMPARE(dialogs_.shown.size(), std::size_t(2));
    QCOMPARE(dialogs_.shown.back().kind, std::string("message"));
    QCOMPARE(dialogs_.Last(), std::string("Book表主键设置错误，每个类只能设置一个主键!"));
    // The whole list goes with the box that refuses the run.
    QCOMPARE(
        dialogs_.shown.back().details,
        std::string("模型检查发现以下问题:\n"
                    "错误: 工程\"Library\" 类\"Book\": Book表主键设置错误，每个类只能设置一个主键! "
                    "多个成员组成的主键只有完整应用能生成" kWayOut "\n"
                    "错误: 工程\"Library\" 类\"Reader\": "
                    "Reader表主键设置错误，每个类只能设置一个主键! "
                    "没有主键的类只有完整应用能生成(显示为只读列表)" kWayOut "\n"
                    "错误: 工程\"Library\" 类\"Reader\": "
                    "Reader表显示成员设置错误，每个类有且只能设置一个显示成员!"));
    QCOMPARE(window->FailedClassId(), book);
    QCOMPARE(window->Memo_State->toPlainText(), QString());
    QVERIFY(!fs::exists(home_->path() / "projects"));
    QVERIFY(desktop_.directories.empty());
  }

  void aFailedDisplayCheckNamesTheSecondClass() {
    int project = AddProject("Library");
    int book = AddClass(project, "Book", "图书");
    AddMember(project, book, "bookId", "整型", true, true);
    int reader = AddClass(project, "Reader", "读者");
    AddMember(project, reader, "readerId", "整型", true, false);
    auto window = MakeWindow();
    ShowAndChooseMenuItem(*window, window->ActionGenerate);
    QTRY_VERIFY_WITH_TIMEOUT(!window->RunActive(), 10000);
    QCOMPARE(dialogs_.Last(),
             std::string("Reader表显示成员设置错误，每个类有且只能设置一个显示成员!"));
    QCOMPARE(window->FailedClassId(), reader);
    QCOMPARE(dialogs_.shown.back().details,
             std::string("模型检查发现以下问题:\n"
                         "错误: 工程\"Library\" 类\"Reader\": "
                         "Reader表显示成员设置错误，每个类有且只能设置一个显示成员!"));
    QCOMPARE(window->Memo_State->toPlainText(), QString());
    QVERIFY(!fs::exists(home_->path() / "projects"));
  }

  void aCleanModelStartsWithoutAProblemList() {
    int project = AddProject("Library");
    int book = AddClass(project, "Book", "图书");
    int reader = AddClass(project, "Reader", "读者");
    AddMember(project, book, "bookId", "整型", true, true);
    AddMember(project, book, "reader", "Reader");
    AddMember(project, reader, "readerId", "整型", true, true);
    auto window = MakeWindow();
    window->Memo_State->setPlainText("an earlier run");
    ShowAndChooseMenuItem(*window, window->ActionGenerate);
    QCOMPARE(window->Memo_State->toPlainText(), QString());
    QTRY_VERIFY_WITH_TIMEOUT(!window->RunActive(), 20000);
    QVERIFY(!window->Memo_State->toPlainText().contains(QStringLiteral("模型检查发现以下问题")));
    QVERIFY(dialogs_.Texts("message").size() == 1);  // only the reminder: no check failed
    QCOMPARE(dialogs_.shown.back().kind, std::string("information"));
    QCOMPARE(dialogs_.shown.back().details, std::string());
  }

  // Keys and displays are right, so the run passes its first checks and stops at the reference.
  void aProblemTheRunChecksLaterIsListedWithItsError() {
    int project = AddProject("Library");
    int book = AddClass(project, "Book", "图书");
    AddMember(project, book, "bookId", "整型", true, true);
    AddMember(project, book, "reader", "Reader");  // no class Reader in the project
    auto window = MakeWindow();
    ShowAndChooseMenuItem(*window, window->ActionGenerate);
    const std::string error =
        "错误: 工程\"Library\" 类\"Book\" 成员\"reader\": 引用的类型\"Reader\"不是本项目中的类!";
    QTRY_VERIFY_WITH_TIMEOUT(!window->RunActive(), 10000);
    QCOMPARE(dialogs_.shown.back().kind, std::string("error"));
    QCOMPARE(dialogs_.Last(), "代码生成失败: " + error);  // the box names the first error
    QCOMPARE(dialogs_.shown.back().details, "模型检查发现以下问题:\n" + error);
    QVERIFY(!fs::exists(home_->path() / "projects"));
    QVERIFY(!window->Memo_State->toPlainText().contains(QStringLiteral("模型检查")));
    QVERIFY(desktop_.directories.empty());
  }

  // The plain project writes the key bare into its queries; the complete application brackets it.
  void theCheckBeforeARunJudgesTheChosenMode() {
    int project = AddProject("Library");
    int order = AddClass(project, "Order", "订单");
    AddMember(project, order, "order", "整型", true, true);
    auto window = MakeWindow();
    ShowAndChooseMenuItem(*window, window->ActionGenerate);
    QTRY_VERIFY_WITH_TIMEOUT(!window->RunActive(), 10000);
    QCOMPARE(dialogs_.shown.back().kind, std::string("error"));
    QVERIFY(dialogs_.Last().find("类名是T-SQL的保留字") != std::string::npos);
    QVERIFY(dialogs_.shown.back().details.find("或生成完整应用") != std::string::npos);
    QVERIFY(!fs::exists(home_->path() / "projects"));

    dialogs_ = TFakeDialogs();
    ShowAndChooseMenuItem(*window, window->ActionGenerateComplete);
    QTRY_VERIFY_WITH_TIMEOUT(!window->RunActive(), 20000);
    QCOMPARE(dialogs_.shown.back().kind, std::string("information"));
    const std::string& details = dialogs_.shown.back().details;
    QVERIFY(details.find("警告: ") != std::string::npos);  // where one's own SQL must bracket
    QVERIFY(details.find("错误: ") == std::string::npos);
    QVERIFY(fs::exists(home_->path() / "projects" / "Library" / "FrmEditOrder.frm"));
  }

  void aSecondStartWhileARunIsActiveIsRefused() {
    AddProject("Library");
    auto window = MakeWindow();
    ShowAndChooseMenuItem(*window, window->ActionGenerate);
    // The run cannot end before this thread answers its last notification, so it is active.
    QVERIFY(window->RunActive());
    ShowAndChooseMenuItem(*window, window->ActionGenerate);
    QCOMPARE(dialogs_.Last(), std::string(kRunBusyText));
    QTRY_VERIFY_WITH_TIMEOUT(!window->RunActive(), 10000);
    QCOMPARE(
        dialogs_.Texts("message"),
        (std::vector<std::string>{"如果以前生成了该项目，最好先删除原来的目录!", kRunBusyText}));
  }

  void closingTheWindowDuringARunWaitsForItQuietly() {
    AddProject("Library");
    auto window = MakeWindow();
    ShowAndChooseMenuItem(*window, window->ActionGenerate);
    QVERIFY(window->RunActive());
    window.reset();  // the run's last notification comes while closing and shows nothing
    QCOMPARE(dialogs_.shown.size(), std::size_t(1));
    QVERIFY(desktop_.directories.empty());
  }

  void anErrorThatEndsTheRunIsShown() {
    AddProject("Library");
    fs::remove(home_->path() / "template" / "MainForm.frm");
    auto window = MakeWindow();
    ShowAndChooseMenuItem(*window, window->ActionGenerate);
    QTRY_VERIFY_WITH_TIMEOUT(!window->RunActive(), 10000);
    std::vector<std::string> errors = dialogs_.Texts("error");
    QCOMPARE(errors.size(), std::size_t(1));
    QVERIFY2(errors.front().find("template/MainForm.frm") != std::string::npos,
             errors.front().c_str());
    QVERIFY(dialogs_.Texts("information").empty());
    QVERIFY(desktop_.directories.empty());
  }

  // A whole run of a project without classes: every generator is called with an empty list.
  // Passes once the generators are in place.
  void aWholeRunEndsWithTheCompletionBoxAndOpensTheOutput() {
    AddProject("Library");
    auto window = MakeWindow();
    ShowAndChooseMenuItem(*window, window->ActionGenerate);
    QTRY_VERIFY_WITH_TIMEOUT(!window->RunActive(), 20000);
    QVERIFY2(dialogs_.Texts("error").empty(), dialogs_.Last().c_str());
    QCOMPARE(dialogs_.shown.back().kind, std::string("information"));
    QCOMPARE(dialogs_.shown.back().text, std::string("所有代码生成完毕!"));
    QCOMPARE(dialogs_.shown.back().caption, std::string("任务提示"));
    const fs::path output = home_->path() / "projects" / "Library";
    QCOMPARE(desktop_.directories, std::vector<fs::path>{output});
    const QStringList lines = MemoLines(*window);
    QVERIFY(lines.size() >= 2);
    QCOMPARE(lines.at(lines.size() - 2), QStringLiteral("正在移动资源文件。。。"));
    QCOMPARE(lines.last(), QStringLiteral("移动资源文件完毕!"));
    QVERIFY(fs::exists(output / "Module1.bas"));
    QVERIFY(fs::exists(output / "images" / "logo.txt"));
    QVERIFY(fs::exists(output / "MainForm.frm"));
  }

  // "自动生成完整应用代码(&C)" chosen with the keyboard from the 代码管理 menu: the same run,
  // whose manage form now has its commands; the plain item keeps the form without code.
  void theCompleteItemWritesWorkingManageForms() {
    int project = AddProject("Library");
    int book = AddClass(project, "Book", "图书");
    AddMember(project, book, "bookId", "整型", true, true);
    auto window = MakeWindow();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QTest::keyClick(window.get(), Qt::Key_A, Qt::AltModifier);
    QTRY_VERIFY(QApplication::activePopupWidget() != nullptr);
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_C);
    QTRY_VERIFY_WITH_TIMEOUT(dialogs_.shown.size() >= 2 && !window->RunActive(), 20000);
    QCOMPARE(dialogs_.shown.front().text,
             std::string("如果以前生成了该项目，最好先删除原来的目录!"));
    QCOMPARE(dialogs_.shown.back().text, std::string("所有代码生成完毕!"));
    const fs::path manage = home_->path() / "projects" / "Library" / "FrmManageBook.frm";
    auto read = [&] {
      std::ifstream in(manage, std::ios::binary);
      return std::string(std::istreambuf_iterator<char>(in), {});
    };
    QVERIFY(read().find("Private Sub mnuEdit_Click()") != std::string::npos);
    QVERIFY(read().find("Option Explicit") != std::string::npos);

    ShowAndChooseMenuItem(*window, window->ActionGenerate);
    QTRY_VERIFY_WITH_TIMEOUT(dialogs_.shown.size() >= 4 && !window->RunActive(), 20000);
    QCOMPARE(dialogs_.shown.back().text, std::string("所有代码生成完毕!"));
    QVERIFY(read().find("mnuEdit_Click") == std::string::npos);
    QVERIFY(read().find("Private Sub") == std::string::npos);
  }
  // After a run the window says where the output went, as an absolute path, under the memo;
  // the memo's lines and the final box stay as the run has them.
  void theOutputFolderIsShownAfterTheRun() {
    AddProject("Library");
    auto window = MakeWindow();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QVERIFY(!window->Edt_OutputDir->isVisible());
    QVERIFY(!window->Btn_OpenOutputDir->isVisible());
    ShowAndChooseMenuItem(*window, window->ActionGenerate);
    QTRY_VERIFY_WITH_TIMEOUT(!window->RunActive(), 20000);
    const fs::path output = fs::absolute(home_->path() / "projects" / "Library").lexically_normal();
    QVERIFY(window->Edt_OutputDir->isVisible());
    QCOMPARE(window->Edt_OutputDir->text(), QString::fromStdString(output.string()));
    QVERIFY(window->Edt_OutputDir->isReadOnly());
    QVERIFY(window->Btn_OpenOutputDir->isVisible());
    QCOMPARE(dialogs_.shown.back().text, std::string("所有代码生成完毕!"));
    QCOMPARE(MemoLines(*window).last(), QStringLiteral("移动资源文件完毕!"));
    QVERIFY(!MemoLines(*window).join('\n').contains(QString::fromStdString(output.string())));
    // The line stands under the memo, inside the progress box.
    QVERIFY(window->Edt_OutputDir->geometry().top() > window->Memo_State->geometry().bottom());
    QVERIFY(window->GroupBox2->rect().contains(window->Btn_OpenOutputDir->geometry()));

    // The button opens that folder again.
    QCOMPARE(desktop_.directories.size(), std::size_t(1));
    Click(window->Btn_OpenOutputDir);
    QCOMPARE(desktop_.directories.size(), std::size_t(2));
    QCOMPARE(desktop_.directories.back(), output);
  }

  // Without a file manager nothing is offered to open, nothing is opened, and the line still
  // says where the output is; a refused run says it too.
  void withoutAFileManagerOnlyTheFolderIsShown() {
    desktop_.fileManager = false;
    int project = AddProject("Library");
    auto window = MakeWindow();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    ShowAndChooseMenuItem(*window, window->ActionGenerate);
    QTRY_VERIFY_WITH_TIMEOUT(!window->RunActive(), 20000);
    QCOMPARE(dialogs_.shown.back().text, std::string("所有代码生成完毕!"));
    QVERIFY(desktop_.directories.empty());
    QVERIFY(window->Edt_OutputDir->isVisible());
    QVERIFY(!window->Btn_OpenOutputDir->isVisible());
    QVERIFY(window->Edt_OutputDir->text().endsWith(QStringLiteral("/projects/Library")));

    AddClass(project, "Book", "图书");  // no key: the run is refused
    TProjectDAO().RenameProject(project, "Shop");
    ShowAndChooseMenuItem(*window, window->ActionGenerate);
    QTRY_VERIFY_WITH_TIMEOUT(!window->RunActive(), 20000);
    QCOMPARE(dialogs_.Last(), std::string("Book表主键设置错误，每个类只能设置一个主键!"));
    QVERIFY(window->Edt_OutputDir->text().endsWith(QStringLiteral("/projects/Shop")));
  }

  // The real desktop hands the folder to xdg-open; when that fails the user gets a box with
  // what it said, not a line on stderr.
  void aFolderThatCannotBeOpenedIsReportedInABox() {
    const fs::path bin = home_->path() / "fakebin";
    const fs::path opened = home_->path() / "opened.txt";
    WriteFile(bin / "xdg-open",
              "#!/bin/sh\nprintf '%s' \"$1\" > '" + opened.string() +
                  "'\n[ -n \"$FAIL\" ] && { echo 'no file manager' >&2; exit 3; }\n"
                  "exit 0\n");
    fs::permissions(bin / "xdg-open", fs::perms::owner_all);
    const QByteArray path = qgetenv("PATH");
    // Put back whatever way the test ends.
    struct TPathBack {
      QByteArray path;
      ~TPathBack() {
        qputenv("PATH", path);
        qunsetenv("FAIL");
      }
    } pathBack{path};
    qputenv("PATH", QByteArray::fromStdString(bin.string()) + ":" + path);
    TQtDesktop desktop;
    desktop.SetFailureReport([&](const std::string& message) { dialogs_.Error(message); });
    QVERIFY(desktop.CanOpenDirectories());
    const fs::path folder = home_->path() / "projects" / "图书馆";
    fs::create_directories(folder);

    desktop.OpenDirectory(folder);
    // The shell makes the file before printf fills it: wait for what it says, not for the file.
    const auto said = [&] {
      std::ifstream in(opened);
      return std::string(std::istreambuf_iterator<char>(in), {});
    };
    QTRY_COMPARE(said(), folder.string());

    qputenv("FAIL", "1");
    desktop.OpenDirectory(folder);
    QTRY_VERIFY(!dialogs_.Texts("error").empty());
    qunsetenv("FAIL");
    QCOMPARE(dialogs_.Texts("error").front(),
             "无法打开文件夹 " + folder.string() + ": xdg-open 退出码 3 (no file manager)");

    // No xdg-open at all: nothing to offer.
    qputenv("PATH", QByteArray::fromStdString((home_->path() / "nobin").string()));
    QVERIFY(!desktop.CanOpenDirectories());
  }
};

QTEST_MAIN(RunTest)
#include "RunTest.moc"
