#include "ui/DataBaseSql.h"

#include <QKeyEvent>
#include <QPlainTextEdit>

#include "generate/SqlScript.h"
#include "ui/Dialogs.h"
#include "ui/QtText.h"

namespace vbgen {

TDataBaseSqlForm::TDataBaseSqlForm(TDialogs& dialogs, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      dialogs_(dialogs),
      builder_(BuildTableScript) {
  setWindowTitle(QStringLiteral("数据库建表sql语句"));
  setFixedSize(766, 551);
  Memo_Sql = new QPlainTextEdit(this);
  Memo_Sql->setObjectName("Memo_Sql");
  Memo_Sql->setGeometry(0, 0, 766, 551);
  Memo_Sql->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Memo_Sql->setLineWrapMode(QPlainTextEdit::WidgetWidth);  // a vertical scroll bar only
  Memo_Sql->setTabStopDistance(4 * Memo_Sql->fontMetrics().horizontalAdvance(QLatin1Char(' ')));
  Memo_Sql->installEventFilter(this);
}

// A spontaneous show is the window system restoring the dialog: the user's edits stay.
void TDataBaseSqlForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous()) FormShow();
}

// The whole script is rebuilt on every showing; a model it cannot be built from is named in a
// message box and no script is shown.
void TDataBaseSqlForm::FormShow() {
  try {
    QString script = Q(builder_(projectId_));
    // The script's lines end in CR LF; the edit box holds plain line breaks.
    script.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    Memo_Sql->setPlainText(script);
  } catch (const TScriptError& error) {
    Memo_Sql->clear();
    dialogs_.Message(error.what());
  } catch (const std::exception& error) {
    dialogs_.Error(error.what());
  }
}

// Ctrl+A selects the whole script, ready to be copied.
bool TDataBaseSqlForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Memo_Sql && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if ((key->modifiers() & Qt::ControlModifier) && key->key() == Qt::Key_A) {
      Memo_Sql->selectAll();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace vbgen
