VERSION 5.00
Object = "{86CF1D34-0C5F-11D2-A9FC-0000F8754DA1}#2.0#0"; "MSCOMCT2.OCX"
Object = "{CDE57A40-8B86-11D0-B3C6-00A0C90AEA82}#1.0#0"; "MSDATGRD.OCX"
Object = "{F9043C88-F6F2-101A-A3C9-08002B2F49FB}#1.2#0"; "COMDLG32.OCX"
Begin VB.Form FrmManageReader 
   Caption         =   "读者管理"
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
      Caption         =   "读者列表"
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
            DataField       =   "readerId"
            Caption         =   "读者编号"
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
            DataField       =   "readerName"
            Caption         =   "姓名"
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
            DataField       =   "gender"
            Caption         =   "性别"
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
            DataField       =   "phone"
            Caption         =   "联系电话"
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
            DataField       =   "registerDate"
            Caption         =   "办证日期"
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
      Caption         =   "读者查询"
      Height          =   735
      Left            =   480
      TabIndex        =   0
      Top             =   480
      Width           =   14175
      Begin VB.Label Label1
         Caption         =   "姓名："
         Height          =   255
         Left            =   120
         TabIndex        =   1
         Top             =   360
         Width           =   1215
      End
      Begin VB.TextBox TB_readerName
         Height          =   375
         Left            =   1200
         TabIndex        =   2
         Top             =   240
         Width           =   1815
      End
      Begin VB.Label Label2
         Caption         =   "联系电话："
         Height          =   255
         Left            =   3120
         TabIndex        =   3
         Top             =   360
         Width           =   1215
      End
      Begin VB.TextBox TB_phone
         Height          =   375
         Left            =   4200
         TabIndex        =   4
         Top             =   240
         Width           =   1815
      End
      Begin VB.Label Label3
         Caption         =   "办证日期："
         Height          =   255
         Left            =   6120
         TabIndex        =   5
         Top             =   360
         Width           =   1215
      End
      Begin MSComCtl2.DTPicker DTP_registerDate 
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
      Begin MSComCtl2.DTPicker DTP_registerDateTo 
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
      Begin VB.CheckBox CHB_registerDate 
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
Attribute VB_Name = "FrmManageReader"
Attribute VB_GlobalNameSpace = False
Attribute VB_Creatable = False
Attribute VB_PredeclaredId = True
Attribute VB_Exposed = False
Option Explicit
Dim listRs As ADODB.Recordset   '列表中显示的记录（已断开连接）

Private Sub Form_Load()
  On Error GoTo LoadFailed
  Call condatabase '连接数据库
  Me.DTP_registerDate.Value = Date
  Me.DTP_registerDateTo.Value = Date
  Exit Sub
LoadFailed:
  MsgBox "读取读者的查询列表失败：" & Err.Description, vbExclamation, "错误提示"
End Sub

Private Sub Form_Activate()
  Call ReloadList
End Sub

Private Sub Btn_Query_Click()
  Call LoadList
End Sub

'按查询条件读出读者，显示在列表中
Private Sub LoadList()
  Dim cmd As ADODB.Command
  Dim statementText As String
  On Error GoTo QueryFailed
  Call check_condatabase
  statementText = "select t.[readerId]"
  statementText = statementText & ", t.[readerName]"
  statementText = statementText & ", t.[gender]"
  statementText = statementText & ", t.[phone]"
  statementText = statementText & ", t.[registerDate]"
  statementText = statementText & " from [Reader] t"
  statementText = statementText & " where 1 = 1"
  statementText = statementText & " and (? = 0 or t.[readerName] like ?)"
  statementText = statementText & " and (? = 0 or t.[phone] like ?)"
  statementText = statementText & " and (? = 0 or (t.[registerDate] >= ? and t.[registerDate] < ?))"
  statementText = statementText & " order by t.[readerId]"
  Set cmd = NewCommand(statementText)
  Call AddSwitchParameter(cmd, Me.TB_readerName.Text <> "")
  Call AddStringParameter(cmd, ContainsPattern(Me.TB_readerName.Text))
  Call AddSwitchParameter(cmd, Me.TB_phone.Text <> "")
  Call AddStringParameter(cmd, ContainsPattern(Me.TB_phone.Text))
  Call AddSwitchParameter(cmd, Me.CHB_registerDate.Value = vbChecked)
  Call AddDateParameter(cmd, DateValue(Me.DTP_registerDate.Value))
  Call AddDateParameter(cmd, DateValue(Me.DTP_registerDateTo.Value) + 1)
  Set listRs = New ADODB.Recordset
  listRs.CursorLocation = adUseClient
  listRs.Open cmd, , adOpenStatic, adLockReadOnly
  Set listRs.ActiveConnection = Nothing
  Set DataGrid1.DataSource = listRs
  Call ShowColumnHeads
  Exit Sub
QueryFailed:
  MsgBox "查询读者失败：" & Err.Description, vbExclamation, "错误提示"
End Sub

'列表的标题：各列成员的说明
Private Sub ShowColumnHeads()
  DataGrid1.Columns(0).Caption = "读者编号"
  DataGrid1.Columns(1).Caption = "姓名"
  DataGrid1.Columns(2).Caption = "性别"
  DataGrid1.Columns(3).Caption = "联系电话"
  DataGrid1.Columns(4).Caption = "办证日期"
End Sub

'列表中是否选中了一条记录；没有时提示
Private Function HasCurrentRecord() As Boolean
  HasCurrentRecord = False
  If listRs Is Nothing Then Exit Function
  If listRs.State <> adStateOpen Then Exit Function
  If listRs.BOF Or listRs.EOF Then
    MsgBox "请先在列表中选中要操作的读者!", vbInformation, "信息提示"
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
  If hadRecord Then keptKey1 = listRs.Fields("readerId").Value
  Call LoadList
  If Not hadRecord Then Exit Sub
  If listRs Is Nothing Then Exit Sub
  If listRs.State <> adStateOpen Then Exit Sub
  If listRs.BOF And listRs.EOF Then Exit Sub
  listRs.MoveFirst
  Do Until listRs.EOF
    If listRs.Fields("readerId").Value = keptKey1 Then Exit Sub
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
  CurrentRecordName = "“" & FieldText(listRs.Fields("readerName").Value) & "”（读者编号：" & FieldText(listRs.Fields("readerId").Value) & "）"
End Function

'编辑当前记录：编辑窗体按键值读出这条记录
Private Sub mnuEdit_Click()
  If Not HasCurrentRecord() Then Exit Sub
  On Error GoTo EditFailed
  FrmEditReader.ShowRecord CLng(listRs.Fields("readerId").Value)
  Exit Sub
EditFailed:
  MsgBox "打开读者失败：" & Err.Description, vbExclamation, "错误提示"
End Sub

'删除当前记录：先确认
Private Sub mnuDelete_Click()
  Dim cmd As ADODB.Command
  Dim statementText As String
  statementText = "delete from [Reader] where [readerId] = ?"
  If Not HasCurrentRecord() Then Exit Sub
  If MsgBox("确定要删除读者 " & CurrentRecordName() & " 吗？", vbYesNo + vbQuestion, "删除确认") <> vbYes Then
    Exit Sub
  End If
  On Error GoTo DeleteFailed
  Call check_condatabase
  Set cmd = NewCommand(statementText)
  Call AddLongParameter(cmd, CLng(listRs.Fields("readerId").Value))
  Dim rowsDeleted As Long
  cmd.Execute rowsDeleted
  If rowsDeleted = 0 Then MsgBox "这条读者已经不存在了!", vbExclamation, "错误提示"
  Call LoadList
  Exit Sub
DeleteFailed:
  MsgBox "删除读者失败（可能还有其他记录引用它）：" & Err.Description, vbExclamation, "错误提示"
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
  CommonDialog1.DialogTitle = "导出读者"
  CommonDialog1.Filter = "CSV 文件 (*.csv)|*.csv|所有文件 (*.*)|*.*"
  CommonDialog1.FilterIndex = 1
  CommonDialog1.DefaultExt = "csv"
  CommonDialog1.FileName = "读者.csv"
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
  MsgBox "已把 " & rowCount & " 条读者导出到 " & fileName, vbInformation, "导出完成"
  Exit Sub
NoFileChosen:
  If Err.Number = CANCELLED_BY_USER Then Exit Sub
  MsgBox "无法打开保存文件的对话框：" & Err.Description, vbExclamation, "错误提示"
  Exit Sub
ExportFailed:
  MsgBox "导出读者失败：" & Err.Description, vbExclamation, "错误提示"
End Sub
