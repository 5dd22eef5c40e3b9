// The forms of a complete application: the add, edit and manage forms of every class, written
// when a run is asked for the complete application. Their designer sections are those of the
// plain forms (the edit form's key box locked, the manage form's grid bound to its columns);
// their code runs every statement as a parameterised command, holds integer keys in Long and
// declares every name it uses.
#pragma once

#include <string>

#include "generate/GenContext.h"
#include "generate/emit/FormClass.h"
#include "generate/read/ModelSnapshot.h"

namespace vbgen {

// The text of one form (UTF-8, LF line ends).
std::string BuildCompleteAddForm(const TFormClass& form);
std::string BuildCompleteEditForm(const TFormClass& form);
// Throws TManageFormError for a class with more query members than the form has room for.
// The query frame holds entry's query members but pictures.
std::string BuildCompleteManageForm(const TFormClass& form, const TClassModel& entry);

// FrmAdd{className}.frm, FrmEdit{className}.frm and FrmManage{className}.frm for every class.
void GenerateCompleteAddFormFiles(TGenContext& context, const TModelSnapshot& model);
void GenerateCompleteEditFormFiles(TGenContext& context, const TModelSnapshot& model);
void GenerateCompleteManageFormFiles(TGenContext& context, const TModelSnapshot& model);

}  // namespace vbgen
