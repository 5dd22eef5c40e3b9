VERSION 5.00
Object = "{3B7C8863-D78F-101B-B9B5-04021C009402}#1.2#0"; "RICHTX32.OCX"
Object = "{86CF1D34-0C5F-11D2-A9FC-0000F8754DA1}#2.0#0"; "MSCOMCT2.OCX"
Begin VB.Form FrmEditOrders 
   Caption         =   "编辑订单"
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
         Caption         =   "编辑订单"
         Height          =   15000
         Left            =   960
         TabIndex        =   1
         Top             =   480
         Width           =   11895
         Begin VB.Label Label1 
            Caption         =   "订单号："
            Height          =   495
            Left            =   2880
            TabIndex        =   3
            Top             =   600
            Width           =   1455
         End
         Begin VB.TextBox TB_orderId 
            BackColor       =   &H8000000F&
            Height          =   350
            Left            =   5160
            Locked          =   -1  'True
            TabIndex        =   4
            Top             =   480
            Width           =   3135
         End
         Begin VB.Label Label2
            Caption         =   "收货人："
            Height          =   375
            Left            =   2880
            TabIndex        =   6
            Top             =   1200
            Width           =   2175
         End
         Begin VB.TextBox TB_shipName
            Height          =   350
            Left            =   5160
            TabIndex        =   7
            Top             =   1080
            Width           =   3135
         End
         Begin VB.Label Label3
            Caption         =   "经手雇员："
            Height          =   495
            Left            =   2880
            TabIndex        =   8
            Top             =   1800
            Width           =   1335
         End
         Begin VB.ComboBox CB_employeeId
            Height          =   300
            Left            =   5160
            TabIndex        =   9
            Text            =   "Combo1"
            Top             =   1680
            Width           =   3135
         End
         Begin VB.Label Label4 
            Caption         =   "订购日期："
            Height          =   255
            Left            =   2880
            TabIndex        =   10
            Top             =   2400
            Width           =   1455
         End
         Begin MSComCtl2.DTPicker DTP_orderDate 
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
            Caption         =   "发货日期："
            Height          =   255
            Left            =   2880
            TabIndex        =   12
            Top             =   3000
            Width           =   1455
         End
         Begin MSComCtl2.DTPicker DTP_shippedDate
            Height          =   375
            Left            =   5160
            TabIndex        =   13
            Top             =   2880
            Width           =   2415
            _ExtentX        =   4260
            _ExtentY        =   661
            _Version        =   393216
            CheckBox        =   -1  'True
            Format          =   13434881
            CurrentDate     =   41840
         End
         Begin VB.Label Label6
            Caption         =   "运费："
            Height          =   495
            Left            =   2880
            TabIndex        =   14
            Top             =   3600
            Width           =   1215
         End
         Begin VB.TextBox TB_freight
            Height          =   350
            Left            =   5160
            TabIndex        =   15
            Top             =   3480
            Width           =   2415
         End
         Begin VB.Label Label7
            Caption         =   "备注："
            Height          =   375
            Left            =   2880
            TabIndex        =   16
            Top             =   4200
            Width           =   2175
         End
         Begin RichTextLib.RichTextBox RTB_note
            Height          =   1335
            Left            =   5160
            TabIndex        =   17
            Top             =   4080
            Width           =   4215
            _ExtentX        =   7435
            _ExtentY        =   2355
            _Version        =   393217
         End
         Begin VB.CommandButton Btn_Update 
            Caption         =   "更新订单"
            Height          =   375
            Left            =   6360
            TabIndex        =   18
            Top             =   5760
            Width           =   1335
         End
      End
   End
End
Attribute VB_Name = "FrmEditOrders"
Attribute VB_GlobalNameSpace = False
Attribute VB_Creatable = False
Attribute VB_PredeclaredId = True
Attribute VB_Exposed = False
Option Explicit
Dim employeeIds() As Long
Dim edit_orderId As Long
Dim shownValues(1 To 6) As Variant

Private Sub Btn_Update_Click()
  Dim cmd As ADODB.Command
  Dim statementText As String
  Dim rowsChanged As Long
  Dim columnsSet As Long
  If ValueChanged(Me.TB_shipName.Text, shownValues(1)) Then
    If Not TextFits(Me.TB_shipName.Text, 40, True) Then
      MsgBox "收货人不能超过40个字节（一个汉字占两个字节）!", vbInformation, "信息提示"
      Me.TB_shipName.SetFocus
      Exit Sub
    End If
  End If
  If ValueChanged(Me.CB_employeeId.ListIndex, shownValues(2)) Then
    If Me.CB_employeeId.ListIndex < 0 Then
      MsgBox "请选择经手雇员!", vbInformation, "信息提示"
      Me.CB_employeeId.SetFocus
      Exit Sub
    End If
  End If
  If ValueChanged(Me.TB_freight.Text, shownValues(5)) Then
    If Trim$(Me.TB_freight.Text) <> "" And Not NumberFits(Me.TB_freight.Text, 15, 4) Then
      MsgBox "运费应是数字：整数部分至多15位，小数部分至多4位!", vbInformation, "信息提示"
      Me.TB_freight.SetFocus
      Exit Sub
    End If
  End If
  If ValueChanged(Me.RTB_note.Text, shownValues(6)) Then
    If Not TextFits(Me.RTB_note.Text, 200, True) Then
      MsgBox "备注不能超过200个字节（一个汉字占两个字节）!", vbInformation, "信息提示"
      Me.RTB_note.SetFocus
      Exit Sub
    End If
  End If
  columnsSet = 0
  statementText = "update [Orders] set"
  If ValueChanged(Me.TB_shipName.Text, shownValues(1)) Then
    statementText = statementText & " [shipName] = ?"
    columnsSet = columnsSet + 1
  End If
  If ValueChanged(Me.CB_employeeId.ListIndex, shownValues(2)) Then
    If columnsSet > 0 Then
      statementText = statementText & ","
    End If
    statementText = statementText & " [employeeId] = ?"
    columnsSet = columnsSet + 1
  End If
  If ValueChanged(Me.DTP_orderDate.Value, shownValues(3)) Then
    If columnsSet > 0 Then
      statementText = statementText & ","
    End If
    statementText = statementText & " [orderDate] = ?"
    columnsSet = columnsSet + 1
  End If
  If ValueChanged(Me.DTP_shippedDate.Value, shownValues(4)) Then
    If columnsSet > 0 Then
      statementText = statementText & ","
    End If
    statementText = statementText & " [shippedDate] = ?"
    columnsSet = columnsSet + 1
  End If
  If ValueChanged(Me.TB_freight.Text, shownValues(5)) Then
    If columnsSet > 0 Then
      statementText = statementText & ","
    End If
    statementText = statementText & " [freight] = ?"
    columnsSet = columnsSet + 1
  End If
  If ValueChanged(Me.RTB_note.Text, shownValues(6)) Then
    If columnsSet > 0 Then
      statementText = statementText & ","
    End If
    statementText = statementText & " [note] = ?"
    columnsSet = columnsSet + 1
  End If
  If columnsSet = 0 Then
    MsgBox "订单没有修改任何内容，不需要保存。", vbInformation, "信息提示"
    Exit Sub
  End If
  statementText = statementText & " where [orderId] = ?"
  On Error GoTo SaveFailed
  Call check_condatabase
  Set cmd = NewCommand(statementText)
  If ValueChanged(Me.TB_shipName.Text, shownValues(1)) Then
    Call AddColumnTextParameter(cmd, Me.TB_shipName.Text, False, 40, False)
  End If
  If ValueChanged(Me.CB_employeeId.ListIndex, shownValues(2)) Then
    Call AddLongParameter(cmd, employeeIds(Me.CB_employeeId.ListIndex + 1))
  End If
  If ValueChanged(Me.DTP_orderDate.Value, shownValues(3)) Then
    Call AddPickedDateParameter(cmd, Me.DTP_orderDate.Value)
  End If
  If ValueChanged(Me.DTP_shippedDate.Value, shownValues(4)) Then
    Call AddPickedDateParameter(cmd, Me.DTP_shippedDate.Value)
  End If
  If ValueChanged(Me.TB_freight.Text, shownValues(5)) Then
    Call AddFixedNumberParameter(cmd, Me.TB_freight.Text, 19, 4, True)
  End If
  If ValueChanged(Me.RTB_note.Text, shownValues(6)) Then
    Call AddColumnTextParameter(cmd, Me.RTB_note.Text, False, 200, True)
  End If
  Call AddLongParameter(cmd, edit_orderId)
  cmd.Execute rowsChanged
  If rowsChanged = 0 Then
    MsgBox "这条订单已经不存在了!", vbExclamation, "错误提示"
  Else
    MsgBox "订单更新成功!"
  End If
  Unload Me
  Exit Sub
SaveFailed:
  MsgBox "订单保存失败：" & Err.Description, vbExclamation, "错误提示"
End Sub

'显示由键值 key_orderId 指定的订单：读出记录，填入各控件，再显示窗体
Public Sub ShowRecord(ByVal key_orderId As Long)
  Dim rs As ADODB.Recordset
  Dim i As Long
  Dim cmd As ADODB.Command
  Dim statementText As String
  On Error GoTo ShowFailed
  edit_orderId = key_orderId
  Call check_condatabase
  statementText = "select * from [Orders]"
  statementText = statementText & " where [orderId] = ?"
  Set cmd = NewCommand(statementText)
  Call AddLongParameter(cmd, key_orderId)
  Set rs = cmd.Execute
  If rs.EOF Then
    rs.Close
    MsgBox "这条订单已经不存在了!", vbExclamation, "错误提示"
    Unload Me
    Exit Sub
  End If
  Me.TB_orderId.Text = FieldText(rs.Fields("orderId").Value)
  Me.TB_shipName.Text = FieldText(rs.Fields("shipName").Value)
  Me.CB_employeeId.ListIndex = -1
  If Not IsNull(rs.Fields("employeeId").Value) Then
    For i = 1 To UBound(employeeIds)
      If employeeIds(i) = rs.Fields("employeeId").Value Then
        Me.CB_employeeId.ListIndex = i - 1
        Exit For
      End If
    Next i
  End If
  If Not IsNull(rs.Fields("orderDate").Value) Then
    Me.DTP_orderDate.Value = rs.Fields("orderDate").Value
  End If
  If IsNull(rs.Fields("shippedDate").Value) Then
    Me.DTP_shippedDate.Value = Null
  Else
    Me.DTP_shippedDate.Value = rs.Fields("shippedDate").Value
  End If
  Me.TB_freight.Text = FieldText(rs.Fields("freight").Value)
  Me.RTB_note.Text = FieldText(rs.Fields("note").Value)
  rs.Close
  shownValues(1) = Me.TB_shipName.Text
  shownValues(2) = Me.CB_employeeId.ListIndex
  shownValues(3) = Me.DTP_orderDate.Value
  shownValues(4) = Me.DTP_shippedDate.Value
  shownValues(5) = Me.TB_freight.Text
  shownValues(6) = Me.RTB_note.Text
  Me.Show
  Me.ZOrder 0
  Exit Sub
ShowFailed:
  MsgBox "读取订单失败：" & Err.Description & vbCrLf & "请检查数据库连接后再试。", vbExclamation, "错误提示"
  Unload Me
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
  Exit Sub
LoadFailed:
  MsgBox "打开编辑订单窗体时读取数据失败：" & Err.Description & vbCrLf & "请检查数据库连接后再打开。", vbExclamation, "错误提示"
End Sub

Private Sub VScroll1_Change()
    Picture1.Top = -VScroll1.Value
End Sub
