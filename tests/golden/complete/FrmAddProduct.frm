VERSION 5.00
Object = "{3B7C8863-D78F-101B-B9B5-04021C009402}#1.2#0"; "RICHTX32.OCX"
Object = "{86CF1D34-0C5F-11D2-A9FC-0000F8754DA1}#2.0#0"; "MSCOMCT2.OCX"
Begin VB.Form FrmAddProduct 
   Caption         =   "添加产品"
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
         Caption         =   "添加产品"
         Height          =   15000
         Left            =   960
         TabIndex        =   1
         Top             =   480
         Width           =   11895
         Begin VB.Label Label1
            Caption         =   "产品名称："
            Height          =   375
            Left            =   2880
            TabIndex        =   3
            Top             =   600
            Width           =   2175
         End
         Begin VB.TextBox TB_productName
            Height          =   350
            Left            =   5160
            TabIndex        =   4
            Top             =   480
            Width           =   3135
         End
         Begin VB.Label Label2
            Caption         =   "单价："
            Height          =   495
            Left            =   2880
            TabIndex        =   5
            Top             =   1200
            Width           =   1215
         End
         Begin VB.TextBox TB_unitPrice
            Height          =   350
            Left            =   5160
            TabIndex        =   6
            Top             =   1080
            Width           =   2415
         End
         Begin VB.Label Label3
            Caption         =   "库存："
            Height          =   375
            Left            =   2880
            TabIndex        =   7
            Top             =   1800
            Width           =   1935
         End
         Begin VB.TextBox TB_unitsInStock
            Height          =   375
            Left            =   5160
            TabIndex        =   8
            Top             =   1680
            Width           =   1335
         End
         Begin VB.Label Label4
            Caption         =   "再订购量："
            Height          =   375
            Left            =   2880
            TabIndex        =   9
            Top             =   2400
            Width           =   1935
         End
         Begin VB.TextBox TB_reorderLevel
            Height          =   375
            Left            =   5160
            TabIndex        =   10
            Top             =   2280
            Width           =   1335
         End
         Begin VB.Label Label5
            Caption         =   "停产："
            Height          =   375
            Left            =   2880
            TabIndex        =   11
            Top             =   3000
            Width           =   1935
         End
         Begin VB.CheckBox CHB_discontinued
            Caption         =   "是"
            Height          =   375
            Left            =   5160
            TabIndex        =   12
            Top             =   2880
            Width           =   1335
         End
         Begin VB.CommandButton Btn_Add 
            Caption         =   "添加产品"
            Height          =   375
            Left            =   6360
            TabIndex        =   13
            Top             =   3600
            Width           =   1335
         End
      End
   End
End
Attribute VB_Name = "FrmAddProduct"
Attribute VB_GlobalNameSpace = False
Attribute VB_Creatable = False
Attribute VB_PredeclaredId = True
Attribute VB_Exposed = False
Option Explicit

Private Sub Btn_Add_Click()
  Dim cmd As ADODB.Command
  Dim statementText As String
  If Trim$(Me.TB_productName.Text) = "" Then
    MsgBox "请输入产品名称!", vbInformation, "信息提示"
    Me.TB_productName.SetFocus
    Exit Sub
  End If
  If Not TextFits(Me.TB_productName.Text, 40, False) Then
    MsgBox "产品名称不能超过40个字符!", vbInformation, "信息提示"
    Me.TB_productName.SetFocus
    Exit Sub
  End If
  If Trim$(Me.TB_unitPrice.Text) <> "" And Not NumberFits(Me.TB_unitPrice.Text, 15, 4) Then
    MsgBox "单价应是数字：整数部分至多15位，小数部分至多4位!", vbInformation, "信息提示"
    Me.TB_unitPrice.SetFocus
    Exit Sub
  End If
  If Trim$(Me.TB_unitsInStock.Text) <> "" And Not WholeNumberBetween(Me.TB_unitsInStock.Text, -32768, 32767) Then
    MsgBox "库存应是-32768到32767之间的整数!", vbInformation, "信息提示"
    Me.TB_unitsInStock.SetFocus
    Exit Sub
  End If
  If Not WholeNumberBetween(Me.TB_reorderLevel.Text, 0, 255) Then
    MsgBox "再订购量应是0到255之间的整数!", vbInformation, "信息提示"
    Me.TB_reorderLevel.SetFocus
    Exit Sub
  End If
  On Error GoTo SaveFailed
  Call check_condatabase
  statementText = "insert into [Product] ([productName]"
  statementText = statementText & ", [unitPrice]"
  statementText = statementText & ", [unitsInStock]"
  statementText = statementText & ", [reorderLevel]"
  statementText = statementText & ", [discontinued]"
  statementText = statementText & ") values (?, ?, ?, ?, ?)"
  Set cmd = NewCommand(statementText)
  Call AddColumnTextParameter(cmd, Me.TB_productName.Text, True, 40, False)
  Call AddFixedNumberParameter(cmd, Me.TB_unitPrice.Text, 19, 4, True)
  Call AddWholeNumberParameter(cmd, Me.TB_unitsInStock.Text, adSmallInt, True)
  Call AddWholeNumberParameter(cmd, Me.TB_reorderLevel.Text, adUnsignedTinyInt, False)
  Call AddYesNoParameter(cmd, Me.CHB_discontinued.Value)
  cmd.Execute
  MsgBox "产品添加成功!"
  Unload Me
  Exit Sub
SaveFailed:
  MsgBox "产品保存失败：" & Err.Description, vbExclamation, "错误提示"
End Sub

Private Sub Form_Load()
  On Error GoTo LoadFailed
  Call condatabase '连接数据库
  Exit Sub
LoadFailed:
  MsgBox "打开添加产品窗体时读取数据失败：" & Err.Description & vbCrLf & "请检查数据库连接后再打开。", vbExclamation, "错误提示"
End Sub

Private Sub VScroll1_Change()
    Picture1.Top = -VScroll1.Value
End Sub
