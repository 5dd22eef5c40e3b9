// The manage (search and list) form of a class: a query frame with one control per query
// member, a result grid, a hidden data control and a pop-up menu. Designer section and
// attributes only; the form has no code.
#include "generate/emit/ManageForm.h"

#include <string_view>
#include <vector>

#include "generate/emit/TextTemplate.h"
#include "model/Member.h"

namespace vbgen {
namespace {

// The form, its hidden data control. Three lines end with one blank: the form's Begin line,
// the data control's Begin line and its BeginProperty Font line.
constexpr std::string_view kFormObjects = R"vb(VERSION 5.00
Object = "{86CF1D34-0C5F-11D2-A9FC-0000F8754DA1}#2.0#0"; "MSCOMCT2.OCX"
Object = "{CDE57A40-8B86-11D0-B3C6-00A0C90AEA82}#1.0#0"; "MSDATGRD.OCX"
)vb";

constexpr std::string_view kDataControlObject =
    R"vb(Object = "{67397AA1-7FB1-11D0-B148-00A0C922E820}#6.0#0"; "MSADODC.OCX"
)vb";

// The complete application's form saves its exports through a common dialog of its own.
constexpr std::string_view kFileDialogObject =
    R"vb(Object = "{F9043C88-F6F2-101A-A3C9-08002B2F49FB}#1.2#0"; "COMDLG32.OCX"
)vb";

constexpr std::string_view kFormBegin = R"vb(Begin VB.Form FrmManage{className} 
   Caption         =   "{friendName}管理"
   ClientHeight    =   8940
   ClientLeft      =   120
   ClientTop       =   450
   ClientWidth     =   14895
   LinkTopic       =   "Form1"
   MDIChild        =   -1  'True
   ScaleHeight     =   8940
   ScaleWidth      =   14895
   WindowState     =   2  'Maximized
)vb";

constexpr std::string_view kDataControl = R"vb(   Begin MSAdodcLib.Adodc Adodc1 
      Height          =   495
      Left            =   960
      Top             =   8280
      Visible         =   0   'False
      Width           =   2895
      _ExtentX        =   5106
      _ExtentY        =   873
      ConnectMode     =   0
      CursorLocation  =   3
      IsolationLevel  =   -1
      ConnectionTimeout=   15
      CommandTimeout  =   30
      CursorType      =   3
      LockType        =   3
      CommandType     =   8
      CursorOptions   =   0
      CacheSize       =   50
      MaxRecords      =   0
      BOFAction       =   0
      EOFAction       =   0
      ConnectStringType=   3
      Appearance      =   1
      BackColor       =   -2147483643
      ForeColor       =   -2147483640
      Orientation     =   0
      Enabled         =   -1
      Connect         =   "DSN=MISDB"
      OLEDBString     =   ""
      OLEDBFile       =   ""
      DataSourceName  =   "MISDB"
      OtherAttributes =   ""
      UserName        =   ""
      Password        =   ""
      Caption         =   "Adodc1"
      BeginProperty Font {0BE35203-8F91-11CE-9DE3-00AA004BB851} 
         Name            =   "宋体"
         Size            =   9
         Charset         =   134
         Weight          =   400
         Underline       =   0   'False
         Italic          =   0   'False
         Strikethrough   =   0   'False
      EndProperty
      _Version        =   393216
   End
)vb";

// The list frame with its result grid, up to the grid's columns. Blank-ended lines: both Begin
// lines here, and in the pieces below every DataFormat line and "BeginProperty Split0 ".
constexpr std::string_view kListFrameHead = R"vb(   Begin VB.Frame Frame2 
      Caption         =   "{friendName}列表"
      Height          =   {listHeight}
      Left            =   480
      TabIndex        =   1000
      Top             =   {listTop}
      Width           =   14175
      Begin MSDataGridLib.DataGrid DataGrid1 
         Height          =   {gridHeight}
         Left            =   120
         TabIndex        =   1001
         Top             =   360
         Width           =   13935
         _ExtentX        =   24580
         _ExtentY        =   11245
         _Version        =   393216
         AllowUpdate     =   0   'False
         AllowArrows     =   0   'False
         HeadLines       =   1
         RowHeight       =   15
         BeginProperty HeadFont {0BE35203-8F91-11CE-9DE3-00AA004BB851}
            Name            =   "宋体"
            Size            =   9
            Charset         =   134
            Weight          =   400
            Underline       =   0   'False
            Italic          =   0   'False
            Strikethrough   =   0   'False
         EndProperty
         BeginProperty Font {0BE35203-8F91-11CE-9DE3-00AA004BB851}
            Name            =   "宋体"
            Size            =   9
            Charset         =   134
            Weight          =   400
            Underline       =   0   'False
            Italic          =   0   'False
            Strikethrough   =   0   'False
         EndProperty
         ColumnCount     =   {columnCount}
)vb";

// One column of the result grid. The Part's two empty columns differ in one blank: the first
// column's Begin line ends with one, the second's does not ({columnTail}).
constexpr std::string_view kGridColumn = R"vb(         BeginProperty Column{columnNo}{columnTail}
            DataField       =   "{dataField}"
            Caption         =   "{caption}"
            BeginProperty DataFormat {6D835690-900B-11D0-9484-00A0C91110ED} 
               Type            =   0
               Format          =   ""
               HaveTrueFalseNull=   0
               FirstDayOfWeek  =   0
               FirstWeekOfYear =   0
               LCID            =   2052
               SubFormatType   =   0
            EndProperty
         EndProperty
)vb";

constexpr std::string_view kSplitHead = R"vb(         SplitCount      =   1
         BeginProperty Split0 
)vb";

constexpr std::string_view kSplitColumn =
    R"vb(            BeginProperty Column{columnNo}{columnTail}
            EndProperty
)vb";

constexpr std::string_view kListFrameEnd = R"vb(         EndProperty
      End
   End
)vb";

// The query frame's head; its Begin line ends with one blank.
constexpr std::string_view kQueryFrameHead = R"vb(   Begin VB.Frame Frame1 
      Caption         =   "{friendName}查询"
      Height          =   {queryHeight}
      Left            =   480
      TabIndex        =   0
      Top             =   480
      Width           =   14175
)vb";

// Every query member's row starts with its label; the colon is the full-width one.
constexpr std::string_view kLabel = R"vb(      Begin VB.Label Label{labelNo}
         Caption         =   "{memberComment}："
         Height          =   255
         Left            =   {cellLeft}
         TabIndex        =   {tabIndex}
         Top             =   {cellTop}
         Width           =   1215
      End
)vb";

// A string member: a text box 120 twips above its label's top.
constexpr std::string_view kTextBox = R"vb(      Begin VB.TextBox TB_{memberName}
         Height          =   375
         Left            =   {inputLeft}
         TabIndex        =   {tabIndex1}
         Top             =   {inputTop}
         Width           =   1815
      End
)vb";

// A date member: a picker, then the check box that switches the date condition on. Both Begin
// lines end with one blank.
constexpr std::string_view kDatePicker = R"vb(      Begin MSComCtl2.DTPicker DTP_{memberName} 
         Height          =   255
         Left            =   {inputLeft}
         TabIndex        =   {tabIndex1}
         Top             =   {inputTop}
         Width           =   1335
         _ExtentX        =   2355
         _ExtentY        =   450
         _Version        =   393216
         Format          =   107544577
         CurrentDate     =   41857
      End
)vb";

constexpr std::string_view kEnableBox = R"vb(      Begin VB.CheckBox CHB_{memberName} 
         Caption         =   "启用"
         Height          =   255
         Left            =   {checkLeft}
         TabIndex        =   {tabIndex2}
         Top             =   {cellTop}
         Width           =   735
      End
)vb";

// Every other member (integer, floating point, picture, reference): a combo box.
constexpr std::string_view kComboBox = R"vb(      Begin VB.ComboBox CB_{memberName}
         Height          =   300
         Left            =   {inputLeft}
         TabIndex        =   {tabIndex1}
         Text            =   "Combo_{memberName}"
         Top             =   {inputTop}
         Width           =   1935
      End
)vb";

// The query button and the end of the query frame.
constexpr std::string_view kQueryButton = R"vb(      Begin VB.CommandButton Btn_Query
         Caption         =   "查询"
         Height          =   375
         Left            =   12480
         TabIndex        =   {buttonTab}
         Top             =   240
         Width           =   1215
      End
   End
)vb";

// The hidden pop-up menu; its three item lines end with one blank.
constexpr std::string_view kPopMenu = R"vb(   Begin VB.Menu popMenu
      Caption         =   "右键菜单"
      Visible         =   0   'False
      Begin VB.Menu edit 
         Caption         =   "编辑当前记录"
      End
      Begin VB.Menu delete 
         Caption         =   "删除当前记录"
      End
      Begin VB.Menu print 
         Caption         =   "导出当前所有记录"
      End
   End
)vb";

constexpr std::string_view kFormEnd = R"vb(End
Attribute VB_Name = "FrmManage{className}"
Attribute VB_GlobalNameSpace = False
Attribute VB_Creatable = False
Attribute VB_PredeclaredId = True
Attribute VB_Exposed = False
)vb";

// The form without code ends with one empty line.
constexpr std::string_view kNoCode = "\n";

// The two empty columns of the grid on a form without code.
const std::vector<TGridColumn> kUnboundColumns = {{"", ""}, {"", ""}};

// Sizes of the frames and the grid. Every query row beyond the first (four members to a row)
// makes the query frame 600 twips taller and moves the list frame down by as much, so the
// list frame's bottom edge stays at 8175.
struct TFrameSizes {
  int queryHeight;
  int listTop;
  int listHeight;
  int gridHeight;
};

TFrameSizes FrameSizesFor(int queryMemberCount) {
  const int extraRows = queryMemberCount > 0 ? (queryMemberCount - 1) / 4 : 0;
  return {735 + 600 * extraRows, 1320 + 600 * extraRows, 6855 - 600 * extraRows,
          6375 - 600 * extraRows};
}

// Column numbers have two digits: Column00, Column01, ...
std::string ColumnNo(std::size_t index) {
  std::string number = std::to_string(index);
  return number.size() < 2 ? "0" + number : number;
}

// Only the first column's Begin lines end with a blank, as the form VB6 saved had them.
std::string_view ColumnTail(std::size_t index) { return index == 0 ? " " : ""; }

std::string GridColumns(const std::vector<TGridColumn>& columns) {
  std::string text;
  for (std::size_t i = 0; i < columns.size(); ++i) {
    FillInto(text, kGridColumn,
             {{"columnNo", ColumnNo(i)},
              {"columnTail", ColumnTail(i)},
              {"dataField", columns[i].dataField},
              {"caption", columns[i].caption}});
  }
  text += kSplitHead;
  for (std::size_t i = 0; i < columns.size(); ++i) {
    FillInto(text, kSplitColumn, {{"columnNo", ColumnNo(i)}, {"columnTail", ColumnTail(i)}});
  }
  text += kListFrameEnd;
  return text;
}

// The label and control(s) of the query member in the given cell; returns the next free tab
// index: a date member takes three (label, picker, check box), every other member two.
int QueryMemberText(const TMember& member, const TQueryCell& cell, std::string& text) {
  text += QueryLabel(member, cell);
  if (member.memberType == kTypeString) {
    text += QueryTextBox(member, cell);
    return cell.tab + 2;
  }
  if (member.memberType == kTypeDate) {
    text += QueryDatePicker(member.memberName, cell, cell.tab + 1, cell.top);
    text += QueryEnableBox(member.memberName, cell, cell.tab + 2);
    return cell.tab + 3;
  }
  FillInto(text, kComboBox,
           {{"memberName", member.memberName},
            {"inputLeft", std::to_string(cell.left + 840)},
            {"tabIndex1", std::to_string(cell.tab + 1)},
            {"inputTop", std::to_string(cell.top)}});
  return cell.tab + 2;
}

}  // namespace

void RequireRoomForQueryMembers(const std::string& className, std::size_t count) {
  if (count <= static_cast<std::size_t>(kMaxManageQueryMembers)) return;
  throw TManageFormError("类 " + className + " 有 " + std::to_string(count) +
                         " 个查询成员，管理窗体最多容纳 " + std::to_string(kMaxManageQueryMembers) +
                         " 个：请取消部分成员的查询条件后重新生成。");
}

TQueryCell QueryCellAt(int position, int tab) {
  return {position + 1, 120 + 3000 * (position % 4), 360 + 600 * (position / 4), tab};
}

std::string ManageFormTop(const std::string& className, const std::string& friendName,
                          int queryCount, const std::vector<TGridColumn>& columns,
                          TManageFormHead head) {
  const TFrameSizes sizes = FrameSizesFor(queryCount);
  const bool plain = head == TManageFormHead::WithDataControl;
  std::string text(kFormObjects);
  text += plain ? kDataControlObject : kFileDialogObject;
  FillInto(text, kFormBegin, {{"className", className}, {"friendName", friendName}});
  if (plain) text += kDataControl;
  FillInto(text, kListFrameHead,
           {{"friendName", friendName},
            {"listHeight", std::to_string(sizes.listHeight)},
            {"listTop", std::to_string(sizes.listTop)},
            {"gridHeight", std::to_string(sizes.gridHeight)},
            {"columnCount", std::to_string(static_cast<int>(columns.size()))}});
  text += GridColumns(columns);
  FillInto(text, kQueryFrameHead,
           {{"friendName", friendName}, {"queryHeight", std::to_string(sizes.queryHeight)}});
  return text;
}

std::string QueryLabel(const TMember& member, const TQueryCell& cell) {
  return Fill(kLabel, {{"labelNo", std::to_string(cell.labelNo)},
                       {"memberComment", member.memberComment},
                       {"cellLeft", std::to_string(cell.left)},
                       {"tabIndex", std::to_string(cell.tab)},
                       {"cellTop", std::to_string(cell.top)}});
}

std::string QueryDatePicker(const std::string& controlName, const TQueryCell& cell, int tabIndex,
                            int top) {
  return Fill(kDatePicker, {{"memberName", controlName},
                            {"inputLeft", std::to_string(cell.left + 840)},
                            {"tabIndex1", std::to_string(tabIndex)},
                            {"inputTop", std::to_string(top)}});
}

std::string QueryEnableBox(const std::string& memberName, const TQueryCell& cell, int tabIndex) {
  return Fill(kEnableBox, {{"memberName", memberName},
                           {"checkLeft", std::to_string(cell.left + 2160)},
                           {"tabIndex2", std::to_string(tabIndex)},
                           {"cellTop", std::to_string(cell.top)}});
}

std::string QueryTextBox(const TMember& member, const TQueryCell& cell) {
  return Fill(kTextBox, {{"memberName", member.memberName},
                         {"inputLeft", std::to_string(cell.left + 1080)},
                         {"tabIndex1", std::to_string(cell.tab + 1)},
                         {"inputTop", std::to_string(cell.top - 120)}});
}

std::string QueryButtonAndFrameEnd(int buttonTab) {
  return Fill(kQueryButton, {{"buttonTab", std::to_string(buttonTab)}});
}

std::string ManageFormEnd(const std::string& className) {
  return Fill(kFormEnd, {{"className", className}});
}

std::string BuildManageFormText(const std::string& className, const std::string& friendName,
                                const TMemberList& queryMembers) {
  RequireRoomForQueryMembers(className, queryMembers.size());
  std::string text =
      ManageFormTop(className, friendName, static_cast<int>(queryMembers.size()), kUnboundColumns);
  int tabCounter = 1;
  for (std::size_t position = 0; position < queryMembers.size(); ++position) {
    tabCounter = QueryMemberText(queryMembers[position],
                                 QueryCellAt(static_cast<int>(position), tabCounter), text);
  }
  text += QueryButtonAndFrameEnd(tabCounter);
  text += kPopMenu;
  text += ManageFormEnd(className);
  text += kNoCode;
  return text;
}

void GenerateManageFormFiles(TGenContext& context, const TModelSnapshot& model) {
  for (const TClassModel& entry : model.Classes()) {
    const TMemberRefs query = entry.QueryMembers();
    WriteGeneratedForm(context, "FrmManage" + entry.className + ".frm",
                       BuildManageFormText(entry.className, entry.friendName,
                                           TMemberList(query.begin(), query.end())));
  }
}

}  // namespace vbgen
