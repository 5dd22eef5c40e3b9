VERSION 5.00
Object = "{3B7C8863-D78F-101B-B9B5-04021C009402}#1.2#0"; "RICHTX32.OCX"
Object = "{86CF1D34-0C5F-11D2-A9FC-0000F8754DA1}#2.0#0"; "MSCOMCT2.OCX"
Begin VB.Form FrmEditCategory 
   Caption         =   "编辑图书类别"
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
         Caption         =   "编辑图书类别"
         Height          =   15000
         Left            =   960
         TabIndex        =   1
         Top             =   480
         Width           =   11895
         Begin VB.Label Label1 
            Caption         =   "类别编号："
            Height          =   495
            Left            =   2880
            TabIndex        =   3
            Top             =   600
            Width           =   1455
         End
         Begin VB.TextBox TB_categoryId 
            Height          =   350
            Left            =   5160
            TabIndex        =   4
            Top             =   480
            Width           =   3135
         End
         Begin VB.Label Label2
            Caption         =   "类别名称："
            Height          =   375
            Left            =   2880
            TabIndex        =   6
            Top             =   1200
            Width           =   2175
         End
         Begin VB.TextBox TB_categoryName
            Height          =   350
            Left            =   5160
            TabIndex        =   7
            Top             =   1080
            Width           =   3135
         End
         Begin VB.Label Label3 
            Caption         =   "图标："
            Height          =   615
            Left            =   2880
            TabIndex        =   8
            Top             =   1800
            Width           =   1935
         End
         Begin VB.Image Image_icon
            Height          =   2655
            Left            =   5160
            Stretch         =   -1  'True
            Top             =   1800
            Width           =   3135
         End
         Begin VB.CommandButton Btn_icon
            Caption         =   "添加图片"
            Height          =   375
            Left            =   8640
            TabIndex        =   9
            Top             =   4080
            Width           =   1455
         End
         Begin VB.TextBox TB_iconPath 
            Enabled         =   0   'False
            Height          =   270
            Left            =   5160
            TabIndex        =   10
            Top             =   4560
            Width           =   5295
         End
         Begin VB.Label Label4
            Caption         =   "推荐图书："
            Height          =   495
            Left            =   2880
            TabIndex        =   11
            Top             =   5040
            Width           =   1335
         End
         Begin VB.ComboBox CB_topBook
            Height          =   300
            Left            =   5160
            TabIndex        =   12
            Text            =   "Combo1"
            Top             =   4920
            Width           =   3135
         End
         Begin VB.CommandButton Btn_Update 
            Caption         =   "更新图书类别"
            Height          =   375
            Left            =   6360
            TabIndex        =   13
            Top             =   5640
            Width           =   1335
         End
      End
   End
End
Attribute VB_Name = "FrmEditCategory"
Attribute VB_GlobalNameSpace = False
Attribute VB_Creatable = False
Attribute VB_PredeclaredId = True
Attribute VB_Exposed = False
Dim topBooks() As String
Dim iconStream As ADODB.Stream
Public categoryId As Integer
Private Sub Btn_Update_Click()
   Dim categoryRs As ADODB.Recordset
   Call check_condatabase
  sql = "select * from Category where categoryId=" & Me.TB_categoryId.Text
  Set categoryRs = New ADODB.Recordset
  Set categoryRs.ActiveConnection = cn
  categoryRs.LockType = adLockOptimistic
  categoryRs.CursorType = adOpenKeyset
  categoryRs.Open sql
  categoryRs("categoryName") = Me.TB_categoryName.Text
  categoryRs("icon") = iconStream.Read
  categoryRs("topBook") = topBooks(Me.CB_topBook.ListIndex + 1)
  categoryRs.Update
  MsgBox "图书类别更新成功!"
  Unload Me
EndSub:
End Sub

'选择一个图片
Private Sub Btn_icon_Click()
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
        Me.TB_iconPath.Text = fileDlg.FileName
        Me.Image_icon.Picture = LoadPicture(fileDlg.FileName)
        iconStream.Close
        Set iconStream = Nothing
        Set iconStream = New ADODB.Stream
        With iconStream
            .Type = adTypeBinary   '二进制模式
            .Open
            .LoadFromFile fileDlg.FileName
        End With
    End If
End Sub

Private Sub Form_Load()
  Me.Image_icon.Picture = LoadPicture(App.Path & "\background\NoImage.jpg")
  Set iconStream = New ADODB.Stream
  With iconStream
    .Type = adTypeBinary   '二进制模式
    .Open
    .LoadFromFile App.Path + "\background\NoImage.jpg"
  End With
  Call condatabase '连接数据库
  Set topBookRs = New ADODB.Recordset
  topBookRs.Open "select * from Book", cn, adOpenStatic, adLockPessimistic
  ReDim topBooks(topBookRs.RecordCount)
  Dim topBook_Index As Integer
  topBook_Index = 1
  Me.CB_topBook.Clear
  Do Until topBookRs.EOF 
    Me.CB_topBook.AddItem topBookRs.Fields("title")
    topBooks(topBook_Index) = topBookRs.Fields("isbn")
    topBookRs.MoveNext
    topBook_Index = topBook_Index + 1
  Loop
  topBookRs.Close
  Set topBookRs = Nothing
  '初始化图书类别数据
  Set categoryRs = New ADODB.Recordset
  Dim querySql As String
  querySql = "select * from Category where categoryId=" & categoryId
  categoryRs.Open querySql, cn, adOpenStatic, adLockPessimistic
  Me.TB_categoryId.Text = CInt(Me.categoryId)
  Me.TB_categoryName.Text = categoryRs.Fields("categoryName")
  Set iconStream = New ADODB.Stream
  iconStream.Type = 1
  '-------------以二进制模式打开------------------------------------
  iconStream.Open
  '--------------------将字符串内容写入缓冲--------------------------
  iconStream.Write categoryRs("icon").GetChunk(categoryRs("icon").ActualSize)
  '--------------------将缓冲的内容写入文件--------------------------
  iconStream.SaveToFile App.Path & "\Tmp\icon.photo", 2
  Me.Image_icon.Picture = LoadPicture(App.Path & "\Tmp\icon.photo")
  For i = 1 To UBound(topBooks)
    If topBooks(i) = categoryRs.Fields("topBook") Then
        Me.CB_topBook.ListIndex = i - 1
        Exit For
    End If
Next 
  Call close_condatabase '关闭数据库
End Sub

Private Sub VScroll1_Change()
    Picture1.Top = -VScroll1.Value
End Sub
