VERSION 5.00
Object = "{3B7C8863-D78F-101B-B9B5-04021C009402}#1.2#0"; "RICHTX32.OCX"
Object = "{86CF1D34-0C5F-11D2-A9FC-0000F8754DA1}#2.0#0"; "MSCOMCT2.OCX"
Begin VB.Form FrmAddOrders 
   Caption         =   "添加订单"
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
         Caption         =   "添加订单"
         Height          =   15000
         Left            =   960
         TabIndex        =   1
         Top             =   480
         Width           =   11895
         Begin VB.Label Label1
            Caption         =   "收货人："
            Height          =   375
            Left            =   2880
            TabIndex        =   3
            Top             =   600
            Width           =   2175
         End
         Begin VB.TextBox TB_shipName
            Height          =   350
            Left            =   5160
            TabIndex        =   4
            Top             =   480
            Width           =   3135
         End
         Begin VB.Label Label2
            Caption         =   "经手雇员："
            Height          =   495
            Left            =   2880
            TabIndex        =   5
            Top             =   1200
            Width           =   1335
         End
         Begin VB.ComboBox CB_employeeId
            Height          =   300
            Left            =   5160
            TabIndex        =   6
            Text            =   "Combo1"
            Top             =   1080
            Width           =   3135
         End
         Begin VB.Label Label3 
            Caption         =   "订购日期："
            Height          =   255
            Left            =   2880
            TabIndex        =   7
            Top             =   1800
            Width           =   1455
         End
         Begin MSComCtl2.DTPicker DTP_orderDate 
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
            Caption         =   "发货日期："
            Height          =   255
            Left            =   2880
            TabIndex        =   9
            Top             =   2400
            Width           =   1455
         End
         Begin MSComCtl2.DTPicker DTP_shippedDate
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
         Begin VB.Label Label5
            Caption         =   "运费："
            Height          =   495
            Left            =   2880
            TabIndex        =   11
            Top             =   3000
            Width           =   1215
         End
         Begin VB.TextBox TB_freight
            Height          =   350
            Left            =   5160
            TabIndex        =   12
            Top             =   2880
            Width           =   2415
         End
         Begin VB.Label Label6
            Caption         =   "备注："
            Height          =   375
            Left            =   2880
            TabIndex        =   13
            Top             =   3600
            Width           =   2175
         End
         Begin RichTextLib.RichTextBox RTB_note
            Height          =   1335
            Left            =   5160
            TabIndex        =   14
            Top             =   3480
            Width           =   4215
            _ExtentX        =   7435
            _ExtentY        =   2355
            _Version        =   393217
         End
         Begin VB.CommandButton Btn_Add 
            Caption         =   "添加订单"
            Height          =   375
            Left            =   6360
            TabIndex        =   15
            Top             =   5160
            Width           =   1335
         End
      End
   End
End
Attribute VB_Name = "FrmAddOrders"
Attribute VB_GlobalNameSpace = False
Attribute VB_Creatable = False
Attribute VB_PredeclaredId = True
Attribute VB_Exposed = False
Option Explicit
Dim employeeIds() As Long

Private Sub Btn_Add_Click()
  Dim cmd As ADODB.Command
  Dim statementText As String
  If Not TextFits(Me.TB_shipName.Text, 40, True) Then
    MsgBox "收货人不能超过40个字节（一个汉字占两个字节）!", vbInformation, "信息提示"
    Me.TB_shipName.SetFocus
    Exit Sub
  End If
  If Me.CB_employeeId.ListIndex < 0 Then
    MsgBox "请选择经手雇员!", vbInformation, "信息提示"
    Me.CB_employeeId.SetFocus
    Exit Sub
  End If
  If Trim$(Me.TB_freight.Text) <> "" And Not NumberFits(Me.TB_freight.Text, 15, 4) Then
    MsgBox "运费应是数字：整数部分至多15位，小数部分至多4位!", vbInformation, "信息提示"
    Me.TB_freight.SetFocus
    Exit Sub
  End If
  If Not TextFits(Me.RTB_note.Text, 200, True) Then
    MsgBox "备注不能超过200个字节（一个汉字占两个字节）!", vbInformation, "信息提示"
    Me.RTB_note.SetFocus
    Exit Sub
  End If
  On Error GoTo SaveFailed
  Call check_condatabase
  statementText = "insert into [Orders] ([shipName]"
  statementText = statementText & ", [employeeId]"
  statementText = statementText & ", [orderDate]"
  statementText = statementText & ", [shippedDate]"
  statementText = statementText & ", [freight]"
  statementText = statementText & ", [note]"
  statementText = statementText & ") values (?, ?, ?, ?, ?, ?)"
  Set cmd = NewCommand(statementText)
  Call AddColumnTextParameter(cmd, Me.TB_shipName.Text, False, 40, False)
  Call AddLongParameter(cmd, employeeIds(Me.CB_employeeId.ListIndex + 1))
  Call AddPickedDateParameter(cmd, Me.DTP_orderDate.Value)
  Call AddPickedDateParameter(cmd, Me.DTP_shippedDate.Value)
  Call AddFixedNumberParameter(cmd, Me.TB_freight.Text, 19, 4, True)
  Call AddColumnTextParameter(cmd, Me.RTB_note.Text, False, 200, True)
  cmd.Execute
  MsgBox "订单添加成功!"
  Unload Me
  Exit Sub
SaveFailed:
  MsgBox "订单保存失败：" & Err.Description, vbExclamation, "错误提示"
End Sub

Private Sub Form_Load()
  On Error GoTo LoadFailed
  Call condatabase '连接数据库
  Dim rs As ADODB.Recordset
  Dim statementText As String
  Dim entryNo As Long
  statementText = "select [employeeId], [lastName] from [Employee] order by [lastName]"
  Set rs = NewCommand(statementText).Execute
  Me.CB_employeeId.Clear
  ReDim employeeIds(0)
  entryNo = 0
  Do Until rs.EOF
    entryNo = entryNo + 1
    ReDim Preserve employeeIds(entryNo)
    employeeIds(entryNo) = CLng(rs.Fields(0).Value)
    Me.CB_employeeId.AddItem EntryLabel(rs.Fields(0).Value, rs.Fields(1).Value)
    rs.MoveNext
  Loop
  rs.Close
  If Me.CB_employeeId.ListCount > 0 Then
    Me.CB_employeeId.ListIndex = 0
  End If
  Me.DTP_orderDate.Value = Date
  Me.DTP_shippedDate.Value = Date
  Me.DTP_shippedDate.Value = Null
  Exit Sub
LoadFailed:
  MsgBox "打开添加订单窗体时读取数据失败：" & Err.Description & vbCrLf & "请检查数据库连接后再打开。", vbExclamation, "错误提示"
End Sub

Private Sub VScroll1_Change()
    Picture1.Top = -VScroll1.Value
End Sub
