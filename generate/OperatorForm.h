#pragma once

#include "generate/GenContext.h"
#include "model/NamedId.h"

namespace vbgen {

// frmczql.frm, the operator authorization form with two rights per class.
void GenerateOperatorFormFile(TGenContext& context, const TNamedIdList& classList);

}  // namespace vbgen
