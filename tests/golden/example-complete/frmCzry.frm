VERSION 5.00
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
'操作员维护窗体：添加、删除操作员，修改密码（只保存散列），打开授权窗体 frmczql
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
