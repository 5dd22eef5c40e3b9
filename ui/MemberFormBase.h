// The controls shared by the add-member and the update-member dialog. The dialogs only show
// a TMemberInput and read it back; the rules and the record come from the model's rules.
#pragma once

#include <QDialog>
#include <QPoint>
#include <QRect>
#include <string>
#include <vector>

#include "model/Rules.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace vbgen {

class TFormMain;

struct TMemberFormLayout {
  const char* caption;
  int clientWidth;
  int clientHeight;
  QPoint nameLabel;
  QRect name;
  QPoint typeLabel;
  QRect type;
  QPoint lengthLabel;
  QRect length;
  QPoint lengthNote;
  QRect isPri;
  QRect isMust;
  QRect queryFlag;
  QRect isDisplay;
  QRect queryDisplay;
  QPoint commentLabel;
  QRect comment;
  QRect ok;
  QRect cancel;
  // Beside the controls above, which keep their places: what only the complete application
  // uses. The client width grows by what it takes.
  QRect complete;
};

class TMemberFormBase : public QDialog {
  Q_OBJECT

 public:
  QLineEdit* Edt_MemberName;
  QComboBox* CB_MemberType;
  QLineEdit* Edt_MemberLength;
  QCheckBox* CB_MemberIsPri;
  QCheckBox* CB_MemberIsMust;
  QCheckBox* CB_QueryFlag;
  QCheckBox* CB_MemberIsDisplay;
  QCheckBox* CB_MemberQueryDisplay;
  QLineEdit* Edt_MemberComment;
  QPushButton* Button1;
  QPushButton* Button2;
  // The complete application's: enabled only where they mean something for the chosen type
  // and key.
  QGroupBox* GB_Complete;
  QCheckBox* CB_MemberAllowNull;
  QCheckBox* CB_MemberKeyEntered;
  QComboBox* CB_MemberSqlType;
  QSpinBox* SE_MemberPrecision;
  QSpinBox* SE_MemberScale;

 public slots:
  virtual void Button1Click() = 0;
  void Button2Click();

 protected:
  TMemberFormBase(TFormMain& main, const TMemberFormLayout& layout);

  // The type list of a member of the window's selected class, or of the given class.
  std::vector<std::string> TypeListOfSelectedClass() const;
  static std::vector<std::string> TypeListOfClass(int projectId, int classId);
  void ShowInput(const TMemberInput& input);
  TMemberInput ReadInput() const;
  // Shows a rule's message (and puts the focus where it helps); true when there was one.
  bool Refused(const TRuleResult& problem, const TMemberInput& input);
  // Builds the record, hands it to store() and refills the window's member table; false while
  // the dialog must stay open.
  bool Store(const TMemberInput& input, int memberId, void (*store)(const TMember&));
  // True when the two inputs would describe the same member.
  static bool SameInput(const TMemberInput& a, const TMemberInput& b);

  TFormMain& main_;
  std::vector<std::string> typeList_;

 private:
  void MakeCompleteControls(const QRect& area);
  // Fills the SQL type list for the chosen type, keeping `keep` selected where the list has it,
  // and enables what applies. A stored type the list lacks (written by another tool) is added,
  // so that OK keeps it; one left from the type chosen before is not.
  void FillSqlTypes(const std::string& keep, bool stored);
  void EnableCompleteControls();
};

}  // namespace vbgen
