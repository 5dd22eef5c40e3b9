// A project's model as a JSON text: written out for keeping or sharing, and read back as a
// new project under the same rules the window and the dialogs apply to typed input.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>

namespace vbgen {

// A model file that cannot be read or breaks a rule. Where() names the spot (project, class,
// member, field, as far as known); Reason() says what is wrong there.
class TModelFileError : public std::runtime_error {
 public:
  TModelFileError(const std::string& where, const std::string& reason);

  const std::string& Where() const { return where_; }
  const std::string& Reason() const { return reason_; }

 private:
  std::string where_;
  std::string reason_;
};

// The project as JSON: UTF-8, two-space indent, fixed key order, a newline at the end; classes
// in key order and members in member order. Keys (projectId, classId, memberId) are left out:
// references are by class name. Throws TModelFileError when there is no such project.
std::string ExportProject(int projectId);

// Creates a new project from a model file, named `name` when given, else by the file's
// projectName; returns its key. Everything is checked as the new-project box, the add-class
// dialog and the add-member dialog would check it. All or nothing: on any error the database
// is left as it was and TModelFileError says where.
int ImportProject(const std::string& modelText, const std::optional<std::string>& name);

}  // namespace vbgen
