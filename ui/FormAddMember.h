#pragma once

#include "ui/MemberFormBase.h"

namespace vbgen {

// Adds a member to the main window's selected class.
class TAddMemberForm : public TMemberFormBase {
  Q_OBJECT

 public:
  explicit TAddMemberForm(TFormMain& main);

 public slots:
  void FormCreate();
  void Button1Click() override;
};

}  // namespace vbgen
