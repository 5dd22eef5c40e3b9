VERSION 5.00
Object = "{3B7C8863-D78F-101B-B9B5-04021C009402}#1.2#0"; "RICHTX32.OCX"
Object = "{86CF1D34-0C5F-11D2-A9FC-0000F8754DA1}#2.0#0"; "MSCOMCT2.OCX"
Begin VB.Form FrmAddEmployeeRegion 
   Caption         =   "添加雇员地区"
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
         Caption         =   "添加雇员地区"
         Height          =   15000
         Left            =   960
         TabIndex        =   1
         Top             =   480
         Width           =   11895
         Begin VB.Label Label1
            Caption         =   "雇员："
            Height          =   495
            Left            =   2880
            TabIndex        =   3
            Top             =   600
            Width           =   1335
         End
         Begin VB.ComboBox CB_employeeId
            Height          =   300
            Left            =   5160
            TabIndex        =   4
            Text            =   "Combo1"
            Top             =   480
            Width           =   3135
         End
         Begin VB.Label Label2
            Caption         =   "地区："
            Height          =   495
            Left            =   2880
            TabIndex        =   5
            Top             =   1200
            Width           =   1335
         End
         Begin VB.ComboBox CB_regionId
            Height          =   300
            Left            =   5160
            TabIndex        =   6
            Text            =   "Combo1"
            Top             =   1080
            Width           =   3135
         End
         Begin VB.CommandButton Btn_Add 
            Caption         =   "添加雇员地区"
            Height          =   375
            Left            =   6360
            TabIndex        =   7
            Top             =   1800
            Width           =   1335
         End
      End
   End
End
Attribute VB_Name = "FrmAddEmployeeRegion"
Attribute VB_GlobalNameSpace = False
Attribute VB_Creatable = False
Attribute VB_PredeclaredId = True
Attribute VB_Exposed = False
Option Explicit
Dim employeeIds() As Long
Dim regionIds() As Long

Private Sub Btn_Add_Click()
  Dim cmd As ADODB.Command
  Dim statementText As String
  Dim rs As ADODB.Recordset
  If Me.CB_employeeId.ListIndex < 0 Then
    MsgBox "请选择雇员!", vbInformation, "信息提示"
    Me.CB_employeeId.SetFocus
    Exit Sub
  End If
  If Me.CB_regionId.ListIndex < 0 Then
    MsgBox "请选择地区!", vbInformation, "信息提示"
    Me.CB_regionId.SetFocus
    Exit Sub
  End If
  On Error GoTo SaveFailed
  Call check_condatabase
  statementText = "select count(*) from [EmployeeRegion]"
  statementText = statementText & " where [employeeId] = ?"
  statementText = statementText & " and [regionId] = ?"
  Set cmd = NewCommand(statementText)
  Call AddLongParameter(cmd, employeeIds(Me.CB_employeeId.ListIndex + 1))
  Call AddLongParameter(cmd, regionIds(Me.CB_regionId.ListIndex + 1))
  Set rs = cmd.Execute
  If rs.Fields(0).Value > 0 Then
    rs.Close
    MsgBox "对不起，此雇员地区雇员、地区的信息系统已经存在了！"
    Me.CB_employeeId.SetFocus
    Exit Sub
  End If
  rs.Close
  statementText = "insert into [EmployeeRegion] ([employeeId]"
  statementText = statementText & ", [regionId]"
  statementText = statementText & ") values (?, ?)"
  Set cmd = NewCommand(statementText)
  Call AddLongParameter(cmd, employeeIds(Me.CB_employeeId.ListIndex + 1))
  Call AddLongParameter(cmd, regionIds(Me.CB_regionId.ListIndex + 1))
  cmd.Execute
  MsgBox "雇员地区添加成功!"
  Unload Me
  Exit Sub
SaveFailed:
  MsgBox "雇员地区保存失败：" & Err.Description, vbExclamation, "错误提示"
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
  statementText = "select [regionId], [regionName] from [Region] order by [regionName]"
  Set rs = NewCommand(statementText).Execute
  Me.CB_regionId.Clear
  ReDim regionIds(0)
  entryNo = 0
  Do Until rs.EOF
    entryNo = entryNo + 1
    ReDim Preserve regionIds(entryNo)
    regionIds(entryNo) = CLng(rs.Fields(0).Value)
    Me.CB_regionId.AddItem EntryLabel(rs.Fields(0).Value, rs.Fields(1).Value)
    rs.MoveNext
  Loop
  rs.Close
  If Me.CB_regionId.ListCount > 0 Then
    Me.CB_regionId.ListIndex = 0
  End If
  Exit Sub
LoadFailed:
  MsgBox "打开添加雇员地区窗体时读取数据失败：" & Err.Description & vbCrLf & "请检查数据库连接后再打开。", vbExclamation, "错误提示"
End Sub

Private Sub VScroll1_Change()
    Picture1.Top = -VScroll1.Value
End Sub
