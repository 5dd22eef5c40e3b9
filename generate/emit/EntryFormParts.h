// The pieces that the add form and the edit form share: the designer section with its rows,
// the module declarations, the member assignments of the button handler, the picture click
// handlers and the parts of the load handler that both write. The two forms differ only in a
// few words of these pieces (TEntryForm) and in the blocks each adds of its own.
#pragma once

#include <string>
#include <string_view>

#include "generate/emit/FormClass.h"

namespace vbgen {

struct TEntryForm {
  std::string_view formKind;     // FrmAdd{className} / FrmEdit{className}
  std::string_view captionVerb;  // caption of the form and of its frame
  std::string_view buttonName;   // Btn_Add / Btn_Update
  std::string_view buttonVerb;   // caption of the button and the success message
};

inline constexpr TEntryForm kAddForm{"Add", "添加", "Add", "添加"};
inline constexpr TEntryForm kEditForm{"Edit", "编辑", "Update", "更新"};

// From "VERSION 5.00" to the last attribute line: head, the key row when asked for, one row
// per non-key member, the button and the closing lines. A read-only key row has a locked box.
std::string DesignerSection(const TFormClass& form, const TEntryForm& kind, bool withKeyRow,
                            bool keyReadOnly = false);

// The complete application's designer section: a row per key member given (a reference key
// picked from its list, any other key typed in a box, locked when asked for), then a row per
// non-key member, a bit column as a yes/no box and a date that may be NULL as a picker with a
// box to tick.
std::string CompleteDesignerSection(const TFormClass& form, const TEntryForm& kind,
                                    const TMemberRefs& keyRows, bool keyReadOnly);

// A whole number the database holds as bit: a yes/no box on the complete application's forms.
bool IsYesNoMember(const TMember& member);

// The key arrays of the reference members, then the streams of the picture members. An integer
// key's array is Integer, or Long when asked for.
std::string ModuleDeclarations(const TFormClass& form, bool longKeys = false);

// "Private Sub Btn_..._Click()" and the recordset variable.
std::string ButtonHandlerStart(const TFormClass& form, const TEntryForm& kind);
// The add form's test that a text key was typed.
std::string KeyEmptyCheck(const TFormClass& form);
// The connection check of the button handler.
std::string CheckConnectionCall();
// Opens the class's recordset for writing from the statement already in `sql`.
std::string OpenKeysetRecordset(const TFormClass& form);
// One assignment per non-key member, integers and floats under an error trap.
std::string MemberAssignments(const TFormClass& form);
// Update, success message and the label the error traps jump to; one empty line after.
std::string ButtonHandlerEnd(const TFormClass& form, const TEntryForm& kind);

// The "添加图片" handler of every picture member.
std::string PictureClickHandlers(const TFormClass& form);
// The same for the complete forms, with their errors trapped.
std::string CompletePictureClickHandlers(const TFormClass& form);

// The empty line, "Private Sub Form_Load()", firstLines, the placeholder pictures and the
// connection call.
// placeholderStored: the placeholder is also loaded into the picture's stream (the plain forms
// store it when nothing is chosen); otherwise the stream starts empty.
std::string LoadHandlerStart(const TFormClass& form, std::string_view firstLines = {},
                             bool placeholderStored = true);
// Fills each reference member's key array and drop-down list; the add form then selects the
// first entry, the edit form selects the stored one later.
std::string ReferenceListFills(const TFormClass& form, bool selectFirstEntry);
// Closes the connection and the load handler; the scroll bar's handler ends the file.
std::string LoadHandlerEnd();
// The same without closing the connection: forms that share it with an open list keep it open.
std::string LoadHandlerEndKeepingConnection();

}  // namespace vbgen
