#include "ui/FormUpdateClass.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidgetItem>
#include <optional>

#include "model/ClassDAO.h"
#include "model/Rules.h"
#include "ui/Dialogs.h"
#include "ui/MainForm.h"

namespace vbgen {

TUpdateClassForm::TUpdateClassForm(TFormMain& main, int classId)
    : TClassFormBase(main, {"类更新", 271, 233, QPoint(20, 32), QPoint(15, 96),
                            QRect(88, 136, 153, 33), QRect(80, 184, 113, 25)}),
      classId_(classId) {}

void TUpdateClassForm::showEvent(QShowEvent* event) {
  TClassFormBase::showEvent(event);
  if (shown_) return;
  shown_ = true;
  try {
    FormShow();
  } catch (const std::exception& error) {
    main_.Dialogs().Error(error.what());
  }
}

// The class name comes from the window's list item, the rest from the model store.
void TUpdateClassForm::FormShow() {
  TClassDAO classes;
  Edt_FriendName->setText(QString::fromStdString(classes.GetFriendName(classId_)));
  if (QListWidgetItem* item = main_.SelectedClassItem()) Edt_ClassName->setText(item->text());
  if (classes.GetFrontShowFlag(classId_) == 1) CB_FrontShowFlag->setChecked(true);
}

void TUpdateClassForm::Button1Click() {
  const std::optional<int> projectId = main_.SelectedProjectId();
  if (!projectId) {
    main_.Dialogs().Message("当前未有任何项目被选中!");
    return;
  }
  if (Refused(CheckUpdateClass(ClassName(), FriendName()))) return;
  TClassDAO().UpdateClass(*projectId, classId_, ClassName(), FriendName(), FrontShowFlag());
  if (QListWidgetItem* item = main_.SelectedClassItem()) item->setText(Edt_ClassName->text());
  main_.Dialogs().Message("类名称更新成功");
  accept();
}

}  // namespace vbgen
