// Pieces shared by the forms of a complete application (add, edit and manage forms that run
// every statement as a parameterised command). Every statement is assembled from fixed text
// into the local variable statementText, one piece per line, and handed to NewCommand; the
// values travel as parameters, never as part of the text.
#pragma once

#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "generate/emit/FormClass.h"
#include "model/Member.h"

namespace vbgen {

// A name as SQL Server reads it whatever it is: between brackets, a closing bracket doubled.
std::string SqlName(const std::string& name);

// The form of a class as the complete application's code sees it: every member under a name
// of the application's own, from which its controls and variables are made. A member keeps its
// name where that is safe; otherwise (a VB6 keyword, a name that does not begin with a letter,
// a control or variable another member or the form already has) it gets one that is: "m_"
// before it, a number after it. The statements keep the database's names, so they are taken
// from the class's own form, whose members stand in the same order.
class TCodeForm {
 public:
  explicit TCodeForm(const TFormClass& form);
  TCodeForm(const TCodeForm&) = delete;
  TCodeForm& operator=(const TCodeForm&) = delete;

  const TFormClass& Form() const { return code_; }
  // A member of the class under its code name (the member itself when it is not the class's).
  TMember Renamed(const TMember& member) const;

 private:
  std::deque<TMember> members_;  // the key, then the other members; code_ refers to them
  std::vector<std::pair<int, std::string>> original_;  // id and name of each, as stored
  TFormClass code_;
};

// The lines that put a statement into statementText: the first piece assigned, each further
// piece appended. The pieces are SQL text with "?" markers and must not hold a double quote.
std::string StatementLines(const std::vector<std::string>& pieces);
// The same, every piece appended to what statementText already holds.
std::string AppendedStatementLines(const std::vector<std::string>& pieces);

// "Option Explicit" alone.
std::string OptionExplicit();

// "Option Explicit", then the key arrays of the references (Long for an integer key) and the
// streams of the pictures.
std::string CompleteModuleDeclarations(const TFormClass& form);

// The local variables of a procedure that runs statements, and the command made of the
// statement in statementText.
std::string StatementVariables();
std::string NewCommandLine();

// The reference (with the members of the class it names) of a reference member of the form.
const TFormReference& ReferenceOf(const TFormClass& form, const TMember& member);

// The call that adds a key value to cmd: AddLongParameter for an integer key, AddKeyTextParameter
// (Unicode, so a key read from the database matches itself whatever its letters) for a text key.
std::string_view KeyParameterCall(bool integerKey);
// The conversion of a stored key to what the key variables hold.
std::string_view KeyConversion(bool integerKey);

// Declarations of a load handler that fills reference lists, and the fill of every list:
// the referenced class's keys and display values, ordered by the display value. An "all"
// entry first when asked for (query lists); otherwise the first entry is chosen when asked.
std::string ReferenceFillVariables(const std::vector<TFormReference>& references);
std::string ReferenceListFill(const TFormReference& reference, bool withAllEntry,
                              bool selectFirstEntry);

// The fill of a self-reference's list on the edit form: every row of the class but the one
// whose key is the VB expression keyValue.
std::string ReferenceListFillExcept(const TFormReference& reference, const std::string& keyValue);

// The key members of a form in key order (member order); a form made by hand without them has
// its one key.
TMemberRefs KeyMembersOf(const TFormClass& form);
// Whether a key member holds a whole number: a reference key as the key of the class it names.
bool KeyIsInteger(const TFormClass& form, const TMember& key);

// How the edit form is told which row to show. FrmEdit{className}.ShowRecord takes one
// argument per key member, in key order: a Long for a whole-number key, a String otherwise.
// ShowRecordParameters writes that parameter list for the edit form (of its code form, whose
// names it uses: "ByVal key_orderId As Long, ByVal key_productId As Long");
// ShowRecordArguments the matching arguments read from the open recordset named recordset
// (of the class's own form, whose column names it uses:
// "CLng(listRs.Fields("orderId").Value), CLng(listRs.Fields("productId").Value)").
std::string ShowRecordParameters(const TFormClass& code);
std::string ShowRecordArguments(const TFormClass& form, std::string_view recordset);

// The end of a handler that stores: the error label and the message it shows.
std::string SaveFailedTail(const std::string& friendName);

}  // namespace vbgen
