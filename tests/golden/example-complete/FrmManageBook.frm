VERSION 5.00
Object = "{86CF1D34-0C5F-11D2-A9FC-0000F8754DA1}#2.0#0"; "MSCOMCT2.OCX"
Object = "{CDE57A40-8B86-11D0-B3C6-00A0C90AEA82}#1.0#0"; "MSDATGRD.OCX"
Object = "{F9043C88-F6F2-101A-A3C9-08002B2F49FB}#1.2#0"; "COMDLG32.OCX"
Begin VB.Form FrmManageBook 
   Caption         =   "图书管理"
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
      Caption         =   "图书列表"
      Height          =   6255
      Left            =   480
      TabIndex        =   1000
      Top             =   1920
      Width           =   14175
      Begin MSDataGridLib.DataGrid DataGrid1 
         Height          =   5775
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
         ColumnCount     =   7
         BeginProperty Column00 
            DataField       =   "isbn"
            Caption         =   "ISBN编号"
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
            DataField       =   "title"
            Caption         =   "书名"
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
            DataField       =   "author"
            Caption         =   "作者"
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
            DataField       =   "publisher"
            Caption         =   "出版社"
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
            DataField       =   "publishDate"
            Caption         =   "出版日期"
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
         BeginProperty Column05
            DataField       =   "price"
            Caption         =   "定价(元)"
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
         BeginProperty Column06
            DataField       =   "copies"
            Caption         =   "馆藏册数"
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
            BeginProperty Column05
            EndProperty
            BeginProperty Column06
            EndProperty
         EndProperty
      End
   End
   Begin VB.Frame Frame1 
      Caption         =   "图书查询"
      Height          =   1335
      Left            =   480
      TabIndex        =   0
      Top             =   480
      Width           =   14175
      Begin VB.Label Label1
         Caption         =   "ISBN编号："
         Height          =   255
         Left            =   120
         TabIndex        =   1
         Top             =   360
         Width           =   1215
      End
      Begin VB.TextBox TB_isbn
         Height          =   375
         Left            =   1200
         TabIndex        =   2
         Top             =   240
         Width           =   1815
      End
      Begin VB.Label Label2
         Caption         =   "书名："
         Height          =   255
         Left            =   3120
         TabIndex        =   3
         Top             =   360
         Width           =   1215
      End
      Begin VB.TextBox TB_title
         Height          =   375
         Left            =   4200
         TabIndex        =   4
         Top             =   240
         Width           =   1815
      End
      Begin VB.Label Label3
         Caption         =   "作者："
         Height          =   255
         Left            =   6120
         TabIndex        =   5
         Top             =   360
         Width           =   1215
      End
      Begin VB.TextBox TB_author
         Height          =   375
         Left            =   7200
         TabIndex        =   6
         Top             =   240
         Width           =   1815
      End
      Begin VB.Label Label4
         Caption         =   "出版社："
         Height          =   255
         Left            =   9120
         TabIndex        =   7
         Top             =   360
         Width           =   1215
      End
      Begin VB.TextBox TB_publisher
         Height          =   375
         Left            =   10200
         TabIndex        =   8
         Top             =   240
         Width           =   1815
      End
      Begin VB.Label Label5
         Caption         =   "出版日期："
         Height          =   255
         Left            =   120
         TabIndex        =   9
         Top             =   960
         Width           =   1215
      End
      Begin MSComCtl2.DTPicker DTP_publishDate 
         Height          =   255
         Left            =   960
         TabIndex        =   10
         Top             =   780
         Width           =   1335
         _ExtentX        =   2355
         _ExtentY        =   450
         _Version        =   393216
         Format          =   107544577
         CurrentDate     =   41857
      End
      Begin MSComCtl2.DTPicker DTP_publishDateTo 
         Height          =   255
         Left            =   960
         TabIndex        =   11
         Top             =   1050
         Width           =   1335
         _ExtentX        =   2355
         _ExtentY        =   450
         _Version        =   393216
         Format          =   107544577
         CurrentDate     =   41857
      End
      Begin VB.CheckBox CHB_publishDate 
         Caption         =   "启用"
         Height          =   255
         Left            =   2280
         TabIndex        =   12
         Top             =   960
         Width           =   735
      End
      Begin VB.CommandButton Btn_Query
         Caption         =   "查询"
         Height          =   375
         Left            =   12480
         TabIndex        =   13
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
Attribute VB_Name = "FrmManageBook"
Attribute VB_GlobalNameSpace = False
Attribute VB_Creatable = False
Attribute VB_PredeclaredId = True
Attribute VB_Exposed = False
Option Explicit
Dim listRs As ADODB.Recordset   '列表中显示的记录（已断开连接）

Private Sub Form_Load()
  On Error GoTo LoadFailed
  Call condatabase '连接数据库
  Me.DTP_publishDate.Value = Date
  Me.DTP_publishDateTo.Value = Date
  Exit Sub
LoadFailed:
  MsgBox "读取图书的查询列表失败：" & Err.Description, vbExclamation, "错误提示"
End Sub

Private Sub Form_Activate()
  Call ReloadList
End Sub

Private Sub Btn_Query_Click()
  Call LoadList
End Sub

'按查询条件读出图书，显示在列表中
Private Sub LoadList()
  Dim cmd As ADODB.Command
  Dim statementText As String
  On Error GoTo QueryFailed
  Call check_condatabase
  statementText = "select t.[isbn]"
  statementText = statementText & ", t.[title]"
  statementText = statementText & ", t.[author]"
  statementText = statementText & ", t.[publisher]"
  statementText = statementText & ", t.[publishDate]"
  statementText = statementText & ", t.[price]"
  statementText = statementText & ", t.[copies]"
  statementText = statementText & " from [Book] t"
  statementText = statementText & " where 1 = 1"
  statementText = statementText & " and (? = 0 or t.[isbn] like ?)"
  statementText = statementText & " and (? = 0 or t.[title] like ?)"
  statementText = statementText & " and (? = 0 or t.[author] like ?)"
  statementText = statementText & " and (? = 0 or t.[publisher] like ?)"
  statementText = statementText & " and (? = 0 or (t.[publishDate] >= ? and t.[publishDate] < ?))"
  statementText = statementText & " order by t.[isbn]"
  Set cmd = NewCommand(statementText)
  Call AddSwitchParameter(cmd, Me.TB_isbn.Text <> "")
  Call AddStringParameter(cmd, ContainsPattern(Me.TB_isbn.Text))
  Call AddSwitchParameter(cmd, Me.TB_title.Text <> "")
  Call AddStringParameter(cmd, ContainsPattern(Me.TB_title.Text))
  Call AddSwitchParameter(cmd, Me.TB_author.Text <> "")
  Call AddStringParameter(cmd, ContainsPattern(Me.TB_author.Text))
  Call AddSwitchParameter(cmd, Me.TB_publisher.Text <> "")
  Call AddStringParameter(cmd, ContainsPattern(Me.TB_publisher.Text))
  Call AddSwitchParameter(cmd, Me.CHB_publishDate.Value = vbChecked)
  Call AddDateParameter(cmd, DateValue(Me.DTP_publishDate.Value))
  Call AddDateParameter(cmd, DateValue(Me.DTP_publishDateTo.Value) + 1)
  Set listRs = New ADODB.Recordset
  listRs.CursorLocation = adUseClient
  listRs.Open cmd, , adOpenStatic, adLockReadOnly
  Set listRs.ActiveConnection = Nothing
  Set DataGrid1.DataSource = listRs
  Call ShowColumnHeads
  Exit Sub
QueryFailed:
  MsgBox "查询图书失败：" & Err.Description, vbExclamation, "错误提示"
End Sub

'列表的标题：各列成员的说明
Private Sub ShowColumnHeads()
  DataGrid1.Columns(0).Caption = "ISBN编号"
  DataGrid1.Columns(1).Caption = "书名"
  DataGrid1.Columns(2).Caption = "作者"
  DataGrid1.Columns(3).Caption = "出版社"
  DataGrid1.Columns(4).Caption = "出版日期"
  DataGrid1.Columns(5).Caption = "定价(元)"
  DataGrid1.Columns(6).Caption = "馆藏册数"
End Sub

'列表中是否选中了一条记录；没有时提示
Private Function HasCurrentRecord() As Boolean
  HasCurrentRecord = False
  If listRs Is Nothing Then Exit Function
  If listRs.State <> adStateOpen Then Exit Function
  If listRs.BOF Or listRs.EOF Then
    MsgBox "请先在列表中选中要操作的图书!", vbInformation, "信息提示"
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
  If hadRecord Then keptKey1 = listRs.Fields("isbn").Value
  Call LoadList
  If Not hadRecord Then Exit Sub
  If listRs Is Nothing Then Exit Sub
  If listRs.State <> adStateOpen Then Exit Sub
  If listRs.BOF And listRs.EOF Then Exit Sub
  listRs.MoveFirst
  Do Until listRs.EOF
    If listRs.Fields("isbn").Value = keptKey1 Then Exit Sub
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
  CurrentRecordName = "“" & FieldText(listRs.Fields("title").Value) & "”（ISBN编号：" & FieldText(listRs.Fields("isbn").Value) & "）"
End Function

'编辑当前记录：编辑窗体按键值读出这条记录
Private Sub mnuEdit_Click()
  If Not HasCurrentRecord() Then Exit Sub
  On Error GoTo EditFailed
  FrmEditBook.ShowRecord FieldText(listRs.Fields("isbn").Value)
  Exit Sub
EditFailed:
  MsgBox "打开图书失败：" & Err.Description, vbExclamation, "错误提示"
End Sub

'删除当前记录：先确认
Private Sub mnuDelete_Click()
  Dim cmd As ADODB.Command
  Dim statementText As String
  statementText = "delete from [Book] where [isbn] = ?"
  If Not HasCurrentRecord() Then Exit Sub
  If MsgBox("确定要删除图书 " & CurrentRecordName() & " 吗？", vbYesNo + vbQuestion, "删除确认") <> vbYes Then
    Exit Sub
  End If
  On Error GoTo DeleteFailed
  Call check_condatabase
  Set cmd = NewCommand(statementText)
  Call AddKeyTextParameter(cmd, FieldText(listRs.Fields("isbn").Value))
  Dim rowsDeleted As Long
  cmd.Execute rowsDeleted
  If rowsDeleted = 0 Then MsgBox "这条图书已经不存在了!", vbExclamation, "错误提示"
  Call LoadList
  Exit Sub
DeleteFailed:
  MsgBox "删除图书失败（可能还有其他记录引用它）：" & Err.Description, vbExclamation, "错误提示"
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
  CommonDialog1.DialogTitle = "导出图书"
  CommonDialog1.Filter = "CSV 文件 (*.csv)|*.csv|所有文件 (*.*)|*.*"
  CommonDialog1.FilterIndex = 1
  CommonDialog1.DefaultExt = "csv"
  CommonDialog1.FileName = "图书.csv"
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
  MsgBox "已把 " & rowCount & " 条图书导出到 " & fileName, vbInformation, "导出完成"
  Exit Sub
NoFileChosen:
  If Err.Number = CANCELLED_BY_USER Then Exit Sub
  MsgBox "无法打开保存文件的对话框：" & Err.Description, vbExclamation, "错误提示"
  Exit Sub
ExportFailed:
  MsgBox "导出图书失败：" & Err.Description, vbExclamation, "错误提示"
End Sub
