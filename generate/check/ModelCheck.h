// The model check: what VB6 and SQL Server will refuse in the project that a run would write
// and in its table-creation script, found before anything is written. All checks are
// functions of a model snapshot.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "generate/GenContext.h"
#include "generate/read/ModelSnapshot.h"

namespace vbgen {

// An error makes the generated project or the script unusable: a run refuses the model. A
// warning names what is still generated as stored but a platform or a statement trips over.
enum class TSeverity { Error, Warning };

struct TModelProblem {
  TSeverity severity = TSeverity::Error;
  std::string projectName;
  std::optional<std::string> className;
  std::optional<std::string> memberName;
  std::string text;           // what is wrong, and what it breaks
  bool breaksScript = false;  // SQL Server rejects the table-creation script

  // One line: 错误 or 警告, the project, class and member, then the text.
  std::string Line() const;
};

// Every problem of the model, errors before warnings. Within each, the key and display checks
// of a run come first, then the other checks, each in class and member order. The options
// name what a run would write: the plain project writes names bare where the complete
// application brackets them or gives its code names of its own, so a name can break one and
// not the other.
std::vector<TModelProblem> CheckModel(const TModelSnapshot& model, const TRunOptions& options = {});

// The first error, the first error the script cannot be built with; none when there is none.
std::optional<TModelProblem> FirstError(const std::vector<TModelProblem>& problems);
std::optional<TModelProblem> FirstScriptError(const std::vector<TModelProblem>& problems);
// The first error of the model, as CheckModel would find it, without the checks that find only
// warnings.
std::optional<TModelProblem> FirstError(const TModelSnapshot& model,
                                        const TRunOptions& options = {});
// The first error of the model the script cannot be built with, as CheckModel would find it,
// without the checks that only the run's other files need.
std::optional<TModelProblem> FirstScriptError(const TModelSnapshot& model,
                                              const TRunOptions& options = {});

// The lines of CheckModel, and the same for the project's model as it is now (read once); a
// missing project has none.
std::vector<std::string> FindModelProblems(const TModelSnapshot& model,
                                           const TRunOptions& options = {});
std::vector<std::string> FindModelProblems(int projectId, const TRunOptions& options = {});

// VB6 loads at most this many control names on one form (a control array counts once).
inline constexpr int kMaxFormControlNames = 254;
// The control names the add and edit forms of the class are given: both forms hold the same
// rows, the edit form the key row too, so the edit form has the most.
int EntryFormControlNames(const TClassModel& entry);

inline constexpr const char* kKeyCheckText = "表主键设置错误，每个类只能设置一个主键!";
inline constexpr const char* kDisplayCheckText =
    "表显示成员设置错误，每个类有且只能设置一个显示成员!";

}  // namespace vbgen
