#pragma once

#include "ui/ClassFormBase.h"

namespace vbgen {

// Adds a class to the main window's selected project.
class TAddClassForm : public TClassFormBase {
  Q_OBJECT

 public:
  explicit TAddClassForm(TFormMain& main);

 public slots:
  void Button1Click() override;
};

}  // namespace vbgen
