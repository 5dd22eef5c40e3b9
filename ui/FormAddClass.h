#pragma once

#include "ui/ClassFormBase.h"

namespace vbgen {

// Adds a class to the main window's selected project.
class TAddClassForm : public TClassFormBase {
  Q_OBJECT

 public:
  explicit TAddClassForm(TFormMain& main);

  // Beside 确定: leaves without adding, as closing the window does.
  QPushButton* Button2;

 public slots:
  void Button1Click() override;
};

}  // namespace vbgen
