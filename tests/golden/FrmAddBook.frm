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
            Caption         =   "书号："
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
            Caption         =   "内容简介："
            Height          =   375
            Left            =   2880
            TabIndex        =   8
            Top             =   1800
            Width           =   2175
         End
         Begin RichTextLib.RichTextBox RTB_summary
            Height          =   1335
            Left            =   5160
            TabIndex        =   9
            Top             =   1680
            Width           =   4215
            _ExtentX        =   7435
            _ExtentY        =   2355
            _Version        =   393217
         End
         Begin VB.Label Label4
            Caption         =   "页数："
            Height          =   375
            Left            =   2880
            TabIndex        =   10
            Top             =   3360
            Width           =   1935
         End
         Begin VB.TextBox TB_pages
            Height          =   375
            Left            =   5160
            TabIndex        =   11
            Top             =   3240
            Width           =   1335
         End
         Begin VB.Label Label5
            Caption         =   "价格："
            Height          =   495
            Left            =   2880
            TabIndex        =   12
            Top             =   3960
            Width           =   1215
         End
         Begin VB.TextBox TB_price
            Height          =   350
            Left            =   5160
            TabIndex        =   13
            Top             =   3840
            Width           =   2415
         End
         Begin VB.Label Label6 
            Caption         =   "出版日期："
            Height          =   255
            Left            =   2880
            TabIndex        =   14
            Top             =   4560
            Width           =   1455
         End
         Begin MSComCtl2.DTPicker DTP_publishDate 
            Height          =   375
            Left            =   5160
            TabIndex        =   15
            Top             =   4440
            Width           =   2415
            _ExtentX        =   4260
            _ExtentY        =   661
            _Version        =   393216
            Format          =   13434881
            CurrentDate     =   41840
         End
         Begin VB.Label Label7 
            Caption         =   "封面："
            Height          =   615
            Left            =   2880
            TabIndex        =   16
            Top             =   5160
            Width           =   1935
         End
         Begin VB.Image Image_cover
            Height          =   2655
            Left            =   5160
            Stretch         =   -1  'True
            Top             =   5160
            Width           =   3135
         End
         Begin VB.CommandButton Btn_cover
            Caption         =   "添加图片"
            Height          =   375
            Left            =   8640
            TabIndex        =   17
            Top             =   7440
            Width           =   1455
         End
         Begin VB.TextBox TB_coverPath 
            Enabled         =   0   'False
            Height          =   270
            Left            =   5160
            TabIndex        =   18
            Top             =   7920
            Width           =   5295
         End
         Begin VB.Label Label8
            Caption         =   "类别："
            Height          =   495
            Left            =   2880
            TabIndex        =   19
            Top             =   8400
            Width           =   1335
         End
         Begin VB.ComboBox CB_bookCategory
            Height          =   300
            Left            =   5160
            TabIndex        =   20
            Text            =   "Combo1"
            Top             =   8280
            Width           =   3135
         End
         Begin VB.CommandButton Btn_Add 
            Caption         =   "添加图书"
            Height          =   375
            Left            =   6360
            TabIndex        =   21
            Top             =   9000
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
Dim bookCategorys() As Integer
Dim coverStream As ADODB.Stream
Private Sub Btn_Add_Click()
   Dim bookRs As ADODB.Recordset
  '验证输入信息
  If Me.TB_isbn.Text = "" Then
    MsgBox "请输入书号!", vbOKOnly, "错误提示"
    Me.TB_isbn.SetFocus
    Exit Sub
  End If
   Call check_condatabase
  sql = "select isbn from Book where isbn = '" & Me.TB_isbn.Text & "'"
  Set bookRs = cn.Execute(sql)
  If Not bookRs.EOF Then
    MsgBox "对不起，此图书书号的信息系统已经存在了！"
    Exit Sub
  End If
  bookRs.Close
  Set bookRs = Nothing
  sql = "select * from Book"
  Set bookRs = New ADODB.Recordset
  Set bookRs.ActiveConnection = cn
  bookRs.LockType = adLockOptimistic
  bookRs.CursorType = adOpenKeyset
  bookRs.Open sql
  bookRs.AddNew '添加新图书信息
  bookRs("isbn") = Me.TB_isbn.Text
  bookRs("title") = Me.TB_title.Text
  bookRs("summary") = Me.RTB_summary.Text
  On Error GoTo pagesError:
  bookRs("pages") = CInt(Me.TB_pages.Text)
  GoTo pagesOK
pagesError:
  MsgBox "页数输入格式不正确!", vbInformation, "信息提示"
  Me.TB_pages.SetFocus
  GoTo EndSub
pagesOK:
  On Error GoTo priceError
  bookRs("price") = CSng(Me.TB_price.Text)
  GoTo priceOK
priceError:
  MsgBox "价格输入格式不正确！", vbInformation, "信息提示"
  Me.TB_price.SetFocus
  GoTo EndSub
priceOK:
  bookRs("publishDate") = Me.DTP_publishDate.Value
  bookRs("cover") = coverStream.Read
  bookRs("bookCategory") = bookCategorys(Me.CB_bookCategory.ListIndex + 1)
  bookRs.Update
  MsgBox "图书添加成功!"
  Unload Me
EndSub:
End Sub

'选择一个图片
Private Sub Btn_cover_Click()
    Dim fileDlg As Object           ' 文件对话框
    ' 变量初始化
    Set fileDlg = CreateObject("MSComDlg.CommonDialog")
    ' 打开附件
    fileDlg.DialogTitle = "选择附件文件"
    fileDlg.Filter = "JPEG图片 (*.jpg)|*.jpg|" & _
                    "Gif图片 (*.gif)|*.gif|"
    fileDlg.FilterIndex = 0
    fileDlg.ShowOpen
    If fileDlg.FileName <> "" Then
        Me.TB_coverPath.Text = fileDlg.FileName
        Me.Image_cover.Picture = LoadPicture(fileDlg.FileName)
        coverStream.Close
        Set coverStream = Nothing
        Set coverStream = New ADODB.Stream
        With coverStream
            .Type = adTypeBinary   '二进制模式
            .Open
            .LoadFromFile fileDlg.FileName
        End With
    End If
End Sub

Private Sub Form_Load()
  Me.Image_cover.Picture = LoadPicture(App.Path & "\background\NoImage.jpg")
  Set coverStream = New ADODB.Stream
  With coverStream
    .Type = adTypeBinary   '二进制模式
    .Open
    .LoadFromFile App.Path + "\background\NoImage.jpg"
  End With
  Call condatabase '连接数据库
  Set bookCategoryRs = New ADODB.Recordset
  bookCategoryRs.Open "select * from Category", cn, adOpenStatic, adLockPessimistic
  ReDim bookCategorys(bookCategoryRs.RecordCount)
  Dim bookCategory_Index As Integer
  bookCategory_Index = 1
  Me.CB_bookCategory.Clear
  Do Until bookCategoryRs.EOF 
    Me.CB_bookCategory.AddItem bookCategoryRs.Fields("categoryName")
    bookCategorys(bookCategory_Index) = CInt(bookCategoryRs.Fields("categoryId"))
    bookCategoryRs.MoveNext
    bookCategory_Index = bookCategory_Index + 1
  Loop
  If bookCategoryRs.RecordCount > 0 Then
    Me.CB_bookCategory.ListIndex = 0
  End If
  bookCategoryRs.Close
  Set bookCategoryRs = Nothing
  Call close_condatabase '关闭数据库
End Sub

Private Sub VScroll1_Change()
    Picture1.Top = -VScroll1.Value
End Sub
