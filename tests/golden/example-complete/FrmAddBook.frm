VERSION 5.00
Object = "{3B7C8863-D78F-101B-B9B5-04021C009402}#1.2#0"; "RICHTX32.OCX"
Object = "{86CF1D34-0C5F-11D2-A9FC-0000F8754DA1}#2.0#0"; "MSCOMCT2.OCX"
Begin VB.Form FrmAddBook 
   Caption         =   "添加图书"
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
         Caption         =   "添加图书"
         Height          =   15000
         Left            =   960
         TabIndex        =   1
         Top             =   480
         Width           =   11895
         Begin VB.Label Label1 
            Caption         =   "ISBN编号："
            Height          =   495
            Left            =   2880
            TabIndex        =   3
            Top             =   600
            Width           =   1455
         End
         Begin VB.TextBox TB_isbn 
            Height          =   350
            Left            =   5160
            TabIndex        =   4
            Top             =   480
            Width           =   3135
         End
         Begin VB.Label Label2
            Caption         =   "书名："
            Height          =   375
            Left            =   2880
            TabIndex        =   6
            Top             =   1200
            Width           =   2175
         End
         Begin VB.TextBox TB_title
            Height          =   350
            Left            =   5160
            TabIndex        =   7
            Top             =   1080
            Width           =   3135
         End
         Begin VB.Label Label3
            Caption         =   "作者："
            Height          =   375
            Left            =   2880
            TabIndex        =   8
            Top             =   1800
            Width           =   2175
         End
         Begin VB.TextBox TB_author
            Height          =   350
            Left            =   5160
            TabIndex        =   9
            Top             =   1680
            Width           =   3135
         End
         Begin VB.Label Label4
            Caption         =   "出版社："
            Height          =   375
            Left            =   2880
            TabIndex        =   10
            Top             =   2400
            Width           =   2175
         End
         Begin VB.TextBox TB_publisher
            Height          =   350
            Left            =   5160
            TabIndex        =   11
            Top             =   2280
            Width           =   3135
         End
         Begin VB.Label Label5 
            Caption         =   "出版日期："
            Height          =   255
            Left            =   2880
            TabIndex        =   12
            Top             =   3000
            Width           =   1455
         End
         Begin MSComCtl2.DTPicker DTP_publishDate 
            Height          =   375
            Left            =   5160
            TabIndex        =   13
            Top             =   2880
            Width           =   2415
            _ExtentX        =   4260
            _ExtentY        =   661
            _Version        =   393216
            Format          =   13434881
            CurrentDate     =   41840
         End
         Begin VB.Label Label6
            Caption         =   "定价(元)："
            Height          =   495
            Left            =   2880
            TabIndex        =   14
            Top             =   3600
            Width           =   1215
         End
         Begin VB.TextBox TB_price
            Height          =   350
            Left            =   5160
            TabIndex        =   15
            Top             =   3480
            Width           =   2415
         End
         Begin VB.Label Label7
            Caption         =   "馆藏册数："
            Height          =   375
            Left            =   2880
            TabIndex        =   16
            Top             =   4200
            Width           =   1935
         End
         Begin VB.TextBox TB_copies
            Height          =   375
            Left            =   5160
            TabIndex        =   17
            Top             =   4080
            Width           =   1335
         End
         Begin VB.Label Label8 
            Caption         =   "封面："
            Height          =   615
            Left            =   2880
            TabIndex        =   18
            Top             =   4800
            Width           =   1935
         End
         Begin VB.Image Image_cover
            Height          =   2655
            Left            =   5160
            Stretch         =   -1  'True
            Top             =   4800
            Width           =   3135
         End
         Begin VB.CommandButton Btn_cover
            Caption         =   "添加图片"
            Height          =   375
            Left            =   8640
            TabIndex        =   19
            Top             =   7080
            Width           =   1455
         End
         Begin VB.TextBox TB_coverPath 
            Enabled         =   0   'False
            Height          =   270
            Left            =   5160
            TabIndex        =   20
            Top             =   7560
            Width           =   5295
         End
         Begin VB.Label Label9
            Caption         =   "内容简介："
            Height          =   375
            Left            =   2880
            TabIndex        =   21
            Top             =   8040
            Width           =   2175
         End
         Begin RichTextLib.RichTextBox RTB_summary
            Height          =   1335
            Left            =   5160
            TabIndex        =   22
            Top             =   7920
            Width           =   4215
            _ExtentX        =   7435
            _ExtentY        =   2355
            _Version        =   393217
         End
         Begin VB.CommandButton Btn_Add 
            Caption         =   "添加图书"
            Height          =   375
            Left            =   6360
            TabIndex        =   23
            Top             =   9600
            Width           =   1335
         End
      End
   End
End
Attribute VB_Name = "FrmAddBook"
Attribute VB_GlobalNameSpace = False
Attribute VB_Creatable = False
Attribute VB_PredeclaredId = True
Attribute VB_Exposed = False
Option Explicit
Dim coverStream As ADODB.Stream

Private Sub Btn_Add_Click()
  Dim cmd As ADODB.Command
  Dim statementText As String
  Dim rs As ADODB.Recordset
  If Trim$(Me.TB_isbn.Text) = "" Then
    MsgBox "请输入ISBN编号!", vbInformation, "信息提示"
    Me.TB_isbn.SetFocus
    Exit Sub
  End If
  If Not TextFits(Me.TB_isbn.Text, 20, True) Then
    MsgBox "ISBN编号不能超过20个字节（一个汉字占两个字节）!", vbInformation, "信息提示"
    Me.TB_isbn.SetFocus
    Exit Sub
  End If
  If Trim$(Me.TB_title.Text) = "" Then
    MsgBox "请输入书名!", vbInformation, "信息提示"
    Me.TB_title.SetFocus
    Exit Sub
  End If
  If Not TextFits(Me.TB_title.Text, 100, True) Then
    MsgBox "书名不能超过100个字节（一个汉字占两个字节）!", vbInformation, "信息提示"
    Me.TB_title.SetFocus
    Exit Sub
  End If
  If Trim$(Me.TB_author.Text) = "" Then
    MsgBox "请输入作者!", vbInformation, "信息提示"
    Me.TB_author.SetFocus
    Exit Sub
  End If
  If Not TextFits(Me.TB_author.Text, 50, True) Then
    MsgBox "作者不能超过50个字节（一个汉字占两个字节）!", vbInformation, "信息提示"
    Me.TB_author.SetFocus
    Exit Sub
  End If
  If Not TextFits(Me.TB_publisher.Text, 50, True) Then
    MsgBox "出版社不能超过50个字节（一个汉字占两个字节）!", vbInformation, "信息提示"
    Me.TB_publisher.SetFocus
    Exit Sub
  End If
  If Not NumberFits(Me.TB_price.Text, -1, -1) Then
    MsgBox "定价(元)输入格式不正确！", vbInformation, "信息提示"
    Me.TB_price.SetFocus
    Exit Sub
  End If
  If Not WholeNumberBetween(Me.TB_copies.Text, -2147483648, 2147483647) Then
    MsgBox "馆藏册数应是-2147483648到2147483647之间的整数!", vbInformation, "信息提示"
    Me.TB_copies.SetFocus
    Exit Sub
  End If
  If Not TextFits(Me.RTB_summary.Text, 1000, True) Then
    MsgBox "内容简介不能超过1000个字节（一个汉字占两个字节）!", vbInformation, "信息提示"
    Me.RTB_summary.SetFocus
    Exit Sub
  End If
  On Error GoTo SaveFailed
  Call check_condatabase
  statementText = "select count(*) from [Book]"
  statementText = statementText & " where [isbn] = ?"
  Set cmd = NewCommand(statementText)
  Call AddColumnTextParameter(cmd, Me.TB_isbn.Text, False, 20, False)
  Set rs = cmd.Execute
  If rs.Fields(0).Value > 0 Then
    rs.Close
    MsgBox "对不起，此图书ISBN编号的信息系统已经存在了！"
    Me.TB_isbn.SetFocus
    Exit Sub
  End If
  rs.Close
  statementText = "insert into [Book] ([isbn]"
  statementText = statementText & ", [title]"
  statementText = statementText & ", [author]"
  statementText = statementText & ", [publisher]"
  statementText = statementText & ", [publishDate]"
  statementText = statementText & ", [price]"
  statementText = statementText & ", [copies]"
  statementText = statementText & ", [cover]"
  statementText = statementText & ", [summary]"
  statementText = statementText & ") values (?, ?, ?, ?, ?, ?, ?, ?, ?)"
  Set cmd = NewCommand(statementText)
  Call AddColumnTextParameter(cmd, Me.TB_isbn.Text, False, 20, False)
  Call AddColumnTextParameter(cmd, Me.TB_title.Text, False, 100, False)
  Call AddColumnTextParameter(cmd, Me.TB_author.Text, False, 50, False)
  Call AddColumnTextParameter(cmd, Me.TB_publisher.Text, False, 50, False)
  Call AddPickedDateParameter(cmd, Me.DTP_publishDate.Value)
  Call AddFloatNumberParameter(cmd, Me.TB_price.Text, False)
  Call AddWholeNumberParameter(cmd, Me.TB_copies.Text, adInteger, False)
  Call AddPictureParameter(cmd, coverStream)
  Call AddColumnTextParameter(cmd, Me.RTB_summary.Text, False, 1000, False)
  cmd.Execute
  MsgBox "图书添加成功!"
  Unload Me
  Exit Sub
SaveFailed:
  MsgBox "图书保存失败：" & Err.Description, vbExclamation, "错误提示"
End Sub
'选择一个图片；打不开的文件不改变已选的图片
Private Sub Btn_cover_Click()
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
  Me.Image_cover.Picture = LoadPicture(fileDlg.FileName)
  Set chosen = New ADODB.Stream
  chosen.Type = adTypeBinary
  chosen.Open
  chosen.LoadFromFile fileDlg.FileName
  Set coverStream = chosen
  Me.TB_coverPath.Text = fileDlg.FileName
  Exit Sub
NoDialog:
  MsgBox "无法打开选择图片的对话框（需要已注册的 comdlg32.ocx）：" & Err.Description, vbExclamation, "错误提示"
  Exit Sub
NotAPicture:
  MsgBox "无法读取这个图片文件（可用 JPEG、GIF 或 BMP）：" & Err.Description, vbExclamation, "错误提示"
End Sub

Private Sub Form_Load()
  On Error GoTo LoadFailed
  Me.Image_cover.Picture = LoadPicture(App.Path & "\background\NoImage.jpg")
  Set coverStream = New ADODB.Stream
  coverStream.Type = adTypeBinary
  coverStream.Open
  Call condatabase '连接数据库
  Me.DTP_publishDate.Value = Date
  Exit Sub
LoadFailed:
  MsgBox "打开添加图书窗体时读取数据失败：" & Err.Description & vbCrLf & "请检查数据库连接后再打开。", vbExclamation, "错误提示"
End Sub

Private Sub VScroll1_Change()
    Picture1.Top = -VScroll1.Value
End Sub
