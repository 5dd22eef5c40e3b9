// The table-creation script dialog: shows the script of one project, to be copied out.
#pragma once

#include <QDialog>
#include <functional>
#include <string>

class QPlainTextEdit;

namespace vbgen {

class TDialogs;

class TDataBaseSqlForm : public QDialog {
  Q_OBJECT

 public:
  // Builds the script of a project; the model's builder unless a test gives another.
  using TScriptBuilder = std::function<std::string(int projectId)>;

  explicit TDataBaseSqlForm(TDialogs& dialogs, QWidget* parent = nullptr);
  void SetProjectId(int projectId) { projectId_ = projectId; }
  void SetScriptBuilder(TScriptBuilder builder) { builder_ = std::move(builder); }

  QPlainTextEdit* Memo_Sql;

 public slots:
  void FormShow();

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  TDialogs& dialogs_;
  TScriptBuilder builder_;
  int projectId_ = 0;
};

}  // namespace vbgen
