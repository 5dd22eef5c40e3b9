#pragma once

#include <string>
#include <string_view>

#include "generate/GenContext.h"
#include "model/NamedId.h"

namespace vbgen {

// The class name with its first character lowered when it is one of A to Z.
std::string LowerFirst(const std::string& className);

// The main form's per-class blocks (UTF-8, LF line ends, {placeholders}) that the assembly
// fills and puts in place of "$MenuString" and "$MenuClickHandleString".
std::string_view MainFormMenuBlock();
std::string_view MainFormMenuClickBlock();

// The generator of one run: the project assembly and the four form generators.
class TUIOperate {
 public:
  explicit TUIOperate(TGenContext& context) : context_(context) {}

  // Writes the project file and the main form from the templates, the per-class resource
  // copies, then calls the four generators in the order operator, add, edit, manage.
  void AssembleProject(const std::string& namespaceName, const TNamedIdList& classList);

  void GenerateOperatorForm(const TNamedIdList& classList);
  void GenerateAddForms(const TNamedIdList& classList);
  void GenerateEditForms(const TNamedIdList& classList);
  void GenerateManageForms(const TNamedIdList& classList);

 private:
  TGenContext& context_;
};

}  // namespace vbgen
