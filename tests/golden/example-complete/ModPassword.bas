Attribute VB_Name = "ModPassword"
'操作员密码：只保存加盐的 PBKDF2-SHA256 散列及其迭代次数（由 Windows CNG 计算），从不保存密码本身
Option Explicit

Private Declare Function BCryptOpenAlgorithmProvider Lib "bcrypt.dll" (ByRef phAlgorithm As Long, ByVal pszAlgId As Long, ByVal pszImplementation As Long, ByVal dwFlags As Long) As Long
Private Declare Function BCryptCloseAlgorithmProvider Lib "bcrypt.dll" (ByVal hAlgorithm As Long, ByVal dwFlags As Long) As Long
Private Declare Function BCryptDeriveKeyPBKDF2 Lib "bcrypt.dll" (ByVal hPrf As Long, ByVal pbPassword As Long, ByVal cbPassword As Long, ByVal pbSalt As Long, ByVal cbSalt As Long, ByVal iterationsLow As Long, ByVal iterationsHigh As Long, ByVal pbDerivedKey As Long, ByVal cbDerivedKey As Long, ByVal dwFlags As Long) As Long
Private Declare Function BCryptGenRandom Lib "bcrypt.dll" (ByVal hAlgorithm As Long, ByVal pbBuffer As Long, ByVal cbBuffer As Long, ByVal dwFlags As Long) As Long

Private Const BCRYPT_ALG_HANDLE_HMAC_FLAG As Long = &H8
Private Const BCRYPT_USE_SYSTEM_PREFERRED_RNG As Long = &H2
Private Const SALT_BYTES As Long = 16
Private Const HASH_BYTES As Long = 32

Public Const PASSWORD_ITERATIONS As Long = 100000   '新设定的密码使用的迭代次数
Public Const MIN_PASSWORD_LENGTH As Long = 6              '新密码至少这么多个字符

'本机能否正确计算密码散列：按一个已知结果核对（需要 Windows Vista SP2 / Windows 7 或更新版本）
Public Function PasswordHashingWorks() As Boolean
  On Error GoTo NotWorking
  PasswordHashingWorks = (PasswordHash("secret", "000102030405060708090A0B0C0D0E0F", 1000) = _
      "892FFD9E1D0A6FAB3E2E6DBC407260D2E0048DB834D26584AD2FBF5D48FAF192")
  Exit Function
NotWorking:
  PasswordHashingWorks = False
End Function

'密码的 PBKDF2-SHA256 散列（十六进制大写）
Public Function PasswordHash(ByVal password As String, ByVal saltHex As String, ByVal iterations As Long) As String
  Dim algorithm As Long
  Dim status As Long
  Dim passwordBytes() As Byte
  Dim saltBytes() As Byte
  Dim derived(0 To HASH_BYTES - 1) As Byte
  If Len(password) = 0 Then Err.Raise vbObjectError + 1, "PasswordHash", "密码不能为空"
  If iterations < 1 Then Err.Raise vbObjectError + 2, "PasswordHash", "迭代次数不正确"
  passwordBytes = password
  saltBytes = HexToBytes(saltHex)
  status = BCryptOpenAlgorithmProvider(algorithm, StrPtr("SHA256"), 0, BCRYPT_ALG_HANDLE_HMAC_FLAG)
  If status <> 0 Then Err.Raise vbObjectError + 3, "PasswordHash", "无法打开 SHA256 算法（错误 &H" & Hex$(status) & "）"
  status = BCryptDeriveKeyPBKDF2(algorithm, VarPtr(passwordBytes(0)), UBound(passwordBytes) + 1, _
      VarPtr(saltBytes(0)), UBound(saltBytes) + 1, iterations, 0, VarPtr(derived(0)), HASH_BYTES, 0)
  Call BCryptCloseAlgorithmProvider(algorithm, 0)
  If status <> 0 Then Err.Raise vbObjectError + 4, "PasswordHash", "无法计算密码散列（错误 &H" & Hex$(status) & "）"
  PasswordHash = BytesToHex(derived)
End Function

'输入的密码是否与保存的盐、散列和迭代次数相符
Public Function PasswordMatches(ByVal password As String, ByVal saltHex As String, ByVal hashHex As String, ByVal iterations As Long) As Boolean
  PasswordMatches = (StrComp(PasswordHash(password, saltHex, iterations), Trim$(hashHex), vbTextCompare) = 0)
End Function

'新密码是否可用；不可用时提示并返回 False
Public Function NewPasswordAccepted(ByVal password As String) As Boolean
  NewPasswordAccepted = False
  If Len(password) < MIN_PASSWORD_LENGTH Then
    MsgBox "密码至少要有 " & MIN_PASSWORD_LENGTH & " 个字符!", vbOKOnly + vbExclamation, "错误提示"
    Exit Function
  End If
  NewPasswordAccepted = True
End Function

'给语句依次添加新密码的盐、散列和迭代次数三个参数（新的随机盐）
Public Sub AddPasswordParameters(ByVal cmd As ADODB.Command, ByVal password As String)
  Dim saltHex As String
  saltHex = NewSalt()
  Call AddHexParameter(cmd, saltHex)
  Call AddHexParameter(cmd, PasswordHash(password, saltHex, PASSWORD_ITERATIONS))
  cmd.Parameters.Append cmd.CreateParameter(, adInteger, adParamInput, 4, PASSWORD_ITERATIONS)
End Sub

Private Sub AddHexParameter(ByVal cmd As ADODB.Command, ByVal hexText As String)
  cmd.Parameters.Append cmd.CreateParameter(, adChar, adParamInput, Len(hexText), hexText)
End Sub

'随机的盐（十六进制）
Private Function NewSalt() As String
  Dim saltBytes(0 To SALT_BYTES - 1) As Byte
  Dim status As Long
  status = BCryptGenRandom(0, VarPtr(saltBytes(0)), SALT_BYTES, BCRYPT_USE_SYSTEM_PREFERRED_RNG)
  If status <> 0 Then Err.Raise vbObjectError + 5, "NewSalt", "无法取得随机数（错误 &H" & Hex$(status) & "）"
  NewSalt = BytesToHex(saltBytes)
End Function

Private Function BytesToHex(bytes() As Byte) As String
  Dim i As Long
  Dim hexText As String
  hexText = ""
  For i = LBound(bytes) To UBound(bytes)
    hexText = hexText & Right$("0" & Hex$(bytes(i)), 2)
  Next i
  BytesToHex = hexText
End Function

Private Function HexToBytes(ByVal hexText As String) As Byte()
  Dim bytes() As Byte
  Dim i As Long
  hexText = Trim$(hexText)
  If Len(hexText) < 2 Or Len(hexText) Mod 2 <> 0 Or hexText Like "*[!0-9A-Fa-f]*" Then
    Err.Raise vbObjectError + 6, "HexToBytes", "保存的密码盐不正确"
  End If
  ReDim bytes(0 To Len(hexText) \ 2 - 1)
  For i = 0 To UBound(bytes)
    bytes(i) = CByte("&H" & Mid$(hexText, 2 * i + 1, 2))
  Next i
  HexToBytes = bytes
End Function
