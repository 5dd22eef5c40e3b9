// What the add and edit forms need to know about one class, taken from the run's model
// snapshot before any of the form's text is built.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "generate/GenContext.h"
#include "generate/read/ModelSnapshot.h"
#include "model/Member.h"

namespace vbgen {

// A class or reference the form generators cannot write: the message names what is missing.
class TFormModelError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A reference member with the two members of the class it names.
struct TFormReference {
  TMember member;
  std::string refKeyName;
  bool refKeyIsInteger = false;
  std::string refDisplayName;
  bool refDisplayIsPicture = false;  // a picture cannot be sorted by
  // A text key as its column holds it: a Unicode type or not, and its declared length.
  bool refKeyIsUnicode = false;
  int refKeyLength = 0;
};

struct TFormClass {
  std::string className;
  std::string lowerClassName;
  std::string friendName;
  TMember key;       // the first key member
  TMemberRefs keys;  // every key member, in key order (member order); key is the first
  TMemberRefs nonKeyMembers;
  std::vector<TFormReference> references;
  TMemberRefs pictures;

  // An integer key is an identity column: the add form neither shows nor writes it.
  bool HasIntegerKey() const { return key.memberIsInteger == 1; }
};

// Whether a class without a key member can be made a form of (the complete application lists
// such a class); its key is then a member without a name.
enum class TKeyNeed { Required, Optional };

// Throws TFormModelError when the class has no key member (unless it is optional), or a
// reference member names a class that is missing or lacks a key or display member.
TFormClass MakeFormClass(const TModelSnapshot& model, const TClassModel& entry,
                         TKeyNeed keyNeed = TKeyNeed::Required);

// Whether the class gets add and edit forms: the complete application shows a class without a
// key as a list only, since no row of it can be named for an edit.
inline bool HasEntryForms(const TClassModel& entry, bool complete) {
  return !complete || entry.KeyCount() > 0;
}

// Writes "{prefix}{className}.frm" for every class of the model, in class order, as
// WriteGeneratedForm does: the text build(form, entry) makes of the class's form and the class.
// The whole text of a file is built before it is written, so a class that cannot be generated
// leaves no half-written file. completeEntryForms: only the classes the complete application
// gives add and edit forms.
template <typename Build>
void WriteFormPerClass(TGenContext& context, const TModelSnapshot& model, const std::string& prefix,
                       Build build, bool completeEntryForms = false) {
  for (const TClassModel& entry : model.Classes()) {
    if (completeEntryForms && !HasEntryForms(entry, true)) continue;
    const TFormClass form = MakeFormClass(model, entry);
    WriteGeneratedForm(context, prefix + entry.className + ".frm", build(form, entry));
  }
}

// How a member shows on the add and edit forms, chosen from its type (and length).
enum class TRowKind { ShortString, LongString, Integer, Float, Date, Picture, Reference };
TRowKind RowKindOf(const TMember& member);

// A text whose column holds Unicode (nvarchar, nchar) rather than the code page's bytes.
bool IsUnicodeText(const TMember& member);

}  // namespace vbgen
