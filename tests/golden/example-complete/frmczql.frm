VERSION 5.00
Object = "{BDC217C8-ED16-11CD-956C-0000C04E4C0A}#1.1#0"; "TABCTL32.OCX"
Begin VB.Form frmczql
   BackColor       =   &H00C0E0FF&
   Caption         =   "操作员授权"
   ClientHeight    =   5055
   ClientLeft      =   60
   ClientTop       =   345
   ClientWidth     =   7170
   LinkTopic       =   "Form1"
   ScaleHeight     =   5055
   ScaleWidth      =   7170
   Begin VB.PictureBox Picture1
      BackColor       =   &H00C0E0FF&
      Height          =   4575
      Left            =   240
      ScaleHeight     =   4515
      ScaleWidth      =   6615
      TabIndex        =   0
      Top             =   240
      Width           =   6675
      Begin VB.CommandButton Command1
         Caption         =   "全 选(&X)"
         Height          =   465
         Left            =   360
         TabIndex        =   4
         Top             =   3840
         Width           =   1035
      End
      Begin VB.CommandButton Command2 
         Caption         =   "全 清(&C)"
         Height          =   465
         Left            =   1800
         TabIndex        =   3
         Top             =   3840
         Width           =   1035
      End
      Begin VB.CommandButton Command3
         Caption         =   "确 定(&O)"
         Default         =   -1  'True
         Height          =   465
         Left            =   3240
         TabIndex        =   2
         Top             =   3840
         Width           =   1035
      End
      Begin VB.CommandButton Command4
         Cancel          =   -1  'True
         Caption         =   "退 出(&E)"
         Height          =   465
         Left            =   4680
         TabIndex        =   1
         Top             =   3840
         Width           =   1035
      End
      Begin TabDlg.SSTab SSTab1
         Height          =   3135
         Left            =   120
         TabIndex        =   7
         Top             =   480
         Width           =   6015
         _ExtentX        =   10610
         _ExtentY        =   5530
         _Version        =   393216
         Tabs            =   4
         Tab             =   3
         TabsPerRow      =   4
         TabHeight       =   520
         BackColor       =   12640511
         ForeColor       =   4210752
         TabCaption(0)   =   "图书权限"
         Tab(0).ControlEnabled=   0   'False
         Tab(0).Control(0)=   "CB_ManageBook"
         Tab(0).Control(0).Enabled=   0   'False
         Tab(0).Control(1)=   "CB_AddBook"
         Tab(0).Control(1).Enabled=   0   'False
         Tab(0).ControlCount=   2
         TabCaption(1)   =   "读者权限"
         Tab(1).ControlEnabled=   0   'False
         Tab(1).Control(0)=   "CB_ManageReader"
         Tab(1).Control(0).Enabled=   0   'False
         Tab(1).Control(1)=   "CB_AddReader"
         Tab(1).Control(1).Enabled=   0   'False
         Tab(1).ControlCount=   2
         TabCaption(2)   =   "借阅记录权限"
         Tab(2).ControlEnabled=   0   'False
         Tab(2).Control(0)=   "CB_ManageLoan"
         Tab(2).Control(0).Enabled=   0   'False
         Tab(2).Control(1)=   "CB_AddLoan"
         Tab(2).Control(1).Enabled=   0   'False
         Tab(2).ControlCount=   2
         TabCaption(3)   =   "系统维护"
         Tab(3).ControlEnabled=   -1  'True
         Tab(3).Control(0)=   "CB_Print"
         Tab(3).Control(0).Enabled=   0   'False
         Tab(3).Control(1)=   "CB_ManageUser"
         Tab(3).Control(1).Enabled=   0   'False
         Tab(3).ControlCount=   2
         Begin VB.CheckBox CB_AddBook 
            Caption         =   "添加图书"
            Height          =   285
            Left            =   -73920
            TabIndex        =   9
            Top             =   1320
            Width           =   1545
         End
         Begin VB.CheckBox CB_ManageBook
            Caption         =   "维护图书"
            Height          =   285
            Left            =   -71640
            TabIndex        =   8
            Top             =   1320
            Width           =   1755
         End
         Begin VB.CheckBox CB_AddReader 
            Caption         =   "添加读者"
            Height          =   285
            Left            =   -73920
            TabIndex        =   11
            Top             =   1320
            Width           =   1545
         End
         Begin VB.CheckBox CB_ManageReader
            Caption         =   "维护读者"
            Height          =   285
            Left            =   -71640
            TabIndex        =   10
            Top             =   1320
            Width           =   1755
         End
         Begin VB.CheckBox CB_AddLoan 
            Caption         =   "添加借阅记录"
            Height          =   285
            Left            =   -73920
            TabIndex        =   13
            Top             =   1320
            Width           =   1545
         End
         Begin VB.CheckBox CB_ManageLoan
            Caption         =   "维护借阅记录"
            Height          =   285
            Left            =   -71640
            TabIndex        =   12
            Top             =   1320
            Width           =   1755
         End
         Begin VB.CheckBox CB_ManageUser 
            Caption         =   "操作员维护"
            Height          =   345
            Left            =   1320
            TabIndex        =   17
            Top             =   1200
            Width           =   1275
         End
         Begin VB.CheckBox CB_Print 
            Caption         =   "报表打印"
            Height          =   375
            Left            =   3720
            TabIndex        =   16
            Top             =   1200
            Width           =   1215
         End
      End
      Begin VB.Label Label1 
         AutoSize        =   -1  'True
         BackStyle       =   0  'Transparent
         Caption         =   "被授权人："
         BeginProperty Font
            Name            =   "宋体"
            Size            =   12
            Charset         =   134
            Weight          =   700
            Underline       =   0   'False
            Italic          =   0   'False
            Strikethrough   =   0   'False
         EndProperty
         Height          =   240
         Index           =   0
         Left            =   150
         TabIndex        =   6
         Top             =   120
         Width           =   1185
      End
      Begin VB.Label Label1
         AutoSize        =   -1  'True
         BackStyle       =   0  'Transparent
         BeginProperty Font
            Name            =   "宋体"
            Size            =   12
            Charset         =   134
            Weight          =   700
            Underline       =   0   'False
            Italic          =   0   'False
            Strikethrough   =   0   'False
         EndProperty
         Height          =   240
         Index           =   1
         Left            =   1380
         TabIndex        =   5
         Top             =   120
         Width           =   135
      End
   End
End
Attribute VB_Name = "frmczql"
Attribute VB_GlobalNameSpace = False
Attribute VB_Creatable = False
Attribute VB_PredeclaredId = True
Attribute VB_Exposed = False
Option Explicit
Dim ql_flag As String

Private Sub Command1_Click()
If SSTab1.Tab = 0 Then
  Me.CB_AddBook.Value = 1
  Me.CB_ManageBook.Value = 1
End If
If SSTab1.Tab = 1 Then
  Me.CB_AddReader.Value = 1
  Me.CB_ManageReader.Value = 1
End If
If SSTab1.Tab = 2 Then
  Me.CB_AddLoan.Value = 1
  Me.CB_ManageLoan.Value = 1
End If
If SSTab1.Tab = 3 Then
  Me.CB_ManageUser.Value = 1
  Me.CB_Print.Value = 1
End If
End Sub

Private Sub Command2_Click()
If SSTab1.Tab = 0 Then
  Me.CB_AddBook.Value = 0
  Me.CB_ManageBook.Value = 0
End If
If SSTab1.Tab = 1 Then
  Me.CB_AddReader.Value = 0
  Me.CB_ManageReader.Value = 0
End If
If SSTab1.Tab = 2 Then
  Me.CB_AddLoan.Value = 0
  Me.CB_ManageLoan.Value = 0
End If
If SSTab1.Tab = 3 Then
  Me.CB_ManageUser.Value = 0
  Me.CB_Print.Value = 0
End If
End Sub

Private Sub Command3_Click()
Dim ql_flag As String
'第1位：添加图书
ql_flag = ql_flag & Me.CB_AddBook.Value
'第2位：图书管理
ql_flag = ql_flag & Me.CB_ManageBook.Value
'第3位：添加读者
ql_flag = ql_flag & Me.CB_AddReader.Value
'第4位：读者管理
ql_flag = ql_flag & Me.CB_ManageReader.Value
'第5位：添加借阅记录
ql_flag = ql_flag & Me.CB_AddLoan.Value
'第6位：借阅记录管理
ql_flag = ql_flag & Me.CB_ManageLoan.Value
'第7位：用户维护
ql_flag = ql_flag & Me.CB_ManageUser.Value
'第8位:信息打印
ql_flag = ql_flag & Me.CB_Print.Value
Dim cmd As ADODB.Command
On Error GoTo SaveFailed
Set cmd = NewCommand("update admin set ql_flag = ? where adminUsername = ?")
Call AddStringParameter(cmd, ql_flag)
Call AddTextParameter(cmd, nodename)
cmd.Execute
MsgBox "成功对该操作员进行授权!", vbOKOnly + vbExclamation, "完成"
Exit Sub
SaveFailed:
MsgBox "保存操作员的权限失败：" & Err.Description, vbOKOnly + vbCritical, "错误提示"
End Sub

Private Sub Command4_Click()
If cn.State = 1 Then
   cn.Close
End If
Unload Me
End Sub
Private Sub Form_Load()         '加载窗体
On Error GoTo LoadFailed
Call condatabase                '连接数据库
Label1(1).Caption = nodename    '显示用户的姓名
Dim cmd As ADODB.Command
Dim rs As ADODB.Recordset
Set cmd = NewCommand("select ql_flag from admin where adminUsername = ?") '找到该用户的纪录
Call AddTextParameter(cmd, nodename)
Set rs = cmd.Execute
If Not rs.EOF Then
    ql_flag = FieldText(rs.Fields("ql_flag").Value) '获得用户的权限值字段
End If
rs.Close
ql_flag = Left$(ql_flag & String$(8, "0"), 8)
Call load_check   '按照用户的权限，分别对各复选框赋值
Exit Sub
LoadFailed:
MsgBox "读取操作员的权限失败：" & Err.Description, vbOKOnly + vbCritical, "错误提示"
End Sub

Public Sub load_check() '按照用户的权限，分别对各复选框赋值
'第1位：添加图书
Me.CB_AddBook.Value = IIf(Mid$(ql_flag, 1, 1) Like "[1-9]", 1, 0)
'第2位：图书管理
Me.CB_ManageBook.Value = IIf(Mid$(ql_flag, 2, 1) Like "[1-9]", 1, 0)
'第3位：添加读者
Me.CB_AddReader.Value = IIf(Mid$(ql_flag, 3, 1) Like "[1-9]", 1, 0)
'第4位：读者管理
Me.CB_ManageReader.Value = IIf(Mid$(ql_flag, 4, 1) Like "[1-9]", 1, 0)
'第5位：添加借阅记录
Me.CB_AddLoan.Value = IIf(Mid$(ql_flag, 5, 1) Like "[1-9]", 1, 0)
'第6位：借阅记录管理
Me.CB_ManageLoan.Value = IIf(Mid$(ql_flag, 6, 1) Like "[1-9]", 1, 0)
'第7位：用户维护
Me.CB_ManageUser.Value = IIf(Mid$(ql_flag, 7, 1) Like "[1-9]", 1, 0)
'第8位: 信息打印
Me.CB_Print.Value = IIf(Mid$(ql_flag, 8, 1) Like "[1-9]", 1, 0)
End Sub
Private Sub Form_Unload(Cancel As Integer)
MainForm.StatusBar1.Panels(1).Text = "状态： 无"
End Sub
