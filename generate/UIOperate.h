#pragma once

#include <string>

#include "generate/GenContext.h"
#include "model/NamedId.h"

namespace vbgen {

// The class name with its first character lowered when it is one of A to Z.
std::string LowerFirst(const std::string& className);

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
