VERSION 5.00
Object = "{3B7C8863-D78F-101B-B9B5-04021C009402}#1.2#0"; "RICHTX32.OCX"
Object = "{86CF1D34-0C5F-11D2-A9FC-0000F8754DA1}#2.0#0"; "MSCOMCT2.OCX"
Begin VB.Form FrmAddLoan 
   Caption         =   "添加借阅记录"
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
         Caption         =   "添加借阅记录"
         Height          =   15000
         Left            =   960
         TabIndex        =   1
         Top             =   480
         Width           =   11895
         Begin VB.Label Label1
            Caption         =   "借阅图书："
            Height          =   495
            Left            =   2880
            TabIndex        =   3
            Top             =   600
            Width           =   1335
         End
         Begin VB.ComboBox CB_bookIsbn
            Height          =   300
            Left            =   5160
            TabIndex        =   4
            Text            =   "Combo1"
            Top             =   480
            Width           =   3135
         End
         Begin VB.Label Label2
            Caption         =   "借阅读者："
            Height          =   495
            Left            =   2880
            TabIndex        =   5
            Top             =   1200
            Width           =   1335
         End
         Begin VB.ComboBox CB_readerId
            Height          =   300
            Left            =   5160
            TabIndex        =   6
            Text            =   "Combo1"
            Top             =   1080
            Width           =   3135
         End
         Begin VB.Label Label3 
            Caption         =   "借出日期："
            Height          =   255
            Left            =   2880
            TabIndex        =   7
            Top             =   1800
            Width           =   1455
         End
         Begin MSComCtl2.DTPicker DTP_loanDate 
            Height          =   375
            Left            =   5160
            TabIndex        =   8
            Top             =   1680
            Width           =   2415
            _ExtentX        =   4260
            _ExtentY        =   661
            _Version        =   393216
            Format          =   13434881
            CurrentDate     =   41840
         End
         Begin VB.Label Label4 
            Caption         =   "应还日期："
            Height          =   255
            Left            =   2880
            TabIndex        =   9
            Top             =   2400
            Width           =   1455
         End
         Begin MSComCtl2.DTPicker DTP_dueDate 
            Height          =   375
            Left            =   5160
            TabIndex        =   10
            Top             =   2280
            Width           =   2415
            _ExtentX        =   4260
            _ExtentY        =   661
            _Version        =   393216
            Format          =   13434881
            CurrentDate     =   41840
         End
         Begin VB.Label Label5
            Caption         =   "备注："
            Height          =   375
            Left            =   2880
            TabIndex        =   11
            Top             =   3000
            Width           =   2175
         End
         Begin RichTextLib.RichTextBox RTB_remark
            Height          =   1335
            Left            =   5160
            TabIndex        =   12
            Top             =   2880
            Width           =   4215
            _ExtentX        =   7435
            _ExtentY        =   2355
            _Version        =   393217
         End
         Begin VB.CommandButton Btn_Add 
            Caption         =   "添加借阅记录"
            Height          =   375
            Left            =   6360
            TabIndex        =   13
            Top             =   4560
            Width           =   1335
         End
      End
   End
End
Attribute VB_Name = "FrmAddLoan"
Attribute VB_GlobalNameSpace = False
Attribute VB_Creatable = False
Attribute VB_PredeclaredId = True
Attribute VB_Exposed = False
Option Explicit
Dim bookIsbns() As String
Dim readerIds() As Long

Private Sub Btn_Add_Click()
  Dim cmd As ADODB.Command
  Dim statementText As String
  If Me.CB_bookIsbn.ListIndex < 0 Then
    MsgBox "请选择借阅图书!", vbInformation, "信息提示"
    Me.CB_bookIsbn.SetFocus
    Exit Sub
  End If
  If Me.CB_readerId.ListIndex < 0 Then
    MsgBox "请选择借阅读者!", vbInformation, "信息提示"
    Me.CB_readerId.SetFocus
    Exit Sub
  End If
  If Not TextFits(Me.RTB_remark.Text, 300, True) Then
    MsgBox "备注不能超过300个字节（一个汉字占两个字节）!", vbInformation, "信息提示"
    Me.RTB_remark.SetFocus
    Exit Sub
  End If
  On Error GoTo SaveFailed
  Call check_condatabase
  statementText = "insert into [Loan] ([bookIsbn]"
  statementText = statementText & ", [readerId]"
  statementText = statementText & ", [loanDate]"
  statementText = statementText & ", [dueDate]"
  statementText = statementText & ", [remark]"
  statementText = statementText & ") values (?, ?, ?, ?, ?)"
  Set cmd = NewCommand(statementText)
  Call AddColumnTextParameter(cmd, bookIsbns(Me.CB_bookIsbn.ListIndex + 1), False, 20, False)
  Call AddLongParameter(cmd, readerIds(Me.CB_readerId.ListIndex + 1))
  Call AddPickedDateParameter(cmd, Me.DTP_loanDate.Value)
  Call AddPickedDateParameter(cmd, Me.DTP_dueDate.Value)
  Call AddColumnTextParameter(cmd, Me.RTB_remark.Text, False, 300, False)
  cmd.Execute
  MsgBox "借阅记录添加成功!"
  Unload Me
  Exit Sub
SaveFailed:
  MsgBox "借阅记录保存失败：" & Err.Description, vbExclamation, "错误提示"
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
  If Me.CB_bookIsbn.ListCount > 0 Then
    Me.CB_bookIsbn.ListIndex = 0
  End If
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
  If Me.CB_readerId.ListCount > 0 Then
    Me.CB_readerId.ListIndex = 0
  End If
  Me.DTP_loanDate.Value = Date
  Me.DTP_dueDate.Value = Date
  Exit Sub
LoadFailed:
  MsgBox "打开添加借阅记录窗体时读取数据失败：" & Err.Description & vbCrLf & "请检查数据库连接后再打开。", vbExclamation, "错误提示"
End Sub

Private Sub VScroll1_Change()
    Picture1.Top = -VScroll1.Value
End Sub
