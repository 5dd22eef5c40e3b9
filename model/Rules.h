// The input rules of the window and the dialogs, shared with the command line. Each check
// returns the message to show, or nothing when the input passes.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "model/Member.h"
#include "model/NamedId.h"

namespace vbgen {

using TRuleResult = std::optional<std::string>;

// New project (the new-project input box).
TRuleResult CheckNewProjectName(const std::string& name);
// Rename (the rename input box); another project may already have the name.
TRuleResult CheckRenamedProjectName(const std::string& name);

// The add-class dialog's order: names empty, first letter, characters, friend name, exists.
TRuleResult CheckAddClass(int projectId, const std::string& className,
                          const std::string& friendName);
// The update-class dialog's order; a name that another class has is accepted.
TRuleResult CheckUpdateClass(const std::string& className, const std::string& friendName);

// What the member dialogs hold when OK is pressed.
struct TMemberInput {
  std::string name;
  // The type list of the dialog: the five type words, then the other classes of the project.
  std::vector<std::string> typeList;
  int typeIndex = 0;  // the selected entry, -1 for none
  std::string lengthText = "20";
  bool isPri = false;
  bool isMust = false;
  bool queryFlag = false;
  bool isDisplay = false;
  bool queryDisplay = true;
  std::string comment;

  // The text of the selected type entry; empty when none is selected.
  std::string Type() const;
};

// The type list for a member of a class: the five words, then the other classes' names.
std::vector<std::string> MemberTypeList(const TNamedIdList& otherClasses);

// Rules N1, N2, M, P, K1, K2, Q in this order (with the safety rules beside them).
TRuleResult CheckAddMember(const TMemberInput& input);
// Rules N1, N2, M, K2, P, Q in this order; no K1.
TRuleResult CheckUpdateMember(const TMemberInput& input);

// The record the dialogs store, or the conversion error of a length that is not an integer.
struct TBuiltMember {
  std::optional<TMember> member;
  std::string error;
};
TBuiltMember BuildMember(const TMemberInput& input, int projectId, int classId, int memberId);

// The input a dialog starts from: the add dialog's fresh state, or a stored member.
TMemberInput NewMemberInput(std::vector<std::string> typeList);
TMemberInput MemberInputFrom(const TMember& member, std::vector<std::string> typeList);

// Checks a stored name as the dialogs would have (used for models from older databases).
TRuleResult CheckStoredClassName(const std::string& className);
// The part of the class-name rules that keeps the class's files in the project directory.
TRuleResult CheckClassNameAsFileName(const std::string& className);
// A stored project name, as the new-project box would have checked it (but for duplicates):
// it names the project's output folder.
TRuleResult CheckStoredProjectName(const std::string& projectName);
TRuleResult CheckStoredFriendName(const std::string& friendName);
TRuleResult CheckStoredMemberName(const std::string& memberName);
TRuleResult CheckStoredComment(const std::string& comment);

}  // namespace vbgen
