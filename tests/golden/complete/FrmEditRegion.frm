VERSION 5.00
Object = "{3B7C8863-D78F-101B-B9B5-04021C009402}#1.2#0"; "RICHTX32.OCX"
Object = "{86CF1D34-0C5F-11D2-A9FC-0000F8754DA1}#2.0#0"; "MSCOMCT2.OCX"
Begin VB.Form FrmEditRegion 
   Caption         =   "编辑地区"
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
         Caption         =   "编辑地区"
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
            BackColor       =   &H8000000F&
            Height          =   350
            Left            =   5160
            Locked          =   -1  'True
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
         Begin VB.CommandButton Btn_Update 
            Caption         =   "更新地区"
            Height          =   375
            Left            =   6360
            TabIndex        =   8
            Top             =   1800
            Width           =   1335
         End
      End
   End
End
Attribute VB_Name = "FrmEditRegion"
Attribute VB_GlobalNameSpace = False
Attribute VB_Creatable = False
Attribute VB_PredeclaredId = True
Attribute VB_Exposed = False
Option Explicit
Dim edit_regionId As Long
Dim shownValues(1 To 1) As Variant

Private Sub Btn_Update_Click()
  Dim cmd As ADODB.Command
  Dim statementText As String
  Dim rowsChanged As Long
  Dim columnsSet As Long
  If ValueChanged(Me.TB_regionName.Text, shownValues(1)) Then
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
  End If
  columnsSet = 0
  statementText = "update [Region] set"
  If ValueChanged(Me.TB_regionName.Text, shownValues(1)) Then
    statementText = statementText & " [regionName] = ?"
    columnsSet = columnsSet + 1
  End If
  If columnsSet = 0 Then
    MsgBox "地区没有修改任何内容，不需要保存。", vbInformation, "信息提示"
    Exit Sub
  End If
  statementText = statementText & " where [regionId] = ?"
  On Error GoTo SaveFailed
  Call check_condatabase
  Set cmd = NewCommand(statementText)
  If ValueChanged(Me.TB_regionName.Text, shownValues(1)) Then
    Call AddColumnTextParameter(cmd, Me.TB_regionName.Text, True, 50, False)
  End If
  Call AddLongParameter(cmd, edit_regionId)
  cmd.Execute rowsChanged
  If rowsChanged = 0 Then
    MsgBox "这条地区已经不存在了!", vbExclamation, "错误提示"
  Else
    MsgBox "地区更新成功!"
  End If
  Unload Me
  Exit Sub
SaveFailed:
  MsgBox "地区保存失败：" & Err.Description, vbExclamation, "错误提示"
End Sub

'显示由键值 key_regionId 指定的地区：读出记录，填入各控件，再显示窗体
Public Sub ShowRecord(ByVal key_regionId As Long)
  Dim rs As ADODB.Recordset
  Dim i As Long
  Dim cmd As ADODB.Command
  Dim statementText As String
  On Error GoTo ShowFailed
  edit_regionId = key_regionId
  Call check_condatabase
  statementText = "select * from [Region]"
  statementText = statementText & " where [regionId] = ?"
  Set cmd = NewCommand(statementText)
  Call AddLongParameter(cmd, key_regionId)
  Set rs = cmd.Execute
  If rs.EOF Then
    rs.Close
    MsgBox "这条地区已经不存在了!", vbExclamation, "错误提示"
    Unload Me
    Exit Sub
  End If
  Me.TB_regionId.Text = FieldText(rs.Fields("regionId").Value)
  Me.TB_regionName.Text = FieldText(rs.Fields("regionName").Value)
  rs.Close
  shownValues(1) = Me.TB_regionName.Text
  Me.Show
  Me.ZOrder 0
  Exit Sub
ShowFailed:
  MsgBox "读取地区失败：" & Err.Description & vbCrLf & "请检查数据库连接后再试。", vbExclamation, "错误提示"
  Unload Me
End Sub

Private Sub Form_Load()
  On Error GoTo LoadFailed
  Call condatabase '连接数据库
  Exit Sub
LoadFailed:
  MsgBox "打开编辑地区窗体时读取数据失败：" & Err.Description & vbCrLf & "请检查数据库连接后再打开。", vbExclamation, "错误提示"
End Sub

Private Sub VScroll1_Change()
    Picture1.Top = -VScroll1.Value
End Sub
