#include "ui/DataBaseSql.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTextDocumentFragment>

#include "generate/emit/SqlScript.h"
#include "ui/Dialogs.h"
#include "ui/QtText.h"

namespace vbgen {
namespace {

// The script is pasted into SQL Server tools on Windows: what is copied (or dragged) out of the
// box has the script's CR LF line ends, as plain text.
class TScriptMemo : public QPlainTextEdit {
 public:
  using QPlainTextEdit::QPlainTextEdit;

 protected:
  QMimeData* createMimeDataFromSelection() const override {
    QString text = textCursor().selection().toPlainText();
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    auto* data = new QMimeData;
    data->setText(text);
    return data;
  }
};

}  // namespace

TDataBaseSqlForm::TDataBaseSqlForm(TDialogs& dialogs, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      dialogs_(dialogs),
      builder_(BuildTableScript) {
  setWindowTitle(QStringLiteral("数据库建表sql语句"));
  setFixedSize(766, 551);
  Memo_Sql = new TScriptMemo(this);
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
