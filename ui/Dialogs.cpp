#include "ui/Dialogs.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGridLayout>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

#include "ui/QtText.h"

namespace vbgen {
namespace {

// A box belongs to the window the user is working in: a dialog open over the main window, or
// the main window itself.
QWidget* BoxOwner(QWidget* owner) {
  QWidget* modal = QApplication::activeModalWidget();
  return modal != nullptr ? modal : owner;
}

// Runs a box and hands the focus back to its owner; some window managers leave no window
// active when a box closes, and keys would then go nowhere.
int ExecBox(QDialog& box, QWidget* owner) {
  const int result = box.exec();
  if (owner != nullptr && owner->isVisible()) {
    owner->activateWindow();
  }
  return result;
}

// Room the window manager takes from a title bar: icon, buttons and margins.
constexpr int kTitleBarExtra = 140;

// Narrow boxes would have their caption cut short by the title bar; the box is made wide
// enough to show it whole.
int CaptionWidth(const QWidget& box) {
  QFont font = box.font();
  font.setBold(true);
  return QFontMetrics(font).horizontalAdvance(box.windowTitle()) + kTitleBarExtra;
}

void KeepCaptionReadable(QMessageBox& box) {
  if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
    grid->addItem(new QSpacerItem(CaptionWidth(box), 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                  grid->rowCount(), 0, 1, grid->columnCount());
  }
}

// Shows a box whose buttons carry Chinese captions whatever translations are installed; the
// details, if any, stand below the text.
bool Ask(QWidget* owner, QMessageBox::Icon icon, const std::string& caption,
         const std::string& text, bool withCancel, const std::string& details = {}) {
  owner = BoxOwner(owner);
  QMessageBox box(icon, Q(caption), Q(text), QMessageBox::NoButton, owner);
  if (!details.empty()) box.setInformativeText(Q(details));
  QPushButton* ok = box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
  if (withCancel) box.addButton(QStringLiteral("取消"), QMessageBox::RejectRole);
  box.setDefaultButton(ok);
  KeepCaptionReadable(box);
  ExecBox(box, owner);
  return box.clickedButton() == ok;
}

}  // namespace

void TQtDialogs::Message(const std::string& text) {
  Ask(owner_, QMessageBox::NoIcon, kApplicationTitle, text, false);
}

void TQtDialogs::Information(const std::string& text, const std::string& caption) {
  Ask(owner_, QMessageBox::Information, caption, text, false);
}

bool TQtDialogs::Confirm(const std::string& text, const std::string& caption) {
  return Ask(owner_, QMessageBox::Information, caption, text, true);
}

namespace {

// An input box that refuses to close on OK while its check refuses the text.
class TCheckedInputDialog : public QInputDialog {
 public:
  TCheckedInputDialog(QWidget* owner, TDialogs& dialogs, TDialogs::TInputCheck check)
      : QInputDialog(owner), dialogs_(dialogs), check_(std::move(check)) {}

  void done(int result) override {
    if (result == QDialog::Accepted && check_ && Refused()) return;
    QInputDialog::done(result);
  }

 private:
  bool Refused() {
    try {
      const std::optional<std::string> problem = check_(S(textValue()));
      if (problem) dialogs_.Message(*problem);
      return problem.has_value();
    } catch (const std::exception& error) {
      dialogs_.Error(error.what());
      return true;
    }
  }

  TDialogs& dialogs_;
  TDialogs::TInputCheck check_;
};

std::string RunInput(QInputDialog& box, QWidget* owner, const std::string& caption,
                     const std::string& prompt, const std::string& defaultText) {
  box.setWindowTitle(Q(caption));
  box.setLabelText(Q(prompt));
  box.setTextValue(Q(defaultText));
  box.setOkButtonText(QStringLiteral("确定"));
  box.setCancelButtonText(QStringLiteral("取消"));
  box.setMinimumWidth(CaptionWidth(box));
  if (ExecBox(box, owner) != QDialog::Accepted) return defaultText;
  return S(box.textValue());
}

}  // namespace

std::string TDialogs::CheckedInput(const std::string& caption, const std::string& prompt,
                                   const std::string& defaultText, const TInputCheck&) {
  return Input(caption, prompt, defaultText);
}

std::string TQtDialogs::Input(const std::string& caption, const std::string& prompt,
                              const std::string& defaultText) {
  QWidget* owner = BoxOwner(owner_);
  QInputDialog box(owner);
  return RunInput(box, owner, caption, prompt, defaultText);
}

std::string TQtDialogs::CheckedInput(const std::string& caption, const std::string& prompt,
                                     const std::string& defaultText, const TInputCheck& check) {
  QWidget* owner = BoxOwner(owner_);
  TCheckedInputDialog box(owner, *this, check);
  return RunInput(box, owner, caption, prompt, defaultText);
}

void TQtDialogs::Error(const std::string& text) {
  Ask(owner_, QMessageBox::Critical, kApplicationTitle, text, false);
}

void TDialogs::Detailed(TBoxKind kind, const std::string& text, const std::string& caption,
                        const std::string& details) {
  const std::string whole = details.empty() ? text : text + "\n\n" + details;
  switch (kind) {
    case TBoxKind::Message:
      Message(whole);
      break;
    case TBoxKind::Information:
      Information(whole, caption);
      break;
    case TBoxKind::Error:
      Error(whole);
      break;
  }
}

void TQtDialogs::Detailed(TBoxKind kind, const std::string& text, const std::string& caption,
                          const std::string& details) {
  switch (kind) {
    case TBoxKind::Message:
      Ask(owner_, QMessageBox::NoIcon, kApplicationTitle, text, false, details);
      break;
    case TBoxKind::Information:
      Ask(owner_, QMessageBox::Information, caption, text, false, details);
      break;
    case TBoxKind::Error:
      Ask(owner_, QMessageBox::Critical, kApplicationTitle, text, false, details);
      break;
  }
}

// A bare proposed name would otherwise land in whatever directory the program was started from;
// a name typed without an extension gets the filter's.
std::optional<std::string> TQtDialogs::SaveFileName(const std::string& caption,
                                                    const std::string& filter,
                                                    const std::string& defaultName) {
  QWidget* owner = BoxOwner(owner_);
  QFileDialog box(owner, Q(caption), QDir::home().filePath(Q(defaultName)), Q(filter));
  box.setAcceptMode(QFileDialog::AcceptSave);
  box.setFileMode(QFileDialog::AnyFile);
  box.setDefaultSuffix(QFileInfo(Q(defaultName)).suffix());
  if (ExecBox(box, owner) != QDialog::Accepted || box.selectedFiles().isEmpty())
    return std::nullopt;
  return S(box.selectedFiles().front());
}

std::optional<std::string> TQtDialogs::OpenFileName(const std::string& caption,
                                                    const std::string& filter) {
  QWidget* owner = BoxOwner(owner_);
  QFileDialog box(owner, Q(caption), QDir::homePath(), Q(filter));
  box.setAcceptMode(QFileDialog::AcceptOpen);
  box.setFileMode(QFileDialog::ExistingFile);
  if (ExecBox(box, owner) != QDialog::Accepted || box.selectedFiles().isEmpty())
    return std::nullopt;
  return S(box.selectedFiles().front());
}

}  // namespace vbgen
