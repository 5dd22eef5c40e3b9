VERSION 5.00
Begin VB.Form frmLogin 
   BorderStyle     =   3  'Fixed Dialog
   Caption         =   "系统登录"
   ClientHeight    =   2415
   ClientLeft      =   45
   ClientTop       =   330
   ClientWidth     =   4455
   LinkTopic       =   "Form1"
   MaxButton       =   0   'False
   MinButton       =   0   'False
   ScaleHeight     =   2415
   ScaleWidth      =   4455
   StartUpPosition =   2  'CenterScreen
   Begin VB.CommandButton Btn_Cancel 
      Cancel          =   -1  'True
      Caption         =   "取消(&C)"
      Height          =   375
      Left            =   2520
      TabIndex        =   5
      Top             =   1800
      Width           =   1215
   End
   Begin VB.CommandButton Btn_OK 
      Caption         =   "确定(&O)"
      Default         =   -1  'True
      Height          =   375
      Left            =   840
      TabIndex        =   4
      Top             =   1800
      Width           =   1215
   End
   Begin VB.TextBox TB_Password 
      Height          =   375
      Left            =   1560
      MaxLength       =   20
      PasswordChar    =   "*"
      TabIndex        =   3
      Top             =   1080
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
   Begin VB.Label Label2 
      Caption         =   "密  码："
      Height          =   255
      Left            =   600
      TabIndex        =   2
      Top             =   1140
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
'登录窗体：按 admin 表核对用户名和密码，成功后记下操作员及其权限
Option Explicit

Private Const MAX_TRIES As Integer = 3
Private failedTries As Integer

Private Sub Form_Load()
  failedTries = 0
End Sub

Private Sub Btn_OK_Click()
  Dim cmd As ADODB.Command
  Dim rs As ADODB.Recordset

  If Trim$(TB_UserName.Text) = "" Then
    MsgBox "请输入用户名!", vbOKOnly + vbExclamation, "错误提示"
    TB_UserName.SetFocus
    Exit Sub
  End If

  On Error GoTo ConnectFailed
  Call check_condatabase
  On Error GoTo 0

  Set cmd = NewCommand("select adminUsername, adminPassword, ql_flag from admin where adminUsername = ?")
  Call AddTextParameter(cmd, Trim$(TB_UserName.Text))
  Set rs = cmd.Execute
  If Not rs.EOF Then
    If rs.Fields("adminPassword").Value & "" = TB_Password.Text Then
      czry_name = rs.Fields("adminUsername").Value & ""
      czry_flag = rs.Fields("ql_flag").Value & ""
      rs.Close
      Set rs = Nothing
      Unload Me
      Exit Sub
    End If
  End If
  rs.Close
  Set rs = Nothing

  failedTries = failedTries + 1
  If failedTries >= MAX_TRIES Then
    MsgBox "用户名或密码错误，已连续 " & MAX_TRIES & " 次，系统将退出!", vbOKOnly + vbCritical, "错误提示"
    Unload Me
    Exit Sub
  End If
  MsgBox "用户名或密码错误，请重新输入!", vbOKOnly + vbExclamation, "错误提示"
  TB_Password.Text = ""
  TB_Password.SetFocus
  Exit Sub

ConnectFailed:
  MsgBox "无法连接数据库：" & Err.Description & vbCrLf & _
         "请检查 ODBC 数据源 MISDB 是否已建立并指向本系统的数据库。", vbOKOnly + vbCritical, "错误提示"
End Sub

Private Sub Btn_Cancel_Click()
  Unload Me
End Sub
