#pragma once

#include "generate/GenContext.h"
#include "generate/ModelSnapshot.h"

namespace vbgen {

// frmczql.frm, the operator authorization form with two rights per class.
void GenerateOperatorFormFile(TGenContext& context, const TModelSnapshot& model);

}  // namespace vbgen
