// The window's messages name its check boxes; on the command line each message keeps its
// text and is followed by the option that fixes it.
#pragma once

#include <string>

#include "generate/check/ModelCheck.h"

namespace vbgen::cli {

// A refusal of the member dialogs' rules, with the option that mends it, such as
// "浮点型必须勾选是否必填标志! (--must)"; a message no option mends is returned as it is.
std::string WithMemberOption(const std::string& message);

// An import whose project name is taken, with the option that gives another; any other
// message is returned as it is.
std::string WithNameOption(const std::string& message);

// The run's key and display checks say "exactly one"; these say whether there is none or
// more than one, and which option changes that.
std::string KeyCheckMessage(int classId);
std::string DisplayCheckMessage(int classId);

// A line of the model check, with the same hint for the key and display checks.
std::string ProblemLine(int projectId, const TModelProblem& problem);

}  // namespace vbgen::cli
