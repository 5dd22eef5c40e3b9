#include "ui/FormUpdateMember.h"

#include <algorithm>
#include <stdexcept>

#include "model/MemberDAO.h"
#include "ui/Dialogs.h"
#include "ui/MainForm.h"

namespace vbgen {
namespace {

const TMemberFormLayout kLayout{"更新成员属性",
                                372,
                                320,
                                {32, 32},
                                {104, 24, 209, 21},
                                {24, 88},
                                {104, 80, 209, 21},
                                {47, 132},
                                {103, 128, 81, 21},
                                {196, 133},
                                {41, 168, 81, 25},
                                {148, 165, 102, 33},
                                {248, 173, 105, 17},
                                {39, 203, 132, 17},
                                {192, 204, 137, 17},
                                {26, 237},
                                {96, 235, 209, 21},
                                {80, 276, 81, 25},
                                {216, 276, 81, 25},
                                {364, 20, 200, 254}};

void StoreChanged(const TMember& member) { TMemberDAO().UpdateMember(member); }

}  // namespace

TUpdateMemberForm::TUpdateMemberForm(TFormMain& main, int memberId)
    : TMemberFormBase(main, kLayout), memberId_(memberId) {
  FormCreate();
}

// A stored type the list lacks (a class of another project, or a type written by another tool)
// is offered as the last entry and selected, so that OK without another choice keeps it.
void TUpdateMemberForm::FormCreate() {
  std::optional<TMember> member = TMemberDAO().GetMember(memberId_);
  if (!member) throw std::runtime_error("该成员已不存在，请刷新成员列表!");
  // The list of the member's own class: it can never offer the class itself.
  std::vector<std::string> types = TypeListOfClass(member->projectId, member->classId);
  if (std::find(types.begin(), types.end(), member->memberType) == types.end()) {
    types.push_back(member->memberType);
  }
  shown_ = MemberInputFrom(*member, std::move(types));
  ShowInput(shown_);
}

// OK on an unchanged dialog writes nothing: the row stays byte for byte as it was, even where
// the dialog would now build it differently (a length or a flag stored by another tool).
void TUpdateMemberForm::Button1Click() {
  TMemberInput input = ReadInput();
  if (Refused(CheckUpdateMember(input), input)) return;
  if (SameInput(input, shown_)) {
    main_.RefillMembersOfSelectedClass();
  } else if (!Store(input, memberId_, StoreChanged)) {
    return;
  }
  main_.Dialogs().Message("类成员属性更新成功!");
  accept();
}

}  // namespace vbgen
