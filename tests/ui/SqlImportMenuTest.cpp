// The project menu's "从SQL脚本导入…", chosen with the mouse: the script picked in the file
// dialog becomes a new project, selected, with what was left out in the memo; a script that
// cannot be imported is shown in an error box and changes nothing.
#include <QAction>
#include <QComboBox>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTest>
#include <fstream>
#include <memory>

#include "UiTestSupport.h"
#include "ui/MainForm.h"

using namespace vbgen;
using namespace vbgen::test;
namespace fs = std::filesystem;

namespace {

constexpr const char* kScript = R"(CREATE TABLE [dbo].[Shelf](
	[ShelfID] [int] IDENTITY(1,1) NOT NULL,
	[Place] [nvarchar](20) NOT NULL,
 CONSTRAINT [PK_Shelf] PRIMARY KEY CLUSTERED ([ShelfID] ASC)
) ON [PRIMARY]
GO
CREATE TABLE [dbo].[Book](
	[BookID] [int] IDENTITY(1,1) NOT NULL PRIMARY KEY,
	[Title] [nvarchar](100) NOT NULL,
	[ShelfID] [int] NULL REFERENCES [dbo].[Shelf] ([ShelfID])
) ON [PRIMARY]
GO
CREATE TABLE [dbo].[Loan]([BookID] [int] NOT NULL, [Reader] [int] NOT NULL,
 CONSTRAINT [PK_Loan] PRIMARY KEY ([BookID], [Reader]))
GO
)";

QStringList Items(QComboBox* box) {
  QStringList texts;
  for (int i = 0; i < box->count(); ++i) texts << box->itemText(i);
  return texts;
}

QStringList Items(QListWidget* list) {
  QStringList texts;
  for (int row = 0; row < list->count(); ++row) texts << list->item(row)->text();
  return texts;
}

}  // namespace

class SqlImportMenuTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<TTempHome> home_;
  TFakeDialogs dialogs_;
  TFakeDesktop desktop_;

  std::unique_ptr<TFormMain> ShownWindow() {
    auto window = std::make_unique<TFormMain>(TProgramDir(home_->path()), dialogs_, desktop_);
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get())) return nullptr;
    return window;
  }

  fs::path Write(const std::string& name, const std::string& text) {
    fs::path file = home_->path() / name;
    std::ofstream(file, std::ios::binary) << text;
    return file;
  }

  // Opens the project menu by its title in the menu bar and clicks the item, as a user would.
  static bool ChooseFromProjectMenu(TFormMain& window, QAction* item) {
    QMenuBar* bar = window.menuBar();
    QAction* title = bar->actions().front();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(title).center());
    QMenu* menu = title->menu();
    if (!QTest::qWaitFor([menu] { return menu->isVisible(); })) return false;
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(item).center());
    return QTest::qWaitFor([menu] { return !menu->isVisible(); });
  }

 private slots:
  void init() {
    home_ = std::make_unique<TTempHome>();
    dialogs_ = TFakeDialogs();
    desktop_ = TFakeDesktop();
  }
  void cleanup() { home_.reset(); }

  void theItemFollowsTheModelFileImport() {
    auto window = ShownWindow();
    QVERIFY(window);
    QCOMPARE(window->ActionImportSql->text(), QString::fromUtf8("从SQL脚本导入\u2026"));
    const QList<QAction*> items = window->menuBar()->actions().front()->menu()->actions();
    const auto at = items.indexOf(window->ActionImportModel);
    QVERIFY(at >= 0);
    QCOMPARE(items.value(at + 1), window->ActionImportSql);
  }

  void theChosenScriptBecomesTheSelectedProject() {
    AddProject("Alpha");
    auto window = ShownWindow();
    QVERIFY(window);
    dialogs_.fileNames = {Write("library.sql", kScript).string()};
    QVERIFY(ChooseFromProjectMenu(*window, window->ActionImportSql));

    QCOMPARE(dialogs_.fileDialogs.size(), std::size_t(1));
    QCOMPARE(dialogs_.fileDialogs.back().kind, std::string("open"));
    QCOMPARE(dialogs_.fileDialogs.back().caption, std::string("从SQL脚本导入"));
    QCOMPARE(dialogs_.fileDialogs.back().filter, std::string("SQL脚本 (*.sql);;所有文件 (*)"));
    QCOMPARE(dialogs_.shown.size(), std::size_t(1));
    QCOMPARE(dialogs_.shown.back().kind, std::string("message"));
    QCOMPARE(dialogs_.Last(),
             std::string("SQL脚本导入成功！共导入3个类, 未导入或已调整之处见信息栏"));

    QCOMPARE(Items(window->CB_Project), (QStringList{"Alpha", "library"}));
    QCOMPARE(window->CB_Project->currentText(), QStringLiteral("library"));
    QCOMPARE(Items(window->LB_Object), (QStringList{"Shelf", "Book", "Loan"}));
    const int projectId = window->SelectedProjectId().value();
    const int book = TClassDAO().FindClassId(projectId, "Book").value();
    QCOMPARE(TMemberDAO().ListMembers(book).back().memberType, std::string("Shelf"));
    QCOMPARE(TMemberDAO().ListMembers(book).back().memberAllowNull, 1);
    // The loans keep their key of two columns.
    const TMemberList loan =
        TMemberDAO().ListMembers(TClassDAO().FindClassId(projectId, "Loan").value());
    QCOMPARE(loan.size(), std::size_t(2));
    QVERIFY(loan[0].memberIsPri == 1 && loan[1].memberIsPri == 1);

    const QString memo = window->Memo_State->toPlainText();
    QVERIFY2(memo.contains(QString::fromUtf8("导入新工程 library, 共3个类")), qPrintable(memo));
    QVERIFY(memo.contains(QString::fromUtf8(
        "注意: 表\"Loan\"的列\"Reader\"是整型主键却不是IDENTITY列, 已设为由用户输入")));
    QVERIFY(memo.contains(QString::fromUtf8(
        "注意: 表\"Book\"的列\"ShelfID\"可为空: 自动生成完整应用代码时留空即存为NULL; "
        "自动生成代码时仍须必填")));
  }

  void aTakenNameIsAskedForAgain() {
    AddProject("library");
    auto window = ShownWindow();
    QVERIFY(window);
    dialogs_.fileNames = {Write("library.sql", kScript).string()};
    dialogs_.inputs = {std::string("馆藏")};
    QVERIFY(ChooseFromProjectMenu(*window, window->ActionImportSql));
    QCOMPARE(dialogs_.Texts("input"),
             std::vector<std::string>{"该工程名称已经存在! 请输入新工程的名称:"});
    QCOMPARE(Items(window->CB_Project), (QStringList{"library", "馆藏"}));
    QCOMPARE(window->CB_Project->currentText(), QStringLiteral("馆藏"));
  }

  void aScriptThatCannotBeImportedChangesNothing() {
    AddProject("Alpha");
    auto window = ShownWindow();
    QVERIFY(window);
    const auto projectsBefore = TProjectDAO().ListProjects();
    // A column the reader cannot read costs only that column; a string that is never closed
    // leaves nothing that could be imported.
    const fs::path file =
        Write("broken.sql", "CREATE TABLE T (\n  id int PRIMARY KEY DEFAULT 'x\n)");
    dialogs_.fileNames = {file.string()};
    QVERIFY(ChooseFromProjectMenu(*window, window->ActionImportSql));
    QCOMPARE(dialogs_.shown.size(), std::size_t(1));
    QCOMPARE(dialogs_.shown.back().kind, std::string("error"));
    QCOMPARE(dialogs_.Last(), file.string() + ": 脚本中没有可导入的表");
    QVERIFY(TProjectDAO().ListProjects() == projectsBefore);
    QCOMPARE(Items(window->CB_Project), QStringList{"Alpha"});
    QVERIFY(window->Memo_State->toPlainText().contains(QString::fromUtf8("导入失败")));

    // Cancelling the file dialog does nothing at all.
    dialogs_.shown.clear();
    QVERIFY(ChooseFromProjectMenu(*window, window->ActionImportSql));
    QCOMPARE(dialogs_.fileDialogs.size(), std::size_t(2));
    QVERIFY(dialogs_.shown.empty());
    QVERIFY(TProjectDAO().ListProjects() == projectsBefore);
  }
};

QTEST_MAIN(SqlImportMenuTest)
#include "SqlImportMenuTest.moc"
