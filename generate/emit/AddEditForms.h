#pragma once

#include "generate/GenContext.h"
#include "generate/read/ModelSnapshot.h"

namespace vbgen {

// FrmAdd{className}.frm for every class, in list order.
void GenerateAddFormFiles(TGenContext& context, const TModelSnapshot& model);
// FrmEdit{className}.frm for every class, in list order.
void GenerateEditFormFiles(TGenContext& context, const TModelSnapshot& model);

}  // namespace vbgen
