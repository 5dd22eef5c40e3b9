#include "ui/MemberFormBase.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
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

QSpinBox* MakeSpinBox(QWidget* parent, const char* name, const QRect& geometry, int low) {
  auto* box = new QSpinBox(parent);
  box->setObjectName(name);
  box->setGeometry(geometry);
  box->setRange(low, kMaxDecimalPrecision);
  return box;
}

// The SQL type list's first entry: the type's default mapping (varchar, int, float).
constexpr const char* kDefaultSqlType = "(默认)";
// SQL Server's own default for a decimal without precision: decimal(18, 0).
constexpr int kDefaultPrecision = 18;
// Right of the complete application's group, as left of the dialog's first controls.
constexpr int kCompleteMargin = 12;

}  // namespace

TMemberFormBase::TMemberFormBase(TFormMain& main, const TMemberFormLayout& layout)
    : QDialog(&main, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      main_(main) {
  setWindowTitle(QString::fromUtf8(layout.caption));
  setFixedSize(layout.complete.x() + layout.complete.width() + kCompleteMargin,
               layout.clientHeight);

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

  MakeCompleteControls(layout.complete);

  QWidget* order[] = {Edt_MemberName,
                      CB_MemberType,
                      CB_MemberIsMust,
                      Button1,
                      Button2,
                      Edt_MemberComment,
                      CB_QueryFlag,
                      CB_MemberIsPri,
                      Edt_MemberLength,
                      CB_MemberIsDisplay,
                      CB_MemberQueryDisplay,
                      CB_MemberAllowNull,
                      CB_MemberKeyEntered,
                      CB_MemberSqlType,
                      SE_MemberPrecision,
                      SE_MemberScale};
  for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
}

void TMemberFormBase::MakeCompleteControls(const QRect& area) {
  GB_Complete = new QGroupBox(QStringLiteral("完整应用(自动生成完整应用代码)"), this);
  GB_Complete->setObjectName("GB_Complete");
  GB_Complete->setGeometry(area);
  CB_MemberAllowNull =
      MakeCheckBox(GB_Complete, "CB_MemberAllowNull", "允许为空(&N)", QRect(12, 26, 170, 20));
  CB_MemberKeyEntered = MakeCheckBox(GB_Complete, "CB_MemberKeyEntered", "由用户输入键值(&K)",
                                     QRect(12, 54, 170, 20));
  MakeLabel(GB_Complete, "SQL类型：", QPoint(12, 90));
  CB_MemberSqlType = new QComboBox(GB_Complete);
  CB_MemberSqlType->setObjectName("CB_MemberSqlType");
  CB_MemberSqlType->setGeometry(QRect(84, 86, 100, 22));
  MakeLabel(GB_Complete, "精度：", QPoint(12, 124));
  SE_MemberPrecision = MakeSpinBox(GB_Complete, "SE_MemberPrecision", QRect(84, 120, 60, 22), 1);
  MakeLabel(GB_Complete, "小数位数：", QPoint(12, 158));
  SE_MemberScale = MakeSpinBox(GB_Complete, "SE_MemberScale", QRect(84, 154, 60, 22), 0);
  // Two lines: one would not fit the group's width.
  MakeLabel(GB_Complete, "(精度和小数位数\n 用于 decimal、numeric)", QPoint(12, 186));

  connect(CB_MemberType, &QComboBox::currentIndexChanged, this,
          [this] { FillSqlTypes(S(CB_MemberSqlType->currentText()), false); });
  connect(CB_MemberIsPri, &QCheckBox::toggled, this, [this] { EnableCompleteControls(); });
  connect(CB_MemberSqlType, &QComboBox::currentIndexChanged, this,
          [this] { EnableCompleteControls(); });
  FillSqlTypes({}, false);
}

void TMemberFormBase::FillSqlTypes(const std::string& keep, bool stored) {
  const int typeIndex = CB_MemberType->currentIndex();
  const std::string type = typeIndex < 0 || static_cast<std::size_t>(typeIndex) >= typeList_.size()
                               ? std::string()
                               : typeList_[static_cast<std::size_t>(typeIndex)];
  QSignalBlocker quiet(CB_MemberSqlType);
  CB_MemberSqlType->clear();
  CB_MemberSqlType->addItem(QString::fromUtf8(kDefaultSqlType));
  for (std::string_view entry : SqlTypesFor(type)) CB_MemberSqlType->addItem(Q(std::string(entry)));
  if (!keep.empty() && keep != kDefaultSqlType) {
    if (stored && CB_MemberSqlType->findText(Q(keep)) < 0) CB_MemberSqlType->addItem(Q(keep));
    const int at = CB_MemberSqlType->findText(Q(keep));
    CB_MemberSqlType->setCurrentIndex(at < 0 ? 0 : at);
  }
  EnableCompleteControls();
}

void TMemberFormBase::EnableCompleteControls() {
  const bool key = CB_MemberIsPri->isChecked();
  const std::string type = S(CB_MemberType->currentText());
  CB_MemberAllowNull->setEnabled(!key);
  CB_MemberKeyEntered->setEnabled(key && type == kTypeInteger);
  CB_MemberSqlType->setEnabled(CB_MemberSqlType->count() > 1);
  const bool precision = SqlTypeHasPrecision(S(CB_MemberSqlType->currentText()));
  SE_MemberPrecision->setEnabled(precision);
  SE_MemberScale->setEnabled(precision);
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
  CB_MemberAllowNull->setChecked(input.allowNull);
  CB_MemberKeyEntered->setChecked(input.keyEntered);
  // A decimal chosen later starts from SQL Server's own default precision.
  SE_MemberPrecision->setValue(input.precision > 0 ? input.precision : kDefaultPrecision);
  SE_MemberScale->setValue(input.scale);
  FillSqlTypes(input.sqlType, true);
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
  // A box that does not apply to the member as it now stands says nothing about it.
  input.allowNull = CB_MemberAllowNull->isEnabled() && CB_MemberAllowNull->isChecked();
  input.keyEntered = CB_MemberKeyEntered->isEnabled() && CB_MemberKeyEntered->isChecked();
  if (CB_MemberSqlType->isEnabled() && CB_MemberSqlType->currentIndex() > 0) {
    input.sqlType = S(CB_MemberSqlType->currentText());
  }
  if (SqlTypeHasPrecision(input.sqlType)) {
    input.precision = SE_MemberPrecision->value();
    input.scale = SE_MemberScale->value();
  }
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
    const bool precision = SqlTypeHasPrecision(in.sqlType);
    return std::tuple(in.name, in.Type(), in.lengthText, in.isPri, in.isMust, in.queryFlag,
                      in.isDisplay, in.queryDisplay, in.comment, in.allowNull, in.keyEntered,
                      in.sqlType, precision ? in.precision : 0, precision ? in.scale : 0);
  };
  return fields(a) == fields(b);
}

}  // namespace vbgen
