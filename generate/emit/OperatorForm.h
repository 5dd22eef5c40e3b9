#pragma once

#include "generate/GenContext.h"
#include "generate/read/ModelSnapshot.h"

namespace vbgen {

// frmczql.frm, the operator authorization form with two rights per class. The form of a complete
// application declares every name and reads and stores the operator's rights by parameters.
void GenerateOperatorFormFile(TGenContext& context, const TModelSnapshot& model,
                              bool complete = false);

}  // namespace vbgen
