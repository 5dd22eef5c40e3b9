VERSION 5.00
Object = "{3B7C8863-D78F-101B-B9B5-04021C009402}#1.2#0"; "RICHTX32.OCX"
Object = "{86CF1D34-0C5F-11D2-A9FC-0000F8754DA1}#2.0#0"; "MSCOMCT2.OCX"
Begin VB.Form FrmAddRegion 
   Caption         =   "添加地区"
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
         Caption         =   "添加地区"
         Height          =   15000
         Left            =   960
         TabIndex        =   1
         Top             =   480
         Width           =   11895
         Begin VB.Label Label1 
            Caption         =   "地区编号："
            Height          =   495
            Left            =   2880
            TabIndex        =   3
            Top             =   600
            Width           =   1455
         End
         Begin VB.TextBox TB_regionId 
            Height          =   350
            Left            =   5160
            TabIndex        =   4
            Top             =   480
            Width           =   3135
         End
         Begin VB.Label Label2
            Caption         =   "地区："
            Height          =   375
            Left            =   2880
            TabIndex        =   6
            Top             =   1200
            Width           =   2175
         End
         Begin VB.TextBox TB_regionName
            Height          =   350
            Left            =   5160
            TabIndex        =   7
            Top             =   1080
            Width           =   3135
         End
         Begin VB.CommandButton Btn_Add 
            Caption         =   "添加地区"
            Height          =   375
            Left            =   6360
            TabIndex        =   8
            Top             =   1800
            Width           =   1335
         End
      End
   End
End
Attribute VB_Name = "FrmAddRegion"
Attribute VB_GlobalNameSpace = False
Attribute VB_Creatable = False
Attribute VB_PredeclaredId = True
Attribute VB_Exposed = False
Option Explicit

Private Sub Btn_Add_Click()
  Dim cmd As ADODB.Command
  Dim statementText As String
  Dim rs As ADODB.Recordset
  If Not WholeNumberBetween(Me.TB_regionId.Text, -2147483648, 2147483647) Then
    MsgBox "地区编号应是-2147483648到2147483647之间的整数!", vbInformation, "信息提示"
    Me.TB_regionId.SetFocus
    Exit Sub
  End If
  If Trim$(Me.TB_regionName.Text) = "" Then
    MsgBox "请输入地区!", vbInformation, "信息提示"
    Me.TB_regionName.SetFocus
    Exit Sub
  End If
  If Not TextFits(Me.TB_regionName.Text, 50, False) Then
    MsgBox "地区不能超过50个字符!", vbInformation, "信息提示"
    Me.TB_regionName.SetFocus
    Exit Sub
  End If
  On Error GoTo SaveFailed
  Call check_condatabase
  statementText = "select count(*) from [Region]"
  statementText = statementText & " where [regionId] = ?"
  Set cmd = NewCommand(statementText)
  Call AddLongParameter(cmd, CLng(Me.TB_regionId.Text))
  Set rs = cmd.Execute
  If rs.Fields(0).Value > 0 Then
    rs.Close
    MsgBox "对不起，此地区地区编号的信息系统已经存在了！"
    Me.TB_regionId.SetFocus
    Exit Sub
  End If
  rs.Close
  statementText = "insert into [Region] ([regionId]"
  statementText = statementText & ", [regionName]"
  statementText = statementText & ") values (?, ?)"
  Set cmd = NewCommand(statementText)
  Call AddLongParameter(cmd, CLng(Me.TB_regionId.Text))
  Call AddColumnTextParameter(cmd, Me.TB_regionName.Text, True, 50, False)
  cmd.Execute
  MsgBox "地区添加成功!"
  Unload Me
  Exit Sub
SaveFailed:
  MsgBox "地区保存失败：" & Err.Description, vbExclamation, "错误提示"
End Sub

Private Sub Form_Load()
  On Error GoTo LoadFailed
  Call condatabase '连接数据库
  Exit Sub
LoadFailed:
  MsgBox "打开添加地区窗体时读取数据失败：" & Err.Description & vbCrLf & "请检查数据库连接后再打开。", vbExclamation, "错误提示"
End Sub

Private Sub VScroll1_Change()
    Picture1.Top = -VScroll1.Value
End Sub
