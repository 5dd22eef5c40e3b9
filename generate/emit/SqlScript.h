#pragma once

#include <stdexcept>
#include <string>

#include "generate/read/ModelSnapshot.h"

namespace vbgen {

// A model the script cannot be built from (a class without a key, a reference to a class that
// is missing or has no key); the message names the class.
class TScriptError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The SQL Server table-creation script of a model, UTF-8 with CR LF line ends. A rerunnable
// script (the one of a complete application) first drops every foreign key between its tables
// and then the tables, the operators' table included, so it runs on a database that holds them;
// at its end it stores friend names and member comments as MS_Description properties.
std::string BuildTableScriptFrom(const TModelSnapshot& model, bool rerunnable = false);
// The same for the project's model as it is now (read once); a missing project has no classes.
std::string BuildTableScript(int projectId);
std::string BuildRerunnableTableScript(int projectId);

// What the complete application itself needs in a database that has its tables already: the
// operators' table and its first operator, each only where it is missing. Nothing is dropped.
std::string BuildAppTablesScriptFrom(const TModelSnapshot& model);
std::string BuildAppTablesScript(int projectId);

// The iterations of PBKDF2-SHA256 for a password set now: the script's first operator and the
// complete application's ModPassword.bas use the same; each row keeps its own count.
inline constexpr int kPasswordIterations = 100000;

}  // namespace vbgen
