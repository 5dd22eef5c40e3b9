VERSION 5.00
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
  RunScriptAdvice = "请对本系统的数据库运行 vbgen-cli sql ""完整"" --complete --app-tables-only 输出的脚本" & _
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
