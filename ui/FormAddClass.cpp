#include "ui/FormAddClass.h"

#include <QCheckBox>
#include <QPushButton>
#include <optional>

#include "model/ClassDAO.h"
#include "model/Rules.h"
#include "ui/Dialogs.h"
#include "ui/MainForm.h"

namespace vbgen {

TAddClassForm::TAddClassForm(TFormMain& main)
    : TClassFormBase(main, {"添加类", 261, 219, QPoint(22, 32), QPoint(19, 96),
                            QRect(112, 128, 105, 41), QRect(72, 176, 113, 25)}) {
  CB_FrontShowFlag->setChecked(true);
  Button2 = new QPushButton(QStringLiteral("取消"), this);
  Button2->setObjectName("Button2");
  Button2->setGeometry(191, 176, 63, 25);
  Button2->setAutoDefault(true);  // Enter on the focused 取消 cancels
  connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
  // After the check box, so the first stops of Tab stay as they were.
  setTabOrder(CB_FrontShowFlag, Button2);
}

void TAddClassForm::Button1Click() {
  // The window opens the dialog with a project selected; should it have gone, nothing is added.
  const std::optional<int> projectId = main_.SelectedProjectId();
  if (!projectId) {
    main_.Dialogs().Message("当前未有任何项目被选中!");
    return;
  }
  if (Refused(CheckAddClass(*projectId, ClassName(), FriendName()))) return;
  TClassDAO().AddClass(*projectId, ClassName(), FriendName(), FrontShowFlag());
  main_.FillClassList(*projectId);
  main_.Dialogs().Message("类名称添加成功！");
  accept();
}

}  // namespace vbgen
