// The complete application's own operator pieces: ModPassword.bas, which hashes passwords
// through Windows CNG, and the login and operator maintenance forms that use it. They take the
// place of the support directory's frmLogin.frm and frmCzry.frm, which compare and store
// passwords as typed (what the plain application keeps).
#include "generate/emit/CompleteOperators.h"

#include <string>
#include <string_view>

#include "generate/emit/SqlScript.h"
#include "generate/emit/TextTemplate.h"

namespace vbgen {
namespace {

// PBKDF2-HMAC-SHA256 over the password's UTF-16LE bytes (what a VB6 string holds), a random salt
// of 16 bytes, a key of 32; salt and hash are kept as hex. The table script derives its first
// operator's hash the same way. The iteration count is a ULONGLONG, passed as two Longs (low
// word first, as stdcall lays it out). The known answer was worked out with
// "openssl kdf -keylen 32 -kdfopt digest:SHA256 -kdfopt hexpass:730065006300720065007400
// -kdfopt hexsalt:000102030405060708090a0b0c0d0e0f -kdfopt iter:1000 PBKDF2".
constexpr std::string_view kPasswordModule = R"vb(Attribute VB_Name = "ModPassword"
'操作员密码：只保存加盐的 PBKDF2-SHA256 散列及其迭代次数（由 Windows CNG 计算），从不保存密码本身
Option Explicit

Private Declare Function BCryptOpenAlgorithmProvider Lib "bcrypt.dll" (ByRef phAlgorithm As Long, ByVal pszAlgId As Long, ByVal pszImplementation As Long, ByVal dwFlags As Long) As Long
Private Declare Function BCryptCloseAlgorithmProvider Lib "bcrypt.dll" (ByVal hAlgorithm As Long, ByVal dwFlags As Long) As Long
Private Declare Function BCryptDeriveKeyPBKDF2 Lib "bcrypt.dll" (ByVal hPrf As Long, ByVal pbPassword As Long, ByVal cbPassword As Long, ByVal pbSalt As Long, ByVal cbSalt As Long, ByVal iterationsLow As Long, ByVal iterationsHigh As Long, ByVal pbDerivedKey As Long, ByVal cbDerivedKey As Long, ByVal dwFlags As Long) As Long
Private Declare Function BCryptGenRandom Lib "bcrypt.dll" (ByVal hAlgorithm As Long, ByVal pbBuffer As Long, ByVal cbBuffer As Long, ByVal dwFlags As Long) As Long

Private Const BCRYPT_ALG_HANDLE_HMAC_FLAG As Long = &H8
Private Const BCRYPT_USE_SYSTEM_PREFERRED_RNG As Long = &H2
Private Const SALT_BYTES As Long = 16
Private Const HASH_BYTES As Long = 32

Public Const PASSWORD_ITERATIONS As Long = {iterations}   '新设定的密码使用的迭代次数
Public Const MIN_PASSWORD_LENGTH As Long = 6              '新密码至少这么多个字符

'本机能否正确计算密码散列：按一个已知结果核对（需要 Windows Vista SP2 / Windows 7 或更新版本）
Public Function PasswordHashingWorks() As Boolean
  On Error GoTo NotWorking
  PasswordHashingWorks = (PasswordHash("secret", "000102030405060708090A0B0C0D0E0F", 1000) = _
      "892FFD9E1D0A6FAB3E2E6DBC407260D2E0048DB834D26584AD2FBF5D48FAF192")
  Exit Function
NotWorking:
  PasswordHashingWorks = False
End Function

'密码的 PBKDF2-SHA256 散列（十六进制大写）
Public Function PasswordHash(ByVal password As String, ByVal saltHex As String, ByVal iterations As Long) As String
  Dim algorithm As Long
  Dim status As Long
  Dim passwordBytes() As Byte
  Dim saltBytes() As Byte
  Dim derived(0 To HASH_BYTES - 1) As Byte
  If Len(password) = 0 Then Err.Raise vbObjectError + 1, "PasswordHash", "密码不能为空"
  If iterations < 1 Then Err.Raise vbObjectError + 2, "PasswordHash", "迭代次数不正确"
  passwordBytes = password
  saltBytes = HexToBytes(saltHex)
  status = BCryptOpenAlgorithmProvider(algorithm, StrPtr("SHA256"), 0, BCRYPT_ALG_HANDLE_HMAC_FLAG)
  If status <> 0 Then Err.Raise vbObjectError + 3, "PasswordHash", "无法打开 SHA256 算法（错误 &H" & Hex$(status) & "）"
  status = BCryptDeriveKeyPBKDF2(algorithm, VarPtr(passwordBytes(0)), UBound(passwordBytes) + 1, _
      VarPtr(saltBytes(0)), UBound(saltBytes) + 1, iterations, 0, VarPtr(derived(0)), HASH_BYTES, 0)
  Call BCryptCloseAlgorithmProvider(algorithm, 0)
  If status <> 0 Then Err.Raise vbObjectError + 4, "PasswordHash", "无法计算密码散列（错误 &H" & Hex$(status) & "）"
  PasswordHash = BytesToHex(derived)
End Function

'输入的密码是否与保存的盐、散列和迭代次数相符
Public Function PasswordMatches(ByVal password As String, ByVal saltHex As String, ByVal hashHex As String, ByVal iterations As Long) As Boolean
  PasswordMatches = (StrComp(PasswordHash(password, saltHex, iterations), Trim$(hashHex), vbTextCompare) = 0)
End Function

'新密码是否可用；不可用时提示并返回 False
Public Function NewPasswordAccepted(ByVal password As String) As Boolean
  NewPasswordAccepted = False
  If Len(password) < MIN_PASSWORD_LENGTH Then
    MsgBox "密码至少要有 " & MIN_PASSWORD_LENGTH & " 个字符!", vbOKOnly + vbExclamation, "错误提示"
    Exit Function
  End If
  NewPasswordAccepted = True
End Function

'给语句依次添加新密码的盐、散列和迭代次数三个参数（新的随机盐）
Public Sub AddPasswordParameters(ByVal cmd As ADODB.Command, ByVal password As String)
  Dim saltHex As String
  saltHex = NewSalt()
  Call AddHexParameter(cmd, saltHex)
  Call AddHexParameter(cmd, PasswordHash(password, saltHex, PASSWORD_ITERATIONS))
  cmd.Parameters.Append cmd.CreateParameter(, adInteger, adParamInput, 4, PASSWORD_ITERATIONS)
End Sub

Private Sub AddHexParameter(ByVal cmd As ADODB.Command, ByVal hexText As String)
  cmd.Parameters.Append cmd.CreateParameter(, adChar, adParamInput, Len(hexText), hexText)
End Sub

'随机的盐（十六进制）
Private Function NewSalt() As String
  Dim saltBytes(0 To SALT_BYTES - 1) As Byte
  Dim status As Long
  status = BCryptGenRandom(0, VarPtr(saltBytes(0)), SALT_BYTES, BCRYPT_USE_SYSTEM_PREFERRED_RNG)
  If status <> 0 Then Err.Raise vbObjectError + 5, "NewSalt", "无法取得随机数（错误 &H" & Hex$(status) & "）"
  NewSalt = BytesToHex(saltBytes)
End Function

Private Function BytesToHex(bytes() As Byte) As String
  Dim i As Long
  Dim hexText As String
  hexText = ""
  For i = LBound(bytes) To UBound(bytes)
    hexText = hexText & Right$("0" & Hex$(bytes(i)), 2)
  Next i
  BytesToHex = hexText
End Function

Private Function HexToBytes(ByVal hexText As String) As Byte()
  Dim bytes() As Byte
  Dim i As Long
  hexText = Trim$(hexText)
  If Len(hexText) < 2 Or Len(hexText) Mod 2 <> 0 Or hexText Like "*[!0-9A-Fa-f]*" Then
    Err.Raise vbObjectError + 6, "HexToBytes", "保存的密码盐不正确"
  End If
  ReDim bytes(0 To Len(hexText) \ 2 - 1)
  For i = 0 To UBound(bytes)
    bytes(i) = CByte("&H" & Mid$(hexText, 2 * i + 1, 2))
  Next i
  HexToBytes = bytes
End Function
)vb";

// The login form: the support directory's layout, a confirmation box shown only when an operator
// without a password sets one, and a line that counts down the wait after failed tries.
constexpr std::string_view kLoginForm = R"vb(VERSION 5.00
Begin VB.Form frmLogin
   BorderStyle     =   3  'Fixed Dialog
   Caption         =   "系统登录"
   ClientHeight    =   3135
   ClientLeft      =   45
   ClientTop       =   330
   ClientWidth     =   4455
   LinkTopic       =   "Form1"
   MaxButton       =   0   'False
   MinButton       =   0   'False
   ScaleHeight     =   3135
   ScaleWidth      =   4455
   StartUpPosition =   2  'CenterScreen
   Begin VB.Timer Timer_Wait
      Enabled         =   0   'False
      Interval        =   1000
      Left            =   120
      Top             =   2520
   End
   Begin VB.CommandButton Btn_Cancel
      Cancel          =   -1  'True
      Caption         =   "取消(&C)"
      Height          =   375
      Left            =   2520
      TabIndex        =   7
      Top             =   2520
      Width           =   1215
   End
   Begin VB.CommandButton Btn_OK
      Caption         =   "确定(&O)"
      Default         =   -1  'True
      Height          =   375
      Left            =   840
      TabIndex        =   6
      Top             =   2520
      Width           =   1215
   End
   Begin VB.TextBox TB_Confirm
      Height          =   375
      Left            =   1560
      MaxLength       =   64
      PasswordChar    =   "*"
      TabIndex        =   5
      Top             =   1560
      Visible         =   0   'False
      Width           =   2295
   End
   Begin VB.TextBox TB_Password
      Height          =   375
      Left            =   1560
      MaxLength       =   64
      PasswordChar    =   "*"
      TabIndex        =   3
      Top             =   1020
      Width           =   2295
   End
   Begin VB.TextBox TB_UserName
      Height          =   375
      Left            =   1560
      MaxLength       =   20
      TabIndex        =   1
      Top             =   480
      Width           =   2295
   End
   Begin VB.Label Label_Wait
      Height          =   255
      Left            =   600
      TabIndex        =   8
      Top             =   2100
      Width           =   3255
   End
   Begin VB.Label Label3
      Caption         =   "确认密码："
      Height          =   255
      Left            =   600
      TabIndex        =   4
      Top             =   1620
      Visible         =   0   'False
      Width           =   975
   End
   Begin VB.Label Label2
      Caption         =   "密  码："
      Height          =   255
      Left            =   600
      TabIndex        =   2
      Top             =   1080
      Width           =   855
   End
   Begin VB.Label Label1
      Caption         =   "用户名："
      Height          =   255
      Left            =   600
      TabIndex        =   0
      Top             =   540
      Width           =   855
   End
End
Attribute VB_Name = "frmLogin"
Attribute VB_GlobalNameSpace = False
Attribute VB_Creatable = False
Attribute VB_PredeclaredId = True
Attribute VB_Exposed = False
'登录窗体：按 admin 表中的密码散列核对用户名和密码，成功后记下操作员及其权限
Option Explicit

Private Const TRIES_BEFORE_WAIT As Integer = 3   '连续失败这么多次以后，每次再试之前都要等待
Private Const LONGEST_WAIT As Long = 300         '最长等待的秒数
Private failedTries As Integer
Private secondsToWait As Long
Private settingPassword As Boolean               '还没有密码的操作员正在设定密码

Private Sub Form_Load()
  failedTries = 0
  settingPassword = False
  If Not PasswordHashingWorks() Then
    MsgBox "本机无法计算密码散列（需要 Windows Vista SP2、Windows 7 或更新版本的 bcrypt.dll），无法登录!", vbOKOnly + vbCritical, "错误提示"
    Btn_OK.Enabled = False
  End If
End Sub

Private Sub Btn_OK_Click()
  Dim cmd As ADODB.Command
  Dim rs As ADODB.Recordset
  Dim userName As String
  Dim saltHex As String
  Dim hashHex As String
  Dim iterations As Long
  Dim rights As String

  userName = Trim$(TB_UserName.Text)
  If userName = "" Then
    MsgBox "请输入用户名!", vbOKOnly + vbExclamation, "错误提示"
    TB_UserName.SetFocus
    Exit Sub
  End If
  If TB_Password.Text = "" Then
    MsgBox "请输入密码!", vbOKOnly + vbExclamation, "错误提示"
    TB_Password.SetFocus
    Exit Sub
  End If

  On Error GoTo ConnectFailed
  Call check_condatabase
  On Error GoTo ReadFailed
  Set cmd = NewCommand("select adminUsername, adminPasswordSalt, adminPasswordHash, adminPasswordIterations, ql_flag from admin where adminUsername = ?")
  Call AddTextParameter(cmd, userName)
  Set rs = cmd.Execute
  If rs.EOF Then
    rs.Close
    If Not OperatorsExist() Then
      MsgBox "操作员表 admin 中还没有任何操作员。" & vbCrLf & RunScriptAdvice(), vbOKOnly + vbCritical, "错误提示"
      Exit Sub
    End If
    Call RefuseTry
    Exit Sub
  End If
  '名字比较不分大小写: 此后用表中所存的写法, 与操作员列表一致
  userName = FieldText(rs.Fields("adminUsername").Value)
  saltHex = FieldText(rs.Fields("adminPasswordSalt").Value)
  hashHex = Trim$(FieldText(rs.Fields("adminPasswordHash").Value))
  If Not IsNull(rs.Fields("adminPasswordIterations").Value) Then iterations = rs.Fields("adminPasswordIterations").Value
  rights = FieldText(rs.Fields("ql_flag").Value)
  rs.Close

  If hashHex = "" Then
    Call SetFirstPassword(userName, rights)
    Exit Sub
  End If
  On Error GoTo CheckFailed
  If PasswordMatches(TB_Password.Text, saltHex, hashHex, iterations) Then
    czry_name = userName
    czry_flag = rights
    Unload Me
    Exit Sub
  End If
  Call RefuseTry
  Exit Sub

ConnectFailed:
  MsgBox "无法连接数据库：" & Err.Description & vbCrLf & _
         "请检查 ModMain.bas 中的连接字符串 DB_CONNECT（默认为 ODBC 数据源 MISDB）是否指向本系统的数据库。", vbOKOnly + vbCritical, "错误提示"
  Exit Sub
ReadFailed:
  MsgBox "无法读取操作员表 admin：" & Err.Description & vbCrLf & RunScriptAdvice(), vbOKOnly + vbCritical, "错误提示"
  Exit Sub
CheckFailed:
  MsgBox "无法核对密码：" & Err.Description, vbOKOnly + vbCritical, "错误提示"
End Sub

'缺少操作员表或操作员时告诉用户该运行的脚本：它只添加本程序自己的表，不改动已有的表和数据
Private Function RunScriptAdvice() As String
  RunScriptAdvice = "请对本系统的数据库运行 vbgen-cli sql ""{projectName}"" --complete --app-tables-only 输出的脚本" & _
      "（它只添加操作员表 admin 和第一个操作员 admin，不删除、不改动其他表）。"
End Function

Private Function OperatorsExist() As Boolean
  Dim rs As ADODB.Recordset
  Set rs = NewCommand("select count(*) from admin").Execute
  OperatorsExist = (rs.Fields(0).Value > 0)
  rs.Close
End Function

'还没有密码的操作员（建表脚本没有给第一个操作员密码时）首次登录：再输入一次后，输入的密码成为他的密码
Private Sub SetFirstPassword(ByVal userName As String, ByVal rights As String)
  Dim cmd As ADODB.Command
  Dim storedCount As Long
  If Not settingPassword Then
    If Not NewPasswordAccepted(TB_Password.Text) Then
      TB_Password.SetFocus
      Exit Sub
    End If
    settingPassword = True
    Label3.Visible = True
    TB_Confirm.Visible = True
    TB_Confirm.Text = ""
    MsgBox "操作员 " & userName & " 还没有密码。请在“确认密码”中再输入一次刚才的密码，它将成为这个操作员的密码。", vbOKOnly + vbInformation, "首次登录"
    TB_Confirm.SetFocus
    Exit Sub
  End If
  If TB_Confirm.Text <> TB_Password.Text Then
    MsgBox "两次输入的密码不一致，请重新输入!", vbOKOnly + vbExclamation, "错误提示"
    TB_Password.Text = ""
    TB_Confirm.Text = ""
    TB_Password.SetFocus
    Exit Sub
  End If
  '两次都改过的密码也要合乎要求
  If Not NewPasswordAccepted(TB_Password.Text) Then
    TB_Password.SetFocus
    Exit Sub
  End If
  On Error GoTo StoreFailed
  '只写入仍然没有密码的这一行：别处刚设定的密码不会被覆盖
  Set cmd = NewCommand("update admin set adminPasswordSalt = ?, adminPasswordHash = ?, adminPasswordIterations = ? where adminUsername = ? and adminPasswordHash is null")
  Call AddPasswordParameters(cmd, TB_Password.Text)
  Call AddTextParameter(cmd, userName)
  cmd.Execute storedCount
  settingPassword = False
  Label3.Visible = False
  TB_Confirm.Visible = False
  If storedCount <> 1 Then
    MsgBox "操作员 " & userName & " 的密码刚刚已在别处设定，请用那个密码登录。", vbOKOnly + vbExclamation, "错误提示"
    TB_Password.Text = ""
    TB_Password.SetFocus
    Exit Sub
  End If
  MsgBox "已设定操作员 " & userName & " 的密码。", vbOKOnly + vbInformation, "首次登录"
  czry_name = userName
  czry_flag = rights
  Unload Me
  Exit Sub
StoreFailed:
  MsgBox "设定密码失败：" & Err.Description, vbOKOnly + vbCritical, "错误提示"
End Sub

'登录失败：连续失败几次以后，下次再试之前要等待，每多失败一次等待加倍
Private Sub RefuseTry()
  failedTries = failedTries + 1
  TB_Password.Text = ""
  If failedTries < TRIES_BEFORE_WAIT Then
    MsgBox "用户名或密码错误，请重新输入!", vbOKOnly + vbExclamation, "错误提示"
    TB_Password.SetFocus
    Exit Sub
  End If
  If failedTries - TRIES_BEFORE_WAIT >= 6 Then
    secondsToWait = LONGEST_WAIT
  Else
    secondsToWait = 5 * 2 ^ (failedTries - TRIES_BEFORE_WAIT)
  End If
  Btn_OK.Enabled = False
  Call ShowWait
  Timer_Wait.Enabled = True
  MsgBox "用户名或密码错误，已连续 " & failedTries & " 次，请等待 " & secondsToWait & " 秒后再试!", vbOKOnly + vbExclamation, "错误提示"
End Sub

Private Sub ShowWait()
  Label_Wait.Caption = "请等待 " & secondsToWait & " 秒后再试……"
End Sub

Private Sub Timer_Wait_Timer()
  secondsToWait = secondsToWait - 1
  If secondsToWait > 0 Then
    Call ShowWait
    Exit Sub
  End If
  Timer_Wait.Enabled = False
  Label_Wait.Caption = ""
  Btn_OK.Enabled = True
End Sub

Private Sub Btn_Cancel_Click()
  Unload Me
End Sub
)vb";

// The operator maintenance form: the support directory's layout, the password boxes as long as
// the login's, and code that stores hashes and traps every database error.
constexpr std::string_view kOperatorsFormDesigner = R"vb(VERSION 5.00
Begin VB.Form frmCzry
   BorderStyle     =   3  'Fixed Dialog
   Caption         =   "操作员维护"
   ClientHeight    =   4575
   ClientLeft      =   45
   ClientTop       =   330
   ClientWidth     =   6855
   LinkTopic       =   "Form1"
   MaxButton       =   0   'False
   MinButton       =   0   'False
   ScaleHeight     =   4575
   ScaleWidth      =   6855
   ShowInTaskbar   =   0   'False
   StartUpPosition =   1  'CenterOwner
   Begin VB.CommandButton Btn_Close
      Cancel          =   -1  'True
      Caption         =   "关闭(&C)"
      Height          =   375
      Left            =   5280
      TabIndex        =   13
      Top             =   3960
      Width           =   1215
   End
   Begin VB.CommandButton Btn_Authorize
      Caption         =   "授权(&Q)"
      Height          =   375
      Left            =   3120
      TabIndex        =   12
      Top             =   3960
      Width           =   1215
   End
   Begin VB.Frame Frame2
      Caption         =   "操作员信息"
      Height          =   3495
      Left            =   3000
      TabIndex        =   2
      Top             =   240
      Width           =   3615
      Begin VB.CommandButton Btn_Delete
         Caption         =   "删除(&D)"
         Height          =   375
         Left            =   2400
         TabIndex        =   11
         Top             =   2880
         Width           =   975
      End
      Begin VB.CommandButton Btn_Password
         Caption         =   "改密码(&P)"
         Height          =   375
         Left            =   1320
         TabIndex        =   10
         Top             =   2880
         Width           =   975
      End
      Begin VB.CommandButton Btn_Add
         Caption         =   "添加(&A)"
         Height          =   375
         Left            =   240
         TabIndex        =   9
         Top             =   2880
         Width           =   975
      End
      Begin VB.TextBox TB_Confirm
         Height          =   375
         Left            =   1320
         MaxLength       =   64
         PasswordChar    =   "*"
         TabIndex        =   8
         Top             =   1920
         Width           =   2055
      End
      Begin VB.TextBox TB_Password
         Height          =   375
         Left            =   1320
         MaxLength       =   64
         PasswordChar    =   "*"
         TabIndex        =   6
         Top             =   1200
         Width           =   2055
      End
      Begin VB.TextBox TB_UserName
         Height          =   375
         Left            =   1320
         MaxLength       =   20
         TabIndex        =   4
         Top             =   480
         Width           =   2055
      End
      Begin VB.Label Label3
         Caption         =   "确认密码："
         Height          =   255
         Left            =   240
         TabIndex        =   7
         Top             =   2010
         Width           =   1095
      End
      Begin VB.Label Label2
         Caption         =   "密    码："
         Height          =   255
         Left            =   240
         TabIndex        =   5
         Top             =   1290
         Width           =   1095
      End
      Begin VB.Label Label1
         Caption         =   "用 户 名："
         Height          =   255
         Left            =   240
         TabIndex        =   3
         Top             =   570
         Width           =   1095
      End
   End
   Begin VB.Frame Frame1
      Caption         =   "操作员列表"
      Height          =   4095
      Left            =   240
      TabIndex        =   0
      Top             =   240
      Width           =   2535
      Begin VB.ListBox List_Operators
         Height          =   3480
         Left            =   120
         TabIndex        =   1
         Top             =   360
         Width           =   2295
      End
   End
End
Attribute VB_Name = "frmCzry"
Attribute VB_GlobalNameSpace = False
Attribute VB_Creatable = False
Attribute VB_PredeclaredId = True
Attribute VB_Exposed = False
)vb";

constexpr std::string_view kOperatorsFormCode =
    R"vb('操作员维护窗体：添加、删除操作员，修改密码（只保存散列），打开授权窗体 frmczql
Option Explicit

Public authorizeOnly As Boolean    '为 True 时只能选择操作员并授权（由打开者在显示前设置）

Private Sub Form_Load()
  If authorizeOnly Then
    Me.Caption = "操作员授权"
    Frame2.Visible = False
  Else
    Me.Caption = "操作员维护"
    Frame2.Visible = True
  End If
  Call LoadOperators
End Sub

'按用户名顺序列出全部操作员
Private Sub LoadOperators()
  Dim rs As ADODB.Recordset
  On Error GoTo LoadFailed
  Set rs = NewCommand("select adminUsername from admin order by adminUsername").Execute
  List_Operators.Clear
  Do Until rs.EOF
    List_Operators.AddItem FieldText(rs.Fields("adminUsername").Value)
    rs.MoveNext
  Loop
  rs.Close
  Exit Sub
LoadFailed:
  MsgBox "读取操作员失败：" & Err.Description, vbOKOnly + vbCritical, "错误提示"
End Sub

'列表中选中的操作员；没有选中时为空串
Private Function SelectedOperator() As String
  If List_Operators.ListIndex >= 0 Then
    SelectedOperator = List_Operators.List(List_Operators.ListIndex)
  Else
    SelectedOperator = ""
  End If
End Function

'选中列表中名为 operatorName 的操作员
Private Sub SelectOperator(ByVal operatorName As String)
  Dim itemNo As Integer
  For itemNo = 0 To List_Operators.ListCount - 1
    If List_Operators.List(itemNo) = operatorName Then
      List_Operators.ListIndex = itemNo
      Exit For
    End If
  Next itemNo
End Sub

Private Sub ClearPasswords()
  TB_Password.Text = ""
  TB_Confirm.Text = ""
End Sub

'两次输入的密码一致且可用时返回 True，否则提示并返回 False
Private Function PasswordsMatch() As Boolean
  PasswordsMatch = False
  If TB_Password.Text <> TB_Confirm.Text Then
    MsgBox "两次输入的密码不一致，请重新输入!", vbOKOnly + vbExclamation, "错误提示"
    Call ClearPasswords
    TB_Password.SetFocus
    Exit Function
  End If
  If Not NewPasswordAccepted(TB_Password.Text) Then
    Call ClearPasswords
    TB_Password.SetFocus
    Exit Function
  End If
  PasswordsMatch = True
End Function

Private Sub List_Operators_Click()
  TB_UserName.Text = SelectedOperator()
  Call ClearPasswords
End Sub

Private Sub Btn_Add_Click()
  Dim operatorName As String
  Dim cmd As ADODB.Command

  operatorName = Trim$(TB_UserName.Text)
  If operatorName = "" Then
    MsgBox "请输入用户名!", vbOKOnly + vbExclamation, "错误提示"
    TB_UserName.SetFocus
    Exit Sub
  End If
  If Not PasswordsMatch() Then Exit Sub
  On Error GoTo AddFailed
  If OperatorExists(operatorName) Then
    MsgBox "操作员 " & operatorName & " 已经存在!", vbOKOnly + vbExclamation, "错误提示"
    TB_UserName.SetFocus
    Exit Sub
  End If

  '新操作员没有任何权限，由授权窗体授予
  Set cmd = NewCommand("insert into admin(adminUsername, adminPasswordSalt, adminPasswordHash, adminPasswordIterations, ql_flag) values(?, ?, ?, ?, '')")
  Call AddTextParameter(cmd, operatorName)
  Call AddPasswordParameters(cmd, TB_Password.Text)
  cmd.Execute
  Call ClearPasswords
  Call LoadOperators
  Call SelectOperator(operatorName)
  MsgBox "操作员 " & operatorName & " 添加成功，请为其授权!", vbOKOnly + vbInformation, "完成"
  Exit Sub
AddFailed:
  MsgBox "添加操作员失败：" & Err.Description, vbOKOnly + vbCritical, "错误提示"
End Sub

Private Sub Btn_Password_Click()
  Dim operatorName As String
  Dim cmd As ADODB.Command

  operatorName = SelectedOperator()
  If operatorName = "" Then
    MsgBox "请先在列表中选择操作员!", vbOKOnly + vbExclamation, "错误提示"
    Exit Sub
  End If
  If Not PasswordsMatch() Then Exit Sub
  On Error GoTo ChangeFailed
  Set cmd = NewCommand("update admin set adminPasswordSalt = ?, adminPasswordHash = ?, adminPasswordIterations = ? where adminUsername = ?")
  Call AddPasswordParameters(cmd, TB_Password.Text)
  Call AddTextParameter(cmd, operatorName)
  cmd.Execute
  Call ClearPasswords
  MsgBox "操作员 " & operatorName & " 的密码已修改!", vbOKOnly + vbInformation, "完成"
  Exit Sub
ChangeFailed:
  MsgBox "修改密码失败：" & Err.Description, vbOKOnly + vbCritical, "错误提示"
End Sub

Private Sub Btn_Delete_Click()
  Dim operatorName As String
  Dim cmd As ADODB.Command

  operatorName = SelectedOperator()
  If operatorName = "" Then
    MsgBox "请先在列表中选择操作员!", vbOKOnly + vbExclamation, "错误提示"
    Exit Sub
  End If
  If StrComp(operatorName, czry_name, vbTextCompare) = 0 Then  '名字不分大小写, 与数据库一致
    MsgBox "不能删除当前登录的操作员!", vbOKOnly + vbExclamation, "错误提示"
    Exit Sub
  End If
  If MsgBox("确定要删除操作员 " & operatorName & " 吗？", vbYesNo + vbQuestion, "删除操作员") = vbNo Then
    Exit Sub
  End If
  On Error GoTo DeleteFailed
  Set cmd = NewCommand("delete from admin where adminUsername = ?")
  Call AddTextParameter(cmd, operatorName)
  cmd.Execute
  TB_UserName.Text = ""
  Call ClearPasswords
  Call LoadOperators
  Exit Sub
DeleteFailed:
  MsgBox "删除操作员失败：" & Err.Description, vbOKOnly + vbCritical, "错误提示"
End Sub

'打开授权窗体；当前操作员给自己授权后，新权限立即生效
Private Sub Btn_Authorize_Click()
  Dim cmd As ADODB.Command
  Dim rs As ADODB.Recordset

  nodename = SelectedOperator()
  If nodename = "" Then
    MsgBox "请先在列表中选择要授权的操作员!", vbOKOnly + vbExclamation, "错误提示"
    Exit Sub
  End If
  frmczql.Show vbModal

  If StrComp(nodename, czry_name, vbTextCompare) = 0 Then
    On Error GoTo ReadFailed
    Set cmd = NewCommand("select ql_flag from admin where adminUsername = ?")
    Call AddTextParameter(cmd, czry_name)
    Set rs = cmd.Execute
    If Not rs.EOF Then
      czry_flag = FieldText(rs.Fields("ql_flag").Value)
    End If
    rs.Close
  End If
  Exit Sub
ReadFailed:
  MsgBox "读取权限失败：" & Err.Description, vbOKOnly + vbCritical, "错误提示"
End Sub

Private Sub List_Operators_DblClick()
  Call Btn_Authorize_Click
End Sub

Private Sub Btn_Close_Click()
  Unload Me
End Sub
)vb";

// The project's readme: the support directory's tells of the plain application's fixed
// password, which the complete application does not have.
constexpr std::string_view kReadme = R"vb(信息管理系统（完整应用，VB6 工程）使用说明
==========================================

一、建立数据库
  新的数据库：在代码生成器所在的电脑上运行
       vbgen-cli sql "{projectName}" --complete > 建表.sql
     在 SQL Server 中新建一个数据库，对它执行 建表.sql。这个脚本可以重复执行，
     但重复执行会删除并重建各表和操作员表 admin，表中原有的数据会丢失。
  已有的数据库（表已经在里面，只缺本程序自己的操作员表）：运行
       vbgen-cli sql "{projectName}" --complete --app-tables-only > 操作员表.sql
     它只在缺少时建立操作员表 admin 和第一个操作员 admin，不删除、不改动任何表。

二、连接数据库
  程序通过 ModMain.bas 中的常量 DB_CONNECT 连接数据库，默认是 "DSN=MISDB"：
  在“控制面板 → 管理工具 → 数据源 (ODBC)”的“系统 DSN”中添加数据源 MISDB，
  驱动程序选择 SQL Server，服务器和默认数据库指向上面的数据库。
  使用 SQL Server 身份验证时改为 "DSN=MISDB;UID=用户名;PWD=密码"，
  也可以写成任何 ADO 连接字符串。

三、操作员和密码
  admin 表只保存密码的散列（PBKDF2-SHA256，随机盐，迭代次数），从不保存密码本身；
  散列由 Windows 的 bcrypt.dll 计算（Windows Vista SP2、Windows 7 或更新版本）。
  没有默认密码：第一个操作员 admin 的密码可以在执行脚本时给出
       sqlcmd -S 服务器 -d 数据库 -E -i 操作员表.sql -v AdminPassword="密码"
  （密码中不能有单引号）；没有给出时，第一次以 admin 登录时输入的密码
  （再确认一次）就成为它的密码，请在数据库交给别人使用之前完成这一步。
  连续输错 3 次以后，每次再试之前都要等待，等待时间逐次加倍（最长 5 分钟）。
  “系统管理”菜单中的“操作员维护”可以添加、删除操作员和修改密码（至少 6 个字符），
  “操作员授权”为选中的操作员授权。

四、打开工程
  1. 用 Visual Basic 6.0 打开“vb信息管理系统.vbp”。
  2. 工程引用 Microsoft ActiveX Data Objects 2.8，并使用以下控件：
     MSCOMCTL.OCX（状态栏）、RICHTX32.OCX（RTF 文本框）、MSCOMCT2.OCX（日期控件）、
     MSDATGRD.OCX（数据网格）、TABCTL32.OCX（选项卡）、COMDLG32.OCX（导出时的文件对话框）。
     这些控件随 VB6 一起安装。
  3. 程序从 ModMain 模块的 Sub Main 启动：先显示登录窗体，登录成功后打开主窗体。

五、权限
  每个操作员的权限保存在 admin 表的 ql_flag 字段，每一位对应一项功能（1 有权，0 无权）：
  按类的顺序，每个类两位（添加、维护），最后两位是“操作员维护”和“信息打印”。

六、维护窗体
  维护窗体可以查询、列表显示；在列表中的一条记录上单击右键可以编辑、删除这条记录，
  或把列表中的记录导出为 CSV 文件。没有主键的表只能查询、列表和导出。
  全部 SQL 语句以参数传值（ModMain.bas 中的 NewCommand 和 Add...Parameter 过程）。

七、目录
  background\NoImage.jpg  没有选择图片时使用的占位图片。
  Tmp                     编辑窗体读取图片时存放临时文件的文件夹，请勿删除。
)vb";

// A value inside a VB6 string literal: every double quote doubled.
std::string VbLiteralText(const std::string& value) {
  std::string text;
  for (char c : value) {
    text += c;
    if (c == '"') text += '"';
  }
  return text;
}

}  // namespace

std::string BuildPasswordModule() {
  return Fill(kPasswordModule, {{"iterations", std::to_string(kPasswordIterations)}});
}

std::string BuildCompleteLoginForm(const std::string& projectName) {
  return Fill(kLoginForm, {{"projectName", VbLiteralText(projectName)}});
}

std::string BuildCompleteReadme(const std::string& projectName) {
  return Fill(kReadme, {{"projectName", projectName}});
}

std::string BuildCompleteOperatorsForm() {
  return std::string(kOperatorsFormDesigner) + std::string(kOperatorsFormCode);
}

void GenerateCompleteOperatorFiles(TGenContext& context, const TModelSnapshot& model) {
  WriteGeneratedForm(context, kPasswordModuleFile, BuildPasswordModule());
  WriteGeneratedForm(context, "frmLogin.frm", BuildCompleteLoginForm(model.ProjectName()));
  WriteGeneratedForm(context, "frmCzry.frm", BuildCompleteOperatorsForm());
  WriteGeneratedForm(context, "readme.txt", BuildCompleteReadme(model.ProjectName()));
}

}  // namespace vbgen
