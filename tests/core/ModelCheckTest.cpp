// The model check: what VB6 and SQL Server refuse is an error that stops the run and the
// script; what they still take but trip over is a warning that stops nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>

#include "TestModel.h"
#include "TestSupport.h"
#include "generate/AutoCode.h"
#include "generate/check/ModelCheck.h"
#include "generate/emit/AddEditForms.h"
#include "generate/emit/CompleteForms.h"
#include "generate/emit/SqlScript.h"
#include "generate/emit/UIOperate.h"
#include "model/Rules.h"

namespace vbgen::test {
namespace {

// A class of the hand-made models below: an integer key (also its display member) and the
// members given as name and type.
struct TClassSketch {
  std::string className;
  std::vector<std::pair<std::string, std::string>> members;
  std::string keyName = "id";
};

TModelSnapshot Model(const std::string& projectName, const std::vector<TClassSketch>& sketches) {
  std::vector<TClassModel> classes;
  int memberId = 0;
  for (const TClassSketch& sketch : sketches) {
    const int classId = static_cast<int>(classes.size()) + 1;
    TClassModel entry{classId, sketch.className, sketch.className + "表", 1, {}};
    auto add = [&](const std::string& name, const std::string& type, bool key) {
      TMember m;
      m.memberId = ++memberId;
      m.projectId = 1;
      m.classId = classId;
      m.memberName = name;
      m.memberType = type;
      m.memberLength = type == kTypeString ? 20 : 0;
      m.memberIsPri = key;
      m.memberIsDisplay = key;
      m.memberIsMust = 1;
      m.memberIsInteger = type == kTypeInteger;
      m.memberIsFloat = type == kTypeFloat;
      m.memberComment = name;
      entry.members.push_back(m);
    };
    add(sketch.keyName, std::string(kTypeInteger), true);
    for (const auto& [name, type] : sketch.members) add(name, type, false);
    classes.push_back(std::move(entry));
  }
  return TModelSnapshot(1, projectName, std::move(classes));
}

std::vector<std::string> Lines(const TModelSnapshot& model) { return FindModelProblems(model); }

#define kWayOutOfMemberName                              \
  "窗体无法载入; 请改用另一个成员名称, " \
  "或生成完整应用(完整应用的SQL语句给名称加方括号, 控件和变量另取名称)"

// The message of the script's refusal, empty when the script is built.
std::string ScriptRefusal(const TModelSnapshot& model) {
  try {
    BuildTableScriptFrom(model);
  } catch (const TScriptError& error) {
    return error.what();
  }
  return {};
}

// What a run ends with: "done" or "failed ..." (the key and display boxes as "key"/"display").
class TOutcome : public TRunListener {
 public:
  void Progress(const std::string&) override {}
  void KeyCheckFailed(const TNamedId&) override { outcome = "key"; }
  void DisplayCheckFailed(const TNamedId&) override { outcome = "display"; }
  void GenerationDone() override { outcome = "done"; }
  void RunFailed(const std::string& message) override { outcome = "failed " + message; }
  std::string outcome;
};

}  // namespace

class ModelCheckTest : public ModelTest {
 protected:
  // A whole run of a stored project into memory, with the shipped templates and support files.
  std::string RunOutcome(int projectId, TMemorySink& sink) {
    TOutcome listener;
    TAutoCode run(projectId, "tavorin", TProgramDir(SourceDir() / "data"), listener);
    run.SetSink(&sink);
    run.Execute();
    return listener.outcome;
  }
  std::string RunOutcome(int projectId) {
    TMemorySink sink;
    std::string outcome = RunOutcome(projectId, sink);
    if (outcome != "done") {
      EXPECT_TRUE(sink.files.empty()) << "a refused run wrote files";
    }
    return outcome;
  }
};

TEST_F(ModelCheckTest, ACleanModelHasNoProblems) {
  EXPECT_EQ(Lines(Model("图书馆", {{"Book", {{"title", "字符串"}, {"press", "Press"}}},
                                   {"Press", {{"pressName", "字符串"}}}})),
            std::vector<std::string>{});
  EXPECT_EQ(Lines(Model("空", {})), std::vector<std::string>{});
  EXPECT_TRUE(FindModelProblems(AddProject("empty")).empty());
  EXPECT_TRUE(FindModelProblems(999).empty());  // no such project
}

TEST_F(ModelCheckTest, DuplicateNamesAreErrorsWithoutRegardToCase) {
  const TModelSnapshot members = Model("p", {{"Book", {{"nm", "字符串"}, {"nM", "整型"}}}});
  EXPECT_EQ(Lines(members),
            (std::vector<std::string>{
                "错误: 工程\"p\" 类\"Book\" 成员\"nM\": 成员名称与成员\"nm\"相同(VB6和SQL "
                "Server不区分大小写): 建表语句两次定义同一列, 窗体中两个控件同名"}));
  EXPECT_EQ(ScriptRefusal(members), Lines(members)[0]);

  // What "class update" of Reader to Book leaves: two classes of one name.
  const TModelSnapshot classes =
      Model("p", {{"Book", {}}, {"Reader", {}}, {"BOOK", {}, "bookId"}, {"Loan", {{"r", "Book"}}}});
  const std::vector<std::string> lines = Lines(classes);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].rfind("错误: 工程\"p\" 类\"BOOK\": 类名与类\"Book\"相同", 0), 0u) << lines[0];
  EXPECT_NE(lines[0].find("FrmAddBook.frm"), std::string::npos);
  EXPECT_EQ(ScriptRefusal(classes), lines[0]);
}

TEST_F(ModelCheckTest, TheOperatorsTableNameAndIdentifiersOverTheLimits) {
  const std::string name37(37, 'a');
  const TModelSnapshot model = Model("p", {{"Admin", {}},
                                           {"Book",
                                            {{name37, "整型"},
                                             {std::string(33, 'p'), "图片型"},
                                             {std::string(34, 'q'), "图片型"},
                                             {"t" + std::string(9999, 'x'), "字符串"}}},
                                           {std::string(31, 'C'), {}},
                                           {std::string(32, 'D'), {}}});
  std::vector<TModelProblem> problems = CheckModel(model);
  ASSERT_EQ(problems.size(), 4u);
  EXPECT_EQ(problems[0].Line(),
            "错误: 工程\"p\" 类\"Admin\": 类名不能是admin: 建表语句用admin表保存操作员!");
  EXPECT_TRUE(problems[0].breaksScript);
  // 31 characters fit CB_Manage{className} into VB6's 40; 32 do not, but SQL Server takes it.
  EXPECT_EQ(problems[1].className, std::string(32, 'D'));
  EXPECT_NE(problems[1].text.find("类名最长31个字符"), std::string::npos);
  EXPECT_FALSE(problems[1].breaksScript);
  // A picture member gets TB_{name}Path: 33 characters are the most.
  EXPECT_EQ(problems[2].memberName, std::string(34, 'q'));
  EXPECT_EQ(problems[2].text,
            "成员名称最长33个字符: 生成的VB6控件名TB_加成员名称加Path不能超过40个字符!");
  // Over 128 the script breaks too; the line shows the name cut short.
  EXPECT_TRUE(problems[3].breaksScript);
  EXPECT_NE(problems[3].text.find("SQL Server的名称也不能超过128个字符"), std::string::npos);
  EXPECT_NE(problems[3].Line().find("…\"(共10000个字符)"), std::string::npos);
  EXPECT_LT(problems[3].Line().size(), 400u);
  // The 37-character integer member fits TB_ (3 + 37 = 40).
  for (const auto& problem : problems) EXPECT_NE(problem.memberName, name37);
}

TEST_F(ModelCheckTest, NamesThatMeetInTheGeneratedCodeAreErrors) {
  // cover's picture controls include TB_coverPath; book's list keeps its keys in books().
  const TModelSnapshot members = Model(
      "p", {{"Book", {{"cover", "图片型"}, {"coverPath", "字符串"}, {"book", "Book2"}}, "books"},
            {"Book2", {}}});
  EXPECT_EQ(Lines(members),
            (std::vector<std::string>{
                "错误: 工程\"p\" 类\"Book\" 成员\"coverPath\": 生成的VB6名称TB_coverPath与成员"
                "\"cover\"的相同: " kWayOutOfMemberName,
                "错误: 工程\"p\" 类\"Book\" 成员\"book\": "
                "生成的VB6名称books与成员\"books\"的相同: " kWayOutOfMemberName}));
  // The complete application names its controls and variables itself.
  EXPECT_EQ(FindModelProblems(members, {.complete = true}), std::vector<std::string>{});
  EXPECT_EQ(ScriptRefusal(members), "");  // the script has no such names

  // Book's menus are book, bookAdd and bookManage.
  const std::vector<std::string> menus = Lines(Model("p", {{"Book", {}}, {"BookAdd", {}}}));
  EXPECT_EQ(menus, (std::vector<std::string>{
                       "错误: 工程\"p\" 类\"BookAdd\": 主窗体的菜单bookAdd与类\"Book\"的菜单同名: "
                       "主窗体无法载入, 请改用另一个类名"}));
  EXPECT_EQ(Lines(Model("p", {{"Book", {}}, {"Books", {}}, {"AddBook", {}}})),
            std::vector<std::string>{});
}

TEST_F(ModelCheckTest, StringLengthsOutsideVarchar) {
  TModelSnapshot model =
      Model("p", {{"Book", {{"a", "字符串"}, {"b", "字符串"}, {"c", "字符串"}}}});
  std::vector<TClassModel> classes = model.Classes();
  classes[0].members[1].memberLength = 8000;
  classes[0].members[2].memberLength = 8001;
  classes[0].members[3].memberLength = 2147483647;
  // A key that is not an integer is made varchar of its length, whatever its type.
  classes[0].members[0].memberIsInteger = 0;
  classes[0].members[0].memberType = std::string(kTypeFloat);
  const std::vector<std::string> lines = Lines(TModelSnapshot(1, "p", classes));
  EXPECT_EQ(lines,
            (std::vector<std::string>{
                "错误: 工程\"p\" 类\"Book\" 成员\"id\": 字符串长度必须大于0! 建表语句中的[varchar] "
                "(0)无法执行",
                "错误: 工程\"p\" 类\"Book\" 成员\"b\": 字符串长度不能超过8000! (SQL "
                "Server的varchar最长8000) 建表语句中的[varchar] (8001)无法执行",
                "错误: 工程\"p\" 类\"Book\" 成员\"c\": 字符串长度不能超过8000! (SQL "
                "Server的varchar最长8000) 建表语句中的[varchar] (2147483647)无法执行"}));
}

// The plain output writes the class and its key bare into the forms' queries, and the names of
// a foreign key bare into the script; the complete application brackets them all. The menus
// of the main form are named after the class in both.
TEST_F(ModelCheckTest, ReservedWordsAreErrorsWhereTheModeWritesThemBare) {
  const TModelSnapshot model = Model("p", {{"Select", {{"ord", "Order"}}},
                                           {"Order", {}, "order"},
                                           {"End", {}},
                                           {"Sub", {{"date", "日期型"}}}});
  // Long lines are split into adjacent literals on purpose.
  // NOLINTBEGIN(bugprone-suspicious-missing-comma)
  EXPECT_EQ(Lines(model),
            (std::vector<std::string>{
                "错误: 工程\"p\" 类\"Select\": 类名是VB6的保留字: 主窗体的菜单\"Begin "
                "VB.Menu select\"无法载入; 请改用另一个类名",
                "错误: 工程\"p\" 类\"End\": 类名是VB6的保留字: 主窗体的菜单\"Begin VB.Menu "
                "end\"无法载入; 请改用另一个类名",
                "错误: 工程\"p\" 类\"Sub\": 类名是VB6的保留字: 主窗体的菜单\"Begin VB.Menu "
                "sub\"无法载入; 请改用另一个类名",
                "错误: 工程\"p\" 类\"Select\": 类名是T-SQL的保留字, 不加方括号的语句无法执行: "
                "窗体中的\"select * from Select\", 建表语句中的\"ALTER TABLE Select ADD "
                "FOREIGN KEY (ord) REFERENCES Order(order)\"; 请改用另一个类名",
                "错误: 工程\"p\" 类\"Order\": 类名是T-SQL的保留字, 不加方括号的语句无法执行: "
                "窗体中的\"select * from Order\", 建表语句中的\"ALTER TABLE Select ADD "
                "FOREIGN KEY (ord) REFERENCES Order(order)\"; 请改用另一个类名, "
                "或生成完整应用(完整应用的SQL语句给名称加方括号, 控件和变量另取名称)",
                "错误: 工程\"p\" 类\"Order\" 成员\"order\": 成员名称是T-SQL的保留字, "
                "不加方括号的语句无法执行: 添加窗体中的\"select order from Order where order "
                "= ...\", 修改窗体中的\"select * from Order where order=...\", "
                "建表语句中的\"ALTER TABLE Select ADD FOREIGN KEY (ord) REFERENCES "
                "Order(order)\"; 请改用另一个成员名称, "
                "或生成完整应用(完整应用的SQL语句给名称加方括号, 控件和变量另取名称)",
                "错误: 工程\"p\" 类\"End\": 类名是T-SQL的保留字, 不加方括号的语句无法执行: "
                "窗体中的\"select * from End\"; 请改用另一个类名",
            }));
  // The plain script holds the foreign key bare: it cannot be built; the complete one can.
  EXPECT_NE(ScriptRefusal(model), "");
  EXPECT_NO_THROW(BuildTableScriptFrom(model, true));
  // The complete application still has the main form's menus, and says where to bracket.
  EXPECT_EQ(
      FindModelProblems(model, {.complete = true}),
      (std::vector<std::string>{
          "错误: 工程\"p\" 类\"Select\": 类名是VB6的保留字: 主窗体的菜单\"Begin "
          "VB.Menu select\"无法载入; 请改用另一个类名",
          "错误: 工程\"p\" 类\"End\": 类名是VB6的保留字: 主窗体的菜单\"Begin VB.Menu "
          "end\"无法载入; 请改用另一个类名",
          "错误: 工程\"p\" 类\"Sub\": 类名是VB6的保留字: 主窗体的菜单\"Begin VB.Menu "
          "sub\"无法载入; 请改用另一个类名",
          "警告: 工程\"p\" 类\"Select\": 类名是T-SQL的保留字: 自己写的SQL语句中须写成[Select]",
          "警告: 工程\"p\" 类\"Order\": 类名是T-SQL的保留字: 自己写的SQL语句中须写成[Order]",
          "警告: 工程\"p\" 类\"Order\" 成员\"order\": 成员名称是T-SQL的保留字: "
          "自己写的SQL语句中须写成[order]",
          "警告: 工程\"p\" 类\"End\": 类名是T-SQL的保留字: 自己写的SQL语句中须写成[End]",
      }));
  // NOLINTEND(bugprone-suspicious-missing-comma)

  // A key named after a VB6 word breaks the plain edit form's public variable; a member that
  // is neither a key nor a foreign key is only read through its field name.
  const TModelSnapshot key = Model("p", {{"Book", {{"select", "字符串"}}, "date"}});
  EXPECT_EQ(Lines(key),
            (std::vector<std::string>{
                "错误: 工程\"p\" 类\"Book\" 成员\"date\": 生成的VB6名称date是VB6的保留字: "
                "窗体无法编译; 请改用另一个成员名称, 或生成完整应用(完整应用的SQL语句给"
                "名称加方括号, 控件和变量另取名称)",
                "警告: 工程\"p\" 类\"Book\" 成员\"select\": 成员名称是T-SQL的保留字: "
                "自己写的SQL语句中须写成[select]"}));
  EXPECT_EQ(FindModelProblems(key, {.complete = true}),
            (std::vector<std::string>{"警告: 工程\"p\" 类\"Book\" 成员\"select\": 成员名称是T-SQL"
                                      "的保留字: 自己写的SQL语句中须写成[select]"}));
}

// Names the plain forms make by adding a suffix, and names with a digit in front.
TEST_F(ModelCheckTest, BareDerivedNamesAndLeadingDigitsFailOnlyInThePlainForms) {
  struct TCase {
    TModelSnapshot model;
    std::string plainError;  // the text of the first plain error; empty for none
  };
  const std::vector<TCase> cases = {
      // A reference's key array is {name}s: "a" makes "as".
      {Model("p", {{"Book", {{"a", "Press"}}}, {"Press", {}}}), "生成的VB6名称as是VB6的保留字"},
      {Model("p", {{"Book", {{"_n", "整型"}}}}), "生成的VB6名称_nError不以字母开头"},
      {Model("p", {{"Book", {{"_photo", "图片型"}}}}), "生成的VB6名称_photoStream不以字母开头"},
      {Model("p", {{"Book", {{"_title", "字符串"}}}}), ""},  // only TB__title: it has a prefix
      {Model("p", {{"Book", {}, "1id"}}), "成员名称以数字开头, 不加方括号的语句无法执行"},
      {Model("p", {{"Book", {{"2press", "Press"}}}, {"Press", {}}}),
       "成员名称以数字开头, 不加方括号的语句无法执行"},
  };
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const std::optional<TModelProblem> plain = FirstError(cases[i].model);
    EXPECT_EQ(plain ? plain->text.substr(0, cases[i].plainError.size()) : "", cases[i].plainError)
        << i;
    const std::optional<TModelProblem> complete = FirstError(cases[i].model, {.complete = true});
    EXPECT_FALSE(complete.has_value()) << i << ": " << complete->Line();
  }
}

TEST_F(ModelCheckTest, NamesWindowsCannotHoldAndNamesNotBeginningWithALetterAreWarnings) {
  for (const char* project : {"CON", "nul", "Aux.txt", "COM1", "lpt9", "馆.", "馆 "}) {
    const std::vector<TModelProblem> problems = CheckModel(Model(project, {{"Book", {}}}));
    ASSERT_EQ(problems.size(), 1u) << project;
    EXPECT_EQ(problems[0].severity, TSeverity::Warning);
    EXPECT_EQ(problems[0].className, std::nullopt);
    EXPECT_NE(problems[0].text.find("Windows"), std::string::npos) << problems[0].Line();
  }
  EXPECT_TRUE(CheckModel(Model("COM0", {})).empty());
  EXPECT_TRUE(CheckModel(Model("CONSOLE", {})).empty());

  const std::vector<std::string> classes = Lines(Model("p", {{"CON", {}}, {"_misc", {}}}));
  // The menus of both applications' main forms are named after the class: VB6 refuses them.
  const std::vector<std::string> expected = {
      "错误: 工程\"p\" 类\"_misc\": 类名的首个字符不是字母: VB6的名称必须以字母开头, "
      "主窗体的菜单_misc和过程_miscAdd_Click无法载入; 请改用另一个类名",
      "警告: 工程\"p\" 类\"CON\": 类名是Windows的设备名, 在Windows上不能用作文件名",
  };
  EXPECT_EQ(classes, expected);
  EXPECT_EQ(FindModelProblems(Model("p", {{"CON", {}}, {"_misc", {}}}), {.complete = true}),
            expected);
  // A class name ending in a dot is a name VB6 cannot use at all.
  const std::vector<TModelProblem> dot = CheckModel(Model("p", {{"Book.", {}}}));
  ASSERT_EQ(dot.size(), 2u);
  EXPECT_EQ(dot[0].severity, TSeverity::Error);
  EXPECT_EQ(dot[1].text, "类名以点或空格结尾, Windows上的文件名会去掉它们");
}

TEST_F(ModelCheckTest, ErrorsComeFirstAndTheRunsOwnChecksLeadThem) {
  int projectId = AddProject("p");
  // Rows as an older database or another tool may hold them.
  int book = AddClass(projectId, "book", "图\"书");
  AddMember(projectId, book, "Id", "整型", "编号", 0, true, true);
  AddMember(projectId, book, "cover", "图片型", "封面😀", 0, false, false, false, false, false);
  int loan = AddClass(projectId, "Loan", "借阅");
  AddMember(projectId, loan, "loanId", "整型", "编号", 0, true, false);
  AddMember(projectId, loan, "reader", "Reader", "读者");
  EXPECT_EQ(
      FindModelProblems(projectId),
      (std::vector<std::string>{
          "错误: 工程\"p\" 类\"Loan\": Loan表显示成员设置错误，每个类有且只能设置一个显示成员!",
          "错误: 工程\"p\" 类\"book\": 友好名称不能包含双引号或控制字符!",
          "错误: 工程\"p\" 类\"book\" 成员\"cover\": 成员注释含有GBK无法表示的字符: \"封面😀\"",
          "错误: 工程\"p\" 类\"Loan\" 成员\"reader\": 引用的类型\"Reader\"不是本项目中的类!",
          "警告: 工程\"p\" 类\"book\": 类名首个字母必须大写",
          "警告: 工程\"p\" 类\"book\" 成员\"Id\": 成员属性首个字母必须小写",
      }));
}

TEST_F(ModelCheckTest, TheRunRefusesTheFirstErrorBeforeWritingAndTheKeyBoxesStayInFront) {
  int projectId = AddProject("p");
  int reader = AddClass(projectId, "Reader", "读者");
  AddMember(projectId, reader, "readerId", "整型", "编号", 0, true, true);
  AddMember(projectId, reader, "nm", "字符串", "姓名", 20);
  int nM = AddMember(projectId, reader, "nM", "字符串", "昵称", 20);
  int admin = AddClass(projectId, "ADMIN", "操作员");
  EXPECT_EQ(RunOutcome(projectId), "key");  // ADMIN has no key yet: the key box comes first
  AddMember(projectId, admin, "adminId", "整型", "编号", 0, true, true);
  // Class names are checked before members: ADMIN is the first error.
  std::vector<std::string> lines = FindModelProblems(projectId);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].rfind("错误: 工程\"p\" 类\"ADMIN\": 类名不能是admin", 0), 0u) << lines[0];
  EXPECT_EQ(lines[1].rfind("错误: 工程\"p\" 类\"Reader\" 成员\"nM\"", 0), 0u) << lines[1];
  EXPECT_EQ(RunOutcome(projectId), "failed " + lines[0]);
  EXPECT_EQ(ScriptRefusal(Snapshot(projectId)), lines[0]);

  TClassDAO().UpdateClass(projectId, admin, "Staff", "操作员", 1);
  EXPECT_EQ(RunOutcome(projectId), "failed " + lines[1]);
  EXPECT_EQ(ScriptRefusal(Snapshot(projectId)), lines[1]);
  TMemberDAO().DeleteMember(nM);
  EXPECT_EQ(RunOutcome(projectId), "done");
  EXPECT_EQ(ScriptRefusal(Snapshot(projectId)), "");
}

TEST_F(ModelCheckTest, VbOnlyErrorsStopTheRunButNotTheScript) {
  const TModelSnapshot model = Model("p", {{"Book", {{std::string(37, 'd'), "日期型"}}}});
  ASSERT_EQ(Lines(model).size(), 1u);
  EXPECT_EQ(ScriptRefusal(model), "");
}

TEST_F(ModelCheckTest, AModelWithOnlyWarningsIsGeneratedAsTheGeneratorsWriteIt) {
  int projectId = AddProject("CON");
  int order = AddClass(projectId, "book", "图书");
  AddMember(projectId, order, "Id", "整型", "编号", 0, true, true);
  AddMember(projectId, order, "select", "字符串", "选择", 20);  // bracketed wherever it stands
  int misc = AddClass(projectId, "Misc", "杂项");
  AddMember(projectId, misc, "miscId", "整型", "编号", 0, true, true);
  AddMember(projectId, misc, "ord", "book", "图书");
  const TModelSnapshot model = Snapshot(projectId);
  const std::vector<TModelProblem> problems = CheckModel(model);
  ASSERT_FALSE(problems.empty());
  EXPECT_FALSE(FirstError(problems).has_value());

  TMemorySink run;
  ASSERT_EQ(RunOutcome(projectId, run), "done");
  TMemorySink direct;
  TRecordedProgress progress;
  TGenContext context{"CON", SourceDir() / "data" / "template", direct, progress};
  TUIOperate(context).AssembleProject("tavorin", model);
  for (const auto& [path, bytes] : direct.files) {
    ASSERT_TRUE(run.files.count(path)) << path;
    EXPECT_EQ(run.files.at(path), bytes) << path;
  }
  EXPECT_NE(BuildTableScriptFrom(model).find("REFERENCES book(Id)"), std::string::npos);
}

// Names another tool stored: the run refuses them before it writes, so no file lands anywhere,
// inside projects/ or out of it, and the model is left as it was.
TEST_F(ModelCheckTest, HostileStoredNamesAreRefusedAndNothingIsWritten) {
  namespace fs = std::filesystem;
  const fs::path home = TempPath() / "home";
  fs::create_directories(home);
  fs::copy(SourceDir() / "data" / "template", home / "template", fs::copy_options::recursive);
  fs::copy(SourceDir() / "data" / "bak", home / "bak", fs::copy_options::recursive);
  auto files = [&] {
    std::vector<fs::path> all;
    for (const auto& entry : fs::recursive_directory_iterator(TempPath())) {
      if (entry.path().filename().string().rfind("projects.db", 0) != 0)
        all.push_back(entry.path());
    }
    std::sort(all.begin(), all.end());
    return all;
  };
  const std::vector<fs::path> before = files();

  int inside = AddProject("p");
  int evil = AddClass(inside, "../../Evil", "坏");
  AddMember(inside, evil, "id", "整型", "编号", 0, true, true);
  AddMember(inside, evil, "x]", "字符串", "坏", 10);
  int outside = AddProject("../up");
  int book = AddClass(outside, "Book", "图书");
  AddMember(outside, book, "id", "整型", "编号", 0, true, true);
  const TModelSnapshot stored = Snapshot(inside);

  for (int projectId : {inside, outside}) {
    TOutcome listener;
    TAutoCode(projectId, "tavorin", TProgramDir(home), listener).Execute();
    const std::optional<TModelProblem> first = FirstError(CheckModel(Snapshot(projectId)));
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(listener.outcome, "failed " + first->Line());
  }
  // "x]" cannot stand between brackets; the project's name is not part of the script.
  EXPECT_THROW(BuildTableScript(inside), TScriptError);
  EXPECT_NO_THROW(BuildTableScript(outside));
  EXPECT_EQ(files(), before);
  EXPECT_EQ(Lines(Snapshot(inside)), Lines(stored));  // nothing in the model changed
  EXPECT_EQ(Lines(stored)[0],
            "错误: 工程\"p\" 类\"../../Evil\": 类名只能由字母、数字、下划线或汉字组成!");
  EXPECT_EQ(FirstError(CheckModel(Snapshot(outside)))->Line(),
            "错误: 工程\"../up\": 工程名称不能包含控制字符或下列字符: < > : \" / \\ | ? *");
}

// The script brackets every name but those in its foreign keys: a name brackets would save
// stops the script only where a foreign key holds it bare.
TEST_F(ModelCheckTest, NamesOutsideIdentifiersStopTheScriptOnlyInForeignKeys) {
  struct TCase {
    TModelSnapshot model;
    std::string scriptError;  // the start of its line; empty for none
  };
  const std::vector<TCase> cases = {
      {Model("p", {{"Bad Name", {}}}), ""},
      {Model("p", {{"Bad Name", {{"self", "Bad Name"}}}}),
       "错误: 工程\"p\" 类\"Bad Name\": 类名只能"},
      {Model("p", {{"Bad Name", {}}, {"Loan", {{"r", "Bad Name"}}}}),
       "错误: 工程\"p\" 类\"Bad Name\": 类名只能"},
      {Model("p", {{"Press", {}, "bad id"}}), ""},
      {Model("p", {{"Press", {}, "bad id"}, {"Book", {{"p", "Press"}}}}),
       "错误: 工程\"p\" 类\"Press\" 成员\"bad id\": 成员名称只能"},
      {Model("p", {{"Press", {{"bad name", "字符串"}}}, {"Book", {{"p", "Press"}}}}), ""},
      {Model("p", {{"Press", {}}, {"Book", {{"bad p", "Press"}}}}),
       "错误: 工程\"p\" 类\"Book\" 成员\"bad p\": 成员名称只能"},
  };
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const std::optional<TModelProblem> error = FirstScriptError(cases[i].model);
    ASSERT_TRUE(FirstError(CheckModel(cases[i].model)).has_value()) << i;
    if (cases[i].scriptError.empty()) {
      EXPECT_FALSE(error.has_value()) << i << ": " << error->Line();
    } else {
      ASSERT_TRUE(error.has_value()) << i;
      EXPECT_EQ(error->Line().rfind(cases[i].scriptError, 0), 0u) << i << ": " << error->Line();
    }
  }
}

// The script looks only for what stops it; it must find what the whole check finds first.
TEST_F(ModelCheckTest, TheScriptsOwnLookFindsTheFirstErrorTheWholeCheckFindsForIt) {
  std::vector<TClassModel> keyless =
      Model("p", {{"Book", {{"title", "字符串"}}}, {"Press", {}}, {"Loan", {{"b", "Book"}}}})
          .Classes();
  keyless[0].members[0].memberIsDisplay = 0;  // a display error, which the script ignores
  keyless[1].members[0].memberIsPri = 0;      // a key error, which stops it
  const std::vector<TModelSnapshot> models = {
      Model("p", {}),
      Model("a/b", {{"Book", {{"cover", "图片型"}, {"coverPath", "字符串"}}}, {"BookAdd", {}}}),
      Model("p", {{"Book", {{"cover", "图片型"}, {"coverPath", "字符串"}}},
                  {"Loan", {{"r", "Reader"}}}}),
      Model("p", {{"Book", {{std::string(37, 'd'), "日期型"}, {"nm", "字符串"}, {"NM", "整型"}}}}),
      Model("p", {{"Book", {}}, {"book", {}, "bookId"}}),
      Model("p", {{"book", {{"x]", "字符串"}, {"封面", "图片型"}}}}),
      Model("p", {{"Admin", {}}, {"Bad Name", {{"self", "Bad Name"}}}}),
      TModelSnapshot(1, "p", keyless),
  };
  std::vector<bool> found;
  for (const TModelSnapshot& model : models) {
    const std::optional<TModelProblem> whole = FirstScriptError(CheckModel(model));
    const std::optional<TModelProblem> own = FirstScriptError(model);
    found.push_back(whole.has_value());
    ASSERT_EQ(own.has_value(), whole.has_value()) << found.size() - 1;
    if (whole) {
      EXPECT_EQ(own->Line(), whole->Line());
      EXPECT_TRUE(own->breaksScript);
    }
  }
  EXPECT_EQ(found, (std::vector<bool>{false, false, true, true, true, true, true, true}));
  EXPECT_EQ(FirstScriptError(models[2])->Line(),
            "错误: 工程\"p\" 类\"Loan\" 成员\"r\": 引用的类型\"Reader\"不是本项目中的类!");
  EXPECT_EQ(FirstScriptError(models.back())->Line(),
            "错误: 工程\"p\" 类\"Press\": Press表主键设置错误，每个类只能设置一个主键! "
            "没有主键的类只有完整应用能生成(显示为只读列表): 请修改模型, "
            "或生成完整应用(菜单\"自动生成完整应用代码\", 或vbgen-cli的--complete)");

  // A run stops at the first error of all: its own look, which skips the checks that only warn,
  // finds the same one, and none where the whole check finds only warnings.
  std::vector<TModelSnapshot> runModels = models;
  runModels.push_back(Model("p", {{"book", {{"Order", "字符串"}}}}));  // warnings only
  for (std::size_t i = 0; i < runModels.size(); ++i) {
    const std::vector<TModelProblem> all = CheckModel(runModels[i]);
    const std::optional<TModelProblem> whole = FirstError(all), own = FirstError(runModels[i]);
    ASSERT_EQ(own.has_value(), whole.has_value()) << i;
    if (whole) {
      EXPECT_EQ(own->Line(), whole->Line()) << i;
    }
    if (i == runModels.size() - 1) {
      EXPECT_TRUE(!all.empty() && !whole) << all.size();
    }
  }
  EXPECT_TRUE(FirstError(models[1]).has_value());  // menu and derived names, which the script skips
}

// Generated names meet whatever their case, and whichever member comes first.
TEST_F(ModelCheckTest, GeneratedNamesMeetWithoutRegardToCase) {
  EXPECT_EQ(Lines(Model("p", {{"Book", {{"coverPATH", "字符串"}, {"Cover", "图片型"}}}})),
            (std::vector<std::string>{
                "错误: 工程\"p\" 类\"Book\" 成员\"Cover\": 生成的VB6名称TB_CoverPath与成员"
                "\"coverPATH\"的相同: " kWayOutOfMemberName,
                "警告: 工程\"p\" 类\"Book\" 成员\"Cover\": 成员属性首个字母必须小写"}));
  // A key's public variable meets a number's label.
  EXPECT_EQ(Lines(Model("p", {{"Book", {{"ID", "整型"}}, "idOK"}})),
            (std::vector<std::string>{
                "错误: 工程\"p\" 类\"Book\" 成员\"ID\": "
                "生成的VB6名称IDOK与成员\"idOK\"的相同: " kWayOutOfMemberName,
                "警告: 工程\"p\" 类\"Book\" 成员\"ID\": 成员属性首个字母必须小写"}));
  EXPECT_EQ(Lines(Model("p", {{"Book", {{"idx", "整型"}}, "idOK"}})), std::vector<std::string>{});
}

// The names a form's designer section gives its controls (the form itself not counted), each
// once: the members of a control array share one.
std::size_t ControlNames(const std::string& form) {
  std::set<std::string> names;
  std::stringstream lines(form);
  for (std::string line; std::getline(lines, line);) {
    std::stringstream words(line);
    std::string begin, kind, name;
    words >> begin >> kind >> name;
    if (begin == "Begin" && kind != "VB.Form") names.insert(FoldCase(name));
  }
  return names.size();
}

TEST_F(ModelCheckTest, AFormOfMoreControlNamesThanVbLoadsIsAnErrorInBothModes) {
  // Every kind of row, counted against what both generators of the edit form really write.
  std::vector<std::pair<std::string, std::string>> members = {
      {"title", "字符串"}, {"pages", "整型"},   {"price", "浮点型"},
      {"day", "日期型"},   {"cover", "图片型"}, {"press", "Press"}};
  TModelSnapshot mixed = Model("p", {{"Book", members}, {"Press", {}}});
  std::vector<TClassModel> classes = mixed.Classes();
  classes[0].members[1].memberLength = 500;  // a rich text box
  mixed = TModelSnapshot(1, "p", classes);
  for (bool complete : {false, true}) {
    TMemorySink sink;
    TRecordedProgress progress;
    TGenContext context{"p", SourceDir() / "data" / "template", sink, progress};
    if (complete) {
      GenerateCompleteEditFormFiles(context, mixed);
    } else {
      GenerateEditFormFiles(context, mixed);
    }
    const std::string form = sink.files.at("projects/p/FrmEditBook.frm");
    EXPECT_EQ(ControlNames(form), static_cast<std::size_t>(EntryFormControlNames(classes[0])))
        << complete;
  }

  // 124 string members make 254 names; one more is too many, whatever the mode.
  std::vector<std::pair<std::string, std::string>> wide;
  for (int i = 0; i < 124; ++i) wide.push_back({"m" + std::to_string(i), "字符串"});
  EXPECT_EQ(EntryFormControlNames(Model("p", {{"Wide", wide}}).Classes()[0]), 254);
  for (bool complete : {false, true}) {
    EXPECT_FALSE(FirstError(Model("p", {{"Wide", wide}}), {.complete = complete}).has_value());
  }
  wide.push_back({"last", "字符串"});
  for (bool complete : {false, true}) {
    const std::optional<TModelProblem> error =
        FirstError(Model("p", {{"Wide", wide}}), {.complete = complete});
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->text,
              "修改窗体FrmEditWide.frm有256个控件名称, VB6的一个窗体最多254个: 窗体无法载入; "
              "请减少成员, 或把类分成两个");
  }
}

// A model of tests/hostile as another tool would have stored it, past the dialogs' rules.
TModelSnapshot HostileModel(const std::string& name) {
  std::ifstream in(SourceDir() / "tests" / "hostile" / (name + ".json"));
  const nlohmann::json model = nlohmann::json::parse(in);
  std::vector<TClassModel> classes;
  int memberId = 0;
  for (const auto& entry : model["classes"]) {
    TClassModel made{static_cast<int>(classes.size()) + 1,
                     entry["className"],
                     entry["friendName"],
                     entry["frontShowFlag"],
                     {}};
    for (const auto& m : entry["members"]) {
      TMember member;
      member.memberId = ++memberId;
      member.projectId = 1;
      member.classId = made.classId;
      member.memberName = m["memberName"];
      member.memberType = m["memberType"];
      member.memberLength = m["memberLength"];
      member.memberIsPri = m["memberIsPri"];
      member.memberComment = m["memberComment"];
      member.memberIsMust = m["memberIsMust"];
      member.memberIsInteger = m["memberIsInteger"];
      member.memberIsFloat = m["memberIsFloat"];
      member.queryFlag = m["queryFlag"];
      member.memberIsDisplay = m["memberIsDisplay"];
      member.memberQueryDisplay = m["memberQueryDisplay"];
      made.members.push_back(member);
    }
    classes.push_back(std::move(made));
  }
  return TModelSnapshot(1, model["projectName"], std::move(classes));
}

// Where each error of a check stands: "Class" or "Class.member".
std::string ErrorPlaces(const TModelSnapshot& model, bool complete) {
  std::string places;
  for (const TModelProblem& problem : CheckModel(model, {.complete = complete})) {
    if (problem.severity != TSeverity::Error) continue;
    places += (places.empty() ? "" : " ") + problem.className.value_or("");
    if (problem.memberName) places += "." + *problem.memberName;
  }
  return places;
}

// What check decides for each hostile model, plain and complete. What passes is generated here
// without a fault; tests/hostile/check_outputs.sh parses such output with VB6 and T-SQL grammars.
TEST(HostileModelsTest, CheckDecidesEachModelPerMode) {
  struct TDecision {
    std::string plain, complete;  // the places of the errors; empty when the model passes
  };
  const std::map<std::string, TDecision> decisions = {
      {"chinese_names", {"", ""}},
      {"class_digit", {"1Book 1Book", "1Book"}},
      {"class_underscore", {"_Misc", "_Misc"}},
      {"clean_library", {"", ""}},
      {"date_key", {"Book.Date", ""}},
      {"end_key", {"Loan.end Loan.end", ""}},
      {"leading_digits", {"Book.2nd", ""}},
      {"leading_underscores", {"Book._id Book._b", ""}},
      {"number_labels", {"", ""}},
      {"order_user", {"Order Order.order User User.order", ""}},
      {"photo_path", {"Person.PhotoPath", ""}},
      {"query_45", {"Query", "Query"}},
      {"reference_as", {"Book.a", ""}},
      {"reserved_members", {"", ""}},
      {"reserved_reference", {"Book.order", ""}},
      {"select_end_sub", {"Select End Sub Select End", "Select End Sub"}},
      {"user_date_tables", {"Date User Date.user", "Date"}},
      {"wide_124", {"", ""}},
      {"wide_125", {"Wide", "Wide"}},
      {"wide_140", {"Wide", "Wide"}},
  };
  std::size_t files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(SourceDir() / "tests" / "hostile")) {
    if (entry.path().extension() != ".json") continue;
    ++files;
    const std::string name = entry.path().stem().string();
    ASSERT_TRUE(decisions.count(name)) << name << " has no decision pinned";
    const TModelSnapshot model = HostileModel(name);
    EXPECT_EQ(ErrorPlaces(model, false), decisions.at(name).plain) << name;
    EXPECT_EQ(ErrorPlaces(model, true), decisions.at(name).complete) << name;
    // What passes the check is generated: the forms and the script are built without a fault.
    for (bool complete : {false, true}) {
      if (FirstError(model, {.complete = complete})) continue;
      TMemorySink sink;
      TRecordedProgress progress;
      TGenContext context{name, SourceDir() / "data" / "template", sink, progress};
      EXPECT_NO_THROW(TUIOperate(context, {.complete = complete}).AssembleProject("t", model))
          << name;
      EXPECT_NO_THROW(BuildTableScriptFrom(model, complete)) << name;
    }
  }
  EXPECT_EQ(files, decisions.size());
}

}  // namespace vbgen::test

namespace vbgen::test {
namespace {

// The shapes of a database only the complete application manages: an order line keyed by its
// order and its product, an employee who reports to another, a log without a key.
TModelSnapshot DatabaseShapes() {
  std::vector<TClassModel> classes = Model("p", {{"Product", {{"name", "字符串"}}},
                                                 {"Employee", {{"reportsTo", "Employee"}}},
                                                 {"OrderLine", {{"product", "Product"}}},
                                                 {"Log", {{"text", "字符串"}}}})
                                         .Classes();
  classes[2].members[1].memberIsPri = 1;  // the line's key: its id and its product
  classes[1].members[1].memberAllowNull = 1;
  classes[3].members[0].memberIsPri = 0;  // the log's id is a plain number
  return TModelSnapshot(1, "p", std::move(classes));
}

bool HasLine(const std::vector<std::string>& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

constexpr const char* kWayOut =
    ": 请修改模型, 或生成完整应用(菜单\"自动生成完整应用代码\", 或vbgen-cli的--complete)";

}  // namespace

TEST(DatabaseShapesCheckTest, ThePlainCheckRefusesEachAndNamesTheCompleteApplication) {
  const std::vector<std::string> lines = Lines(DatabaseShapes());
  EXPECT_TRUE(HasLine(lines, std::string("错误: 工程\"p\" 类\"OrderLine\": OrderLine") +
                                 kKeyCheckText + " 多个成员组成的主键只有完整应用能生成" + kWayOut))
      << ::testing::PrintToString(lines);
  EXPECT_TRUE(HasLine(lines, std::string("错误: 工程\"p\" 类\"Log\": Log") + kKeyCheckText +
                                 " 没有主键的类只有完整应用能生成(显示为只读列表)" + kWayOut));
  EXPECT_TRUE(HasLine(lines, std::string("错误: 工程\"p\" 类\"Employee\" 成员\"reportsTo\": "
                                         "引用本类的成员只有完整应用能生成") +
                                 kWayOut));
  EXPECT_TRUE(HasLine(lines, std::string("错误: 工程\"p\" 类\"OrderLine\" 成员\"product\": "
                                         "引用成员作主键只有完整应用能生成") +
                                 kWayOut));
  // The plain script still stops at the class without a key, as it always has.
  EXPECT_NE(ScriptRefusal(DatabaseShapes()).find("Log表主键设置错误"), std::string::npos);
}

TEST(DatabaseShapesCheckTest, TheCompleteCheckTakesThemAndRefusesWhatNoColumnCanHold) {
  EXPECT_EQ(FindModelProblems(DatabaseShapes(), TRunOptions{.complete = true}),
            std::vector<std::string>{});
  std::vector<TClassModel> classes = DatabaseShapes().Classes();
  classes[1].members[1].memberIsPri = 1;  // keyed by another row of its own table
  classes[1].members[1].memberAllowNull = 0;
  classes[0].members.push_back(classes[1].members[1]);  // a product refers to an order line
  classes[0].members.back().memberIsPri = 0;
  classes[0].members.back().memberName = "line";
  classes[0].members.back().memberType = "OrderLine";
  classes[0].members.push_back(classes[0].members.back());
  classes[0].members.back().memberName = "log";
  classes[0].members.back().memberType = "Log";
  const TModelSnapshot model(1, "p", std::move(classes));
  const TRunOptions complete{.complete = true};
  const std::vector<std::string> lines = FindModelProblems(model, complete);
  EXPECT_EQ(lines,
            (std::vector<std::string>{
                "错误: 工程\"p\" 类\"Product\" 成员\"line\": 引用的类\"OrderLine\"的主键由2个成员"
                "组成, 一个引用成员只能保存一个键值: 请改为引用主键只有一个成员的类",
                "错误: 工程\"p\" 类\"Product\" 成员\"log\": 引用的类\"Log\"没有主键, "
                "一个引用成员只能保存一个键值: 请改为引用主键只有一个成员的类",
                "错误: 工程\"p\" 类\"Employee\" 成员\"reportsTo\": "
                "引用本类的成员不能是主键: 一行不能以本表的另一行为键"}));
  // Each stops the complete script as well.
  EXPECT_TRUE(FirstScriptError(model, complete)->breaksScript);

  // Two integer key members the database would number: a table has one IDENTITY column.
  std::vector<TClassModel> numbered = DatabaseShapes().Classes();
  numbered[2].members[1].memberType = std::string(kTypeInteger);
  numbered[2].members[1].memberIsInteger = 1;
  const TModelSnapshot twice(1, "p", std::move(numbered));
  EXPECT_EQ(FindModelProblems(twice, complete),
            std::vector<std::string>{
                "错误: 工程\"p\" 类\"OrderLine\": 主键中有2个由数据库编号的整型成员, "
                "一个表只能有一个IDENTITY列: 请把其余的设为由用户输入键值"});
  std::vector<TClassModel> entered = twice.Classes();
  entered[2].members[1].memberKeyEntered = 1;
  EXPECT_TRUE(FindModelProblems(TModelSnapshot(1, "p", std::move(entered)), complete).empty());
}

}  // namespace vbgen::test
