// The script dialog: shows the builder's script afresh on every showing, names a model it
// cannot be built from, and selects everything on Ctrl+A.
#include <QPlainTextEdit>
#include <QTest>
#include <QTextCursor>
#include <memory>

#include "UiTestSupport.h"
#include "generate/emit/SqlScript.h"
#include "ui/DataBaseSql.h"

using namespace vbgen;
using namespace vbgen::test;

class SqlFormTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<TTempHome> home_;
  TFakeDialogs dialogs_;

 private slots:
  void init() {
    home_ = std::make_unique<TTempHome>();
    dialogs_ = TFakeDialogs();
  }
  void cleanup() { home_.reset(); }

  void dialogHasItsCaptionAndSize() {
    TDataBaseSqlForm form(dialogs_);
    QCOMPARE(form.windowTitle(), QStringLiteral("数据库建表sql语句"));
    QCOMPARE(form.size(), QSize(766, 551));
    QCOMPARE(form.minimumSize(), form.maximumSize());
    QCOMPARE(form.Memo_Sql->geometry(), QRect(0, 0, 766, 551));
    QCOMPARE(form.Memo_Sql->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
  }

  void everyShowingReplacesTheText() {
    TDataBaseSqlForm form(dialogs_);
    int calls = 0;
    int askedFor = 0;
    form.SetProjectId(42);
    form.SetScriptBuilder([&](int projectId) {
      askedFor = projectId;
      ++calls;
      return std::string("GO\r\n\r\n-- 第") + std::to_string(calls) + "次\r\n";
    });
    form.show();
    QCOMPARE(askedFor, 42);
    QCOMPARE(form.Memo_Sql->toPlainText(), QStringLiteral("GO\n\n-- 第1次\n"));
    form.hide();
    form.show();
    QCOMPARE(form.Memo_Sql->toPlainText(), QStringLiteral("GO\n\n-- 第2次\n"));
    QVERIFY(dialogs_.shown.empty());
  }

  void aModelWithoutKeyIsNamedAndNoScriptShown() {
    TDataBaseSqlForm form(dialogs_);
    form.Memo_Sql->setPlainText("old");
    form.SetScriptBuilder([](int) -> std::string {
      throw TScriptError("Book表主键设置错误，每个类只能设置一个主键!");
    });
    form.show();  // as the window shows it: the show event builds the script
    QCOMPARE(dialogs_.Last(), std::string("Book表主键设置错误，每个类只能设置一个主键!"));
    QCOMPARE(dialogs_.shown.back().kind, std::string("message"));
    QCOMPARE(form.Memo_Sql->toPlainText(), QString());
  }

  void ctrlASelectsTheWholeScript() {
    TDataBaseSqlForm form(dialogs_);
    form.SetScriptBuilder([](int) { return std::string("line one\r\nline two\r\n"); });
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.Memo_Sql->moveCursor(QTextCursor::Start);
    QVERIFY(!form.Memo_Sql->textCursor().hasSelection());
    QTest::keyClick(form.Memo_Sql, Qt::Key_A, Qt::ControlModifier);
    QTextCursor cursor = form.Memo_Sql->textCursor();
    QCOMPARE(cursor.selectionStart(), 0);
    QCOMPARE(cursor.selectionEnd(), form.Memo_Sql->toPlainText().size());
    QTest::keyClick(form.Memo_Sql, Qt::Key_B);  // other keys keep their usual effect
    QCOMPARE(form.Memo_Sql->toPlainText(), QStringLiteral("b"));
  }

  // Uses the model's own builder: passes once the script builder is in place.
  void aProjectWithoutClassesShowsTheHeadWithTwoRights() {
    int projectId = AddProject("Empty");
    TDataBaseSqlForm form(dialogs_);
    form.SetProjectId(projectId);
    form.show();  // as the window shows it: the show event builds the script
    QVERIFY2(dialogs_.shown.empty(), dialogs_.Last().c_str());
    const QString text = form.Memo_Sql->toPlainText();
    QVERIFY(text.startsWith(QStringLiteral("GO\n\nCREATE TABLE [dbo].[admin](\n")));
    QVERIFY(text.contains(QStringLiteral("values('admin','kelvo','11')\nGO\n")));
  }
};

QTEST_MAIN(SqlFormTest)
#include "SqlFormTest.moc"
