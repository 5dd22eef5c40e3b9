// The complete application's own tables and operators: the script for a database that exists,
// the hashes the login and the operator form keep, and the known answer they are checked by.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <regex>
#include <string>
#include <vector>

#include "CliRunner.h"
#include "TestSupport.h"
#include "generate/emit/CompleteOperators.h"
#include "generate/emit/SqlScript.h"
#include "tests/common/TempDir.h"

namespace vbgen::test {
namespace {

using TBytes = std::vector<std::uint8_t>;

// SHA-256 (FIPS 180-4), HMAC and PBKDF2 (RFC 8018), small and slow: enough to work out what the
// generated code must arrive at without taking a crypto library into the tests.
TBytes Sha256(const TBytes& message) {
  static constexpr std::array<std::uint32_t, 64> k = {
      0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4,
      0xab1c5ed5, 0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe,
      0x9bdc06a7, 0xc19bf174, 0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f,
      0x4a7484aa, 0x5cb0a9dc, 0x76f988da, 0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7,
      0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967, 0x27b70a85, 0x2e1b2138, 0x4d2c6dfc,
      0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85, 0xa2bfe8a1, 0xa81a664b,
      0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070, 0x19a4c116,
      0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
      0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7,
      0xc67178f2};
  std::array<std::uint32_t, 8> h = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                    0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
  TBytes data = message;
  const std::uint64_t bits = static_cast<std::uint64_t>(message.size()) * 8;
  data.push_back(0x80);
  while (data.size() % 64 != 56) data.push_back(0);
  for (int i = 7; i >= 0; --i) data.push_back(static_cast<std::uint8_t>(bits >> (8 * i)));
  auto rotr = [](std::uint32_t x, int n) { return (x >> n) | (x << (32 - n)); };
  for (std::size_t block = 0; block < data.size(); block += 64) {
    std::array<std::uint32_t, 64> w{};
    for (int i = 0; i < 16; ++i) {
      const std::size_t at = block + 4 * static_cast<std::size_t>(i);
      w[i] = std::uint32_t{data[at]} << 24 | std::uint32_t{data[at + 1]} << 16 |
             std::uint32_t{data[at + 2]} << 8 | data[at + 3];
    }
    for (int i = 16; i < 64; ++i) {
      const std::uint32_t s0 = rotr(w[i - 15], 7) ^ rotr(w[i - 15], 18) ^ (w[i - 15] >> 3);
      const std::uint32_t s1 = rotr(w[i - 2], 17) ^ rotr(w[i - 2], 19) ^ (w[i - 2] >> 10);
      w[i] = w[i - 16] + s0 + w[i - 7] + s1;
    }
    std::array<std::uint32_t, 8> v = h;
    for (int i = 0; i < 64; ++i) {
      const std::uint32_t s1 = rotr(v[4], 6) ^ rotr(v[4], 11) ^ rotr(v[4], 25);
      const std::uint32_t choice = (v[4] & v[5]) ^ (~v[4] & v[6]);
      const std::uint32_t t1 = v[7] + s1 + choice + k[i] + w[i];
      const std::uint32_t s0 = rotr(v[0], 2) ^ rotr(v[0], 13) ^ rotr(v[0], 22);
      const std::uint32_t majority = (v[0] & v[1]) ^ (v[0] & v[2]) ^ (v[1] & v[2]);
      v = {t1 + s0 + majority, v[0], v[1], v[2], v[3] + t1, v[4], v[5], v[6]};
    }
    for (int i = 0; i < 8; ++i) h[i] += v[i];
  }
  TBytes digest;
  for (std::uint32_t word : h) {
    for (int i = 3; i >= 0; --i) digest.push_back(static_cast<std::uint8_t>(word >> (8 * i)));
  }
  return digest;
}

TBytes Concat(TBytes a, const TBytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

TBytes HmacSha256(TBytes key, const TBytes& message) {
  if (key.size() > 64) key = Sha256(key);
  key.resize(64, 0);
  TBytes inner = key, outer = key;
  for (std::size_t i = 0; i < 64; ++i) {
    inner[i] ^= 0x36;
    outer[i] ^= 0x5C;
  }
  return Sha256(Concat(outer, Sha256(Concat(inner, message))));
}

// One block of 32 bytes: what both the module and the script derive.
TBytes Pbkdf2Sha256(const TBytes& password, const TBytes& salt, int iterations) {
  TBytes u = HmacSha256(password, Concat(salt, {0, 0, 0, 1}));
  TBytes result = u;
  for (int round = 1; round < iterations; ++round) {
    u = HmacSha256(password, u);
    for (std::size_t i = 0; i < result.size(); ++i) result[i] ^= u[i];
  }
  return result;
}

// What a VB6 string holds: UTF-16LE (ASCII here).
TBytes Utf16Le(const std::string& ascii) {
  TBytes bytes;
  for (char c : ascii) {
    bytes.push_back(static_cast<std::uint8_t>(c));
    bytes.push_back(0);
  }
  return bytes;
}

std::string Hex(const TBytes& bytes) {
  static const char* digits = "0123456789ABCDEF";
  std::string text;
  for (std::uint8_t b : bytes) {
    text += digits[b >> 4];
    text += digits[b & 15];
  }
  return text;
}

TBytes FromHex(const std::string& text) {
  TBytes bytes;
  for (std::size_t i = 0; i + 1 < text.size(); i += 2)
    bytes.push_back(static_cast<std::uint8_t>(std::stoi(text.substr(i, 2), nullptr, 16)));
  return bytes;
}

TClassModel OneClass() {
  TClassModel book;
  book.classId = 1;
  book.className = "Book";
  book.friendName = "图书";
  TMember key;
  key.memberId = 1;
  key.classId = 1;
  key.memberName = "bookId";
  key.memberType = std::string(kTypeInteger);
  key.memberIsInteger = 1;
  key.memberIsPri = 1;
  key.memberIsDisplay = 1;
  book.members = {key};
  return book;
}

std::size_t Count(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
    ++count;
  return count;
}

}  // namespace

TEST(PasswordHashTest, TheModulesKnownAnswerIsPbkdf2OfItsInputs) {
  // The test vector also documented with openssl kdf in the generator.
  EXPECT_EQ(Hex(Pbkdf2Sha256(Utf16Le("secret"), FromHex("000102030405060708090A0B0C0D0E0F"), 1000)),
            "892FFD9E1D0A6FAB3E2E6DBC407260D2E0048DB834D26584AD2FBF5D48FAF192");
  // RFC 7914's PBKDF2-HMAC-SHA256 vector keeps this test's own arithmetic honest.
  const std::string ascii = "passwd";
  EXPECT_EQ(Hex(Pbkdf2Sha256(TBytes(ascii.begin(), ascii.end()), {'s', 'a', 'l', 't'}, 1)),
            "55AC046E56E3089FEC1691C22544B605F94185216DDE0465E68B9D57C20DACBC");

  const std::string module = BuildPasswordModule();
  const std::regex knownAnswer(
      R"re(PasswordHash\("(\w+)", "([0-9A-F]+)", (\d+)\) = _\n\s*"([0-9A-F]{64})"\))re");
  std::smatch m;
  ASSERT_TRUE(std::regex_search(module, m, knownAnswer)) << module;
  EXPECT_EQ(Hex(Pbkdf2Sha256(Utf16Le(m[1]), FromHex(m[2]), std::stoi(m[3]))), m[4].str());
}

TEST(PasswordHashTest, TheModuleCallsCngAsItIsDeclared) {
  const std::string module = BuildPasswordModule();
  // Four functions of bcrypt.dll, the PRF opened as HMAC, random salts from the system's RNG.
  EXPECT_EQ(Count(module, "Lib \"bcrypt.dll\""), 4u);
  for (const char* name : {"BCryptOpenAlgorithmProvider", "BCryptCloseAlgorithmProvider",
                           "BCryptDeriveKeyPBKDF2", "BCryptGenRandom"}) {
    EXPECT_NE(module.find("Private Declare Function " + std::string(name) + " Lib"),
              std::string::npos)
        << name;
  }
  EXPECT_NE(module.find("Private Const BCRYPT_ALG_HANDLE_HMAC_FLAG As Long = &H8\n"),
            std::string::npos);
  EXPECT_NE(module.find("Private Const BCRYPT_USE_SYSTEM_PREFERRED_RNG As Long = &H2\n"),
            std::string::npos);
  EXPECT_NE(module.find("StrPtr(\"SHA256\"), 0, BCRYPT_ALG_HANDLE_HMAC_FLAG)"), std::string::npos);
  EXPECT_NE(module.find("BCryptGenRandom(0, VarPtr(saltBytes(0)), SALT_BYTES, "
                        "BCRYPT_USE_SYSTEM_PREFERRED_RNG)"),
            std::string::npos);
  // The iteration count is a ULONGLONG: two Longs, the low one first, the high one 0.
  EXPECT_NE(module.find("ByVal iterationsLow As Long, ByVal iterationsHigh As Long, ByVal "
                        "pbDerivedKey As Long"),
            std::string::npos);
  EXPECT_NE(module.find("UBound(saltBytes) + 1, iterations, 0, VarPtr(derived(0)), HASH_BYTES, 0)"),
            std::string::npos);
  EXPECT_NE(module.find("Public Const PASSWORD_ITERATIONS As Long = " +
                        std::to_string(kPasswordIterations) + " "),
            std::string::npos);
  // A password is never stored: parameters are salt, hash and count.
  EXPECT_NE(module.find("Call AddHexParameter(cmd, saltHex)\n  Call AddHexParameter(cmd, "
                        "PasswordHash(password, saltHex, PASSWORD_ITERATIONS))"),
            std::string::npos);
}

TEST(PasswordHashTest, TheScriptHashesTheSameWay) {
  const std::string script = BuildAppTablesScriptFrom(TModelSnapshot(1, "p", {OneClass()}));
  // The HMAC pads, written in decimal, are 0x36 and 0x5C repeated; the block number is 1.
  std::smatch m;
  ASSERT_TRUE(
      std::regex_search(script, m, std::regex(R"re(\^ cast\((\d+) as bigint\) as binary)re")));
  EXPECT_EQ(std::stoull(m[1]), 0x3636363636363636ull);
  const std::string afterInner = m.suffix();
  ASSERT_TRUE(std::regex_search(afterInner, m, std::regex(R"re(\^ cast\((\d+) as bigint\))re")));
  EXPECT_EQ(std::stoull(m[1]), 0x5C5C5C5C5C5C5C5Cull);
  EXPECT_NE(script.find("@innerPad + @salt + cast(1 as binary(4)))"), std::string::npos);
  // A key longer than a block is hashed first, as HMAC wants; the four XORed words cover 32 bytes.
  EXPECT_NE(script.find("if datalength(cast(@password as varbinary(400))) > 64"),
            std::string::npos);
  for (const char* word : {"substring(@u, 1, 8)", "substring(@u, 9, 8)", "substring(@u, 17, 8)",
                           "substring(@u, 25, 8)"}) {
    EXPECT_NE(script.find(word), std::string::npos) << word;
  }
  EXPECT_NE(
      script.find("declare @iterations int = " + std::to_string(kPasswordIterations) + "\r\n"),
      std::string::npos);
  // Hex as the module writes it: CONVERT style 2 is upper case without 0x.
  EXPECT_NE(script.find("convert(char(32), @salt, 2)"), std::string::npos);
  EXPECT_NE(script.find("convert(char(64), @hash, 2)"), std::string::npos);
}

TEST(AppTablesScriptTest, AddsOnlyWhatIsMissingAndDropsNothing) {
  TClassModel second = OneClass();
  second.classId = 2;
  second.className = "Reader";
  const std::string script = BuildAppTablesScriptFrom(TModelSnapshot(1, "p", {OneClass(), second}));
  for (const char* destructive : {"drop ", "DROP ", "delete ", "truncate ", "alter table"}) {
    EXPECT_EQ(script.find(destructive), std::string::npos) << destructive;
  }
  // No table of the model: only the operators' table, created where it is missing.
  EXPECT_EQ(script.find("[Book]"), std::string::npos);
  EXPECT_EQ(Count(script, "CREATE TABLE"), 1u);
  EXPECT_NE(
      script.find("if object_id(N'[dbo].[admin]', N'U') is null\r\nCREATE TABLE [dbo].[admin]("),
      std::string::npos);
  EXPECT_NE(script.find("[adminUsername] [nvarchar](20) COLLATE Chinese_PRC_CI_AS NOT NULL "
                        "PRIMARY KEY,"),
            std::string::npos);
  // An operators' table of another shape is named, not changed.
  EXPECT_NE(script.find("if col_length(N'dbo.admin', N'adminPasswordHash') is null\r\nraiserror("),
            std::string::npos);
  // The first operator goes only into an empty table, with every right of two classes and no
  // password; the sqlcmd variable sets one only for an operator admin who has none.
  EXPECT_NE(script.find("if not exists (select * from [dbo].[admin])\r\ninsert into"),
            std::string::npos);
  EXPECT_NE(script.find("values(N'admin', null, null, null, N'111111')"), std::string::npos);
  EXPECT_NE(script.find("declare @password nvarchar(200) = N'$(AdminPassword)'\r\n"),
            std::string::npos);
  EXPECT_NE(script.find("@password <> N'$' + N'(AdminPassword)'"), std::string::npos);
  EXPECT_NE(
      script.find("where adminUsername = N'admin' and adminPasswordHash is null\r\nend\r\nGO"),
      std::string::npos);
  EXPECT_EQ(Count(script, "$(AdminPassword)"), 1u);
  // No password anyone could know, no column that holds one.
  EXPECT_EQ(script.find("kelvo"), std::string::npos);
  EXPECT_EQ(script.find("[adminPassword]"), std::string::npos);
  // Every line ends CR LF.
  EXPECT_EQ(std::regex_search(script, std::regex("[^\r]\n")), false);
}

TEST(AppTablesScriptTest, TheCompleteScriptKeepsTheSameOperatorsWhileThePlainOneKeepsItsRow) {
  const TModelSnapshot model(1, "p", {OneClass()});
  const std::string appTables = BuildAppTablesScriptFrom(model);
  const std::string complete = BuildTableScriptFrom(model, true);
  // The app-tables script's operators' part stands whole in the complete script, after its drops.
  const std::string operators = appTables.substr(std::string("GO\r\n\r\n").size());
  const std::size_t at = complete.find(operators);
  ASSERT_NE(at, std::string::npos);
  EXPECT_LT(complete.find("drop table [dbo].[admin]"), at);
  EXPECT_EQ(complete.find("kelvo"), std::string::npos);
  const std::string plain = BuildTableScriptFrom(model);
  EXPECT_NE(plain.find("values('admin','kelvo','1111')"), std::string::npos);
  EXPECT_EQ(plain.find("adminPasswordHash"), std::string::npos);
}

TEST(CompleteLoginTest, TrapsAMissingTableAndNamesWhatToRun) {
  const std::string login = BuildCompleteLoginForm("书店");
  const std::size_t query =
      login.find("Set cmd = NewCommand(\"select adminUsername, adminPasswordSalt");
  ASSERT_NE(query, std::string::npos);
  // The query runs under a trap of its own that says which script adds the table.
  const std::size_t trap = login.rfind("On Error GoTo ", query);
  ASSERT_NE(trap, std::string::npos);
  EXPECT_EQ(login.compare(trap, 27, "On Error GoTo ReadFailed\n  "), 0);
  EXPECT_EQ(login.find("On Error GoTo 0"), std::string::npos);
  EXPECT_NE(login.find("vbgen-cli sql \"\"书店\"\" --complete --app-tables-only"),
            std::string::npos);
  EXPECT_NE(login.find("ConnectFailed:\n  MsgBox \"无法连接数据库：\""), std::string::npos);
  EXPECT_NE(login.find("DB_CONNECT"), std::string::npos);
  // An empty operators' table is told apart from a wrong name.
  EXPECT_NE(login.find("If Not OperatorsExist() Then"), std::string::npos);
}

TEST(CompleteLoginTest, ComparesHashesSetsAFirstPasswordAndDelaysRepeatedFailures) {
  const std::string login = BuildCompleteLoginForm("p");
  EXPECT_NE(login.find("If PasswordMatches(TB_Password.Text, saltHex, hashHex, iterations) Then"),
            std::string::npos);
  EXPECT_EQ(login.find("adminPassword\")"), std::string::npos);  // no password column read
  // An operator without a password sets one, confirmed, only while the row still has none.
  EXPECT_NE(login.find("If hashHex = \"\" Then\n    Call SetFirstPassword(userName, rights)"),
            std::string::npos);
  EXPECT_NE(login.find("If TB_Confirm.Text <> TB_Password.Text Then"), std::string::npos);
  EXPECT_NE(login.find("where adminUsername = ? and adminPasswordHash is null\")"),
            std::string::npos);
  EXPECT_NE(login.find("cmd.Execute storedCount\n"), std::string::npos);
  // The confirmed password is judged again: both boxes may have been changed alike.
  const std::size_t confirmed = login.find("If TB_Confirm.Text <> TB_Password.Text Then");
  const std::size_t judged =
      login.find("If Not NewPasswordAccepted(TB_Password.Text) Then", confirmed);
  EXPECT_LT(judged, login.find("Call AddPasswordParameters(cmd, TB_Password.Text)", confirmed));
  // The operator is known by the name as stored, however it was typed.
  EXPECT_NE(login.find("  userName = FieldText(rs.Fields(\"adminUsername\").Value)\n"),
            std::string::npos);
  // After three failures the next try waits, twice as long each time, at most five minutes.
  EXPECT_NE(login.find("Private Const TRIES_BEFORE_WAIT As Integer = 3"), std::string::npos);
  EXPECT_NE(login.find("secondsToWait = 5 * 2 ^ (failedTries - TRIES_BEFORE_WAIT)"),
            std::string::npos);
  EXPECT_NE(login.find("Btn_OK.Enabled = False\n  Call ShowWait\n  Timer_Wait.Enabled = True"),
            std::string::npos);
  EXPECT_NE(login.find("Begin VB.Timer Timer_Wait\n"), std::string::npos);
  EXPECT_NE(login.find("Private Sub Timer_Wait_Timer()"), std::string::npos);
  // A PC whose bcrypt.dll cannot hash is told so instead of locking everyone out silently.
  EXPECT_NE(login.find("If Not PasswordHashingWorks() Then"), std::string::npos);
}

TEST(CompleteLoginTest, TheOperatorFormStoresHashesAndTrapsEveryStatement) {
  const std::string form = BuildCompleteOperatorsForm();
  EXPECT_EQ(form.find("adminPassword,"), std::string::npos);
  EXPECT_EQ(form.find("adminPassword ="), std::string::npos);
  EXPECT_EQ(Count(form, "Call AddPasswordParameters(cmd, TB_Password.Text)"), 2u);
  EXPECT_NE(form.find("If Not NewPasswordAccepted(TB_Password.Text) Then"), std::string::npos);
  EXPECT_NE(form.find("If StrComp(operatorName, czry_name, vbTextCompare) = 0 Then"),
            std::string::npos);
  EXPECT_NE(form.find("If StrComp(nodename, czry_name, vbTextCompare) = 0 Then"),
            std::string::npos);
  // Every procedure that runs a statement has a trap before it.
  const std::regex procedure(R"re(Private Sub (\w+)\(\)\n((?:.*\n)*?)End Sub)re");
  int withStatements = 0;
  for (std::sregex_iterator it(form.begin(), form.end(), procedure), end; it != end; ++it) {
    const std::string body = (*it)[2];
    const std::size_t statement = body.find("NewCommand(");
    if (statement == std::string::npos) continue;
    ++withStatements;
    const std::size_t trap = body.find("On Error GoTo ");
    EXPECT_TRUE(trap != std::string::npos && trap < statement) << (*it)[1];
  }
  EXPECT_EQ(withStatements, 5);  // list, add, password, delete, authorize
}

TEST(AppTablesScriptTest, TheCommandLineWritesItOnlyForTheCompleteApplication) {
  TTempDir home;
  const TCliRunner cli(home.path());
  ASSERT_EQ(cli.Run("project list").status, 0);  // a new home holds the example
  const TCliRun plain = cli.Run("sql 图书馆管理 --app-tables-only");
  EXPECT_EQ(plain.status, 2);
  EXPECT_NE(plain.err.find("--app-tables-only 只用于 --complete"), std::string::npos) << plain.err;
  EXPECT_EQ(plain.out, "");
  const TCliRun tables = cli.Run("sql 图书馆管理 --complete --app-tables-only");
  ASSERT_EQ(tables.status, 0) << tables.err;
  EXPECT_EQ(tables.out.rfind("GO\r\n\r\nif object_id(N'[dbo].[admin]', N'U') is null\r\n", 0), 0u);
  EXPECT_EQ(tables.out.find("drop "), std::string::npos);
  EXPECT_NE(tables.out.find("N'11111111'"), std::string::npos);  // three classes, two system rights
}

}  // namespace vbgen::test
