#pragma once

#include "generate/GenContext.h"
#include "model/NamedId.h"

namespace vbgen {

// FrmAdd{className}.frm for every class, in list order.
void GenerateAddFormFiles(TGenContext& context, const TNamedIdList& classList);
// FrmEdit{className}.frm for every class, in list order.
void GenerateEditFormFiles(TGenContext& context, const TNamedIdList& classList);

}  // namespace vbgen
