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

'---- 完整应用代码使用的过程：参数化语句、输入检查、导出 ----

'给语句添加一个长整型参数
Public Sub AddLongParameter(ByVal cmd As ADODB.Command, ByVal value As Long)
  cmd.Parameters.Append cmd.CreateParameter(, adInteger, adParamInput, 4, value)
End Sub

'给语句添加一个浮点数参数
Public Sub AddDoubleParameter(ByVal cmd As ADODB.Command, ByVal value As Double)
  cmd.Parameters.Append cmd.CreateParameter(, adDouble, adParamInput, 8, value)
End Sub

'给语句添加一个日期参数
Public Sub AddDateParameter(ByVal cmd As ADODB.Command, ByVal value As Date)
  cmd.Parameters.Append cmd.CreateParameter(, adDBTimeStamp, adParamInput, 16, value)
End Sub

'给语句添加一个任意长度的文本参数
Public Sub AddStringParameter(ByVal cmd As ADODB.Command, ByVal paramText As String)
  Dim size As Long
  size = Len(paramText)
  If size < 1 Then size = 1
  cmd.Parameters.Append cmd.CreateParameter(, adVarChar, adParamInput, size, paramText)
End Sub

'把从数据库读出的文本键值作为 Unicode 参数加入命令: 不经过代码页, 键值原样匹配
Public Sub AddKeyTextParameter(ByVal cmd As ADODB.Command, ByVal keyText As String)
  Call AddColumnTextParameter(cmd, keyText, True, Len(keyText), False)
End Sub

'给语句添加一个图片参数；流为空时存入 Null
Public Sub AddPictureParameter(ByVal cmd As ADODB.Command, ByVal pictureStream As ADODB.Stream)
  Dim param As ADODB.Parameter
  Dim hasPicture As Boolean
  hasPicture = False
  If Not pictureStream Is Nothing Then
    If pictureStream.State = adStateOpen Then
      If pictureStream.size > 0 Then hasPicture = True
    End If
  End If
  If hasPicture Then
    pictureStream.Position = 0
    Set param = cmd.CreateParameter(, adLongVarBinary, adParamInput, pictureStream.size)
    param.value = pictureStream.Read
  Else
    Set param = cmd.CreateParameter(, adLongVarBinary, adParamInput, 1, Null)
  End If
  cmd.Parameters.Append param
End Sub

'条件开关参数：条件生效时为 1，否则为 0
Public Sub AddSwitchParameter(ByVal cmd As ADODB.Command, ByVal switchedOn As Boolean)
  If switchedOn Then
    Call AddLongParameter(cmd, 1)
  Else
    Call AddLongParameter(cmd, 0)
  End If
End Sub

'“包含”查询的 like 模式：通配符按原样查找
Public Function ContainsPattern(ByVal typedText As String) As String
  Dim pattern As String
  pattern = Replace(typedText, "[", "[[]")
  pattern = Replace(pattern, "%", "[%]")
  pattern = Replace(pattern, "_", "[_]")
  ContainsPattern = "%" & pattern & "%"
End Function

'是否为长整型范围内的整数（可带正负号）
Public Function IsWholeNumber(ByVal typedText As String) As Boolean
  Dim digits As String
  IsWholeNumber = False
  digits = Trim$(typedText)
  If Left$(digits, 1) = "-" Or Left$(digits, 1) = "+" Then digits = Mid$(digits, 2)
  If digits = "" Then Exit Function
  If digits Like "*[!0-9]*" Then Exit Function
  If Len(digits) > 10 Then Exit Function
  If CDbl(Trim$(typedText)) > 2147483647# Or CDbl(Trim$(typedText)) < -2147483648# Then Exit Function
  IsWholeNumber = True
End Function

'是否为数字（浮点数）
Public Function IsDecimalNumber(ByVal typedText As String) As Boolean
  IsDecimalNumber = IsNumeric(Trim$(typedText))
End Function

'查询条件中输入的数；未输入时为 0
Public Function NumberOrZero(ByVal typedText As String) As Double
  If Trim$(typedText) = "" Then
    NumberOrZero = 0
  Else
    NumberOrZero = CDbl(Trim$(typedText))
  End If
End Function

'字段值的显示文本；Null 为空串
Public Function FieldText(ByVal value As Variant) As String
  If IsNull(value) Then
    FieldText = ""
  Else
    FieldText = CStr(value)
  End If
End Function

'CSV 文件的一个字段：含逗号、引号或换行时加引号，引号加倍
Public Function CsvField(ByVal value As Variant) As String
  Dim text As String
  text = FieldText(value)
  If InStr(text, ",") > 0 Or InStr(text, """") > 0 Or InStr(text, vbCr) > 0 Or InStr(text, vbLf) > 0 Then
    CsvField = """" & Replace(text, """", """""") & """"
  Else
    CsvField = text
  End If
End Function

'把记录集的全部记录写入 CSV 文件：第一行是标题，其余每行一条记录
'文件是带 BOM 的 UTF-8（Excel 据此认出编码），所以代码页之外的文字也原样导出；
'内容在内存中写好后一次存盘，出错时不会留下打开的文件
'返回写入的记录数；记录集的当前位置不变
Public Function ExportRecordset(ByVal rs As ADODB.Recordset, ByVal headingLine As String, ByVal fileName As String) As Long
  Dim csv As ADODB.Stream
  Dim rowText As String
  Dim fieldNo As Long
  Dim rowCount As Long
  Dim savedPosition As Variant
  rowCount = 0
  Set csv = New ADODB.Stream
  csv.Type = adTypeText
  csv.Charset = "utf-8"
  csv.LineSeparator = adCRLF
  csv.Open
  csv.WriteText headingLine, adWriteLine
  If Not (rs.BOF And rs.EOF) Then
    savedPosition = rs.Bookmark
    rs.MoveFirst
    Do Until rs.EOF
      rowText = ""
      For fieldNo = 0 To rs.Fields.Count - 1
        If fieldNo > 0 Then rowText = rowText & ","
        rowText = rowText & CsvField(rs.Fields(fieldNo).value)
      Next fieldNo
      csv.WriteText rowText, adWriteLine
      rowCount = rowCount + 1
      rs.MoveNext
    Loop
    rs.Bookmark = savedPosition
  End If
  csv.SaveToFile fileName, adSaveCreateOverWrite
  csv.Close
  ExportRecordset = rowCount
End Function

'---- 完整应用的添加、编辑窗体使用的过程：按列的类型传参数、可空的值、严格的输入检查 ----

'文本参数：nvarchar/nchar 列以 Unicode 传（adVarWChar），其余列按代码页传（adVarChar），
'大小是列的声明长度；可空的列留空时存 Null
Public Sub AddColumnTextParameter(ByVal cmd As ADODB.Command, ByVal paramText As String, ByVal unicodeColumn As Boolean, ByVal declaredLength As Long, ByVal emptyIsNull As Boolean)
  Dim dataType As ADODB.DataTypeEnum
  Dim size As Long
  size = declaredLength
  If size < Len(paramText) Then size = Len(paramText)
  If size < 1 Then size = 1
  If unicodeColumn Then
    dataType = adVarWChar
    If size > 4000 Then dataType = adLongVarWChar
  Else
    dataType = adVarChar
    If size > 8000 Then dataType = adLongVarChar
  End If
  If emptyIsNull And paramText = "" Then
    cmd.Parameters.Append cmd.CreateParameter(, dataType, adParamInput, size, Null)
  Else
    cmd.Parameters.Append cmd.CreateParameter(, dataType, adParamInput, size, paramText)
  End If
End Sub

'整数参数，dataType 为 adInteger、adSmallInt 或 adUnsignedTinyInt；可空的列留空时存 Null
Public Sub AddWholeNumberParameter(ByVal cmd As ADODB.Command, ByVal typedText As String, ByVal dataType As ADODB.DataTypeEnum, ByVal emptyIsNull As Boolean)
  If emptyIsNull And Trim$(typedText) = "" Then
    cmd.Parameters.Append cmd.CreateParameter(, dataType, adParamInput, , Null)
  Else
    cmd.Parameters.Append cmd.CreateParameter(, dataType, adParamInput, , CLng(Trim$(typedText)))
  End If
End Sub

'定点小数参数（decimal、numeric、money、smallmoney 列）：按列的精度和小数位数传，不经浮点数
Public Sub AddFixedNumberParameter(ByVal cmd As ADODB.Command, ByVal typedText As String, ByVal numberPrecision As Byte, ByVal numberScale As Byte, ByVal emptyIsNull As Boolean)
  Dim param As ADODB.Parameter
  Set param = cmd.CreateParameter(, adNumeric, adParamInput)
  param.Precision = numberPrecision
  param.NumericScale = numberScale
  If emptyIsNull And Trim$(typedText) = "" Then
    param.value = Null
  Else
    param.value = CDec(Trim$(typedText))
  End If
  cmd.Parameters.Append param
End Sub

'浮点数参数；可空的列留空时存 Null
Public Sub AddFloatNumberParameter(ByVal cmd As ADODB.Command, ByVal typedText As String, ByVal emptyIsNull As Boolean)
  If emptyIsNull And Trim$(typedText) = "" Then
    cmd.Parameters.Append cmd.CreateParameter(, adDouble, adParamInput, 8, Null)
  Else
    cmd.Parameters.Append cmd.CreateParameter(, adDouble, adParamInput, 8, CDbl(Trim$(typedText)))
  End If
End Sub

'日期参数：日期框显示的日期；可以不填的日期框未勾选时值为 Null，存 Null
Public Sub AddPickedDateParameter(ByVal cmd As ADODB.Command, ByVal shownDate As Variant)
  cmd.Parameters.Append cmd.CreateParameter(, adDBTimeStamp, adParamInput, 16, shownDate)
End Sub

'是否参数（bit 列）：勾选为 True，未勾选为 False，灰色（原来就是 Null）仍为 Null
Public Sub AddYesNoParameter(ByVal cmd As ADODB.Command, ByVal boxValue As Integer)
  Dim stored As Variant
  If boxValue = vbGrayed Then
    stored = Null
  Else
    stored = (boxValue = vbChecked)
  End If
  cmd.Parameters.Append cmd.CreateParameter(, adBoolean, adParamInput, , stored)
End Sub

'Null 参数：可空的引用未选时
Public Sub AddNullParameter(ByVal cmd As ADODB.Command, ByVal dataType As ADODB.DataTypeEnum)
  cmd.Parameters.Append cmd.CreateParameter(, dataType, adParamInput, 1, Null)
End Sub

'bit 列在复选框中的状态：Null 为灰色
Public Function YesNoState(ByVal storedValue As Variant) As Integer
  If IsNull(storedValue) Then
    YesNoState = vbGrayed
  ElseIf CBool(storedValue) Then
    YesNoState = vbChecked
  Else
    YesNoState = vbUnchecked
  End If
End Function

'引用列表的一项：键值在前，显示值在后，显示值相同的行也能分清
Public Function EntryLabel(ByVal keyValue As Variant, ByVal displayValue As Variant) As String
  If FieldText(keyValue) = FieldText(displayValue) Then
    EntryLabel = FieldText(keyValue)
  Else
    EntryLabel = FieldText(keyValue) & " – " & FieldText(displayValue)
  End If
End Function

'文本是否放得下：varchar/char 列按代码页的字节数计（一个汉字两个字节），nvarchar/nchar 列按字符数计
Public Function TextFits(ByVal typedText As String, ByVal declaredLength As Long, ByVal countsBytes As Boolean) As Boolean
  If countsBytes Then
    TextFits = LenB(StrConv(typedText, vbFromUnicode)) <= declaredLength
  Else
    TextFits = Len(typedText) <= declaredLength
  End If
End Function

'本机区域设置的小数点
Public Function DecimalSeparator() As String
  DecimalSeparator = Mid$(CStr(1.5), 2, 1)
End Function

'是否为严格的数字：可带一个正负号，其余是数字和至多一个本机的小数点；整数部分至多 integerDigits 位，
'小数部分至多 fractionDigits 位（-1 为不限）。"$1"、"1e3"、"&H10" 和千位分隔符都不算数字
Public Function NumberFits(ByVal typedText As String, ByVal integerDigits As Long, ByVal fractionDigits As Long) As Boolean
  Dim digits As String
  Dim wholePart As String
  Dim fractionPart As String
  Dim separatorAt As Long
  NumberFits = False
  digits = Trim$(typedText)
  If Left$(digits, 1) = "-" Or Left$(digits, 1) = "+" Then digits = Mid$(digits, 2)
  separatorAt = InStr(digits, DecimalSeparator())
  If separatorAt > 0 Then
    wholePart = Left$(digits, separatorAt - 1)
    fractionPart = Mid$(digits, separatorAt + 1)
  Else
    wholePart = digits
    fractionPart = ""
  End If
  If wholePart = "" And fractionPart = "" Then Exit Function
  If wholePart Like "*[!0-9]*" Or fractionPart Like "*[!0-9]*" Then Exit Function
  Do While Left$(wholePart, 1) = "0"
    wholePart = Mid$(wholePart, 2)
  Loop
  If integerDigits >= 0 And Len(wholePart) > integerDigits Then Exit Function
  If fractionDigits >= 0 And Len(fractionPart) > fractionDigits Then Exit Function
  NumberFits = True
End Function

'是否为 lowest 到 highest 之间的整数（可带正负号），即列的类型能存下的整数
Public Function WholeNumberBetween(ByVal typedText As String, ByVal lowest As Double, ByVal highest As Double) As Boolean
  WholeNumberBetween = False
  If Not NumberFits(typedText, 10, 0) Then Exit Function
  If InStr(typedText, DecimalSeparator()) > 0 Then Exit Function
  If CDbl(Trim$(typedText)) < lowest Or CDbl(Trim$(typedText)) > highest Then Exit Function
  WholeNumberBetween = True
End Function

'控件现在的值是否与显示记录时不同（两个 Null 相同）
Public Function ValueChanged(ByVal shownNow As Variant, ByVal shownFirst As Variant) As Boolean
  If IsNull(shownNow) Or IsNull(shownFirst) Then
    ValueChanged = Not (IsNull(shownNow) And IsNull(shownFirst))
  Else
    ValueChanged = (shownNow <> shownFirst)
  End If
End Function
