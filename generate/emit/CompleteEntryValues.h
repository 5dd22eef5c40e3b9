// How the complete application's add and edit forms treat the value of one member: what they
// check before storing it, the parameter it travels as, how a stored value is shown, and what
// the edit form compares to see whether the user changed it. Each follows what the column
// holds (its declared SQL type, NULL allowed or not), so a value goes in as the server keeps it
// and a NULL stays a NULL. Every function takes the members under their code names (TCodeForm).
#pragma once

#include <cstddef>
#include <string>

#include "generate/emit/FormClass.h"

namespace vbgen {

// The checks of a member's control before anything is stored; a failed check names the
// member, puts the focus on its control and leaves the handler. Nothing for a picture or date.
std::string ValueChecks(const TMember& member);
// The checks of a key typed or picked on the add form: never empty, of the key's type.
std::string KeyChecks(const TMember& key);

// The line (or lines) that adds the member's control value to cmd.
std::string ValueParameter(const TFormClass& code, const TMember& member);
// The line that adds the add form's typed or picked value of a key to cmd.
std::string KeyEntryParameter(const TFormClass& code, const TMember& key);
// The line that adds a key held in the VB variable `variable` to cmd.
std::string KeyVariableParameter(const TFormClass& code, const TMember& key,
                                 const std::string& variable);

// The control a key's value is typed or picked in, for the focus: "TB_{name}" or "CB_{name}".
std::string KeyControl(const TMember& key);

// ShowRecord's lines that put the column's stored value (in rs) into the member's control.
std::string ShowValue(const TMember& member, const std::string& column);
// The line that empties the text of a reference's list when no entry is chosen.
std::string NoEntryText(const TMember& member);
// ShowRecord's line that remembers what the control shows, at shownValues(position); nothing
// for a picture, whose change is a new file chosen.
std::string RememberShownValue(const TMember& member, std::size_t position);
// The VB condition that the user changed the member since ShowRecord showed it.
std::string ChangedCondition(const TMember& member, std::size_t position);

}  // namespace vbgen
