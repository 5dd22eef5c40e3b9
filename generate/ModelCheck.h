// Checks of a project's model beyond the key and display counts: what would make the
// generators or the script produce broken output. All are functions of a model snapshot.
#pragma once

#include <string>
#include <vector>

#include "generate/ModelSnapshot.h"

namespace vbgen {

// A reference member whose type names no class of its project. Message names class, member
// and missing type.
std::vector<std::string> FindMissingReferences(const TModelSnapshot& model);
// Texts of the model that GBK cannot hold, each message naming where the text is.
std::vector<std::string> FindTextsOutsideGbk(const TModelSnapshot& model);
// The class name followed by the key check's or the display check's text, for every class
// that has not exactly one key member or display member.
std::vector<std::string> FindKeyProblems(const TModelSnapshot& model);
std::vector<std::string> FindDisplayProblems(const TModelSnapshot& model);
// Names and texts that the input rules refuse (a model from an older database or another tool
// may hold them), each message naming where the text is.
std::vector<std::string> FindRefusedNames(const TModelSnapshot& model);

// The names that become file names (the project's, the classes'), where the rules refuse them:
// a run stops on the first before it writes anything.
std::vector<std::string> FindNamesUnfitForFiles(const TModelSnapshot& model);

// Every problem that would stop a run or the script, or that the input rules refuse, one line
// each, in class order.
std::vector<std::string> FindModelProblems(const TModelSnapshot& model);
// The same for the project's model as it is now (read once); a missing project has none.
std::vector<std::string> FindModelProblems(int projectId);

inline constexpr const char* kKeyCheckText = "表主键设置错误，每个类只能设置一个主键!";
inline constexpr const char* kDisplayCheckText =
    "表显示成员设置错误，每个类有且只能设置一个显示成员!";

}  // namespace vbgen
