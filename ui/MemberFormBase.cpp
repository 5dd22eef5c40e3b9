#include "ui/MemberFormBase.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <optional>
#include <tuple>

#include "model/ClassDAO.h"
#include "ui/Dialogs.h"
#include "ui/MainForm.h"
#include "ui/QtText.h"

namespace vbgen {
namespace {

QCheckBox* MakeCheckBox(QWidget* parent, const char* name, const char* caption,
                        const QRect& geometry) {
  auto* box = new QCheckBox(QString::fromUtf8(caption), parent);
  box->setObjectName(name);
  box->setGeometry(geometry);
  return box;
}

QLineEdit* MakeEdit(QWidget* parent, const char* name, const QRect& geometry) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(name);
  edit->setGeometry(geometry);
  return edit;
}

void MakeLabel(QWidget* parent, const char* caption, const QPoint& at) {
  (new QLabel(QString::fromUtf8(caption), parent))->move(at);
}

}  // namespace

TMemberFormBase::TMemberFormBase(TFormMain& main, const TMemberFormLayout& layout)
    : QDialog(&main, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      main_(main) {
  setWindowTitle(QString::fromUtf8(layout.caption));
  setFixedSize(layout.clientWidth, layout.clientHeight);

  MakeLabel(this, "成员名称：", layout.nameLabel);
  Edt_MemberName = MakeEdit(this, "Edt_MemberName", layout.name);
  MakeLabel(this, "成员类型：", layout.typeLabel);
  CB_MemberType = new QComboBox(this);
  CB_MemberType->setObjectName("CB_MemberType");
  CB_MemberType->setGeometry(layout.type);
  MakeLabel(this, "长度： ", layout.lengthLabel);
  Edt_MemberLength = MakeEdit(this, "Edt_MemberLength", layout.length);
  MakeLabel(this, "(字符串类型有效)   ", layout.lengthNote);
  CB_MemberIsPri = MakeCheckBox(this, "CB_MemberIsPri", "是否主键", layout.isPri);
  CB_MemberIsMust = MakeCheckBox(this, "CB_MemberIsMust", "是否必填", layout.isMust);
  CB_QueryFlag = MakeCheckBox(this, "CB_QueryFlag", "是否参与查询", layout.queryFlag);
  CB_MemberIsDisplay = MakeCheckBox(this, "CB_MemberIsDisplay", "下拉框显示字段", layout.isDisplay);
  CB_MemberQueryDisplay =
      MakeCheckBox(this, "CB_MemberQueryDisplay", "查询界面是否显示", layout.queryDisplay);
  MakeLabel(this, "成员注释：", layout.commentLabel);
  Edt_MemberComment = MakeEdit(this, "Edt_MemberComment", layout.comment);

  Button1 = new QPushButton(QStringLiteral("确定"), this);
  Button1->setObjectName("Button1");
  Button1->setGeometry(layout.ok);
  // Enter in any field submits; on the focused 取消 it cancels.
  Button1->setDefault(true);
  Button2 = new QPushButton(QStringLiteral("取消"), this);
  Button2->setObjectName("Button2");
  Button2->setGeometry(layout.cancel);
  Button2->setAutoDefault(true);
  connect(Button1, &QPushButton::clicked, this, [this] {
    try {
      Button1Click();
    } catch (const std::exception& error) {
      main_.Dialogs().Error(error.what());
    }
  });
  connect(Button2, &QPushButton::clicked, this, &TMemberFormBase::Button2Click);

  QWidget* order[] = {Edt_MemberName,   CB_MemberType,      CB_MemberIsMust,      Button1,
                      Button2,          Edt_MemberComment,  CB_QueryFlag,         CB_MemberIsPri,
                      Edt_MemberLength, CB_MemberIsDisplay, CB_MemberQueryDisplay};
  for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
}

void TMemberFormBase::Button2Click() { reject(); }

std::vector<std::string> TMemberFormBase::TypeListOfSelectedClass() const {
  const std::optional<int> projectId = main_.SelectedProjectId();
  const std::optional<int> classId = main_.SelectedClassId();
  if (!projectId || !classId) return MemberTypeList({});
  return TypeListOfClass(*projectId, *classId);
}

std::vector<std::string> TMemberFormBase::TypeListOfClass(int projectId, int classId) {
  return MemberTypeList(TClassDAO().ListOtherClasses(projectId, classId));
}

void TMemberFormBase::ShowInput(const TMemberInput& input) {
  typeList_ = input.typeList;
  CB_MemberType->clear();
  for (const std::string& type : typeList_) CB_MemberType->addItem(Q(type));
  // The combo box says "none" with -1.
  CB_MemberType->setCurrentIndex(input.typeIndex ? static_cast<int>(*input.typeIndex) : -1);
  Edt_MemberName->setText(Q(input.name));
  Edt_MemberLength->setText(Q(input.lengthText));
  CB_MemberIsPri->setChecked(input.isPri);
  CB_MemberIsMust->setChecked(input.isMust);
  CB_QueryFlag->setChecked(input.queryFlag);
  CB_MemberIsDisplay->setChecked(input.isDisplay);
  CB_MemberQueryDisplay->setChecked(input.queryDisplay);
  Edt_MemberComment->setText(Q(input.comment));
}

TMemberInput TMemberFormBase::ReadInput() const {
  TMemberInput input;
  input.typeList = typeList_;
  const int typeIndex = CB_MemberType->currentIndex();
  input.typeIndex =
      typeIndex < 0 ? std::nullopt : std::optional(static_cast<std::size_t>(typeIndex));
  input.name = S(Edt_MemberName->text());
  input.lengthText = S(Edt_MemberLength->text());
  input.isPri = CB_MemberIsPri->isChecked();
  input.isMust = CB_MemberIsMust->isChecked();
  input.queryFlag = CB_QueryFlag->isChecked();
  input.isDisplay = CB_MemberIsDisplay->isChecked();
  input.queryDisplay = CB_MemberQueryDisplay->isChecked();
  input.comment = S(Edt_MemberComment->text());
  return input;
}

bool TMemberFormBase::Refused(const TRuleResult& problem, const TMemberInput& input) {
  if (!problem) return false;
  main_.Dialogs().Message(*problem);
  if (input.name.empty()) Edt_MemberName->setFocus();
  return true;
}

bool TMemberFormBase::Store(const TMemberInput& input, int memberId,
                            void (*store)(const TMember&)) {
  // The window opens the dialog with a class selected; should it have gone, nothing is stored.
  const std::optional<int> projectId = main_.SelectedProjectId();
  const std::optional<int> classId = main_.SelectedClassId();
  if (!projectId || !classId) {
    main_.Dialogs().Message("请先选择类对象");
    return false;
  }
  TBuiltMember built = BuildMember(input, *projectId, *classId, memberId);
  if (!built.member) {
    // A length that is not a number: the record cannot be built, the dialog stays open.
    main_.Dialogs().Error(built.error);
    return false;
  }
  store(*built.member);
  main_.FillMemberList(*classId);
  return true;
}

bool TMemberFormBase::SameInput(const TMemberInput& a, const TMemberInput& b) {
  auto fields = [](const TMemberInput& in) {
    return std::tuple(in.name, in.Type(), in.lengthText, in.isPri, in.isMust, in.queryFlag,
                      in.isDisplay, in.queryDisplay, in.comment);
  };
  return fields(a) == fields(b);
}

}  // namespace vbgen
