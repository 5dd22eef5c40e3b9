#pragma once

#include "ui/MemberFormBase.h"

namespace vbgen {

// Changes a stored member of the main window's selected class.
class TUpdateMemberForm : public TMemberFormBase {
  Q_OBJECT

 public:
  TUpdateMemberForm(TFormMain& main, int memberId);
  int MemberId() const { return memberId_; }

 public slots:
  void FormCreate();
  void Button1Click() override;

 private:
  int memberId_;
  TMemberInput shown_;  // what the dialog opened with
};

}  // namespace vbgen
