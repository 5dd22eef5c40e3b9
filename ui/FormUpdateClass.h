#pragma once

#include "ui/ClassFormBase.h"

namespace vbgen {

// Changes the name, friendly name and display flag of the main window's selected class.
class TUpdateClassForm : public TClassFormBase {
  Q_OBJECT

 public:
  TUpdateClassForm(TFormMain& main, int classId);
  int ClassId() const { return classId_; }

 public slots:
  void FormShow();
  void Button1Click() override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  int classId_;
  bool shown_ = false;
};

}  // namespace vbgen
