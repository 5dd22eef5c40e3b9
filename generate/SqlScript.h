#pragma once

#include <stdexcept>
#include <string>

namespace vbgen {

// A model the script cannot be built from (a class without a key, a reference to a class that
// is missing or has no key); the message names the class.
class TScriptError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The SQL Server table-creation script of a project, UTF-8 with CR LF line ends.
std::string BuildTableScript(int projectId);

}  // namespace vbgen
