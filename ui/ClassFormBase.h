// The controls shared by the add-class and the update-class dialog; the two differ in
// caption, geometry and in the order of their checks.
#pragma once

#include <QDialog>
#include <QRect>
#include <optional>
#include <string>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace vbgen {

class TFormMain;

struct TClassFormLayout {
  const char* caption;
  int clientWidth;
  int clientHeight;
  QPoint classNameLabel;
  QPoint friendNameLabel;
  QRect frontShowFlag;
  QRect button;
};

class TClassFormBase : public QDialog {
  Q_OBJECT

 public:
  QLineEdit* Edt_ClassName;
  QLineEdit* Edt_FriendName;
  QCheckBox* CB_FrontShowFlag;
  QPushButton* Button1;

 public slots:
  virtual void Button1Click() = 0;

 protected:
  TClassFormBase(TFormMain& main, const TClassFormLayout& layout);

  std::string ClassName() const;
  std::string FriendName() const;
  int FrontShowFlag() const;
  // Shows a rule's message; true when there was one.
  bool Refused(const std::optional<std::string>& problem);

  TFormMain& main_;
};

}  // namespace vbgen
