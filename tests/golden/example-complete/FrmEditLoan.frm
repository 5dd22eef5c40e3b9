VERSION 5.00
Object = "{3B7C8863-D78F-101B-B9B5-04021C009402}#1.2#0"; "RICHTX32.OCX"
Object = "{86CF1D34-0C5F-11D2-A9FC-0000F8754DA1}#2.0#0"; "MSCOMCT2.OCX"
Begin VB.Form FrmEditLoan 
   Caption         =   "编辑借阅记录"
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
         Caption         =   "编辑借阅记录"
         Height          =   15000
         Left            =   960
         TabIndex        =   1
         Top             =   480
         Width           =   11895
         Begin VB.Label Label1 
            Caption         =   "借阅编号："
            Height          =   495
            Left            =   2880
            TabIndex        =   3
            Top             =   600
            Width           =   1455
         End
         Begin VB.TextBox TB_loanId 
            BackColor       =   &H8000000F&
            Height          =   350
            Left            =   5160
            Locked          =   -1  'True
            TabIndex        =   4
            Top             =   480
            Width           =   3135
         End
         Begin VB.Label Label2
            Caption         =   "借阅图书："
            Height          =   495
            Left            =   2880
            TabIndex        =   6
            Top             =   1200
            Width           =   1335
         End
         Begin VB.ComboBox CB_bookIsbn
            Height          =   300
            Left            =   5160
            TabIndex        =   7
            Text            =   "Combo1"
            Top             =   1080
            Width           =   3135
         End
         Begin VB.Label Label3
            Caption         =   "借阅读者："
            Height          =   495
            Left            =   2880
            TabIndex        =   8
            Top             =   1800
            Width           =   1335
         End
         Begin VB.ComboBox CB_readerId
            Height          =   300
            Left            =   5160
            TabIndex        =   9
            Text            =   "Combo1"
            Top             =   1680
            Width           =   3135
         End
         Begin VB.Label Label4 
            Caption         =   "借出日期："
            Height          =   255
            Left            =   2880
            TabIndex        =   10
            Top             =   2400
            Width           =   1455
         End
         Begin MSComCtl2.DTPicker DTP_loanDate 
            Height          =   375
            Left            =   5160
            TabIndex        =   11
            Top             =   2280
            Width           =   2415
            _ExtentX        =   4260
            _ExtentY        =   661
            _Version        =   393216
            Format          =   13434881
            CurrentDate     =   41840
         End
         Begin VB.Label Label5 
            Caption         =   "应还日期："
            Height          =   255
            Left            =   2880
            TabIndex        =   12
            Top             =   3000
            Width           =   1455
         End
         Begin MSComCtl2.DTPicker DTP_dueDate 
            Height          =   375
            Left            =   5160
            TabIndex        =   13
            Top             =   2880
            Width           =   2415
            _ExtentX        =   4260
            _ExtentY        =   661
            _Version        =   393216
            Format          =   13434881
            CurrentDate     =   41840
         End
         Begin VB.Label Label6
            Caption         =   "备注："
            Height          =   375
            Left            =   2880
            TabIndex        =   14
            Top             =   3600
            Width           =   2175
         End
         Begin RichTextLib.RichTextBox RTB_remark
            Height          =   1335
            Left            =   5160
            TabIndex        =   15
            Top             =   3480
            Width           =   4215
            _ExtentX        =   7435
            _ExtentY        =   2355
            _Version        =   393217
         End
         Begin VB.CommandButton Btn_Update 
            Caption         =   "更新借阅记录"
            Height          =   375
            Left            =   6360
            TabIndex        =   16
            Top             =   5160
            Width           =   1335
         End
      End
   End
End
Attribute VB_Name = "FrmEditLoan"
Attribute VB_GlobalNameSpace = False
Attribute VB_Creatable = False
Attribute VB_PredeclaredId = True
Attribute VB_Exposed = False
Option Explicit
Dim bookIsbns() As String
Dim readerIds() As Long
Dim edit_loanId As Long
Dim shownValues(1 To 5) As Variant

Private Sub Btn_Update_Click()
  Dim cmd As ADODB.Command
  Dim statementText As String
  Dim rowsChanged As Long
  Dim columnsSet As Long
  If ValueChanged(Me.CB_bookIsbn.ListIndex, shownValues(1)) Then
    If Me.CB_bookIsbn.ListIndex < 0 Then
      MsgBox "请选择借阅图书!", vbInformation, "信息提示"
      Me.CB_bookIsbn.SetFocus
      Exit Sub
    End If
  End If
  If ValueChanged(Me.CB_readerId.ListIndex, shownValues(2)) Then
    If Me.CB_readerId.ListIndex < 0 Then
      MsgBox "请选择借阅读者!", vbInformation, "信息提示"
      Me.CB_readerId.SetFocus
      Exit Sub
    End If
  End If
  If ValueChanged(Me.RTB_remark.Text, shownValues(5)) Then
    If Not TextFits(Me.RTB_remark.Text, 300, True) Then
      MsgBox "备注不能超过300个字节（一个汉字占两个字节）!", vbInformation, "信息提示"
      Me.RTB_remark.SetFocus
      Exit Sub
    End If
  End If
  columnsSet = 0
  statementText = "update [Loan] set"
  If ValueChanged(Me.CB_bookIsbn.ListIndex, shownValues(1)) Then
    statementText = statementText & " [bookIsbn] = ?"
    columnsSet = columnsSet + 1
  End If
  If ValueChanged(Me.CB_readerId.ListIndex, shownValues(2)) Then
    If columnsSet > 0 Then
      statementText = statementText & ","
    End If
    statementText = statementText & " [readerId] = ?"
    columnsSet = columnsSet + 1
  End If
  If ValueChanged(Me.DTP_loanDate.Value, shownValues(3)) Then
    If columnsSet > 0 Then
      statementText = statementText & ","
    End If
    statementText = statementText & " [loanDate] = ?"
    columnsSet = columnsSet + 1
  End If
  If ValueChanged(Me.DTP_dueDate.Value, shownValues(4)) Then
    If columnsSet > 0 Then
      statementText = statementText & ","
    End If
    statementText = statementText & " [dueDate] = ?"
    columnsSet = columnsSet + 1
  End If
  If ValueChanged(Me.RTB_remark.Text, shownValues(5)) Then
    If columnsSet > 0 Then
      statementText = statementText & ","
    End If
    statementText = statementText & " [remark] = ?"
    columnsSet = columnsSet + 1
  End If
  If columnsSet = 0 Then
    MsgBox "借阅记录没有修改任何内容，不需要保存。", vbInformation, "信息提示"
    Exit Sub
  End If
  statementText = statementText & " where [loanId] = ?"
  On Error GoTo SaveFailed
  Call check_condatabase
  Set cmd = NewCommand(statementText)
  If ValueChanged(Me.CB_bookIsbn.ListIndex, shownValues(1)) Then
    Call AddColumnTextParameter(cmd, bookIsbns(Me.CB_bookIsbn.ListIndex + 1), False, 20, False)
  End If
  If ValueChanged(Me.CB_readerId.ListIndex, shownValues(2)) Then
    Call AddLongParameter(cmd, readerIds(Me.CB_readerId.ListIndex + 1))
  End If
  If ValueChanged(Me.DTP_loanDate.Value, shownValues(3)) Then
    Call AddPickedDateParameter(cmd, Me.DTP_loanDate.Value)
  End If
  If ValueChanged(Me.DTP_dueDate.Value, shownValues(4)) Then
    Call AddPickedDateParameter(cmd, Me.DTP_dueDate.Value)
  End If
  If ValueChanged(Me.RTB_remark.Text, shownValues(5)) Then
    Call AddColumnTextParameter(cmd, Me.RTB_remark.Text, False, 300, False)
  End If
  Call AddLongParameter(cmd, edit_loanId)
  cmd.Execute rowsChanged
  If rowsChanged = 0 Then
    MsgBox "这条借阅记录已经不存在了!", vbExclamation, "错误提示"
  Else
    MsgBox "借阅记录更新成功!"
  End If
  Unload Me
  Exit Sub
SaveFailed:
  MsgBox "借阅记录保存失败：" & Err.Description, vbExclamation, "错误提示"
End Sub

'显示由键值 key_loanId 指定的借阅记录：读出记录，填入各控件，再显示窗体
Public Sub ShowRecord(ByVal key_loanId As Long)
  Dim rs As ADODB.Recordset
  Dim i As Long
  Dim cmd As ADODB.Command
  Dim statementText As String
  On Error GoTo ShowFailed
  edit_loanId = key_loanId
  Call check_condatabase
  statementText = "select * from [Loan]"
  statementText = statementText & " where [loanId] = ?"
  Set cmd = NewCommand(statementText)
  Call AddLongParameter(cmd, key_loanId)
  Set rs = cmd.Execute
  If rs.EOF Then
    rs.Close
    MsgBox "这条借阅记录已经不存在了!", vbExclamation, "错误提示"
    Unload Me
    Exit Sub
  End If
  Me.TB_loanId.Text = FieldText(rs.Fields("loanId").Value)
  Me.CB_bookIsbn.ListIndex = -1
  If Not IsNull(rs.Fields("bookIsbn").Value) Then
    For i = 1 To UBound(bookIsbns)
      If bookIsbns(i) = rs.Fields("bookIsbn").Value Then
        Me.CB_bookIsbn.ListIndex = i - 1
        Exit For
      End If
    Next i
  End If
  Me.CB_readerId.ListIndex = -1
  If Not IsNull(rs.Fields("readerId").Value) Then
    For i = 1 To UBound(readerIds)
      If readerIds(i) = rs.Fields("readerId").Value Then
        Me.CB_readerId.ListIndex = i - 1
        Exit For
      End If
    Next i
  End If
  If Not IsNull(rs.Fields("loanDate").Value) Then
    Me.DTP_loanDate.Value = rs.Fields("loanDate").Value
  End If
  If Not IsNull(rs.Fields("dueDate").Value) Then
    Me.DTP_dueDate.Value = rs.Fields("dueDate").Value
  End If
  Me.RTB_remark.Text = FieldText(rs.Fields("remark").Value)
  rs.Close
  shownValues(1) = Me.CB_bookIsbn.ListIndex
  shownValues(2) = Me.CB_readerId.ListIndex
  shownValues(3) = Me.DTP_loanDate.Value
  shownValues(4) = Me.DTP_dueDate.Value
  shownValues(5) = Me.RTB_remark.Text
  Me.Show
  Me.ZOrder 0
  Exit Sub
ShowFailed:
  MsgBox "读取借阅记录失败：" & Err.Description & vbCrLf & "请检查数据库连接后再试。", vbExclamation, "错误提示"
  Unload Me
End Sub

Private Sub Form_Load()
  On Error GoTo LoadFailed
  Call condatabase '连接数据库
  Dim rs As ADODB.Recordset
  Dim statementText As String
  Dim entryNo As Long
  statementText = "select [isbn], [title] from [Book] order by [title]"
  Set rs = NewCommand(statementText).Execute
  Me.CB_bookIsbn.Clear
  ReDim bookIsbns(0)
  entryNo = 0
  Do Until rs.EOF
    entryNo = entryNo + 1
    ReDim Preserve bookIsbns(entryNo)
    bookIsbns(entryNo) = FieldText(rs.Fields(0).Value)
    Me.CB_bookIsbn.AddItem EntryLabel(rs.Fields(0).Value, rs.Fields(1).Value)
    rs.MoveNext
  Loop
  rs.Close
  statementText = "select [readerId], [readerName] from [Reader] order by [readerName]"
  Set rs = NewCommand(statementText).Execute
  Me.CB_readerId.Clear
  ReDim readerIds(0)
  entryNo = 0
  Do Until rs.EOF
    entryNo = entryNo + 1
    ReDim Preserve readerIds(entryNo)
    readerIds(entryNo) = CLng(rs.Fields(0).Value)
    Me.CB_readerId.AddItem EntryLabel(rs.Fields(0).Value, rs.Fields(1).Value)
    rs.MoveNext
  Loop
  rs.Close
  Exit Sub
LoadFailed:
  MsgBox "打开编辑借阅记录窗体时读取数据失败：" & Err.Description & vbCrLf & "请检查数据库连接后再打开。", vbExclamation, "错误提示"
End Sub

Private Sub VScroll1_Change()
    Picture1.Top = -VScroll1.Value
End Sub
