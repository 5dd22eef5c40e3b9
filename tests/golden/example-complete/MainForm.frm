VERSION 5.00
Object = "{831FDD16-0C5C-11D2-A9FC-0000F8754DA1}#2.0#0"; "MSCOMCTL.OCX"
Begin VB.MDIForm MainForm 
   BackColor       =   &H8000000C&
   Caption         =   "信息管理系统"
   ClientHeight    =   7590
   ClientLeft      =   165
   ClientTop       =   735
   ClientWidth     =   11880
   LinkTopic       =   "MDIForm1"
   StartUpPosition =   3  'Windows Default
   WindowState     =   2  'Maximized
   Begin MSComctlLib.StatusBar StatusBar1 
      Align           =   2  'Align Bottom
      Height          =   375
      Left            =   0
      TabIndex        =   0
      Top             =   7215
      Width           =   11880
      _ExtentX        =   20955
      _ExtentY        =   661
      _Version        =   393216
      BeginProperty Panels {8E3867A5-8586-11D1-B16A-00C0F0283628} 
         NumPanels       =   3
         BeginProperty Panel1 {8E3867AB-8586-11D1-B16A-00C0F0283628} 
            AutoSize        =   1
            Object.Width           =   13229
            Text            =   "状态： 无"
            TextSave        =   "状态： 无"
         EndProperty
         BeginProperty Panel2 {8E3867AB-8586-11D1-B16A-00C0F0283628} 
            Object.Width           =   4410
            MinWidth        =   4410
         EndProperty
         BeginProperty Panel3 {8E3867AB-8586-11D1-B16A-00C0F0283628} 
            Style           =   6
            Object.Width           =   2646
            MinWidth        =   2646
            TextSave        =   "2014-1-1"
         EndProperty
      EndProperty
   End
   Begin VB.Menu mnuSystem 
      Caption         =   "系统管理(&S)"
      Begin VB.Menu mnuOperator 
         Caption         =   "操作员维护(&U)"
      End
      Begin VB.Menu mnuAuthorize 
         Caption         =   "操作员授权(&Q)"
      End
      Begin VB.Menu mnuSystemLine 
         Caption         =   "-"
      End
      Begin VB.Menu mnuExit 
         Caption         =   "退出系统(&X)"
      End
   End
   Begin VB.Menu mnuBookClass
      Caption         =   "图书管理(&1)"
      Begin VB.Menu mnuBookAdd
         Caption         =   "添加图书(&A)"
      End
      Begin VB.Menu mnuBookManage
         Caption         =   "图书维护(&M)"
      End
   End
   Begin VB.Menu mnuReaderClass
      Caption         =   "读者管理(&2)"
      Begin VB.Menu mnuReaderAdd
         Caption         =   "添加读者(&A)"
      End
      Begin VB.Menu mnuReaderManage
         Caption         =   "读者维护(&M)"
      End
   End
   Begin VB.Menu mnuLoanClass
      Caption         =   "借阅记录管理(&3)"
      Begin VB.Menu mnuLoanAdd
         Caption         =   "添加借阅记录(&A)"
      End
      Begin VB.Menu mnuLoanManage
         Caption         =   "借阅记录维护(&M)"
      End
   End
   Begin VB.Menu mnuWindow 
      Caption         =   "窗口(&W)"
      WindowList      =   -1  'True
      Begin VB.Menu mnuCascade 
         Caption         =   "层叠(&C)"
      End
      Begin VB.Menu mnuTile 
         Caption         =   "平铺(&T)"
      End
   End
End
Attribute VB_Name = "MainForm"
Attribute VB_GlobalNameSpace = False
Attribute VB_Creatable = False
Attribute VB_PredeclaredId = True
Attribute VB_Exposed = False
'主窗体：系统菜单、各类的添加与维护菜单、状态栏
Option Explicit

Dim t As Boolean    '菜单权限判断的结果

Private Sub MDIForm_Load()
  StatusBar1.Panels(1).Text = "状态： 无"
  StatusBar1.Panels(2).Text = "操作员：" & czry_name
End Sub

Private Sub MDIForm_QueryUnload(Cancel As Integer, UnloadMode As Integer)
  If MsgBox("确定要退出系统吗？", vbYesNo + vbQuestion, "退出系统") = vbNo Then
    Cancel = 1
  End If
End Sub

Private Sub MDIForm_Unload(Cancel As Integer)
  Call close_condatabase
End Sub

'操作员维护：权限串的倒数第二位
Private Sub mnuOperator_Click()
  t = check_qx(czry_flag, ManageUserRight())
  If t = True Then
    MainForm.StatusBar1.Panels(1).Text = "状态：操作员维护"
    frmCzry.authorizeOnly = False
    frmCzry.Show vbModal
    MainForm.StatusBar1.Panels(1).Text = "状态： 无"
  End If
End Sub

'操作员授权：与操作员维护同一权限，只能选择操作员并授权
Private Sub mnuAuthorize_Click()
  t = check_qx(czry_flag, ManageUserRight())
  If t = True Then
    MainForm.StatusBar1.Panels(1).Text = "状态：操作员授权"
    frmCzry.authorizeOnly = True
    frmCzry.Show vbModal
    MainForm.StatusBar1.Panels(1).Text = "状态： 无"
  End If
End Sub

Private Sub mnuExit_Click()
  Unload Me
End Sub

Private Sub mnuCascade_Click()
  Me.Arrange vbCascade
End Sub

Private Sub mnuTile_Click()
  Me.Arrange vbTileHorizontal
End Sub

Private Sub mnuBookAdd_Click()
 '调用函数进行判断是否拥有权限使用添加图书功能
  If check_qx(czry_flag, 1) Then
    MainForm.StatusBar1.Panels(1).Text = "状态：添加图书"
    FrmAddBook.Show
  End If
End Sub

Private Sub mnuBookManage_Click()
 '调用函数进行判断是否拥有权限使用管理图书功能
  If check_qx(czry_flag, 2) Then
    MainForm.StatusBar1.Panels(1).Text = "状态：管理图书"
    FrmManageBook.Show
  End If
End Sub
Private Sub mnuReaderAdd_Click()
 '调用函数进行判断是否拥有权限使用添加读者功能
  If check_qx(czry_flag, 3) Then
    MainForm.StatusBar1.Panels(1).Text = "状态：添加读者"
    FrmAddReader.Show
  End If
End Sub

Private Sub mnuReaderManage_Click()
 '调用函数进行判断是否拥有权限使用管理读者功能
  If check_qx(czry_flag, 4) Then
    MainForm.StatusBar1.Panels(1).Text = "状态：管理读者"
    FrmManageReader.Show
  End If
End Sub
Private Sub mnuLoanAdd_Click()
 '调用函数进行判断是否拥有权限使用添加借阅记录功能
  If check_qx(czry_flag, 5) Then
    MainForm.StatusBar1.Panels(1).Text = "状态：添加借阅记录"
    FrmAddLoan.Show
  End If
End Sub

Private Sub mnuLoanManage_Click()
 '调用函数进行判断是否拥有权限使用管理借阅记录功能
  If check_qx(czry_flag, 6) Then
    MainForm.StatusBar1.Panels(1).Text = "状态：管理借阅记录"
    FrmManageLoan.Show
  End If
End Sub

