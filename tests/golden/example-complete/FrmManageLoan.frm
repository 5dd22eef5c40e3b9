VERSION 5.00
Object = "{86CF1D34-0C5F-11D2-A9FC-0000F8754DA1}#2.0#0"; "MSCOMCT2.OCX"
Object = "{CDE57A40-8B86-11D0-B3C6-00A0C90AEA82}#1.0#0"; "MSDATGRD.OCX"
Object = "{F9043C88-F6F2-101A-A3C9-08002B2F49FB}#1.2#0"; "COMDLG32.OCX"
Begin VB.Form FrmManageLoan 
   Caption         =   "借阅记录管理"
   ClientHeight    =   8940
   ClientLeft      =   120
   ClientTop       =   450
   ClientWidth     =   14895
   LinkTopic       =   "Form1"
   MDIChild        =   -1  'True
   ScaleHeight     =   8940
   ScaleWidth      =   14895
   WindowState     =   2  'Maximized
   Begin VB.Frame Frame2 
      Caption         =   "借阅记录列表"
      Height          =   6855
      Left            =   480
      TabIndex        =   1000
      Top             =   1320
      Width           =   14175
      Begin MSDataGridLib.DataGrid DataGrid1 
         Height          =   6375
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
         ColumnCount     =   5
         BeginProperty Column00 
            DataField       =   "loanId"
            Caption         =   "借阅编号"
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
         BeginProperty Column01
            DataField       =   "bookIsbn"
            Caption         =   "借阅图书"
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
         BeginProperty Column02
            DataField       =   "readerId"
            Caption         =   "借阅读者"
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
         BeginProperty Column03
            DataField       =   "loanDate"
            Caption         =   "借出日期"
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
         BeginProperty Column04
            DataField       =   "dueDate"
            Caption         =   "应还日期"
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
         SplitCount      =   1
         BeginProperty Split0 
            BeginProperty Column00 
            EndProperty
            BeginProperty Column01
            EndProperty
            BeginProperty Column02
            EndProperty
            BeginProperty Column03
            EndProperty
            BeginProperty Column04
            EndProperty
         EndProperty
      End
   End
   Begin VB.Frame Frame1 
      Caption         =   "借阅记录查询"
      Height          =   735
      Left            =   480
      TabIndex        =   0
      Top             =   480
      Width           =   14175
      Begin VB.Label Label1
         Caption         =   "借阅图书："
         Height          =   255
         Left            =   120
         TabIndex        =   1
         Top             =   360
         Width           =   1215
      End
      Begin VB.ComboBox CB_bookIsbn
         Height          =   300
         Left            =   960
         Style           =   2  'Dropdown List
         TabIndex        =   2
         Top             =   360
         Width           =   1935
      End
      Begin VB.Label Label2
         Caption         =   "借阅读者："
         Height          =   255
         Left            =   3120
         TabIndex        =   3
         Top             =   360
         Width           =   1215
      End
      Begin VB.ComboBox CB_readerId
         Height          =   300
         Left            =   3960
         Style           =   2  'Dropdown List
         TabIndex        =   4
         Top             =   360
         Width           =   1935
      End
      Begin VB.Label Label3
         Caption         =   "借出日期："
         Height          =   255
         Left            =   6120
         TabIndex        =   5
         Top             =   360
         Width           =   1215
      End
      Begin MSComCtl2.DTPicker DTP_loanDate 
         Height          =   255
         Left            =   6960
         TabIndex        =   6
         Top             =   180
         Width           =   1335
         _ExtentX        =   2355
         _ExtentY        =   450
         _Version        =   393216
         Format          =   107544577
         CurrentDate     =   41857
      End
      Begin MSComCtl2.DTPicker DTP_loanDateTo 
         Height          =   255
         Left            =   6960
         TabIndex        =   7
         Top             =   450
         Width           =   1335
         _ExtentX        =   2355
         _ExtentY        =   450
         _Version        =   393216
         Format          =   107544577
         CurrentDate     =   41857
      End
      Begin VB.CheckBox CHB_loanDate 
         Caption         =   "启用"
         Height          =   255
         Left            =   8280
         TabIndex        =   8
         Top             =   360
         Width           =   735
      End
      Begin VB.CommandButton Btn_Query
         Caption         =   "查询"
         Height          =   375
         Left            =   12480
         TabIndex        =   9
         Top             =   240
         Width           =   1215
      End
   End
   Begin MSComDlg.CommonDialog CommonDialog1
      Left            =   120
      Top             =   120
      _ExtentX        =   847
      _ExtentY        =   847
      _Version        =   393216
      CancelError     =   -1  'True
   End
   Begin VB.Menu popMenu
      Caption         =   "右键菜单"
      Visible         =   0   'False
      Begin VB.Menu mnuEdit
         Caption         =   "编辑当前记录"
      End
      Begin VB.Menu mnuDelete
         Caption         =   "删除当前记录"
      End
      Begin VB.Menu mnuExport
         Caption         =   "导出当前所有记录"
      End
   End
End
Attribute VB_Name = "FrmManageLoan"
Attribute VB_GlobalNameSpace = False
Attribute VB_Creatable = False
Attribute VB_PredeclaredId = True
Attribute VB_Exposed = False
Option Explicit
Dim bookIsbns() As String
Dim readerIds() As Long
Dim listRs As ADODB.Recordset   '列表中显示的记录（已断开连接）

Private Sub Form_Load()
  Dim rs As ADODB.Recordset
  Dim statementText As String
  Dim entryNo As Long
  On Error GoTo LoadFailed
  Call condatabase '连接数据库
  Me.DTP_loanDate.Value = Date
  Me.DTP_loanDateTo.Value = Date
  statementText = "select [isbn], [title] from [Book] order by [title]"
  Set rs = NewCommand(statementText).Execute
  Me.CB_bookIsbn.Clear
  ReDim bookIsbns(0)
  Me.CB_bookIsbn.AddItem "(全部)"
  entryNo = 0
  Do Until rs.EOF
    entryNo = entryNo + 1
    ReDim Preserve bookIsbns(entryNo)
    bookIsbns(entryNo) = FieldText(rs.Fields(0).Value)
    Me.CB_bookIsbn.AddItem EntryLabel(rs.Fields(0).Value, rs.Fields(1).Value)
    rs.MoveNext
  Loop
  rs.Close
  If Me.CB_bookIsbn.ListCount > 0 Then
    Me.CB_bookIsbn.ListIndex = 0
  End If
  statementText = "select [readerId], [readerName] from [Reader] order by [readerName]"
  Set rs = NewCommand(statementText).Execute
  Me.CB_readerId.Clear
  ReDim readerIds(0)
  Me.CB_readerId.AddItem "(全部)"
  entryNo = 0
  Do Until rs.EOF
    entryNo = entryNo + 1
    ReDim Preserve readerIds(entryNo)
    readerIds(entryNo) = CLng(rs.Fields(0).Value)
    Me.CB_readerId.AddItem EntryLabel(rs.Fields(0).Value, rs.Fields(1).Value)
    rs.MoveNext
  Loop
  rs.Close
  If Me.CB_readerId.ListCount > 0 Then
    Me.CB_readerId.ListIndex = 0
  End If
  Exit Sub
LoadFailed:
  MsgBox "读取借阅记录的查询列表失败：" & Err.Description, vbExclamation, "错误提示"
End Sub

Private Sub Form_Activate()
  Call ReloadList
End Sub

Private Sub Btn_Query_Click()
  Call LoadList
End Sub

'按查询条件读出借阅记录，显示在列表中
Private Sub LoadList()
  Dim cmd As ADODB.Command
  Dim statementText As String
  On Error GoTo QueryFailed
  Call check_condatabase
  statementText = "select t.[loanId]"
  statementText = statementText & ", r1.[title] as [bookIsbn]"
  statementText = statementText & ", r2.[readerName] as [readerId]"
  statementText = statementText & ", t.[loanDate]"
  statementText = statementText & ", t.[dueDate]"
  statementText = statementText & " from [Loan] t"
  statementText = statementText & " left join [Book] r1 on r1.[isbn] = t.[bookIsbn]"
  statementText = statementText & " left join [Reader] r2 on r2.[readerId] = t.[readerId]"
  statementText = statementText & " where 1 = 1"
  statementText = statementText & " and (? = 0 or t.[bookIsbn] = ?)"
  statementText = statementText & " and (? = 0 or t.[readerId] = ?)"
  statementText = statementText & " and (? = 0 or (t.[loanDate] >= ? and t.[loanDate] < ?))"
  statementText = statementText & " order by t.[loanId]"
  Set cmd = NewCommand(statementText)
  If Me.CB_bookIsbn.ListIndex > 0 Then
    Call AddSwitchParameter(cmd, True)
    Call AddKeyTextParameter(cmd, bookIsbns(Me.CB_bookIsbn.ListIndex))
  Else
    Call AddSwitchParameter(cmd, False)
    Call AddKeyTextParameter(cmd, "")
  End If
  If Me.CB_readerId.ListIndex > 0 Then
    Call AddSwitchParameter(cmd, True)
    Call AddLongParameter(cmd, readerIds(Me.CB_readerId.ListIndex))
  Else
    Call AddSwitchParameter(cmd, False)
    Call AddLongParameter(cmd, 0)
  End If
  Call AddSwitchParameter(cmd, Me.CHB_loanDate.Value = vbChecked)
  Call AddDateParameter(cmd, DateValue(Me.DTP_loanDate.Value))
  Call AddDateParameter(cmd, DateValue(Me.DTP_loanDateTo.Value) + 1)
  Set listRs = New ADODB.Recordset
  listRs.CursorLocation = adUseClient
  listRs.Open cmd, , adOpenStatic, adLockReadOnly
  Set listRs.ActiveConnection = Nothing
  Set DataGrid1.DataSource = listRs
  Call ShowColumnHeads
  Exit Sub
QueryFailed:
  MsgBox "查询借阅记录失败：" & Err.Description, vbExclamation, "错误提示"
End Sub

'列表的标题：各列成员的说明
Private Sub ShowColumnHeads()
  DataGrid1.Columns(0).Caption = "借阅编号"
  DataGrid1.Columns(1).Caption = "借阅图书"
  DataGrid1.Columns(2).Caption = "借阅读者"
  DataGrid1.Columns(3).Caption = "借出日期"
  DataGrid1.Columns(4).Caption = "应还日期"
End Sub

'列表中是否选中了一条记录；没有时提示
Private Function HasCurrentRecord() As Boolean
  HasCurrentRecord = False
  If listRs Is Nothing Then Exit Function
  If listRs.State <> adStateOpen Then Exit Function
  If listRs.BOF Or listRs.EOF Then
    MsgBox "请先在列表中选中要操作的借阅记录!", vbInformation, "信息提示"
    Exit Function
  End If
  HasCurrentRecord = True
End Function

'重新读出列表，再按键值选中原来选中的那条记录（它已被删除时选中第一条）
Private Sub ReloadList()
  Dim keptKey1 As Variant
  Dim hadRecord As Boolean
  hadRecord = False
  If Not listRs Is Nothing Then
    If listRs.State = adStateOpen Then
      If Not (listRs.BOF Or listRs.EOF) Then hadRecord = True
    End If
  End If
  If hadRecord Then keptKey1 = listRs.Fields("loanId").Value
  Call LoadList
  If Not hadRecord Then Exit Sub
  If listRs Is Nothing Then Exit Sub
  If listRs.State <> adStateOpen Then Exit Sub
  If listRs.BOF And listRs.EOF Then Exit Sub
  listRs.MoveFirst
  Do Until listRs.EOF
    If listRs.Fields("loanId").Value = keptKey1 Then Exit Sub
    listRs.MoveNext
  Loop
  listRs.MoveFirst
End Sub

Private Sub DataGrid1_MouseUp(Button As Integer, Shift As Integer, X As Single, Y As Single)
  Dim clickedRow As Long
  If Button <> vbRightButton Then Exit Sub
  clickedRow = DataGrid1.RowContaining(Y)
  If clickedRow < 0 Then Exit Sub
  DataGrid1.Row = clickedRow
  Me.PopupMenu popMenu
End Sub

Private Sub DataGrid1_DblClick()
  Call mnuEdit_Click
End Sub

'选中记录的说明：显示成员和键值，删除确认中用它指明是哪一条
Private Function CurrentRecordName() As String
  CurrentRecordName = "（借阅编号：" & FieldText(listRs.Fields("loanId").Value) & "）"
End Function

'编辑当前记录：编辑窗体按键值读出这条记录
Private Sub mnuEdit_Click()
  If Not HasCurrentRecord() Then Exit Sub
  On Error GoTo EditFailed
  FrmEditLoan.ShowRecord CLng(listRs.Fields("loanId").Value)
  Exit Sub
EditFailed:
  MsgBox "打开借阅记录失败：" & Err.Description, vbExclamation, "错误提示"
End Sub

'删除当前记录：先确认
Private Sub mnuDelete_Click()
  Dim cmd As ADODB.Command
  Dim statementText As String
  statementText = "delete from [Loan] where [loanId] = ?"
  If Not HasCurrentRecord() Then Exit Sub
  If MsgBox("确定要删除借阅记录 " & CurrentRecordName() & " 吗？", vbYesNo + vbQuestion, "删除确认") <> vbYes Then
    Exit Sub
  End If
  On Error GoTo DeleteFailed
  Call check_condatabase
  Set cmd = NewCommand(statementText)
  Call AddLongParameter(cmd, CLng(listRs.Fields("loanId").Value))
  Dim rowsDeleted As Long
  cmd.Execute rowsDeleted
  If rowsDeleted = 0 Then MsgBox "这条借阅记录已经不存在了!", vbExclamation, "错误提示"
  Call LoadList
  Exit Sub
DeleteFailed:
  MsgBox "删除借阅记录失败（可能还有其他记录引用它）：" & Err.Description, vbExclamation, "错误提示"
End Sub

'导出列表中的全部记录到操作员选择的 CSV 文件
Private Sub mnuExport_Click()
  Const CANCELLED_BY_USER As Long = 32755   'cdlCancel
  Dim fileName As String
  Dim headingLine As String
  Dim columnNo As Long
  Dim rowCount As Long
  If listRs Is Nothing Then
    MsgBox "列表中没有可以导出的记录!", vbInformation, "信息提示"
    Exit Sub
  End If
  On Error GoTo NoFileChosen
  CommonDialog1.CancelError = True
  CommonDialog1.DialogTitle = "导出借阅记录"
  CommonDialog1.Filter = "CSV 文件 (*.csv)|*.csv|所有文件 (*.*)|*.*"
  CommonDialog1.FilterIndex = 1
  CommonDialog1.DefaultExt = "csv"
  CommonDialog1.FileName = "借阅记录.csv"
  CommonDialog1.Flags = &H2 Or &H4 Or &H800    '覆盖前提示，隐藏只读选项，路径必须存在
  CommonDialog1.ShowSave
  fileName = CommonDialog1.FileName
  If fileName = "" Then Exit Sub
  On Error GoTo ExportFailed
  headingLine = ""
  For columnNo = 0 To DataGrid1.Columns.Count - 1
    If columnNo > 0 Then headingLine = headingLine & ","
    headingLine = headingLine & CsvField(DataGrid1.Columns(columnNo).Caption)
  Next columnNo
  rowCount = ExportRecordset(listRs, headingLine, fileName)
  MsgBox "已把 " & rowCount & " 条借阅记录导出到 " & fileName, vbInformation, "导出完成"
  Exit Sub
NoFileChosen:
  If Err.Number = CANCELLED_BY_USER Then Exit Sub
  MsgBox "无法打开保存文件的对话框：" & Err.Description, vbExclamation, "错误提示"
  Exit Sub
ExportFailed:
  MsgBox "导出借阅记录失败：" & Err.Description, vbExclamation, "错误提示"
End Sub
