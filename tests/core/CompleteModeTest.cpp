// The complete application: a run asked for it writes forms that search, list, edit, delete
// and export, with every statement parameterised; a run not asked for it writes what it always
// wrote. The generated code is read as a reviewer would (VbCrossCheck.h), on the example and on
// random models, and its SQL by a T-SQL parser.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <random>
#include <regex>
#include <sstream>

#include "RunSupport.h"
#include "VbCrossCheck.h"
#include "generate/AutoCode.h"
#include "generate/Gbk.h"
#include "generate/check/ModelCheck.h"
#include "generate/emit/CompleteForms.h"
#include "generate/emit/SqlScript.h"
#include "generate/emit/UIOperate.h"
#include "model/ModelFile.h"

namespace vbgen::test {
namespace fs = std::filesystem;

namespace {

class TQuietRun : public TRunListener {
 public:
  void Progress(const std::string&) override {}
  void KeyCheckFailed(const TNamedId& failed) override {
    events.push_back("key " + std::to_string(failed.id));
  }
  void DisplayCheckFailed(const TNamedId& failed) override {
    events.push_back("display " + std::to_string(failed.id));
  }
  void GenerationDone() override { events.push_back("done"); }
  void RunFailed(const std::string& message) override { events.push_back("failed " + message); }
  std::vector<std::string> events;
};

bool EndsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() &&
         text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

bool IsVbSource(const std::string& path) {
  return EndsWith(path, ".frm") || EndsWith(path, ".bas");
}

std::string FileName(const std::string& path) { return path.substr(path.rfind('/') + 1); }

// Every form and module of a generated project, read as UTF-8.
vb::TProjectCheck CheckOf(const std::map<std::string, std::string>& files,
                          std::vector<vb::TSource>* sources = nullptr) {
  vb::TProjectCheck check;
  for (const auto& [path, bytes] : files) {
    if (!IsVbSource(path)) continue;
    vb::TSource source = vb::ParseSource(FileName(path), GbkToUtf8(bytes));
    check.Add(source);
    if (sources) sources->push_back(source);
  }
  return check;
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& line : lines) text += line + "\n";
  return text;
}

std::string FindOnPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  std::stringstream dirs(path ? path : "");
  std::string dir;
  while (std::getline(dirs, dir, ':')) {
    fs::path candidate = fs::path(dir) / program;
    if (!dir.empty() && access(candidate.c_str(), X_OK) == 0) return candidate.string();
  }
  return {};
}

// sqlfluff's verdict on a file of statements: the exit code and what it printed.
std::pair<int, std::string> ParseTsql(const fs::path& file) {
  const std::string sqlfluff = FindOnPath("sqlfluff");
  if (sqlfluff.empty()) return {-1, "sqlfluff was not found on PATH (Debian package sqlfluff)"};
  const std::string command =
      "'" + sqlfluff + "' parse --dialect tsql '" + file.string() + "' 2>&1";
  std::string output;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return {-1, "cannot start sqlfluff"};
  char buffer[4096];
  std::size_t read;
  while ((read = fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, read);
  const int status = pclose(pipe);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

// Each statement with a literal in every marker, one batch each.
std::string AsBatches(const std::vector<vb::TStatement>& statements) {
  std::set<std::string> seen;
  std::string text;
  for (const auto& statement : statements) {
    std::string filled = std::regex_replace(statement.text, std::regex(R"re(\?)re"), "1");
    if (seen.insert(filled).second) text += filled + "\nGO\n";
  }
  return text;
}

// The cross-check of a complete project: no problem, every statement fixed text whose markers
// all get a parameter, and no value of the model inside a statement but names.
void ExpectSoundProject(const std::map<std::string, std::string>& files,
                        std::vector<vb::TStatement>& statements) {
  std::vector<vb::TSource> sources;
  std::vector<std::string> problems = CheckOf(files, &sources).Problems();
  for (const auto& source : sources) {
    for (auto& statement : vb::Statements(source, problems)) statements.push_back(statement);
  }
  EXPECT_TRUE(problems.empty()) << Joined(problems);
  for (const auto& statement : statements) {
    EXPECT_EQ(statement.markers, statement.parameters) << statement.where << ": " << statement.text;
    // What the generator writes holds names of the model and markers, never a quoted value.
    if (statement.where.rfind("Frm", 0) == 0 || statement.where.rfind("frmczql", 0) == 0) {
      EXPECT_EQ(statement.text.find('\''), std::string::npos)
          << statement.where << ": " << statement.text;
    }
  }
}

// The code of a generated form begins with Option Explicit.
void ExpectOptionExplicit(const std::map<std::string, std::string>& files) {
  for (const auto& [path, bytes] : files) {
    if (!IsVbSource(path)) continue;
    vb::TSource source = vb::ParseSource(path, GbkToUtf8(bytes));
    std::string first;  // comments may stand before it
    for (const std::string& line : source.codeLines) {
      if (!line.empty() && line[0] != '\'') {
        first = line;
        break;
      }
    }
    EXPECT_EQ(first, "Option Explicit") << path;
  }
}

// ---- random models, built as a snapshot (the generators are functions of it)

TMember Member(int id, int classId, const std::string& name, const std::string& type,
               const std::string& comment) {
  TMember m;
  m.memberId = id;
  m.projectId = 1;
  m.classId = classId;
  m.memberName = name;
  m.memberType = type;
  m.memberComment = comment;
  m.memberIsInteger = type == kTypeInteger;
  m.memberIsFloat = type == kTypeFloat;
  m.memberLength = type == kTypeString ? 20 : 0;
  return m;
}

// One of the declared types a member of that type may have; "" for the others.
std::string SqlTypeFor(const std::string& type, std::mt19937& random) {
  static const std::vector<std::string> texts = {"nvarchar", "nchar", "char"};
  static const std::vector<std::string> wholes = {"bit", "tinyint", "smallint"};
  static const std::vector<std::string> decimals = {"decimal", "numeric", "money", "smallmoney"};
  const std::vector<std::string>* choices = nullptr;
  if (type == kTypeString) choices = &texts;
  if (type == kTypeInteger) choices = &wholes;
  if (type == kTypeFloat) choices = &decimals;
  if (!choices) return {};
  return (*choices)[random() % choices->size()];
}

TModelSnapshot RandomModel(unsigned seed) {
  std::mt19937 random(seed);
  auto chance = [&](int percent) { return static_cast<int>(random() % 100) < percent; };
  const int classCount = 1 + static_cast<int>(random() % 6);
  std::vector<TClassModel> classes;
  int memberId = 0;
  for (int c = 0; c < classCount; ++c) {
    TClassModel entry;
    entry.classId = c + 1;
    entry.className = "C" + std::to_string(c) + "Item";
    entry.friendName = "类'" + std::to_string(c);
    const bool integerKey = chance(60);
    TMember key = Member(++memberId, entry.classId, "k" + std::to_string(c),
                         integerKey ? std::string(kTypeInteger) : std::string(kTypeString), "编号");
    key.memberIsPri = 1;
    if (!integerKey) key.memberLength = 8 + static_cast<int>(random() % 20);
    key.queryFlag = chance(30);
    TMember display = Member(++memberId, entry.classId, "name", std::string(kTypeString), "名称'");
    display.memberIsDisplay = 1;
    display.queryFlag = chance(70);
    if (!integerKey && chance(20)) {  // the key itself shown in the lists of others
      key.memberIsDisplay = 1;
      display.memberIsDisplay = 0;
    }
    entry.members = {key, display};
    const int extra = static_cast<int>(random() % 7);
    for (int j = 0; j < extra; ++j) {
      std::string type;
      const int pick = static_cast<int>(random() % 7);
      if (pick < 5) {
        type = std::string(kBuiltinTypes[pick]);
      } else if (classCount > 1) {
        int other = static_cast<int>(random() % classCount);
        if (other == c) other = (other + 1) % classCount;
        type = "C" + std::to_string(other) + "Item";
      } else {
        type = std::string(kTypeDate);
      }
      TMember member = Member(++memberId, entry.classId, "m" + std::to_string(j), type,
                              "成员" + std::to_string(j) + "'说明");
      if (type == kTypeString) member.memberLength = chance(30) ? 200 + j : 5 + j;
      member.queryFlag = chance(50);
      member.memberQueryDisplay = chance(70);
      member.memberIsMust = chance(50);
      // What a database says beyond the type: NULL allowed, a declared SQL type.
      member.memberAllowNull = chance(30);
      if (chance(40)) member.memberSqlType = SqlTypeFor(type, random);
      if (member.memberSqlType == "decimal" || member.memberSqlType == "numeric") {
        member.memberPrecision = 1 + static_cast<int>(random() % 38);
        member.memberScale = static_cast<int>(random() % (member.memberPrecision + 1));
      }
      entry.members.push_back(member);
    }
    classes.push_back(entry);
  }
  return TModelSnapshot(1, "随机", classes);
}

std::map<std::string, std::string> GenerateInMemory(const TModelSnapshot& model, bool complete) {
  TMemorySink sink;
  TRecordedProgress progress;
  TGenContext context{model.ProjectName(), SourceDir() / "data" / "template", sink, progress};
  TRunOptions options;
  options.complete = complete;
  TUIOperate(context, options).AssembleProject("tavorin", model);
  // The support files the project file lists, as the run copies them.
  // A file the run generates itself is never copied over.
  for (const char* name : {"ModMain.bas", "frmCzry.frm", "frmLogin.frm", "readme.txt"}) {
    sink.files.emplace("projects/" + model.ProjectName() + "/" + name,
                       TFileOperate::ReadBytes(SourceDir() / "data" / "bak" / name));
  }
  return sink.files;
}

}  // namespace

class CompleteModeTest : public RunHomeTest {
 protected:
  void SetUp() override {
    RunHomeTest::SetUp();
    projectId = Example();
  }
  std::map<std::string, std::string> Run(std::optional<bool> complete) {
    TQuietRun listener;
    TMemorySink sink;
    TAutoCode run(projectId, "tavorin", TProgramDir(home), listener);
    run.SetSink(&sink);
    if (complete) {
      TRunOptions options;
      options.complete = *complete;
      run.SetOptions(options);
    }
    run.Execute();
    EXPECT_EQ(listener.events, (std::vector<std::string>{"done"}));
    return sink.files;
  }
  std::string Text(const std::map<std::string, std::string>& files, const std::string& name) {
    auto found = files.find("projects/馆/" + name);
    EXPECT_NE(found, files.end()) << name;
    if (found == files.end()) return {};
    return std::regex_replace(GbkToUtf8(found->second), std::regex("\r\n"), "\n");
  }

  int projectId = 0;
};

TEST_F(CompleteModeTest, WithoutTheChoiceEveryFileIsWhatItWas) {
  const auto unchosen = Run(std::nullopt);
  EXPECT_EQ(Run(false), unchosen);
  const auto complete = Run(true);
  // Same files and the password module; only the forms the choice is about differ, the main
  // form (menus of its own), the project file (which lists the module) and the operators' forms
  // that take the place of the support copies.
  ASSERT_EQ(complete.size(), unchosen.size() + 1);
  EXPECT_EQ(complete.count("projects/馆/ModPassword.bas"), 1u);
  for (const auto& [path, bytes] : unchosen) {
    const std::string name = FileName(path);
    const bool chosenForm = name.rfind("FrmAdd", 0) == 0 || name.rfind("FrmEdit", 0) == 0 ||
                            name.rfind("FrmManage", 0) == 0 || name == "frmczql.frm" ||
                            name == "MainForm.frm" || name == "frmLogin.frm" ||
                            name == "frmCzry.frm" || name == "vb信息管理系统.vbp" ||
                            (name == "readme.txt" && path == "projects/馆/readme.txt");
    if (chosenForm && !EndsWith(name, ".frx")) {
      EXPECT_NE(complete.at(path), bytes) << path;
    } else {
      EXPECT_EQ(complete.at(path), bytes) << path;
    }
  }
}

TEST_F(CompleteModeTest, PlainProjectFailsTheCrossCheckTheCompleteOnePasses) {
  // The check can fail: the plain forms build SQL from typed text and use undeclared names.
  std::vector<vb::TSource> sources;
  std::vector<std::string> plainProblems = CheckOf(Run(false), &sources).Problems();
  for (const auto& source : sources) vb::Statements(source, plainProblems);
  const std::string plain = Joined(plainProblems);
  EXPECT_NE(plain.find("SQL joined with a value"), std::string::npos) << plain;
  EXPECT_NE(plain.find("is not declared"), std::string::npos) << plain;

  const auto files = Run(true);
  std::vector<vb::TStatement> statements;
  ExpectSoundProject(files, statements);
  ExpectOptionExplicit(files);
  EXPECT_GT(statements.size(), 20u);
}

TEST_F(CompleteModeTest, ManageFormIsWired) {
  const std::string form = Text(Run(true), "FrmManageLoan.frm");
  vb::TSource source = vb::ParseSource("FrmManageLoan.frm", form);
  std::set<std::string> procedures;
  for (const auto& procedure : source.procedures) procedures.insert(procedure.name);
  for (const char* handler : {"Btn_Query_Click", "DataGrid1_MouseUp", "mnuEdit_Click",
                              "mnuDelete_Click", "mnuExport_Click", "Form_Load", "Form_Activate"}) {
    EXPECT_TRUE(procedures.count(handler)) << handler;
  }
  // The grid: the key, then the members shown in it with their comments as headings; the
  // references show the referenced class's display member.
  EXPECT_NE(form.find("ColumnCount     =   5\n"), std::string::npos);
  EXPECT_NE(
      form.find("DataField       =   \"loanId\"\n            Caption         =   \"借阅编号\""),
      std::string::npos);
  EXPECT_NE(form.find("\", r2.[readerName] as [readerId]\""), std::string::npos);
  EXPECT_NE(form.find(" left join [Reader] r2 on r2.[readerId] = t.[readerId]"), std::string::npos);
  // Text by a part, dates between two days when ticked, references by the chosen entry.
  EXPECT_NE(form.find("Me.CHB_loanDate.Value = vbChecked"), std::string::npos);
  EXPECT_NE(form.find("DateValue(Me.DTP_loanDateTo.Value) + 1"), std::string::npos);
  EXPECT_NE(form.find("Call AddLongParameter(cmd, readerIds(Me.CB_readerId.ListIndex))"),
            std::string::npos);
  // Edit opens the edit form on the selected key; delete asks first; export asks for a file.
  EXPECT_NE(form.find("FrmEditLoan.ShowRecord CLng(listRs.Fields(\"loanId\").Value)"),
            std::string::npos);
  EXPECT_NE(form.find("vbYesNo + vbQuestion, \"删除确认\") <> vbYes"), std::string::npos);
  // The file is asked for through the form's own dialog, whose cancel leaves without a file.
  EXPECT_NE(form.find("Begin MSComDlg.CommonDialog CommonDialog1\n"), std::string::npos);
  EXPECT_NE(form.find("\"COMDLG32.OCX\"\n"), std::string::npos);
  EXPECT_NE(form.find("CancelError     =   -1  'True"), std::string::npos);
  EXPECT_NE(form.find("  CommonDialog1.ShowSave\n"), std::string::npos);
  EXPECT_NE(form.find("  If Err.Number = CANCELLED_BY_USER Then Exit Sub\n"), std::string::npos);
  EXPECT_EQ(form.find("CreateObject"), std::string::npos);
  EXPECT_EQ(form.find("Adodc1"), std::string::npos);
  EXPECT_EQ(form.find("DSN="), std::string::npos);
  EXPECT_NE(form.find("ExportRecordset(listRs, headingLine, fileName)"), std::string::npos);
  const std::string book = Text(Run(true), "FrmManageBook.frm");
  EXPECT_NE(book.find("Call AddStringParameter(cmd, ContainsPattern(Me.TB_title.Text))"),
            std::string::npos);
}

TEST_F(CompleteModeTest, KeysAreLongAndTheEditKeyBoxIsReadOnly) {
  const auto files = Run(true);
  const std::string edit = Text(files, "FrmEditLoan.frm");
  EXPECT_NE(edit.find("Begin VB.TextBox TB_loanId \n            BackColor       =   &H8000000F&\n"
                      "            Height          =   350\n            Left            =   5160\n"
                      "            Locked          =   -1  'True\n"),
            std::string::npos);
  EXPECT_NE(edit.find("Dim edit_loanId As Long\n"), std::string::npos);
  EXPECT_NE(edit.find("Public Sub ShowRecord(ByVal key_loanId As Long)"), std::string::npos);
  // The row is updated by the key the form was opened on, not by the key box.
  EXPECT_NE(edit.find("Call AddLongParameter(cmd, edit_loanId)"), std::string::npos);
  for (const auto& [path, bytes] : files) {
    if (!EndsWith(path, ".frm")) continue;
    const std::string text = GbkToUtf8(bytes);
    if (FileName(path).rfind("Frm", 0) != 0) continue;
    EXPECT_EQ(text.find("CInt("), std::string::npos) << path;
    EXPECT_EQ(text.find("As Integer\n"), std::string::npos) << path;
  }
}

TEST_F(CompleteModeTest, OperatorFormReadsAndStoresByParameters) {
  const std::string form = Text(Run(true), "frmczql.frm");
  EXPECT_EQ(form.find("adminUsername='"), std::string::npos);
  EXPECT_NE(form.find("NewCommand(\"select ql_flag from admin where adminUsername = ?\")"),
            std::string::npos);
  EXPECT_NE(form.find("NewCommand(\"update admin set ql_flag = ? where adminUsername = ?\")"),
            std::string::npos);
  // A rights string stored before classes were added is read with the new digits not granted.
  EXPECT_NE(form.find("ql_flag = Left$(ql_flag & String$(8, \"0\"), 8)"), std::string::npos);
  // Loading and saving trap a database error before the first statement; a right that is not a
  // digit (a hand-edited row) reads as not granted instead of stopping the program.
  for (const char* handler : {"Private Sub Form_Load()", "Private Sub Command3_Click()"}) {
    const std::size_t start = form.find(handler);
    ASSERT_NE(start, std::string::npos) << handler;
    const std::size_t trap = form.find("On Error GoTo ", start);
    EXPECT_LT(trap, form.find("NewCommand(", start)) << handler;
    EXPECT_LT(trap, form.find("End Sub", start)) << handler;
  }
  EXPECT_NE(form.find("Me.CB_ManageLoan.Value = IIf(Mid$(ql_flag, 6, 1) Like \"[1-9]\", 1, 0)"),
            std::string::npos);
  EXPECT_EQ(form.find("temp = Mid("), std::string::npos);
}

TEST_F(CompleteModeTest, RandomModelsPassTheCrossCheckAndTheirSqlParses) {
  std::vector<vb::TStatement> statements;
  const char* keep = std::getenv("VBGEN_KEEP_COMPLETE_PROJECTS");  // for looking at them by hand
  for (unsigned seed = 1; seed <= 40; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    const auto files = GenerateInMemory(RandomModel(seed), true);
    ExpectSoundProject(files, statements);
    ExpectOptionExplicit(files);
    if (keep) {
      for (const auto& [path, bytes] : files) {
        const fs::path file = fs::path(keep) / std::to_string(seed) / FileName(path);
        TFileOperate::WriteTextFile(file.parent_path(), file, bytes);
      }
    }
  }
  const fs::path sql = TempPath() / "statements.sql";
  std::ofstream(sql, std::ios::binary) << AsBatches(statements);
  const auto [status, output] = ParseTsql(sql);
  EXPECT_EQ(status, 0) << output;
  EXPECT_EQ(output.find("unparsable"), std::string::npos) << output;
}

TEST_F(CompleteModeTest, ExampleStatementsParseAsTsql) {
  std::vector<vb::TStatement> statements;
  ExpectSoundProject(Run(true), statements);
  const fs::path sql = TempPath() / "statements.sql";
  std::ofstream(sql, std::ios::binary) << AsBatches(statements);
  const auto [status, output] = ParseTsql(sql);
  EXPECT_EQ(status, 0) << output;
  EXPECT_EQ(output.find("unparsable"), std::string::npos) << output;
}

// ---- the script of a complete application

TEST_F(CompleteModeTest, RerunnableScriptDropsReferencingTablesFirstAndParses) {
  const std::string script = BuildRerunnableTableScript(projectId);
  const std::string plain = BuildTableScript(projectId);
  EXPECT_NE(script, plain);
  auto at = [&](const std::string& text) {
    std::size_t found = script.find(text);
    EXPECT_NE(found, std::string::npos) << text;
    return found;
  };
  const std::size_t dropKeys = at("exec sp_executesql @dropForeignKeys\r\nGO\r\n");
  const std::size_t dropLoan = at("drop table [dbo].[Loan]\r\nGO\r\n");
  const std::size_t dropBook = at("drop table [dbo].[Book]\r\nGO\r\n");
  const std::size_t dropReader = at("drop table [dbo].[Reader]\r\nGO\r\n");
  const std::size_t dropAdmin = at("drop table [dbo].[admin]\r\nGO\r\n");
  const std::size_t createAdmin = at("CREATE TABLE [dbo].[admin](");
  const std::size_t createBook = at("CREATE TABLE [dbo].[Book] (");
  EXPECT_LT(dropKeys, dropLoan);
  EXPECT_LT(dropLoan, dropBook);
  EXPECT_LT(dropLoan, dropReader);
  EXPECT_LT(dropAdmin, createAdmin);
  EXPECT_LT(createAdmin, createBook);
  EXPECT_NE(script.find("if exists (select * from dbo.sysobjects where id = "
                        "object_id(N'[dbo].[admin]')"),
            std::string::npos);
  // Each table is dropped once, before anything is created.
  EXPECT_EQ(script.find("drop table [dbo].[Loan]", dropLoan + 1), std::string::npos);
  // The tables end as the plain script's do; the foreign keys are bracketed, so any name holds;
  // then the friend names and comments follow in a batch of their own.
  const std::size_t tail = plain.find("ALTER TABLE Loan");
  ASSERT_NE(tail, std::string::npos);
  const std::size_t keys = script.find("ALTER TABLE [Loan]");
  ASSERT_NE(keys, std::string::npos);
  EXPECT_EQ(script.substr(keys - 100, 100), plain.substr(tail - 100, 100));
  const std::size_t descriptions = at("GO\r\nEXEC sp_addextendedproperty N'MS_Description', ");
  EXPECT_EQ(script.substr(keys, descriptions - keys),
            "ALTER TABLE [Loan] ADD FOREIGN KEY ([bookIsbn]) REFERENCES [Book]([isbn])\r\n"
            "ALTER TABLE [Loan] ADD FOREIGN KEY ([readerId]) REFERENCES [Reader]([readerId])\r\n");
  EXPECT_TRUE(script.ends_with("'\r\nGO\r\n"));

  const fs::path file = TempPath() / "script.sql";
  std::ofstream(file, std::ios::binary) << script;
  const auto [status, output] = ParseTsql(file);
  EXPECT_EQ(status, 0) << output;
  EXPECT_EQ(output.find("unparsable"), std::string::npos) << output;
}

TEST(CompleteScriptTest, ReferencesInACircleStillDropEveryTableOnce) {
  std::vector<TClassModel> classes;
  for (int c = 0; c < 2; ++c) {
    TClassModel entry;
    entry.classId = c + 1;
    entry.className = c == 0 ? "Alpha" : "Beta";
    entry.friendName = entry.className;
    TMember key = Member(10 * c + 1, entry.classId, "id", std::string(kTypeInteger), "编号");
    key.memberIsPri = 1;
    key.memberIsDisplay = 1;
    TMember other = Member(10 * c + 2, entry.classId, "other", c == 0 ? "Beta" : "Alpha", "另一个");
    entry.members = {key, other};
    classes.push_back(entry);
  }
  const std::string script = BuildTableScriptFrom(TModelSnapshot(1, "圈", classes), true);
  for (const char* table : {"drop table [dbo].[Alpha]", "drop table [dbo].[Beta]"}) {
    const std::size_t first = script.find(table);
    ASSERT_NE(first, std::string::npos) << table;
    EXPECT_EQ(script.find(table, first + 1), std::string::npos) << table;
  }
  EXPECT_LT(script.find("@dropForeignKeys"), script.find("drop table [dbo].[Alpha]"));
}

}  // namespace vbgen::test

namespace vbgen::test {

// The cross-check finds each kind of fault a hand edit or a generator slip would make.
// Names the plain forms cannot take: the complete forms name their controls and variables
// themselves, and their statements keep the database's names, bracketed.
TEST_F(CompleteModeTest, HostileMemberNamesGetCodeNamesOfTheirOwnWhileTheSqlKeepsThem) {
  TClassModel press;
  press.classId = 1;
  press.className = "Press";
  press.friendName = "出版社";
  TMember pressKey = Member(1, 1, "Date", std::string(kTypeInteger), "编号");
  pressKey.memberIsPri = 1;
  pressKey.memberIsDisplay = 1;
  press.members = {pressKey};
  TClassModel order;
  order.classId = 2;
  order.className = "Order";
  order.friendName = "订单";
  TMember key = Member(2, 2, "1id", std::string(kTypeString), "编号");
  key.memberIsPri = 1;
  key.memberLength = 10;
  TMember end = Member(3, 2, "end", std::string(kTypeString), "结束");
  end.memberIsDisplay = 1;
  end.queryFlag = 1;
  TMember photo = Member(4, 2, "Photo", std::string(kTypePicture), "照片");
  TMember photoPath = Member(5, 2, "PhotoPath", std::string(kTypeString), "照片路径");
  TMember a = Member(6, 2, "a", "Press", "出版社");  // its key array would be "as"
  a.queryFlag = 1;
  TMember number = Member(7, 2, "_n", std::string(kTypeInteger), "数量");
  number.queryFlag = 1;
  TMember sub = Member(8, 2, "Sub", std::string(kTypeDate), "日期");
  sub.queryFlag = 1;
  order.members = {key, end, photo, photoPath, a, number, sub};
  const TModelSnapshot model(1, "边界", {press, order});
  ASSERT_FALSE(FirstError(model, {.complete = true}).has_value())
      << FirstError(model, {.complete = true})->Line();
  ASSERT_TRUE(FirstError(model).has_value());  // the plain project cannot be built of it

  const auto files = GenerateInMemory(model, true);
  std::vector<vb::TStatement> statements;
  ExpectSoundProject(files, statements);
  ExpectOptionExplicit(files);
  auto text = [&](const std::string& name) { return GbkToUtf8(files.at("projects/边界/" + name)); };
  const std::string add = text("FrmAddOrder.frm");
  const std::string edit = text("FrmEditOrder.frm");
  const std::string manage = text("FrmManageOrder.frm");
  for (const std::string* form : {&add, &edit, &manage}) {
    for (const char* bare :
         {"Dim as(", "Dim _nStream", "Begin VB.TextBox TB_PhotoPath\r\n", "Dim SubStream"}) {
      EXPECT_EQ(form->find(bare), std::string::npos) << bare;
    }
  }
  EXPECT_NE(add.find("Begin VB.TextBox TB_m_1id"), std::string::npos);
  EXPECT_NE(add.find("Begin VB.TextBox TB_m_end"), std::string::npos);
  EXPECT_NE(add.find("Begin VB.TextBox TB_PhotoPath_2"), std::string::npos);
  EXPECT_NE(add.find("Dim a_2s() As Long"), std::string::npos);
  EXPECT_NE(add.find("Me.TB_m__n.Text"), std::string::npos);
  EXPECT_NE(add.find("statementText = \"insert into [Order] ([1id]\"\r\n"
                     "  statementText = statementText & \", [end]\"\r\n"
                     "  statementText = statementText & \", [Photo]\"\r\n"
                     "  statementText = statementText & \", [PhotoPath]\"\r\n"),
            std::string::npos);
  EXPECT_NE(edit.find("Me.TB_PhotoPath_2.Text = FieldText(rs.Fields(\"PhotoPath\").Value)"),
            std::string::npos);
  EXPECT_NE(edit.find("Me.TB_m_1id.Text = FieldText(rs.Fields(\"1id\").Value)"), std::string::npos);
  EXPECT_NE(manage.find("select [Date], [Date] from [Press] order by [Date]"), std::string::npos)
      << manage;
  EXPECT_NE(manage.find("t.[end] like ?"), std::string::npos);
  EXPECT_NE(text("frmczql.frm").size(), 0u);
  const std::string script = BuildTableScriptFrom(model, true);
  EXPECT_NE(script.find("ALTER TABLE [Order] ADD FOREIGN KEY ([a]) REFERENCES [Press]([Date])"),
            std::string::npos);
}

TEST_F(CompleteModeTest, CrossCheckFindsEachKindOfFault) {
  const auto files = Run(true);
  const std::string path = "projects/馆/FrmManageLoan.frm";
  auto problemsWith = [&](const std::string& from, const std::string& to) {
    auto changed = files;
    std::string text = GbkToUtf8(changed.at(path));
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) text.replace(at, from.size(), to);
    changed[path] = Utf8ToGbk(text);
    std::vector<vb::TSource> sources;
    std::vector<std::string> problems = CheckOf(changed, &sources).Problems();
    for (const auto& source : sources) {
      for (const auto& statement : vb::Statements(source, problems)) {
        if (statement.markers != statement.parameters)
          problems.push_back("markers " + statement.where);
      }
    }
    return Joined(problems);
  };
  EXPECT_EQ(problemsWith("Btn_Query_Click", "Btn_Query_Click"), "");
  EXPECT_NE(problemsWith("  Dim entryNo As Long", "").find("entryNo is not declared"),
            std::string::npos);
  EXPECT_NE(problemsWith("Me.CHB_loanDate.Value", "Me.CHB_lonDate.Value")
                .find("Me.CHB_lonDate is not declared"),
            std::string::npos);
  EXPECT_NE(problemsWith("Private Sub DataGrid1_DblClick()", "Private Sub DataGrid2_DblClick()")
                .find("handler DataGrid2_DblClick has no control"),
            std::string::npos);
  EXPECT_NE(problemsWith("FrmEditLoan.ShowRecord", "FrmEditLoan.ShowRecords")
                .find("FrmEditLoan.ShowRecords is not declared"),
            std::string::npos);
  EXPECT_NE(problemsWith("statementText = statementText & \" order by t.[loanId]\"",
                         "statementText = statementText & \" order by \" & Me.TB_x.Text")
                .find("statementText built from a value"),
            std::string::npos);
  EXPECT_NE(
      problemsWith("  Call AddDateParameter(cmd, DateValue(Me.DTP_loanDateTo.Value) + 1)\r\n", "")
          .find("markers"),
      std::string::npos);
}

}  // namespace vbgen::test

namespace vbgen::test {

// A class whose only member is its key, and a reference whose display member is a picture.
TEST(CompleteEdgeTest, KeyOnlyClassAndPictureDisplayStillMakeSoundForms) {
  TClassModel tag;
  tag.classId = 1;
  tag.className = "Tag";
  tag.friendName = "标签";
  TMember tagKey = Member(1, 1, "tagId", std::string(kTypeInteger), "编号");
  tagKey.memberIsPri = 1;
  tagKey.memberIsDisplay = 1;
  tag.members = {tagKey};
  TClassModel photo;
  photo.classId = 2;
  photo.className = "Photo";
  photo.friendName = "照片";
  TMember photoKey = Member(2, 2, "code", std::string(kTypeString), "代码");
  photoKey.memberIsPri = 1;
  photoKey.memberLength = 10;
  TMember image = Member(3, 2, "image", std::string(kTypePicture), "图片");
  image.memberIsDisplay = 1;
  image.queryFlag = 1;  // a picture cannot be searched by: no query control
  TMember tagRef = Member(4, 2, "tag", "Tag", "标签");
  tagRef.queryFlag = 1;
  photo.members = {photoKey, image, tagRef};
  TClassModel album;
  album.classId = 3;
  album.className = "Album";
  album.friendName = "相册";
  TMember albumKey = Member(5, 3, "albumId", std::string(kTypeInteger), "编号");
  albumKey.memberIsPri = 1;
  albumKey.memberIsDisplay = 1;
  TMember cover = Member(6, 3, "cover", "Photo", "封面");
  cover.queryFlag = 1;
  album.members = {albumKey, cover};
  const auto files = GenerateInMemory(TModelSnapshot(1, "边界", {tag, photo, album}), true);

  std::vector<vb::TStatement> statements;
  ExpectSoundProject(files, statements);
  ExpectOptionExplicit(files);
  auto text = [&](const std::string& name) { return GbkToUtf8(files.at("projects/边界/" + name)); };
  EXPECT_NE(text("FrmAddTag.frm").find("statementText = \"insert into [Tag] default values\""),
            std::string::npos);
  EXPECT_NE(text("FrmEditTag.frm").find("MsgBox \"标签没有可以修改的内容!\""), std::string::npos);
  EXPECT_NE(text("FrmManageTag.frm").find("ColumnCount     =   1\r\n"), std::string::npos);
  // Sorted by the key: SQL Server cannot sort by a picture.
  EXPECT_NE(text("FrmAddAlbum.frm").find("\"select [code], [image] from [Photo] order by [code]\""),
            std::string::npos);
  const std::string managePhoto = text("FrmManagePhoto.frm");
  EXPECT_EQ(managePhoto.find("CB_image"), std::string::npos);
  EXPECT_EQ(managePhoto.find("t.[image]"), std::string::npos);
  EXPECT_NE(managePhoto.find("Begin VB.ComboBox CB_tag\r\n"), std::string::npos);
}

// Enough classes for a rights string wider than 50 digits: it is stored whole.
TEST(CompleteEdgeTest, WideRightsStringIsStoredWhole) {
  std::vector<TClassModel> classes;
  for (int c = 0; c < 30; ++c) {
    TClassModel entry;
    entry.classId = c + 1;
    entry.className = "K" + std::to_string(c);
    entry.friendName = entry.className;
    TMember key = Member(c + 1, c + 1, "id", std::string(kTypeInteger), "编号");
    key.memberIsPri = 1;
    key.memberIsDisplay = 1;
    entry.members = {key};
    classes.push_back(entry);
  }
  const auto files = GenerateInMemory(TModelSnapshot(1, "宽", classes), true);
  const std::string form = GbkToUtf8(files.at("projects/宽/frmczql.frm"));
  EXPECT_NE(form.find("Call AddStringParameter(cmd, ql_flag)"), std::string::npos);
  EXPECT_NE(form.find("String$(62, \"0\"), 62)"), std::string::npos);
  std::vector<vb::TStatement> statements;
  ExpectSoundProject(files, statements);
}

}  // namespace vbgen::test
