#include "ui/ClassFormBase.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <optional>

#include "ui/Dialogs.h"
#include "ui/MainForm.h"

namespace vbgen {

TClassFormBase::TClassFormBase(TFormMain& main, const TClassFormLayout& layout)
    : QDialog(&main, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      main_(main) {
  setWindowTitle(QString::fromUtf8(layout.caption));
  setFixedSize(layout.clientWidth, layout.clientHeight);

  (new QLabel(QStringLiteral("类英文名称:   "), this))->move(layout.classNameLabel);
  Edt_ClassName = new QLineEdit(this);
  Edt_ClassName->setObjectName("Edt_ClassName");
  Edt_ClassName->setGeometry(112, 29, 137, 21);

  (new QLabel(QStringLiteral("中文友好名称:   "), this))->move(layout.friendNameLabel);
  Edt_FriendName = new QLineEdit(this);
  Edt_FriendName->setObjectName("Edt_FriendName");
  Edt_FriendName->setGeometry(112, 91, 137, 21);

  CB_FrontShowFlag = new QCheckBox(QStringLiteral("是否前台显示"), this);
  CB_FrontShowFlag->setObjectName("CB_FrontShowFlag");
  CB_FrontShowFlag->setGeometry(layout.frontShowFlag);

  Button1 = new QPushButton(QStringLiteral("确定"), this);
  Button1->setObjectName("Button1");
  Button1->setGeometry(layout.button);
  // Enter in any field submits, as it does in every dialog of the desktop.
  Button1->setDefault(true);
  connect(Button1, &QPushButton::clicked, this, [this] {
    try {
      Button1Click();
    } catch (const std::exception& error) {
      main_.Dialogs().Error(error.what());
    }
  });

  setTabOrder(Edt_ClassName, Edt_FriendName);
  setTabOrder(Edt_FriendName, Button1);
  setTabOrder(Button1, CB_FrontShowFlag);
}

std::string TClassFormBase::ClassName() const { return Edt_ClassName->text().toStdString(); }

std::string TClassFormBase::FriendName() const { return Edt_FriendName->text().toStdString(); }

int TClassFormBase::FrontShowFlag() const { return CB_FrontShowFlag->isChecked() ? 1 : 0; }

bool TClassFormBase::Refused(const std::optional<std::string>& problem) {
  if (!problem) return false;
  main_.Dialogs().Message(*problem);
  return true;
}

}  // namespace vbgen
