VERSION 5.00
Object = "{3B7C8863-D78F-101B-B9B5-04021C009402}#1.2#0"; "RICHTX32.OCX"
Object = "{86CF1D34-0C5F-11D2-A9FC-0000F8754DA1}#2.0#0"; "MSCOMCT2.OCX"
Begin VB.Form FrmAddEmployee 
   Caption         =   "添加雇员"
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
         Caption         =   "添加雇员"
         Height          =   15000
         Left            =   960
         TabIndex        =   1
         Top             =   480
         Width           =   11895
         Begin VB.Label Label1
            Caption         =   "姓："
            Height          =   375
            Left            =   2880
            TabIndex        =   3
            Top             =   600
            Width           =   2175
         End
         Begin VB.TextBox TB_lastName
            Height          =   350
            Left            =   5160
            TabIndex        =   4
            Top             =   480
            Width           =   3135
         End
         Begin VB.Label Label2
            Caption         =   "上级："
            Height          =   495
            Left            =   2880
            TabIndex        =   5
            Top             =   1200
            Width           =   1335
         End
         Begin VB.ComboBox CB_reportsTo
            Height          =   300
            Left            =   5160
            TabIndex        =   6
            Text            =   "Combo1"
            Top             =   1080
            Width           =   3135
         End
         Begin VB.Label Label3 
            Caption         =   "出生日期："
            Height          =   255
            Left            =   2880
            TabIndex        =   7
            Top             =   1800
            Width           =   1455
         End
         Begin MSComCtl2.DTPicker DTP_birthDate 
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
            Caption         =   "雇用日期："
            Height          =   255
            Left            =   2880
            TabIndex        =   9
            Top             =   2400
            Width           =   1455
         End
         Begin MSComCtl2.DTPicker DTP_hireDate
            Height          =   375
            Left            =   5160
            TabIndex        =   10
            Top             =   2280
            Width           =   2415
            _ExtentX        =   4260
            _ExtentY        =   661
            _Version        =   393216
            CheckBox        =   -1  'True
            Format          =   13434881
            CurrentDate     =   41840
         End
         Begin VB.CommandButton Btn_Add 
            Caption         =   "添加雇员"
            Height          =   375
            Left            =   6360
            TabIndex        =   11
            Top             =   3000
            Width           =   1335
         End
      End
   End
End
Attribute VB_Name = "FrmAddEmployee"
Attribute VB_GlobalNameSpace = False
Attribute VB_Creatable = False
Attribute VB_PredeclaredId = True
Attribute VB_Exposed = False
Option Explicit
Dim reportsTos() As Long

Private Sub Btn_Add_Click()
  Dim cmd As ADODB.Command
  Dim statementText As String
  If Trim$(Me.TB_lastName.Text) = "" Then
    MsgBox "请输入姓!", vbInformation, "信息提示"
    Me.TB_lastName.SetFocus
    Exit Sub
  End If
  If Not TextFits(Me.TB_lastName.Text, 20, False) Then
    MsgBox "姓不能超过20个字符!", vbInformation, "信息提示"
    Me.TB_lastName.SetFocus
    Exit Sub
  End If
  On Error GoTo SaveFailed
  Call check_condatabase
  statementText = "insert into [Employee] ([lastName]"
  statementText = statementText & ", [reportsTo]"
  statementText = statementText & ", [birthDate]"
  statementText = statementText & ", [hireDate]"
  statementText = statementText & ") values (?, ?, ?, ?)"
  Set cmd = NewCommand(statementText)
  Call AddColumnTextParameter(cmd, Me.TB_lastName.Text, True, 20, False)
  If Me.CB_reportsTo.ListIndex < 0 Then
    Call AddNullParameter(cmd, adInteger)
  Else
    Call AddLongParameter(cmd, reportsTos(Me.CB_reportsTo.ListIndex + 1))
  End If
  Call AddPickedDateParameter(cmd, Me.DTP_birthDate.Value)
  Call AddPickedDateParameter(cmd, Me.DTP_hireDate.Value)
  cmd.Execute
  MsgBox "雇员添加成功!"
  Unload Me
  Exit Sub
SaveFailed:
  MsgBox "雇员保存失败：" & Err.Description, vbExclamation, "错误提示"
End Sub

Private Sub Form_Load()
  On Error GoTo LoadFailed
  Call condatabase '连接数据库
  Dim rs As ADODB.Recordset
  Dim statementText As String
  Dim entryNo As Long
  statementText = "select [employeeId], [lastName] from [Employee] order by [lastName]"
  Set rs = NewCommand(statementText).Execute
  Me.CB_reportsTo.Clear
  ReDim reportsTos(0)
  entryNo = 0
  Do Until rs.EOF
    entryNo = entryNo + 1
    ReDim Preserve reportsTos(entryNo)
    reportsTos(entryNo) = CLng(rs.Fields(0).Value)
    Me.CB_reportsTo.AddItem EntryLabel(rs.Fields(0).Value, rs.Fields(1).Value)
    rs.MoveNext
  Loop
  rs.Close
  Me.CB_reportsTo.Text = ""
  Me.DTP_birthDate.Value = Date
  Me.DTP_hireDate.Value = Date
  Me.DTP_hireDate.Value = Null
  Exit Sub
LoadFailed:
  MsgBox "打开添加雇员窗体时读取数据失败：" & Err.Description & vbCrLf & "请检查数据库连接后再打开。", vbExclamation, "错误提示"
End Sub

Private Sub VScroll1_Change()
    Picture1.Top = -VScroll1.Value
End Sub
