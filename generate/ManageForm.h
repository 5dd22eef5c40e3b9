#pragma once

#include "generate/GenContext.h"
#include "model/NamedId.h"

namespace vbgen {

// FrmManage{className}.frm for every class, in list order.
void GenerateManageFormFiles(TGenContext& context, const TNamedIdList& classList);

}  // namespace vbgen
