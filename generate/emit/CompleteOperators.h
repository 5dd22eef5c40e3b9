// The complete application's operators: passwords kept only as salted PBKDF2-SHA256 hashes.
#pragma once

#include <string>

#include "generate/GenContext.h"
#include "generate/read/ModelSnapshot.h"

namespace vbgen {

inline constexpr const char* kPasswordModuleFile = "ModPassword.bas";

// ModPassword.bas: the hash through Windows CNG (bcrypt.dll), its known-answer test, new salts,
// and the three parameters (salt, hash, iterations) a statement stores a new password with.
std::string BuildPasswordModule();
// frmLogin.frm: checks the hash, has an operator without a password set one at the first login,
// delays the next try after repeated failures, and tells what to run when the operators' table
// is missing (the project's own vbgen-cli command).
std::string BuildCompleteLoginForm(const std::string& projectName);
// frmCzry.frm: operator maintenance storing hashes, every database error trapped.
std::string BuildCompleteOperatorsForm();

// readme.txt: how to make the database, connect to it and set the first password.
std::string BuildCompleteReadme(const std::string& projectName);

// The four files above; they take the place of the support directory's copies.
void GenerateCompleteOperatorFiles(TGenContext& context, const TModelSnapshot& model);

}  // namespace vbgen
