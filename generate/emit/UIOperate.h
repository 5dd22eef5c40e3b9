#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "generate/GenContext.h"
#include "generate/read/ModelSnapshot.h"

namespace vbgen {

// The class name with its first character lowered when it is one of A to Z.
std::string LowerFirst(const std::string& className);

// The main form's per-class blocks (UTF-8, LF line ends, {placeholders}) that the assembly
// fills and puts in place of "$MenuString" and "$MenuClickHandleString".
std::string_view MainFormMenuBlock();
std::string_view MainFormMenuClickBlock();

// The names of every file the assembly and the generators write for the model, inside the
// project directory, so a run can check where they go before it writes the first. The complete
// application also writes its own login, operator maintenance and password module.
std::vector<std::string> ProjectFileNames(const TModelSnapshot& model, bool complete = false);

// The resource files of a class's forms ("FrmAdd{className}.frx" and so on), copies of the two
// templates, as the assembly writes them: the add and edit forms' only when the class has them.
// They depend on the class's name alone, so a run can write them before the members are read.
void WriteFormResources(TGenContext& context, const std::string& className, bool entryForms);

// The generator of one run: the project assembly and the four form generators.
class TUIOperate {
 public:
  explicit TUIOperate(TGenContext& context, TRunOptions options = {})
      : context_(context), options_(options) {}

  // Writes the project file and the main form from the templates, the per-class resource
  // copies, then calls the four generators in the order operator, add, edit, manage.
  void AssembleProject(const std::string& namespaceName, const TModelSnapshot& model);

  void GenerateOperatorForm(const TModelSnapshot& model);
  void GenerateAddForms(const TModelSnapshot& model);
  void GenerateEditForms(const TModelSnapshot& model);
  void GenerateManageForms(const TModelSnapshot& model);

 private:
  TGenContext& context_;
  TRunOptions options_;
};

}  // namespace vbgen
