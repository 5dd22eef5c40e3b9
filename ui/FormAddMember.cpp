#include "ui/FormAddMember.h"

#include "model/MemberDAO.h"
#include "ui/Dialogs.h"
#include "ui/MainForm.h"

namespace vbgen {
namespace {

const TMemberFormLayout kLayout{"添加成员属性",
                                389,
                                331,
                                {40, 40},
                                {120, 32, 209, 21},
                                {40, 88},
                                {120, 80, 209, 21},
                                {64, 132},
                                {120, 128, 81, 21},
                                {216, 133},
                                {50, 169, 81, 25},
                                {144, 166, 89, 33},
                                {246, 174, 121, 17},
                                {50, 204, 129, 17},
                                {192, 204, 137, 17},
                                {39, 244},
                                {121, 238, 209, 21},
                                {90, 286, 81, 25},
                                {210, 287, 81, 25},
                                {380, 24, 200, 262}};

void StoreNew(const TMember& member) { TMemberDAO().AddMember(member); }

}  // namespace

TAddMemberForm::TAddMemberForm(TFormMain& main) : TMemberFormBase(main, kLayout) { FormCreate(); }

void TAddMemberForm::FormCreate() { ShowInput(NewMemberInput(TypeListOfSelectedClass())); }

void TAddMemberForm::Button1Click() {
  TMemberInput input = ReadInput();
  if (Refused(CheckAddMember(input), input) || !Store(input, 0, StoreNew)) return;
  main_.Dialogs().Message("类成员属性添加成功!");
  accept();
}

}  // namespace vbgen
