Attribute VB_Name = "ModMain"
'公共模块：数据库连接、当前操作员及其权限、程序入口
Option Explicit

'连接字符串：ODBC 数据源 MISDB（管理窗体的 ADO 数据控件使用同一个数据源）
'若数据库使用 SQL Server 身份验证，请改为 "DSN=MISDB;UID=用户名;PWD=密码"
Public Const DB_CONNECT As String = "DSN=MISDB"

Public cn As ADODB.Connection    '全程序共用的数据库连接
Public sql As String             '各窗体存放 SQL 语句的变量
Public czry_name As String       '当前登录的操作员
Public czry_flag As String       '当前操作员的权限串（admin 表的 ql_flag 字段）
Public nodename As String        '正在授权的操作员（操作员授权窗体 frmczql 使用）

'程序入口：先登录，登录成功后打开主窗体
Public Sub Main()
  frmLogin.Show vbModal
  If czry_name <> "" Then
    MainForm.Show
  Else
    Call close_condatabase
  End If
End Sub

'连接数据库；连接已打开时什么也不做
Public Sub condatabase()
  If cn Is Nothing Then
    Set cn = New ADODB.Connection
  End If
  If cn.State = adStateClosed Then
    cn.ConnectionString = DB_CONNECT
    cn.Open
  End If
End Sub

'使用连接之前调用：连接已被关闭时重新连接
Public Sub check_condatabase()
  If cn Is Nothing Then
    Call condatabase
  ElseIf cn.State = adStateClosed Then
    Call condatabase
  End If
End Sub

'关闭数据库连接；连接未打开时什么也不做
Public Sub close_condatabase()
  If Not cn Is Nothing Then
    If cn.State <> adStateClosed Then
      cn.Close
    End If
  End If
End Sub

'权限判断：权限串 qx 的第 n 位为非 0 数字时有权使用第 n 项功能
'无权时提示操作员并返回 False
Public Function check_qx(ByVal qx As String, ByVal n As Integer) As Boolean
  check_qx = False
  If n >= 1 And n <= Len(qx) Then
    If Mid$(qx, n, 1) Like "[1-9]" Then
      check_qx = True
    End If
  End If
  If Not check_qx Then
    MsgBox "对不起，您没有使用此功能的权限！", vbOKOnly + vbExclamation, "权限提示"
  End If
End Function

'系统维护权限的位置：权限串的最后两位是“操作员维护”和“信息打印”
Public Function ManageUserRight() As Integer
  ManageUserRight = Len(czry_flag) - 1
End Function

'建立参数化的语句：操作员输入的文字作为参数传入，不拼接进 SQL 文本
Public Function NewCommand(ByVal statementText As String) As ADODB.Command
  Dim cmd As ADODB.Command
  Call check_condatabase
  Set cmd = New ADODB.Command
  Set cmd.ActiveConnection = cn
  cmd.CommandText = statementText
  cmd.CommandType = adCmdText
  Set NewCommand = cmd
End Function

'给语句添加一个文本参数（长度 50，容得下 admin 表的任一字段）
Public Sub AddTextParameter(ByVal cmd As ADODB.Command, ByVal paramText As String)
  cmd.Parameters.Append cmd.CreateParameter(, adVarWChar, adParamInput, 50, paramText)
End Sub

'操作员是否已经存在
Public Function OperatorExists(ByVal operatorName As String) As Boolean
  Dim cmd As ADODB.Command
  Dim rs As ADODB.Recordset
  Set cmd = NewCommand("select adminUsername from admin where adminUsername = ?")
  Call AddTextParameter(cmd, operatorName)
  Set rs = cmd.Execute
  OperatorExists = Not rs.EOF
  rs.Close
  Set rs = Nothing
End Function
