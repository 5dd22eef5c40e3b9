VERSION 5.00
Object = "{3B7C8863-D78F-101B-B9B5-04021C009402}#1.2#0"; "RICHTX32.OCX"
Object = "{86CF1D34-0C5F-11D2-A9FC-0000F8754DA1}#2.0#0"; "MSCOMCT2.OCX"
Begin VB.Form FrmAddReader 
   Caption         =   "添加读者"
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
         Caption         =   "添加读者"
         Height          =   15000
         Left            =   960
         TabIndex        =   1
         Top             =   480
         Width           =   11895
         Begin VB.Label Label1
            Caption         =   "姓名："
            Height          =   375
            Left            =   2880
            TabIndex        =   3
            Top             =   600
            Width           =   2175
         End
         Begin VB.TextBox TB_readerName
            Height          =   350
            Left            =   5160
            TabIndex        =   4
            Top             =   480
            Width           =   3135
         End
         Begin VB.Label Label2
            Caption         =   "性别："
            Height          =   375
            Left            =   2880
            TabIndex        =   5
            Top             =   1200
            Width           =   2175
         End
         Begin VB.TextBox TB_gender
            Height          =   350
            Left            =   5160
            TabIndex        =   6
            Top             =   1080
            Width           =   3135
         End
         Begin VB.Label Label3
            Caption         =   "联系电话："
            Height          =   375
            Left            =   2880
            TabIndex        =   7
            Top             =   1800
            Width           =   2175
         End
         Begin VB.TextBox TB_phone
            Height          =   350
            Left            =   5160
            TabIndex        =   8
            Top             =   1680
            Width           =   3135
         End
         Begin VB.Label Label4 
            Caption         =   "办证日期："
            Height          =   255
            Left            =   2880
            TabIndex        =   9
            Top             =   2400
            Width           =   1455
         End
         Begin MSComCtl2.DTPicker DTP_registerDate 
            Height          =   375
            Left            =   5160
            TabIndex        =   10
            Top             =   2280
            Width           =   2415
            _ExtentX        =   4260
            _ExtentY        =   661
            _Version        =   393216
            Format          =   13434881
            CurrentDate     =   41840
         End
         Begin VB.Label Label5 
            Caption         =   "照片："
            Height          =   615
            Left            =   2880
            TabIndex        =   11
            Top             =   3000
            Width           =   1935
         End
         Begin VB.Image Image_photo
            Height          =   2655
            Left            =   5160
            Stretch         =   -1  'True
            Top             =   3000
            Width           =   3135
         End
         Begin VB.CommandButton Btn_photo
            Caption         =   "添加图片"
            Height          =   375
            Left            =   8640
            TabIndex        =   12
            Top             =   5280
            Width           =   1455
         End
         Begin VB.TextBox TB_photoPath 
            Enabled         =   0   'False
            Height          =   270
            Left            =   5160
            TabIndex        =   13
            Top             =   5760
            Width           =   5295
         End
         Begin VB.CommandButton Btn_Add 
            Caption         =   "添加读者"
            Height          =   375
            Left            =   6360
            TabIndex        =   14
            Top             =   6240
            Width           =   1335
         End
      End
   End
End
Attribute VB_Name = "FrmAddReader"
Attribute VB_GlobalNameSpace = False
Attribute VB_Creatable = False
Attribute VB_PredeclaredId = True
Attribute VB_Exposed = False
Option Explicit
Dim photoStream As ADODB.Stream

Private Sub Btn_Add_Click()
  Dim cmd As ADODB.Command
  Dim statementText As String
  If Trim$(Me.TB_readerName.Text) = "" Then
    MsgBox "请输入姓名!", vbInformation, "信息提示"
    Me.TB_readerName.SetFocus
    Exit Sub
  End If
  If Not TextFits(Me.TB_readerName.Text, 30, True) Then
    MsgBox "姓名不能超过30个字节（一个汉字占两个字节）!", vbInformation, "信息提示"
    Me.TB_readerName.SetFocus
    Exit Sub
  End If
  If Trim$(Me.TB_gender.Text) = "" Then
    MsgBox "请输入性别!", vbInformation, "信息提示"
    Me.TB_gender.SetFocus
    Exit Sub
  End If
  If Not TextFits(Me.TB_gender.Text, 2, True) Then
    MsgBox "性别不能超过2个字节（一个汉字占两个字节）!", vbInformation, "信息提示"
    Me.TB_gender.SetFocus
    Exit Sub
  End If
  If Not TextFits(Me.TB_phone.Text, 20, True) Then
    MsgBox "联系电话不能超过20个字节（一个汉字占两个字节）!", vbInformation, "信息提示"
    Me.TB_phone.SetFocus
    Exit Sub
  End If
  On Error GoTo SaveFailed
  Call check_condatabase
  statementText = "insert into [Reader] ([readerName]"
  statementText = statementText & ", [gender]"
  statementText = statementText & ", [phone]"
  statementText = statementText & ", [registerDate]"
  statementText = statementText & ", [photo]"
  statementText = statementText & ") values (?, ?, ?, ?, ?)"
  Set cmd = NewCommand(statementText)
  Call AddColumnTextParameter(cmd, Me.TB_readerName.Text, False, 30, False)
  Call AddColumnTextParameter(cmd, Me.TB_gender.Text, False, 2, False)
  Call AddColumnTextParameter(cmd, Me.TB_phone.Text, False, 20, False)
  Call AddPickedDateParameter(cmd, Me.DTP_registerDate.Value)
  Call AddPictureParameter(cmd, photoStream)
  cmd.Execute
  MsgBox "读者添加成功!"
  Unload Me
  Exit Sub
SaveFailed:
  MsgBox "读者保存失败：" & Err.Description, vbExclamation, "错误提示"
End Sub
'选择一个图片；打不开的文件不改变已选的图片
Private Sub Btn_photo_Click()
  Dim fileDlg As Object
  Dim chosen As ADODB.Stream
  On Error GoTo NoDialog
  Set fileDlg = CreateObject("MSComDlg.CommonDialog")
  fileDlg.DialogTitle = "选择附件文件"
  fileDlg.Filter = "JPEG图片 (*.jpg)|*.jpg|Gif图片 (*.gif)|*.gif|位图 (*.bmp)|*.bmp"
  fileDlg.FilterIndex = 1
  fileDlg.ShowOpen
  If fileDlg.FileName = "" Then Exit Sub
  On Error GoTo NotAPicture
  Me.Image_photo.Picture = LoadPicture(fileDlg.FileName)
  Set chosen = New ADODB.Stream
  chosen.Type = adTypeBinary
  chosen.Open
  chosen.LoadFromFile fileDlg.FileName
  Set photoStream = chosen
  Me.TB_photoPath.Text = fileDlg.FileName
  Exit Sub
NoDialog:
  MsgBox "无法打开选择图片的对话框（需要已注册的 comdlg32.ocx）：" & Err.Description, vbExclamation, "错误提示"
  Exit Sub
NotAPicture:
  MsgBox "无法读取这个图片文件（可用 JPEG、GIF 或 BMP）：" & Err.Description, vbExclamation, "错误提示"
End Sub

Private Sub Form_Load()
  On Error GoTo LoadFailed
  Me.Image_photo.Picture = LoadPicture(App.Path & "\background\NoImage.jpg")
  Set photoStream = New ADODB.Stream
  photoStream.Type = adTypeBinary
  photoStream.Open
  Call condatabase '连接数据库
  Me.DTP_registerDate.Value = Date
  Exit Sub
LoadFailed:
  MsgBox "打开添加读者窗体时读取数据失败：" & Err.Description & vbCrLf & "请检查数据库连接后再打开。", vbExclamation, "错误提示"
End Sub

Private Sub VScroll1_Change()
    Picture1.Top = -VScroll1.Value
End Sub
