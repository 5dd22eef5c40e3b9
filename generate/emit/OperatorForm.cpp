// frmczql.frm: the generated project's operator authorization form. One tab page per class with
// an add and a manage check box, then the system page; the save handler strings the check boxes
// together into the operator's rights, two digits per class in class-list order, then the two
// system digits (numbered in Rights.h, as the main form's menu handlers are).
#include "generate/emit/OperatorForm.h"

#include <string>
#include <string_view>
#include <vector>

#include "generate/emit/Rights.h"
#include "generate/emit/TextTemplate.h"

namespace vbgen {
namespace {

// Form head, the picture box, the four buttons and the head of the tab control.
// "Begin VB.CommandButton Command2 " keeps its trailing blank.
constexpr std::string_view kHead = R"vb(VERSION 5.00
Object = "{BDC217C8-ED16-11CD-956C-0000C04E4C0A}#1.1#0"; "TABCTL32.OCX"
Begin VB.Form frmczql
   BackColor       =   &H00C0E0FF&
   Caption         =   "操作员授权"
   ClientHeight    =   5055
   ClientLeft      =   60
   ClientTop       =   345
   ClientWidth     =   7170
   LinkTopic       =   "Form1"
   ScaleHeight     =   5055
   ScaleWidth      =   7170
   Begin VB.PictureBox Picture1
      BackColor       =   &H00C0E0FF&
      Height          =   4575
      Left            =   240
      ScaleHeight     =   4515
      ScaleWidth      =   6615
      TabIndex        =   0
      Top             =   240
      Width           =   6675
      Begin VB.CommandButton Command1
         Caption         =   "全 选(&X)"
         Height          =   465
         Left            =   360
         TabIndex        =   4
         Top             =   3840
         Width           =   1035
      End
      Begin VB.CommandButton Command2 
         Caption         =   "全 清(&C)"
         Height          =   465
         Left            =   1800
         TabIndex        =   3
         Top             =   3840
         Width           =   1035
      End
      Begin VB.CommandButton Command3
         Caption         =   "确 定(&O)"
         Default         =   -1  'True
         Height          =   465
         Left            =   3240
         TabIndex        =   2
         Top             =   3840
         Width           =   1035
      End
      Begin VB.CommandButton Command4
         Cancel          =   -1  'True
         Caption         =   "退 出(&E)"
         Height          =   465
         Left            =   4680
         TabIndex        =   1
         Top             =   3840
         Width           =   1035
      End
      Begin TabDlg.SSTab SSTab1
         Height          =   3135
         Left            =   120
         TabIndex        =   7
         Top             =   480
         Width           =   6015
         _ExtentX        =   10610
         _ExtentY        =   5530
         _Version        =   393216
         Tabs            =   {tabCount}
         Tab             =   {classCount}
         TabsPerRow      =   4
         TabHeight       =   520
         BackColor       =   12640511
         ForeColor       =   4210752
)vb";

// One class's tab page description.
constexpr std::string_view kClassPage = R"vb(         TabCaption({pageNo})   =   "{friendName}权限"
         Tab({pageNo}).ControlEnabled=   0   'False
         Tab({pageNo}).Control(0)=   "CB_Manage{className}"
         Tab({pageNo}).Control(0).Enabled=   0   'False
         Tab({pageNo}).Control(1)=   "CB_Add{className}"
         Tab({pageNo}).Control(1).Enabled=   0   'False
         Tab({pageNo}).ControlCount=   2
)vb";

// The system page, numbered after the class pages.
constexpr std::string_view kSystemPage = R"vb(         TabCaption({classCount})   =   "系统维护"
         Tab({classCount}).ControlEnabled=   -1  'True
         Tab({classCount}).Control(0)=   "CB_Print"
         Tab({classCount}).Control(0).Enabled=   0   'False
         Tab({classCount}).Control(1)=   "CB_ManageUser"
         Tab({classCount}).Control(1).Enabled=   0   'False
         Tab({classCount}).ControlCount=   2
)vb";

// One class's two check boxes. The CB_Add line ends in a blank; pages other than the one shown
// first carry lefts shifted by -75000.
constexpr std::string_view kClassCheckBoxes = R"vb(         Begin VB.CheckBox CB_Add{className} 
            Caption         =   "添加{friendName}"
            Height          =   285
            Left            =   -73920
            TabIndex        =   {addTab}
            Top             =   1320
            Width           =   1545
         End
         Begin VB.CheckBox CB_Manage{className}
            Caption         =   "维护{friendName}"
            Height          =   285
            Left            =   -71640
            TabIndex        =   {manageTab}
            Top             =   1320
            Width           =   1755
         End
)vb";

// The system check boxes, the labels, the end of the form description and the attributes.
constexpr std::string_view kSystemCheckBoxesToAttributes =
    R"vb(         Begin VB.CheckBox CB_ManageUser 
            Caption         =   "操作员维护"
            Height          =   345
            Left            =   1320
            TabIndex        =   {manageUserTab}
            Top             =   1200
            Width           =   1275
         End
         Begin VB.CheckBox CB_Print 
            Caption         =   "报表打印"
            Height          =   375
            Left            =   3720
            TabIndex        =   {printTab}
            Top             =   1200
            Width           =   1215
         End
      End
      Begin VB.Label Label1 
         AutoSize        =   -1  'True
         BackStyle       =   0  'Transparent
         Caption         =   "被授权人："
         BeginProperty Font
            Name            =   "宋体"
            Size            =   12
            Charset         =   134
            Weight          =   700
            Underline       =   0   'False
            Italic          =   0   'False
            Strikethrough   =   0   'False
         EndProperty
         Height          =   240
         Index           =   0
         Left            =   150
         TabIndex        =   6
         Top             =   120
         Width           =   1185
      End
      Begin VB.Label Label1
         AutoSize        =   -1  'True
         BackStyle       =   0  'Transparent
         BeginProperty Font
            Name            =   "宋体"
            Size            =   12
            Charset         =   134
            Weight          =   700
            Underline       =   0   'False
            Italic          =   0   'False
            Strikethrough   =   0   'False
         EndProperty
         Height          =   240
         Index           =   1
         Left            =   1380
         TabIndex        =   5
         Top             =   120
         Width           =   135
      End
   End
End
Attribute VB_Name = "frmczql"
Attribute VB_GlobalNameSpace = False
Attribute VB_Creatable = False
Attribute VB_PredeclaredId = True
Attribute VB_Exposed = False
)vb";

constexpr std::string_view kModuleVariablesToSelectAll = R"vb(Dim ql_flag As String
Dim rsnodename As ADODB.Recordset

Private Sub Command1_Click()
)vb";

// A complete application declares every name and reads the operator by a parameter.
constexpr std::string_view kCheckedModuleVariablesToSelectAll = R"vb(Option Explicit
Dim ql_flag As String

Private Sub Command1_Click()
)vb";

// Select all and clear all share their per-page bodies; only the value differs.
constexpr std::string_view kSetClassPage = R"vb(If SSTab1.Tab = {pageNo} Then
  Me.CB_Add{className}.Value = {checkValue}
  Me.CB_Manage{className}.Value = {checkValue}
End If
)vb";

constexpr std::string_view kSetSystemPage = R"vb(If SSTab1.Tab = {classCount} Then
  Me.CB_ManageUser.Value = {checkValue}
  Me.CB_Print.Value = {checkValue}
End If
)vb";

constexpr std::string_view kSelectAllTail = R"vb(End Sub

Private Sub Command2_Click()
)vb";

// The save handler declares its own ql_flag, so every click starts from an empty string.
constexpr std::string_view kClearAllTail = R"vb(End Sub

Private Sub Command3_Click()
Dim ql_flag As String
)vb";

// One class's two digits of the rights string.
constexpr std::string_view kSaveClassDigits = R"vb('第{addRightIndex}位：添加{friendName}
ql_flag = ql_flag & Me.CB_Add{className}.Value
'第{manageRightIndex}位：{friendName}管理
ql_flag = ql_flag & Me.CB_Manage{className}.Value
)vb";

// The two system digits of the rights string.
constexpr std::string_view kSaveSystemDigits = R"vb('第{manageUserRightIndex}位：用户维护
ql_flag = ql_flag & Me.CB_ManageUser.Value
'第{printRightIndex}位:信息打印
ql_flag = ql_flag & Me.CB_Print.Value
)vb";

constexpr std::string_view kStoreInRecordset = R"vb(    rsnodename.Fields("ql_flag") = ql_flag
    rsnodename.Update
)vb";

// The rights string may be wider than AddTextParameter's 50 characters (the column widens with
// the number of classes), so it goes as a parameter of its own length. A failed store is shown
// and the form stays open.
constexpr std::string_view kStoreByCommand = R"vb(Dim cmd As ADODB.Command
On Error GoTo SaveFailed
Set cmd = NewCommand("update admin set ql_flag = ? where adminUsername = ?")
Call AddStringParameter(cmd, ql_flag)
Call AddTextParameter(cmd, nodename)
cmd.Execute
)vb";

constexpr std::string_view kSavedMessage =
    R"vb(MsgBox "成功对该操作员进行授权!", vbOKOnly + vbExclamation, "完成"
)vb";

constexpr std::string_view kSaveFailed = R"vb(Exit Sub
SaveFailed:
MsgBox "保存操作员的权限失败：" & Err.Description, vbOKOnly + vbCritical, "错误提示"
)vb";

// The end of the save handler, the exit handler and the head of the load handler.
constexpr std::string_view kSavedToLoad = R"vb(End Sub

Private Sub Command4_Click()
If cn.State = 1 Then
   cn.Close
End If
Unload Me
End Sub
Private Sub Form_Load()         '加载窗体
)vb";

constexpr std::string_view kLoadStart = R"vb(Call condatabase                '连接数据库
Label1(1).Caption = nodename    '显示用户的姓名
)vb";

constexpr std::string_view kTrappedLoadStart = R"vb(On Error GoTo LoadFailed
Call condatabase                '连接数据库
Label1(1).Caption = nodename    '显示用户的姓名
)vb";

constexpr std::string_view kReadFromRecordset =
    R"vb(Set rsnodename = New ADODB.Recordset '找到该用户的纪录
    rsnodename.Open "select * from admin where adminUsername='" & nodename & "'", cn, adOpenStatic, adLockPessimistic
If rsnodename.Fields("ql_flag").Value <> "" Then
    ql_flag = rsnodename.Fields("ql_flag").Value '获得用户的权限值字段
    Call load_check   '按照用户的权限，分别对各复选框赋值
End If
End Sub
)vb";

// A string shorter than this project's rights (classes were added since it was stored) lacks
// the new digits: they read as not granted, instead of failing to convert.
constexpr std::string_view kReadByCommand = R"vb(Dim cmd As ADODB.Command
Dim rs As ADODB.Recordset
Set cmd = NewCommand("select ql_flag from admin where adminUsername = ?") '找到该用户的纪录
Call AddTextParameter(cmd, nodename)
Set rs = cmd.Execute
If Not rs.EOF Then
    ql_flag = FieldText(rs.Fields("ql_flag").Value) '获得用户的权限值字段
End If
rs.Close
ql_flag = Left$(ql_flag & String$({rightsWidth}, "0"), {rightsWidth})
Call load_check   '按照用户的权限，分别对各复选框赋值
Exit Sub
LoadFailed:
MsgBox "读取操作员的权限失败：" & Err.Description, vbOKOnly + vbCritical, "错误提示"
End Sub
)vb";

constexpr std::string_view kLoadCheckHead = R"vb(
Public Sub load_check() '按照用户的权限，分别对各复选框赋值
Dim temp As Integer
)vb";

// One class's two check boxes set from the stored digits.
constexpr std::string_view kLoadClassChecks = R"vb('第{addRightIndex}位：添加{friendName}
temp = Mid(ql_flag, {addRightIndex}, 1)
If temp <> 0 Then
  Me.CB_Add{className}.Value = 1
Else
  Me.CB_Add{className}.Value = 0
End If
'第{manageRightIndex}位：{friendName}管理
temp = Mid(ql_flag, {manageRightIndex}, 1)
If temp <> 0 Then
  Me.CB_Manage{className}.Value = 1
Else
  Me.CB_Manage{className}.Value = 0
End If
)vb";

// The complete application reads a digit as granted when it is 1 to 9, as the main form's
// check_qx does; anything else (a letter in a hand-edited row) is not granted, never a type
// mismatch.
constexpr std::string_view kCheckedLoadCheckHead = R"vb(
Public Sub load_check() '按照用户的权限，分别对各复选框赋值
)vb";

constexpr std::string_view kCheckedLoadClassChecks = R"vb('第{addRightIndex}位：添加{friendName}
Me.CB_Add{className}.Value = IIf(Mid$(ql_flag, {addRightIndex}, 1) Like "[1-9]", 1, 0)
'第{manageRightIndex}位：{friendName}管理
Me.CB_Manage{className}.Value = IIf(Mid$(ql_flag, {manageRightIndex}, 1) Like "[1-9]", 1, 0)
)vb";

constexpr std::string_view kCheckedLoadSystemChecks = R"vb('第{manageUserRightIndex}位：用户维护
Me.CB_ManageUser.Value = IIf(Mid$(ql_flag, {manageUserRightIndex}, 1) Like "[1-9]", 1, 0)
'第{printRightIndex}位: 信息打印
Me.CB_Print.Value = IIf(Mid$(ql_flag, {printRightIndex}, 1) Like "[1-9]", 1, 0)
End Sub
)vb";

// The system check boxes set from the stored digits, and the unload handler.
constexpr std::string_view kLoadSystemChecks = R"vb('第{manageUserRightIndex}位：用户维护
temp = Mid(ql_flag, {manageUserRightIndex}, 1)
If temp <> 0 Then
  Me.CB_ManageUser.Value = 1
Else
  Me.CB_ManageUser.Value = 0
End If
'第{printRightIndex}位: 信息打印
temp = Mid(ql_flag, {printRightIndex}, 1)
If temp <> 0 Then
  Me.CB_Print.Value = 1
Else
  Me.CB_Print.Value = 0
End If
End Sub
)vb";

constexpr std::string_view kUnload = R"vb(Private Sub Form_Unload(Cancel As Integer)
MainForm.StatusBar1.Panels(1).Text = "状态： 无"
End Sub
)vb";

// The numbers of one class's page: page i, tab indices 2i + 8 and 2i + 9, rights 2i + 1 and
// 2i + 2.
struct TClassPage {
  std::string className;
  std::string friendName;
  std::string pageNo;
  std::string manageTab;
  std::string addTab;
  std::string addRightIndex;
  std::string manageRightIndex;
};

// The numbers of the system page for n classes: page n of n + 1, tab indices 2n + 10 and
// 2n + 11, rights 2n + 1 and 2n + 2.
struct TSystemPage {
  std::string classCount;
  std::string tabCount;
  std::string printTab;
  std::string manageUserTab;
  std::string manageUserRightIndex;
  std::string printRightIndex;
  std::string rightsWidth;
};

TClassPage MakeClassPage(std::size_t i, const std::string& className,
                         const std::string& friendName) {
  return {className,
          friendName,
          std::to_string(i),
          std::to_string(2 * i + 8),
          std::to_string(2 * i + 9),
          std::to_string(TRightsNumbering::AddRight(i)),
          std::to_string(TRightsNumbering::ManageRight(i))};
}

TSystemPage MakeSystemPage(std::size_t n) {
  const TRightsNumbering rights(n);
  return {std::to_string(n),
          std::to_string(n + 1),
          std::to_string(2 * n + 10),
          std::to_string(2 * n + 11),
          std::to_string(rights.ManageUserRight()),
          std::to_string(rights.PrintRight()),
          std::to_string(rights.Width())};
}

std::string FillClass(std::string_view block, const TClassPage& page,
                      std::string_view checkValue = {}) {
  return Fill(block, {{"className", page.className},
                      {"friendName", page.friendName},
                      {"pageNo", page.pageNo},
                      {"manageTab", page.manageTab},
                      {"addTab", page.addTab},
                      {"addRightIndex", page.addRightIndex},
                      {"manageRightIndex", page.manageRightIndex},
                      {"checkValue", checkValue}});
}

std::string FillSystem(std::string_view block, const TSystemPage& system,
                       std::string_view checkValue = {}) {
  return Fill(block, {{"classCount", system.classCount},
                      {"tabCount", system.tabCount},
                      {"printTab", system.printTab},
                      {"manageUserTab", system.manageUserTab},
                      {"manageUserRightIndex", system.manageUserRightIndex},
                      {"printRightIndex", system.printRightIndex},
                      {"checkValue", checkValue}});
}

std::string ForEachPage(const std::vector<TClassPage>& pages, std::string_view block,
                        std::string_view checkValue = {}) {
  std::string text;
  for (const auto& page : pages) text += FillClass(block, page, checkValue);
  return text;
}

// The body of select all ("1") or clear all ("0"): every page tests SSTab1.Tab itself.
std::string SetAllOnShownPage(const std::vector<TClassPage>& pages, const TSystemPage& system,
                              std::string_view checkValue) {
  return ForEachPage(pages, kSetClassPage, checkValue) +
         FillSystem(kSetSystemPage, system, checkValue);
}

std::string BuildOperatorForm(const std::vector<TClassPage>& pages, const TSystemPage& system,
                              bool complete) {
  std::string text = FillSystem(kHead, system);
  text += ForEachPage(pages, kClassPage);
  text += FillSystem(kSystemPage, system);
  text += ForEachPage(pages, kClassCheckBoxes);
  text += FillSystem(kSystemCheckBoxesToAttributes, system);
  text += complete ? kCheckedModuleVariablesToSelectAll : kModuleVariablesToSelectAll;
  text += SetAllOnShownPage(pages, system, "1");
  text += kSelectAllTail;
  text += SetAllOnShownPage(pages, system, "0");
  text += kClearAllTail;
  text += ForEachPage(pages, kSaveClassDigits);
  text += FillSystem(kSaveSystemDigits, system);
  text += complete ? kStoreByCommand : kStoreInRecordset;
  text += kSavedMessage;
  if (complete) text += kSaveFailed;
  text += kSavedToLoad;
  text += complete ? kTrappedLoadStart : kLoadStart;
  text += complete ? Fill(kReadByCommand, {{"rightsWidth", system.rightsWidth}})
                   : std::string(kReadFromRecordset);
  text += complete ? kCheckedLoadCheckHead : kLoadCheckHead;
  text += ForEachPage(pages, complete ? kCheckedLoadClassChecks : kLoadClassChecks);
  text += FillSystem(complete ? kCheckedLoadSystemChecks : kLoadSystemChecks, system);
  text += kUnload;
  return text;
}

}  // namespace

void GenerateOperatorFormFile(TGenContext& context, const TModelSnapshot& model, bool complete) {
  const std::vector<TClassModel>& classes = model.Classes();
  std::vector<TClassPage> pages;
  pages.reserve(classes.size());
  for (std::size_t i = 0; i < classes.size(); ++i) {
    pages.push_back(MakeClassPage(i, classes[i].className, classes[i].friendName));
  }
  WriteGeneratedForm(context, "frmczql.frm",
                     BuildOperatorForm(pages, MakeSystemPage(classes.size()), complete));
}

}  // namespace vbgen
