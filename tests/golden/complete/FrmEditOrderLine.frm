VERSION 5.00
Object = "{3B7C8863-D78F-101B-B9B5-04021C009402}#1.2#0"; "RICHTX32.OCX"
Object = "{86CF1D34-0C5F-11D2-A9FC-0000F8754DA1}#2.0#0"; "MSCOMCT2.OCX"
Begin VB.Form FrmEditOrderLine 
   Caption         =   "编辑订单明细"
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
         Caption         =   "编辑订单明细"
         Height          =   15000
         Left            =   960
         TabIndex        =   1
         Top             =   480
         Width           =   11895
         Begin VB.Label Label1
            Caption         =   "订单："
            Height          =   495
            Left            =   2880
            TabIndex        =   3
            Top             =   600
            Width           =   1335
         End
         Begin VB.ComboBox CB_orderId
            Height          =   300
            Left            =   5160
            TabIndex        =   4
            Text            =   "Combo1"
            Top             =   480
            Width           =   3135
         End
         Begin VB.Label Label2
            Caption         =   "产品："
            Height          =   495
            Left            =   2880
            TabIndex        =   5
            Top             =   1200
            Width           =   1335
         End
         Begin VB.ComboBox CB_productId
            Height          =   300
            Left            =   5160
            TabIndex        =   6
            Text            =   "Combo1"
            Top             =   1080
            Width           =   3135
         End
         Begin VB.Label Label3
            Caption         =   "单价："
            Height          =   495
            Left            =   2880
            TabIndex        =   7
            Top             =   1800
            Width           =   1215
         End
         Begin VB.TextBox TB_unitPrice
            Height          =   350
            Left            =   5160
            TabIndex        =   8
            Top             =   1680
            Width           =   2415
         End
         Begin VB.Label Label4
            Caption         =   "数量："
            Height          =   375
            Left            =   2880
            TabIndex        =   9
            Top             =   2400
            Width           =   1935
         End
         Begin VB.TextBox TB_quantity
            Height          =   375
            Left            =   5160
            TabIndex        =   10
            Top             =   2280
            Width           =   1335
         End
         Begin VB.Label Label5
            Caption         =   "折扣："
            Height          =   495
            Left            =   2880
            TabIndex        =   11
            Top             =   3000
            Width           =   1215
         End
         Begin VB.TextBox TB_discount
            Height          =   350
            Left            =   5160
            TabIndex        =   12
            Top             =   2880
            Width           =   2415
         End
         Begin VB.CommandButton Btn_Update 
            Caption         =   "更新订单明细"
            Height          =   375
            Left            =   6360
            TabIndex        =   13
            Top             =   3600
            Width           =   1335
         End
      End
   End
End
Attribute VB_Name = "FrmEditOrderLine"
Attribute VB_GlobalNameSpace = False
Attribute VB_Creatable = False
Attribute VB_PredeclaredId = True
Attribute VB_Exposed = False
Option Explicit
Dim orderIds() As Long
Dim productIds() As Long
Dim edit_orderId As Long
Dim edit_productId As Long
Dim shownValues(1 To 3) As Variant

Private Sub Btn_Update_Click()
  Dim cmd As ADODB.Command
  Dim statementText As String
  Dim rowsChanged As Long
  Dim columnsSet As Long
  If ValueChanged(Me.TB_unitPrice.Text, shownValues(1)) Then
    If Not NumberFits(Me.TB_unitPrice.Text, 15, 4) Then
      MsgBox "单价应是数字：整数部分至多15位，小数部分至多4位!", vbInformation, "信息提示"
      Me.TB_unitPrice.SetFocus
      Exit Sub
    End If
  End If
  If ValueChanged(Me.TB_quantity.Text, shownValues(2)) Then
    If Not WholeNumberBetween(Me.TB_quantity.Text, -32768, 32767) Then
      MsgBox "数量应是-32768到32767之间的整数!", vbInformation, "信息提示"
      Me.TB_quantity.SetFocus
      Exit Sub
    End If
  End If
  If ValueChanged(Me.TB_discount.Text, shownValues(3)) Then
    If Not NumberFits(Me.TB_discount.Text, 2, 2) Then
      MsgBox "折扣应是数字：整数部分至多2位，小数部分至多2位!", vbInformation, "信息提示"
      Me.TB_discount.SetFocus
      Exit Sub
    End If
  End If
  columnsSet = 0
  statementText = "update [OrderLine] set"
  If ValueChanged(Me.TB_unitPrice.Text, shownValues(1)) Then
    statementText = statementText & " [unitPrice] = ?"
    columnsSet = columnsSet + 1
  End If
  If ValueChanged(Me.TB_quantity.Text, shownValues(2)) Then
    If columnsSet > 0 Then
      statementText = statementText & ","
    End If
    statementText = statementText & " [quantity] = ?"
    columnsSet = columnsSet + 1
  End If
  If ValueChanged(Me.TB_discount.Text, shownValues(3)) Then
    If columnsSet > 0 Then
      statementText = statementText & ","
    End If
    statementText = statementText & " [discount] = ?"
    columnsSet = columnsSet + 1
  End If
  If columnsSet = 0 Then
    MsgBox "订单明细没有修改任何内容，不需要保存。", vbInformation, "信息提示"
    Exit Sub
  End If
  statementText = statementText & " where [orderId] = ?"
  statementText = statementText & " and [productId] = ?"
  On Error GoTo SaveFailed
  Call check_condatabase
  Set cmd = NewCommand(statementText)
  If ValueChanged(Me.TB_unitPrice.Text, shownValues(1)) Then
    Call AddFixedNumberParameter(cmd, Me.TB_unitPrice.Text, 19, 4, False)
  End If
  If ValueChanged(Me.TB_quantity.Text, shownValues(2)) Then
    Call AddWholeNumberParameter(cmd, Me.TB_quantity.Text, adSmallInt, False)
  End If
  If ValueChanged(Me.TB_discount.Text, shownValues(3)) Then
    Call AddFixedNumberParameter(cmd, Me.TB_discount.Text, 4, 2, False)
  End If
  Call AddLongParameter(cmd, edit_orderId)
  Call AddLongParameter(cmd, edit_productId)
  cmd.Execute rowsChanged
  If rowsChanged = 0 Then
    MsgBox "这条订单明细已经不存在了!", vbExclamation, "错误提示"
  Else
    MsgBox "订单明细更新成功!"
  End If
  Unload Me
  Exit Sub
SaveFailed:
  MsgBox "订单明细保存失败：" & Err.Description, vbExclamation, "错误提示"
End Sub

'显示由键值 key_orderId、key_productId 指定的订单明细：读出记录，填入各控件，再显示窗体
Public Sub ShowRecord(ByVal key_orderId As Long, ByVal key_productId As Long)
  Dim rs As ADODB.Recordset
  Dim i As Long
  Dim cmd As ADODB.Command
  Dim statementText As String
  On Error GoTo ShowFailed
  edit_orderId = key_orderId
  edit_productId = key_productId
  Call check_condatabase
  statementText = "select * from [OrderLine]"
  statementText = statementText & " where [orderId] = ?"
  statementText = statementText & " and [productId] = ?"
  Set cmd = NewCommand(statementText)
  Call AddLongParameter(cmd, key_orderId)
  Call AddLongParameter(cmd, key_productId)
  Set rs = cmd.Execute
  If rs.EOF Then
    rs.Close
    MsgBox "这条订单明细已经不存在了!", vbExclamation, "错误提示"
    Unload Me
    Exit Sub
  End If
  Me.CB_orderId.ListIndex = -1
  If Not IsNull(rs.Fields("orderId").Value) Then
    For i = 1 To UBound(orderIds)
      If orderIds(i) = rs.Fields("orderId").Value Then
        Me.CB_orderId.ListIndex = i - 1
        Exit For
      End If
    Next i
  End If
  Me.CB_productId.ListIndex = -1
  If Not IsNull(rs.Fields("productId").Value) Then
    For i = 1 To UBound(productIds)
      If productIds(i) = rs.Fields("productId").Value Then
        Me.CB_productId.ListIndex = i - 1
        Exit For
      End If
    Next i
  End If
  Me.TB_unitPrice.Text = FieldText(rs.Fields("unitPrice").Value)
  Me.TB_quantity.Text = FieldText(rs.Fields("quantity").Value)
  Me.TB_discount.Text = FieldText(rs.Fields("discount").Value)
  rs.Close
  shownValues(1) = Me.TB_unitPrice.Text
  shownValues(2) = Me.TB_quantity.Text
  shownValues(3) = Me.TB_discount.Text
  Me.Show
  Me.ZOrder 0
  Exit Sub
ShowFailed:
  MsgBox "读取订单明细失败：" & Err.Description & vbCrLf & "请检查数据库连接后再试。", vbExclamation, "错误提示"
  Unload Me
End Sub

Private Sub Form_Load()
  On Error GoTo LoadFailed
  Call condatabase '连接数据库
  Dim rs As ADODB.Recordset
  Dim statementText As String
  Dim entryNo As Long
  statementText = "select [orderId], [shipName] from [Orders] order by [shipName]"
  Set rs = NewCommand(statementText).Execute
  Me.CB_orderId.Clear
  ReDim orderIds(0)
  entryNo = 0
  Do Until rs.EOF
    entryNo = entryNo + 1
    ReDim Preserve orderIds(entryNo)
    orderIds(entryNo) = CLng(rs.Fields(0).Value)
    Me.CB_orderId.AddItem EntryLabel(rs.Fields(0).Value, rs.Fields(1).Value)
    rs.MoveNext
  Loop
  rs.Close
  statementText = "select [productId], [productName] from [Product] order by [productName]"
  Set rs = NewCommand(statementText).Execute
  Me.CB_productId.Clear
  ReDim productIds(0)
  entryNo = 0
  Do Until rs.EOF
    entryNo = entryNo + 1
    ReDim Preserve productIds(entryNo)
    productIds(entryNo) = CLng(rs.Fields(0).Value)
    Me.CB_productId.AddItem EntryLabel(rs.Fields(0).Value, rs.Fields(1).Value)
    rs.MoveNext
  Loop
  rs.Close
  Me.CB_orderId.Locked = True
  Me.CB_productId.Locked = True
  Exit Sub
LoadFailed:
  MsgBox "打开编辑订单明细窗体时读取数据失败：" & Err.Description & vbCrLf & "请检查数据库连接后再打开。", vbExclamation, "错误提示"
End Sub

Private Sub VScroll1_Change()
    Picture1.Top = -VScroll1.Value
End Sub
