#include "generate/emit/EntryFormParts.h"

#include <stdexcept>

#include "generate/emit/TextTemplate.h"

namespace vbgen {
namespace {

// Three lines of the head end with one blank: the form's Begin line and those of the scroll
// bar and of the picture box.
constexpr std::string_view kHead = R"vb(VERSION 5.00
Object = "{3B7C8863-D78F-101B-B9B5-04021C009402}#1.2#0"; "RICHTX32.OCX"
Object = "{86CF1D34-0C5F-11D2-A9FC-0000F8754DA1}#2.0#0"; "MSCOMCT2.OCX"
Begin VB.Form Frm{formKind}{className} 
   Caption         =   "{captionVerb}{friendName}"
   ClientHeight    =   10950
   ClientLeft      =   225
   ClientTop       =   -1935
   ClientWidth     =   15435
   LinkTopic       =   "Form1"
   MDIChild        =   -1  'True
   ScaleHeight     =   11523.93
   ScaleMode       =   0  'User
   ScaleWidth      =   15435
   WindowState     =   2  'Maximized
   Begin VB.VScrollBar VScroll1 
      Height          =   10815
      Left            =   14880
      TabIndex        =   2
      Top             =   120
      Width           =   375
   End
   Begin VB.PictureBox Picture1 
      BorderStyle     =   0  'None
      Height          =   14253
      Left            =   360
      ScaleHeight     =   14250
      ScaleWidth      =   14175
      TabIndex        =   0
      Top             =   240
      Width           =   14175
      Begin VB.Frame Frame1
         Caption         =   "{captionVerb}{friendName}"
         Height          =   15000
         Left            =   960
         TabIndex        =   1
         Top             =   480
         Width           =   11895
)vb";

// The first lines of the label and of the text box end with one blank. {lockedColor} and
// {lockedBox} are the lines that lock the box of a key that cannot be changed (kLockedColor,
// kLockedBox), nothing otherwise.
constexpr std::string_view kKeyRow = R"vb(         Begin VB.Label Label{labelNo} 
            Caption         =   "{keyComment}："
            Height          =   495
            Left            =   2880
            TabIndex        =   {tabIndex}
            Top             =   {top}
            Width           =   1455
         End
         Begin VB.TextBox TB_{keyName} 
{lockedColor}            Height          =   350
            Left            =   5160
{lockedBox}            TabIndex        =   {tabIndex1}
            Top             =   {topMinus120}
            Width           =   3135
         End
)vb";
constexpr std::string_view kLockedColor = "            BackColor       =   &H8000000F&\n";
constexpr std::string_view kLockedBox = "            Locked          =   -1  'True\n";

// {labelTail} is one blank for date and picture rows, nothing for the others.
constexpr std::string_view kMemberLabel = R"vb(         Begin VB.Label Label{labelNo}{labelTail}
            Caption         =   "{memberComment}："
            Height          =   {labelHeight}
            Left            =   2880
            TabIndex        =   {tabIndex}
            Top             =   {top}
            Width           =   {labelWidth}
         End
)vb";

constexpr std::string_view kShortStringBox = R"vb(         Begin VB.TextBox TB_{memberName}
            Height          =   350
            Left            =   5160
            TabIndex        =   {tabIndex1}
            Top             =   {topMinus120}
            Width           =   3135
         End
)vb";

constexpr std::string_view kRichTextBox =
    R"vb(         Begin RichTextLib.RichTextBox RTB_{memberName}
            Height          =   1335
            Left            =   5160
            TabIndex        =   {tabIndex1}
            Top             =   {topMinus120}
            Width           =   4215
            _ExtentX        =   7435
            _ExtentY        =   2355
            _Version        =   393217
         End
)vb";

constexpr std::string_view kIntegerBox = R"vb(         Begin VB.TextBox TB_{memberName}
            Height          =   375
            Left            =   5160
            TabIndex        =   {tabIndex1}
            Top             =   {topMinus120}
            Width           =   1335
         End
)vb";

constexpr std::string_view kFloatBox = R"vb(         Begin VB.TextBox TB_{memberName}
            Height          =   350
            Left            =   5160
            TabIndex        =   {tabIndex1}
            Top             =   {topMinus120}
            Width           =   2415
         End
)vb";

// The first line ends with one blank.
constexpr std::string_view kDatePicker = R"vb(         Begin MSComCtl2.DTPicker DTP_{memberName} 
            Height          =   375
            Left            =   5160
            TabIndex        =   {tabIndex1}
            Top             =   {topMinus120}
            Width           =   2415
            _ExtentX        =   4260
            _ExtentY        =   661
            _Version        =   393216
            Format          =   13434881
            CurrentDate     =   41840
         End
)vb";

// A picker that may stay empty: its box unticked is a NULL.
constexpr std::string_view kOptionalDatePicker =
    R"vb(         Begin MSComCtl2.DTPicker DTP_{memberName}
            Height          =   375
            Left            =   5160
            TabIndex        =   {tabIndex1}
            Top             =   {topMinus120}
            Width           =   2415
            _ExtentX        =   4260
            _ExtentY        =   661
            _Version        =   393216
            CheckBox        =   -1  'True
            Format          =   13434881
            CurrentDate     =   41840
         End
)vb";

constexpr std::string_view kYesNoBox = R"vb(         Begin VB.CheckBox CHB_{memberName}
            Caption         =   "是"
            Height          =   375
            Left            =   5160
            TabIndex        =   {tabIndex1}
            Top             =   {topMinus120}
            Width           =   1335
         End
)vb";

// The image sits at the row top and has no tab index; the path box's first line ends with
// one blank.
constexpr std::string_view kPictureControls = R"vb(         Begin VB.Image Image_{memberName}
            Height          =   2655
            Left            =   5160
            Stretch         =   -1  'True
            Top             =   {top}
            Width           =   3135
         End
         Begin VB.CommandButton Btn_{memberName}
            Caption         =   "添加图片"
            Height          =   375
            Left            =   8640
            TabIndex        =   {tabIndex1}
            Top             =   {topPlus2280}
            Width           =   1455
         End
         Begin VB.TextBox TB_{memberName}Path 
            Enabled         =   0   'False
            Height          =   270
            Left            =   5160
            TabIndex        =   {tabIndex2}
            Top             =   {topPlus2760}
            Width           =   5295
         End
)vb";

constexpr std::string_view kReferenceList = R"vb(         Begin VB.ComboBox CB_{memberName}
            Height          =   300
            Left            =   5160
            TabIndex        =   {tabIndex1}
            Text            =   "Combo1"
            Top             =   {topMinus120}
            Width           =   3135
         End
)vb";

// The button's first line ends with one blank.
constexpr std::string_view kDesignerClose = R"vb(         Begin VB.CommandButton Btn_{buttonName} 
            Caption         =   "{buttonVerb}{friendName}"
            Height          =   375
            Left            =   6360
            TabIndex        =   {tabIndex}
            Top             =   {top}
            Width           =   1335
         End
      End
   End
End
Attribute VB_Name = "Frm{formKind}{className}"
Attribute VB_GlobalNameSpace = False
Attribute VB_Creatable = False
Attribute VB_PredeclaredId = True
Attribute VB_Exposed = False
)vb";

constexpr std::string_view kIntegerKeyArray = R"vb(Dim {memberName}s() As Integer
)vb";

constexpr std::string_view kLongKeyArray = R"vb(Dim {memberName}s() As Long
)vb";

constexpr std::string_view kTextKeyArray = R"vb(Dim {memberName}s() As String
)vb";

constexpr std::string_view kKeyEmptyCheck = R"vb(  '验证输入信息
  If Me.TB_{keyName}.Text = "" Then
    MsgBox "请输入{keyComment}!", vbOKOnly, "错误提示"
    Me.TB_{keyName}.SetFocus
    Exit Sub
  End If
)vb";

constexpr std::string_view kPictureStream = R"vb(Dim {memberName}Stream As ADODB.Stream
)vb";

constexpr std::string_view kHandlerStart = R"vb(Private Sub Btn_{buttonName}_Click()
   Dim {lowerClassName}Rs As ADODB.Recordset
)vb";

constexpr std::string_view kCheckConnection = R"vb(   Call check_condatabase
)vb";

constexpr std::string_view kOpenKeyset = R"vb(  Set {lowerClassName}Rs = New ADODB.Recordset
  Set {lowerClassName}Rs.ActiveConnection = cn
  {lowerClassName}Rs.LockType = adLockOptimistic
  {lowerClassName}Rs.CursorType = adOpenKeyset
  {lowerClassName}Rs.Open sql
)vb";

constexpr std::string_view kAssignShortString =
    R"vb(  {lowerClassName}Rs("{memberName}") = Me.TB_{memberName}.Text
)vb";

constexpr std::string_view kAssignLongString =
    R"vb(  {lowerClassName}Rs("{memberName}") = Me.RTB_{memberName}.Text
)vb";

// A failed conversion leaves the handler without saving the row.
constexpr std::string_view kAssignInteger = R"vb(  On Error GoTo {memberName}Error:
  {lowerClassName}Rs("{memberName}") = CInt(Me.TB_{memberName}.Text)
  GoTo {memberName}OK
{memberName}Error:
  MsgBox "{memberComment}输入格式不正确!", vbInformation, "信息提示"
  Me.TB_{memberName}.SetFocus
  GoTo EndSub
{memberName}OK:
)vb";

// Unlike the integer trap: no colon after the label, a full-width exclamation mark.
constexpr std::string_view kAssignFloat = R"vb(  On Error GoTo {memberName}Error
  {lowerClassName}Rs("{memberName}") = CSng(Me.TB_{memberName}.Text)
  GoTo {memberName}OK
{memberName}Error:
  MsgBox "{memberComment}输入格式不正确！", vbInformation, "信息提示"
  Me.TB_{memberName}.SetFocus
  GoTo EndSub
{memberName}OK:
)vb";

constexpr std::string_view kAssignDate =
    R"vb(  {lowerClassName}Rs("{memberName}") = Me.DTP_{memberName}.Value
)vb";

constexpr std::string_view kAssignPicture =
    R"vb(  {lowerClassName}Rs("{memberName}") = {memberName}Stream.Read
)vb";

// The key array is filled from position 1, the list from position 0.
constexpr std::string_view kAssignReference =
    R"vb(  {lowerClassName}Rs("{memberName}") = {memberName}s(Me.CB_{memberName}.ListIndex + 1)
)vb";

constexpr std::string_view kHandlerEnd = R"vb(  {lowerClassName}Rs.Update
  MsgBox "{friendName}{buttonVerb}成功!"
  Unload Me
EndSub:
End Sub

)vb";

constexpr std::string_view kPictureClick = R"vb('选择一个图片
Private Sub Btn_{memberName}_Click()
    Dim fileDlg As Object           ' 文件对话框
    ' 变量初始化
    Set fileDlg = CreateObject("MSComDlg.CommonDialog")
    ' 打开附件
    fileDlg.DialogTitle = "选择附件文件"
    fileDlg.Filter = "JPEG图片 (*.jpg)|*.jpg|" & _
                    "Gif图片 (*.gif)|*.gif|"
    fileDlg.FilterIndex = 0
    fileDlg.ShowOpen
    If fileDlg.FileName <> "" Then
        Me.TB_{memberName}Path.Text = fileDlg.FileName
        Me.Image_{memberName}.Picture = LoadPicture(fileDlg.FileName)
        {memberName}Stream.Close
        Set {memberName}Stream = Nothing
        Set {memberName}Stream = New ADODB.Stream
        With {memberName}Stream
            .Type = adTypeBinary   '二进制模式
            .Open
            .LoadFromFile fileDlg.FileName
        End With
    End If
End Sub
)vb";

// The complete forms' choice of a picture: a dialog that cannot be made, or a file that is not a
// picture, is said and changes nothing; the program goes on.
constexpr std::string_view kCompletePictureClick = R"vb('选择一个图片；打不开的文件不改变已选的图片
Private Sub Btn_{memberName}_Click()
  Dim fileDlg As Object
  Dim chosen As ADODB.Stream
  On Error GoTo NoDialog
  Set fileDlg = CreateObject("MSComDlg.CommonDialog")
  fileDlg.DialogTitle = "选择附件文件"
  fileDlg.Filter = "JPEG图片 (*.jpg)|*.jpg|Gif图片 (*.gif)|*.gif|位图 (*.bmp)|*.bmp"
  fileDlg.FilterIndex = 1
  fileDlg.ShowOpen
  If fileDlg.FileName = "" Then Exit Sub
  On Error GoTo NotAPicture
  Me.Image_{memberName}.Picture = LoadPicture(fileDlg.FileName)
  Set chosen = New ADODB.Stream
  chosen.Type = adTypeBinary
  chosen.Open
  chosen.LoadFromFile fileDlg.FileName
  Set {memberName}Stream = chosen
  Me.TB_{memberName}Path.Text = fileDlg.FileName
  Exit Sub
NoDialog:
  MsgBox "无法打开选择图片的对话框（需要已注册的 comdlg32.ocx）：" & Err.Description, vbExclamation, "错误提示"
  Exit Sub
NotAPicture:
  MsgBox "无法读取这个图片文件（可用 JPEG、GIF 或 BMP）：" & Err.Description, vbExclamation, "错误提示"
End Sub
)vb";

constexpr std::string_view kLoadStart = R"vb(
Private Sub Form_Load()
)vb";

constexpr std::string_view kPlaceholderPicture =
    R"vb(  Me.Image_{memberName}.Picture = LoadPicture(App.Path & "\background\NoImage.jpg")
  Set {memberName}Stream = New ADODB.Stream
  With {memberName}Stream
    .Type = adTypeBinary   '二进制模式
    .Open
    .LoadFromFile App.Path + "\background\NoImage.jpg"
  End With
)vb";

// The complete forms show the placeholder but keep the stream empty, so a record saved without
// a chosen picture stores NULL, not the placeholder.
constexpr std::string_view kPlaceholderShown =
    R"vb(  Me.Image_{memberName}.Picture = LoadPicture(App.Path & "\background\NoImage.jpg")
  Set {memberName}Stream = New ADODB.Stream
  {memberName}Stream.Type = adTypeBinary
  {memberName}Stream.Open
)vb";

constexpr std::string_view kConnect = R"vb(  Call condatabase '连接数据库
)vb";

// The Do Until line ends with one blank.
constexpr std::string_view kReferenceFillHead = R"vb(  Set {memberName}Rs = New ADODB.Recordset
  {memberName}Rs.Open "select * from {memberType}", cn, adOpenStatic, adLockPessimistic
  ReDim {memberName}s({memberName}Rs.RecordCount)
  Dim {memberName}_Index As Integer
  {memberName}_Index = 1
  Me.CB_{memberName}.Clear
  Do Until {memberName}Rs.EOF 
    Me.CB_{memberName}.AddItem {memberName}Rs.Fields("{refDisplayName}")
)vb";

constexpr std::string_view kReferenceIntegerKey =
    R"vb(    {memberName}s({memberName}_Index) = CInt({memberName}Rs.Fields("{refKeyName}"))
)vb";

constexpr std::string_view kReferenceTextKey =
    R"vb(    {memberName}s({memberName}_Index) = {memberName}Rs.Fields("{refKeyName}")
)vb";

constexpr std::string_view kReferenceFillLoopEnd = R"vb(    {memberName}Rs.MoveNext
    {memberName}_Index = {memberName}_Index + 1
  Loop
)vb";

constexpr std::string_view kReferenceSelectFirst = R"vb(  If {memberName}Rs.RecordCount > 0 Then
    Me.CB_{memberName}.ListIndex = 0
  End If
)vb";

constexpr std::string_view kReferenceFillClose = R"vb(  {memberName}Rs.Close
  Set {memberName}Rs = Nothing
)vb";

constexpr std::string_view kCloseConnection = R"vb(  Call close_condatabase '关闭数据库
)vb";

constexpr std::string_view kLoadEnd = R"vb(End Sub

Private Sub VScroll1_Change()
    Picture1.Top = -VScroll1.Value
End Sub
)vb";

// About what a member row takes in an add or edit form, its code included (a text member
// about a thousand bytes, a picture member three).
constexpr std::size_t kFormBytesPerMember = 1400;

// The running numbers of the designer rows.
struct TLayout {
  int labelNo = 1;
  int tabIndex = 3;
  int top = 600;
};

// Label size, controls and counter advance of one kind of member row.
struct TRowShape {
  int labelHeight;
  int labelWidth;
  bool labelEndsWithBlank;
  std::string_view controls;
  int topAdvance;
  int tabAdvance;
};

TRowShape ShapeOf(TRowKind kind) {
  switch (kind) {
    case TRowKind::ShortString:
      return {375, 2175, false, kShortStringBox, 600, 2};
    case TRowKind::LongString:
      return {375, 2175, false, kRichTextBox, 1560, 2};
    case TRowKind::Integer:
      return {375, 1935, false, kIntegerBox, 600, 2};
    case TRowKind::Float:
      return {495, 1215, false, kFloatBox, 600, 2};
    case TRowKind::Date:
      return {255, 1455, true, kDatePicker, 600, 2};
    case TRowKind::Picture:
      return {615, 1935, true, kPictureControls, 3240, 3};
    case TRowKind::Reference:
      return {495, 1335, false, kReferenceList, 600, 2};
  }
  throw std::logic_error("unknown row kind");
}

// The key row advances the tab index by three: its third number is skipped.
void AppendKeyRow(std::string& text, const TMember& key, TLayout& layout, bool readOnly) {
  FillInto(text, kKeyRow,
           {{"labelNo", std::to_string(layout.labelNo)},
            {"lockedColor", readOnly ? kLockedColor : ""},
            {"lockedBox", readOnly ? kLockedBox : ""},
            {"keyComment", key.memberComment},
            {"tabIndex", std::to_string(layout.tabIndex)},
            {"top", std::to_string(layout.top)},
            {"keyName", key.memberName},
            {"tabIndex1", std::to_string(layout.tabIndex + 1)},
            {"topMinus120", std::to_string(layout.top - 120)}});
  layout.top += 600;
  layout.labelNo += 1;
  layout.tabIndex += 3;
}

void AppendMemberRow(std::string& text, const TMember& member, const TRowShape& shape,
                     TLayout& layout) {
  const std::string labelNo = std::to_string(layout.labelNo),
                    tabIndex = std::to_string(layout.tabIndex), top = std::to_string(layout.top);
  FillInto(text, kMemberLabel,
           {{"labelNo", labelNo},
            {"labelTail", shape.labelEndsWithBlank ? " " : ""},
            {"memberComment", member.memberComment},
            {"labelHeight", std::to_string(shape.labelHeight)},
            {"tabIndex", tabIndex},
            {"top", top},
            {"labelWidth", std::to_string(shape.labelWidth)}});
  FillInto(text, shape.controls,
           {{"memberName", member.memberName},
            {"tabIndex1", std::to_string(layout.tabIndex + 1)},
            {"tabIndex2", std::to_string(layout.tabIndex + 2)},
            {"top", top},
            {"topMinus120", std::to_string(layout.top - 120)},
            {"topPlus2280", std::to_string(layout.top + 2280)},
            {"topPlus2760", std::to_string(layout.top + 2760)}});
  layout.top += shape.topAdvance;
  layout.tabIndex += shape.tabAdvance;
  layout.labelNo += 1;
}

std::string_view AssignmentOf(TRowKind kind) {
  switch (kind) {
    case TRowKind::ShortString:
      return kAssignShortString;
    case TRowKind::LongString:
      return kAssignLongString;
    case TRowKind::Integer:
      return kAssignInteger;
    case TRowKind::Float:
      return kAssignFloat;
    case TRowKind::Date:
      return kAssignDate;
    case TRowKind::Picture:
      return kAssignPicture;
    case TRowKind::Reference:
      return kAssignReference;
  }
  throw std::logic_error("unknown row kind");
}

std::string ReferenceListFill(const TFormReference& reference, bool selectFirstEntry) {
  const TMember& member = reference.member;
  std::string text = Fill(kReferenceFillHead, {{"memberName", member.memberName},
                                               {"memberType", member.memberType},
                                               {"refDisplayName", reference.refDisplayName}});
  FillInto(text, reference.refKeyIsInteger ? kReferenceIntegerKey : kReferenceTextKey,
           {{"memberName", member.memberName}, {"refKeyName", reference.refKeyName}});
  FillInto(text, kReferenceFillLoopEnd, {{"memberName", member.memberName}});
  if (selectFirstEntry) FillInto(text, kReferenceSelectFirst, {{"memberName", member.memberName}});
  FillInto(text, kReferenceFillClose, {{"memberName", member.memberName}});
  return text;
}

void AppendHead(std::string& text, const TFormClass& form, const TEntryForm& kind) {
  FillInto(text, kHead,
           {{"formKind", kind.formKind},
            {"className", form.className},
            {"captionVerb", kind.captionVerb},
            {"friendName", form.friendName}});
}

void AppendDesignerClose(std::string& text, const TFormClass& form, const TEntryForm& kind,
                         const TLayout& layout) {
  FillInto(text, kDesignerClose,
           {{"buttonName", kind.buttonName},
            {"buttonVerb", kind.buttonVerb},
            {"friendName", form.friendName},
            {"tabIndex", std::to_string(layout.tabIndex)},
            {"top", std::to_string(layout.top)},
            {"formKind", kind.formKind},
            {"className", form.className}});
}

// The complete application's rows where the database says more than the member type: a bit
// column is a yes/no box, a date that may be NULL a picker whose box can be left unticked.
TRowShape CompleteShapeOf(const TMember& member) {
  TRowShape shape = ShapeOf(RowKindOf(member));
  if (IsYesNoMember(member)) shape.controls = kYesNoBox;
  if (RowKindOf(member) == TRowKind::Date && member.memberAllowNull == 1) {
    shape.controls = kOptionalDatePicker;
  }
  return shape;
}

}  // namespace

std::string DesignerSection(const TFormClass& form, const TEntryForm& kind, bool withKeyRow,
                            bool keyReadOnly) {
  // The form's code follows the designer section in the same text: room is made for both at
  // once, rather than the text being copied each time it outgrows its room.
  std::string text;
  text.reserve(kFormBytesPerMember * (form.nonKeyMembers.size() + 2));
  AppendHead(text, form, kind);
  TLayout layout;
  if (withKeyRow) AppendKeyRow(text, form.key, layout, keyReadOnly);
  for (const TMember& member : form.nonKeyMembers) {
    AppendMemberRow(text, member, ShapeOf(RowKindOf(member)), layout);
  }
  AppendDesignerClose(text, form, kind, layout);
  return text;
}

std::string CompleteDesignerSection(const TFormClass& form, const TEntryForm& kind,
                                    const TMemberRefs& keyRows, bool keyReadOnly) {
  std::string text;
  text.reserve(kFormBytesPerMember * (form.nonKeyMembers.size() + keyRows.size() + 1));
  AppendHead(text, form, kind);
  TLayout layout;
  for (const TMember& key : keyRows) {
    if (key.IsReference()) {
      AppendMemberRow(text, key, ShapeOf(TRowKind::Reference), layout);
    } else {
      AppendKeyRow(text, key, layout, keyReadOnly);
    }
  }
  for (const TMember& member : form.nonKeyMembers) {
    AppendMemberRow(text, member, CompleteShapeOf(member), layout);
  }
  AppendDesignerClose(text, form, kind, layout);
  return text;
}

bool IsYesNoMember(const TMember& member) {
  return member.memberType == kTypeInteger && member.memberSqlType == "bit";
}

std::string ModuleDeclarations(const TFormClass& form, bool longKeys) {
  const std::string_view integerKeyArray = longKeys ? kLongKeyArray : kIntegerKeyArray;
  std::string text;
  for (const TFormReference& reference : form.references) {
    FillInto(text, reference.refKeyIsInteger ? integerKeyArray : kTextKeyArray,
             {{"memberName", reference.member.memberName}});
  }
  for (const TMember& picture : form.pictures) {
    FillInto(text, kPictureStream, {{"memberName", picture.memberName}});
  }
  return text;
}

std::string ButtonHandlerStart(const TFormClass& form, const TEntryForm& kind) {
  return Fill(kHandlerStart,
              {{"buttonName", kind.buttonName}, {"lowerClassName", form.lowerClassName}});
}

std::string KeyEmptyCheck(const TFormClass& form) {
  return Fill(kKeyEmptyCheck,
              {{"keyName", form.key.memberName}, {"keyComment", form.key.memberComment}});
}

std::string CheckConnectionCall() { return std::string(kCheckConnection); }

std::string OpenKeysetRecordset(const TFormClass& form) {
  return Fill(kOpenKeyset, {{"lowerClassName", form.lowerClassName}});
}

std::string MemberAssignments(const TFormClass& form) {
  std::string text;
  for (const TMember& member : form.nonKeyMembers) {
    FillInto(text, AssignmentOf(RowKindOf(member)),
             {{"lowerClassName", form.lowerClassName},
              {"memberName", member.memberName},
              {"memberComment", member.memberComment}});
  }
  return text;
}

std::string ButtonHandlerEnd(const TFormClass& form, const TEntryForm& kind) {
  return Fill(kHandlerEnd, {{"lowerClassName", form.lowerClassName},
                            {"friendName", form.friendName},
                            {"buttonVerb", kind.buttonVerb}});
}

std::string PictureClickHandlers(const TFormClass& form) {
  std::string text;
  for (const TMember& picture : form.pictures) {
    FillInto(text, kPictureClick, {{"memberName", picture.memberName}});
  }
  return text;
}

std::string CompletePictureClickHandlers(const TFormClass& form) {
  std::string text;
  for (const TMember& picture : form.pictures) {
    FillInto(text, kCompletePictureClick, {{"memberName", picture.memberName}});
  }
  return text;
}

std::string LoadHandlerStart(const TFormClass& form, std::string_view firstLines,
                             bool placeholderStored) {
  std::string text(kLoadStart);
  text += firstLines;
  for (const TMember& picture : form.pictures) {
    FillInto(text, placeholderStored ? kPlaceholderPicture : kPlaceholderShown,
             {{"memberName", picture.memberName}});
  }
  text += kConnect;
  return text;
}

std::string ReferenceListFills(const TFormClass& form, bool selectFirstEntry) {
  std::string text;
  for (const TFormReference& reference : form.references) {
    text += ReferenceListFill(reference, selectFirstEntry);
  }
  return text;
}

std::string LoadHandlerEnd() { return std::string(kCloseConnection) + std::string(kLoadEnd); }

std::string LoadHandlerEndKeepingConnection() { return std::string(kLoadEnd); }

}  // namespace vbgen
