#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "generate/GenContext.h"
#include "generate/read/ModelSnapshot.h"
#include "model/Member.h"

namespace vbgen {

// A class whose manage form cannot be generated; the message says which class and why.
class TManageFormError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The most query members a manage form has room for: with more, the query rows push the
// result grid to no height at all.
inline constexpr int kMaxManageQueryMembers = 44;

// FrmManage{className}.frm for every class, in list order.
void GenerateManageFormFiles(TGenContext& context, const TModelSnapshot& model);

// The text of one manage form (UTF-8, LF line ends): the query frame holds one control per
// query member, in the order given. Throws TManageFormError for too many query members.
std::string BuildManageFormText(const std::string& className, const std::string& friendName,
                                const TMemberList& queryMembers);

// ---- Pieces of the designer section, shared with the manage form of a complete application.

// One column of the result grid: the recordset field it shows and its heading.
struct TGridColumn {
  std::string dataField;
  std::string caption;
};

// The cell of the query member at a position (four to a row) and its first tab index.
struct TQueryCell {
  int labelNo;
  int left;
  int top;
  int tab;
};
TQueryCell QueryCellAt(int position, int tab);

// Throws TManageFormError when the query frame has no room for that many members.
void RequireRoomForQueryMembers(const std::string& className, std::size_t count);

// The plain form's head holds a hidden data control; the complete application's holds none (its
// code reads through the one connection) but lists the common dialog it exports through.
enum class TManageFormHead { WithDataControl, WithFileDialog };

// The form's head, the list frame with the grid's columns, and the head of the query frame
// sized for queryCount members.
std::string ManageFormTop(const std::string& className, const std::string& friendName,
                          int queryCount, const std::vector<TGridColumn>& columns,
                          TManageFormHead head = TManageFormHead::WithDataControl);
// A query member's label, and the text box of a string member, in its cell.
std::string QueryLabel(const TMember& member, const TQueryCell& cell);
std::string QueryTextBox(const TMember& member, const TQueryCell& cell);
// A date picker named DTP_{controlName} in the cell's input column, and the 启用 check box that
// switches a date member's condition on.
std::string QueryDatePicker(const std::string& controlName, const TQueryCell& cell, int tabIndex,
                            int top);
std::string QueryEnableBox(const std::string& memberName, const TQueryCell& cell, int tabIndex);
// The query button (taking the tab index after the last member) and the end of the query frame.
std::string QueryButtonAndFrameEnd(int buttonTab);
// "End" of the form and the attribute lines.
std::string ManageFormEnd(const std::string& className);

}  // namespace vbgen
