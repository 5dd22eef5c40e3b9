// Whole generation runs into a temporary program directory holding the shipped data.
#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <sstream>

#include "RunSupport.h"
#include "generate/AutoCode.h"
#include "generate/Gbk.h"
#include "generate/check/ModelCheck.h"
#include "generate/emit/UIOperate.h"
#include "generate/read/ModelSnapshot.h"
#include "generate/write/EarlierDigests.h"
#include "generate/write/Manifest.h"
#include "generate/write/PlanSink.h"
#include "generate/write/RunRecord.h"
#include "model/MemberDAO.h"
#include "model/ModelFile.h"

namespace vbgen::test {
namespace fs = std::filesystem;

class AutoCodeTest : public RunHomeTest {
 protected:
  TRecorder Generate(int projectId, TFileSink* sink = nullptr) {
    TRecorder recorder;
    TAutoCode run(projectId, "tavorin", TProgramDir(home), recorder);
    run.SetSink(sink);
    run.Execute();
    return recorder;
  }
  bool NothingWritten() const { return !fs::exists(home / "projects"); }
};

TEST_F(AutoCodeTest, ExampleProjectIsCompleteAndInOrder) {
  int projectId = Example();
  TRecorder run = Generate(projectId);
  ASSERT_EQ(run.events, (std::vector<std::string>{"done"}));
  std::vector<std::string> expected = {"projects/馆/MainForm.frm生成完成!",
                                       "projects/馆/vb信息管理系统.vbp生成完成!",
                                       "projects/馆/frmczql.frm生成完毕!"};
  for (const char* kind : {"Add", "Edit", "Manage"}) {
    for (const char* cls : {"Book", "Reader", "Loan"}) {
      expected.push_back(std::string("projects/馆/Frm") + kind + cls + ".frm生成完毕!");
    }
  }
  expected.push_back("正在移动资源文件。。。");
  expected.push_back("移动资源文件完毕!");
  EXPECT_EQ(run.lines, expected);

  // Every form and module the project file lists is there.
  std::string vbp = TFileOperate::ReadBytes(Output() / "vb信息管理系统.vbp");
  std::regex entry("(Form|Module)=([^;\r\n]*;\\s*)?([^\r\n]+)\r\n");
  int listed = 0;
  for (std::sregex_iterator it(vbp.begin(), vbp.end(), entry), end; it != end; ++it, ++listed) {
    EXPECT_TRUE(fs::exists(Output() / (*it)[3].str())) << (*it)[3].str();
  }
  EXPECT_GE(listed, 3 * 3 + 4);
  EXPECT_NE(vbp.find("Form=FrmAddBook.frm\r\nForm=FrmManageBook.frm\r\nForm=FrmEditBook.frm\r\n"
                     "Form=FrmAddReader.frm\r\n"),
            std::string::npos);
  for (const char* frx : {"FrmAddLoan.frx", "FrmEditLoan.frx", "FrmManageLoan.frx"}) {
    EXPECT_TRUE(fs::exists(Output() / frx)) << frx;
  }
  EXPECT_TRUE(fs::exists(Output() / "background" / "NoImage.jpg"));
  EXPECT_TRUE(fs::exists(Output() / "Tmp"));
  // The main form: the permissions of the third class are 5 and 6, and the markers are gone.
  std::string mainForm = GbkToUtf8(TFileOperate::ReadBytes(Output() / "MainForm.frm"));
  EXPECT_NE(
      mainForm.find("  t = check_qx(czry_flag, 5)\r\n  If t = True Then\r\n"
                    "    MainForm.StatusBar1.Panels(1).Text = \"状态： 添加借阅记录 \"\"\"\r\n"
                    "    FrmAddLoan.Show\r\n"),
      std::string::npos);
  EXPECT_NE(mainForm.find("   Begin VB.Menu loanManage \r\n"), std::string::npos);
  EXPECT_EQ(mainForm.find("$Menu"), std::string::npos);
}

TEST_F(AutoCodeTest, KeyCheckStopsAtTheFirstBadClassAndWritesNothing) {
  int projectId = AddProject("馆");
  int good = AddClass(projectId, "Good", "好");
  AddMember(projectId, good, "id", "整型", "编号", 0, true, true);
  int twoKeys = AddClass(projectId, "TwoKeys", "二");
  AddMember(projectId, twoKeys, "a", "整型", "a", 0, true, false);
  AddMember(projectId, twoKeys, "b", "整型", "b", 0, true, false);
  AddClass(projectId, "NoKey", "无");
  TRecorder run = Generate(projectId);
  EXPECT_EQ(run.events, (std::vector<std::string>{"key " + std::to_string(twoKeys)}));
  EXPECT_EQ(run.failedNames, (std::vector<std::string>{"TwoKeys"}));  // nobody reads it again
  EXPECT_TRUE(run.lines.empty());
  EXPECT_TRUE(NothingWritten());
}

// The window shows the whole list with the box that ends the run; it comes from the run, which
// judges the snapshot it generates from, before its first event.
TEST_F(AutoCodeTest, TheRunListsEveryProblemOfItsOwnModelBeforeItStops) {
  int projectId = AddProject("馆");
  int first = AddClass(projectId, "First", "一");
  AddMember(projectId, first, "id", "整型", "编号", 0, true, false);
  int select = AddClass(projectId, "Select", "选");
  AddMember(projectId, select, "id", "整型", "编号", 0, true, true);
  const std::vector<std::string> expected = FindModelProblems(projectId);
  ASSERT_GE(expected.size(), 2u);  // the missing display member and the reserved word
  TRecorder run = Generate(projectId);
  EXPECT_EQ(run.problems, expected);
  EXPECT_EQ(run.eventsBeforeProblems, 0u);
  EXPECT_EQ(run.events, (std::vector<std::string>{"display " + std::to_string(first)}));

  TRecorder clean = Generate(Example("例"));
  EXPECT_TRUE(clean.problems.empty());
}

TEST_F(AutoCodeTest, DisplayCheckNamesTheSecondClass) {
  int projectId = AddProject("馆");
  int first = AddClass(projectId, "First", "一");
  AddMember(projectId, first, "id", "整型", "编号", 0, true, true);
  int second = AddClass(projectId, "Second", "二");
  AddMember(projectId, second, "id", "整型", "编号", 0, true, false);
  TRecorder run = Generate(projectId);
  EXPECT_EQ(run.events, (std::vector<std::string>{"display " + std::to_string(second)}));
  EXPECT_EQ(run.failedNames, (std::vector<std::string>{"Second"}));
  EXPECT_TRUE(NothingWritten());
}

TEST_F(AutoCodeTest, ProjectWithoutClassesHasNoPerClassForms) {
  int projectId = AddProject("馆");
  TRecorder run = Generate(projectId);
  ASSERT_EQ(run.events, (std::vector<std::string>{"done"}));
  EXPECT_TRUE(fs::exists(Output() / "frmczql.frm"));
  EXPECT_TRUE(fs::exists(Output() / "MainForm.frm"));
  for (const auto& entry : fs::directory_iterator(Output())) {
    EXPECT_EQ(entry.path().filename().string().rfind("FrmAdd", 0), std::string::npos);
  }
}

TEST_F(AutoCodeTest, ModelsTheGeneratorsCannotHandleWriteNothing) {
  int projectId = AddProject("馆");
  int loan = AddClass(projectId, "Loan", "借阅");
  AddMember(projectId, loan, "id", "整型", "编号", 0, true, true);
  AddMember(projectId, loan, "book", "Book", "书");
  TRecorder run = Generate(projectId);
  ASSERT_EQ(run.events.size(), 1u);
  EXPECT_EQ(run.events[0],
            "failed 错误: 工程\"馆\" 类\"Loan\" 成员\"book\": 引用的类型\"Book\"不是本项目中的类!");
  EXPECT_TRUE(NothingWritten());

  int other = AddProject("乙");
  int pic = AddClass(other, "Pic", "图😀");
  AddMember(other, pic, "id", "整型", "编号", 0, true, true);
  run = Generate(other);
  ASSERT_EQ(run.events.size(), 1u);
  EXPECT_NE(run.events[0].find("类\"Pic\": 友好名称含有GBK无法表示的字符"), std::string::npos);
  EXPECT_TRUE(NothingWritten());
}

// A first run writes the forms' resource files while it still reads and checks the model.
// Stopped by its checks, it leaves no folder of its own, and another project's folder as it
// was; run through, it writes each of those files once, as a rerun confirms.
TEST_F(AutoCodeTest, AFirstRunItsChecksStopLeavesNothingAndOneThatEndsWritesEachFileOnce) {
  const int example = Example();
  ASSERT_EQ(Generate(example).events, (std::vector<std::string>{"done"}));
  const std::string frx = TFileOperate::ReadBytes(Output() / "FrmManageBook.frx");
  int projectId = AddProject("乙");
  int loan = AddClass(projectId, "Loan", "借阅");
  AddMember(projectId, loan, "id", "整型", "编号", 0, true, true);
  AddMember(projectId, loan, "Id", "字符串", "又一个编号", 10);  // the same column twice
  TRecorder run = Generate(projectId);
  ASSERT_EQ(run.events.size(), 1u);
  EXPECT_NE(run.events[0].find("成员名称与成员\"id\"相同"), std::string::npos) << run.events[0];
  EXPECT_TRUE(run.lines.empty());
  std::vector<fs::path> left;
  for (const auto& entry : fs::directory_iterator(home / "projects")) {
    left.push_back(entry.path().filename());
  }
  EXPECT_EQ(left, std::vector<fs::path>{Utf8Path("馆")});
  EXPECT_EQ(TFileOperate::ReadBytes(Output() / "FrmManageBook.frx"), frx);

  TMemberDAO().DeleteMember(TMemberDAO().ListMembers(loan).back().memberId);
  ASSERT_EQ(Generate(projectId).events, (std::vector<std::string>{"done"}));
  const fs::path second = home / "projects" / Utf8Path("乙");
  const std::optional<TRunRecord> record =
      TRunRecord::Parse(TFileOperate::ReadBytes(second / ".vbgen" / "run"));
  ASSERT_TRUE(record.has_value());
  std::vector<std::string> recorded;
  for (const TRecordedFile& file : record->files) recorded.push_back(file.path);
  std::vector<std::string> generated = ProjectFileNames(*ReadModelSnapshot(projectId));
  std::sort(recorded.begin(), recorded.end());
  std::sort(generated.begin(), generated.end());
  EXPECT_EQ(recorded, generated);  // each once
  for (const char* name : {"FrmAddLoan.frx", "FrmEditLoan.frx", "FrmManageLoan.frx"}) {
    EXPECT_EQ(TFileOperate::ReadBytes(second / name), frx) << name;
  }
  const TRecorder rerun = Generate(projectId);
  EXPECT_EQ(rerun.events, (std::vector<std::string>{"done"}));
  EXPECT_EQ(TRunRecord::Parse(TFileOperate::ReadBytes(second / ".vbgen" / "run"))->files.size(),
            record->files.size());
}

TEST_F(AutoCodeTest, MissingShippedFilesAreNamedBeforeAnythingIsWritten) {
  int projectId = Example();
  fs::remove(home / "template" / "FrmManage.frx");
  TRecorder run = Generate(projectId);
  ASSERT_EQ(run.events.size(), 1u);
  EXPECT_NE(run.events[0].find("template/FrmManage.frx"), std::string::npos);
  EXPECT_TRUE(NothingWritten());
  fs::copy(SourceDir() / "data/template/FrmManage.frx", home / "template" / "FrmManage.frx");
  fs::remove_all(home / "bak");
  run = Generate(projectId);
  ASSERT_EQ(run.events.size(), 1u);
  EXPECT_NE(run.events[0].find("bak"), std::string::npos);
  EXPECT_TRUE(NothingWritten());
}

TEST_F(AutoCodeTest, AFileThatCannotBeWrittenEndsTheRunWithAMessage) {
  int projectId = Example();
  fs::create_directories(Output());
  fs::create_directories(Output() / "frmczql.frm");  // a directory where the form goes
  TFileOperate::WriteTextFile(Output() / "frmczql.frm", Output() / "frmczql.frm" / "x", "x");
  TRecorder run = Generate(projectId);
  ASSERT_EQ(run.events.size(), 1u);
  EXPECT_EQ(run.events[0].rfind("failed ", 0), 0u);
  EXPECT_NE(run.events[0].find("frmczql.frm"), std::string::npos);
  // What was written before stays, and the memo shows how far the run got.
  EXPECT_TRUE(fs::exists(Output() / "MainForm.frm"));
  EXPECT_EQ(run.lines.back(), "projects/馆/vb信息管理系统.vbp生成完成!");
}

TEST_F(AutoCodeTest, SecondRunKeepsEditedSupportFilesAndBacksUpEditedForms) {
  int projectId = Example();
  ASSERT_EQ(Generate(projectId).events, (std::vector<std::string>{"done"}));
  const fs::path form = Output() / "FrmAddBook.frm";
  const std::string original = TFileOperate::ReadBytes(form);
  TFileOperate::WriteTextFile(Output(), form, original + "' hand edit\r\n");
  TFileOperate::WriteTextFile(Output(), Output() / "ModMain.bas", "edited module");
  TFileOperate::WriteTextFile(Output() / "background", Output() / "background" / "NoImage.jpg",
                              "edited image");

  TRecorder second = Generate(projectId);
  ASSERT_EQ(second.events, (std::vector<std::string>{"done"}));
  EXPECT_EQ(TFileOperate::ReadBytes(form), original);
  EXPECT_EQ(TFileOperate::ReadBytes(Output() / "ModMain.bas"), "edited module");
  EXPECT_EQ(TFileOperate::ReadBytes(Output() / "background" / "NoImage.jpg"),
            TFileOperate::ReadBytes(home / "bak" / "background" / "NoImage.jpg"));
  std::vector<std::string> notes;
  for (const auto& line : second.lines) {
    if (line.find("已备份") != std::string::npos) notes.push_back(line);
  }
  ASSERT_EQ(notes.size(), 2u);
  EXPECT_EQ(
      notes[0].rfind(
          "已备份手工修改过的文件: projects/馆/FrmAddBook.frm -> projects/馆/.vbgen/backup/", 0),
      0u);
  std::vector<fs::path> backups;
  for (const auto& entry : fs::recursive_directory_iterator(Output() / ".vbgen" / "backup")) {
    if (entry.is_regular_file()) backups.push_back(entry.path());
  }
  ASSERT_EQ(backups.size(), 2u);
  bool formKept = false;
  for (const auto& backup : backups) {
    formKept |= TFileOperate::ReadBytes(backup) == original + "' hand edit\r\n";
  }
  EXPECT_TRUE(formKept);
  // A third run finds nothing edited and backs nothing up.
  TRecorder third = Generate(projectId);
  for (const auto& line : third.lines) EXPECT_EQ(line.find("已备份"), std::string::npos) << line;
}

// Manifests written by earlier builds hold another digest of each file: a file they recorded is
// still told from a hand edit, and is replaced without a backup.
TEST_F(AutoCodeTest, AManifestOfAnEarlierBuildStillTellsHandEdits) {
  const int projectId = Example();
  ASSERT_EQ(Generate(projectId).events, (std::vector<std::string>{"done"}));
  const fs::path manifest = Output() / ".vbgen" / "manifest";
  std::istringstream lines(TFileOperate::ReadBytes(manifest));
  std::string earlier;
  for (std::string line; std::getline(lines, line);) {
    const std::string path = line.substr(line.find('\t') + 1);
    earlier += ContentHash(TFileOperate::ReadBytes(Output() / path)) + "\t" + path + "\n";
  }
  TFileOperate::WriteTextFile(Output() / ".vbgen", manifest, earlier);
  const fs::path form = Output() / "FrmAddBook.frm";
  TFileOperate::WriteTextFile(Output(), form, TFileOperate::ReadBytes(form) + "' hand edit\r\n");
  // MainForm.frm names every class's friend name: it changes without a hand edit.
  TClassDAO().UpdateClass(projectId, TClassDAO().FindClassId(projectId, "Reader").value(), "Reader",
                          "读者们", 1);

  const TRecorder second = Generate(projectId);
  ASSERT_EQ(second.events, (std::vector<std::string>{"done"}));
  std::vector<std::string> notes;
  for (const auto& line : second.lines) {
    if (line.find("已备份") != std::string::npos) notes.push_back(line);
  }
  ASSERT_EQ(notes.size(), 1u);
  EXPECT_NE(notes[0].find("FrmAddBook.frm"), std::string::npos) << notes[0];
  const std::string mainForm = TFileOperate::ReadBytes(Output() / "MainForm.frm");
  EXPECT_NE(GbkToUtf8(mainForm).find("读者们"), std::string::npos);
  EXPECT_NE(TFileOperate::ReadBytes(manifest).find(FileDigest(mainForm) + "\tMainForm.frm\n"),
            std::string::npos);
}

TEST_F(AutoCodeTest, DryRunClassifiesAndWritesNothing) {
  int projectId = Example();
  TPlanSink first(home, "馆");
  ASSERT_EQ(Generate(projectId, &first).events, (std::vector<std::string>{"done"}));
  EXPECT_TRUE(NothingWritten());
  ASSERT_FALSE(first.Entries().empty());
  for (const auto& entry : first.Entries()) EXPECT_EQ(entry.change, TPlannedChange::Create);

  Generate(projectId);
  TFileOperate::WriteTextFile(Output(), Output() / "FrmEditLoan.frm", "hand written");
  TClassDAO().UpdateClass(projectId, TClassDAO().FindClassId(projectId, "Reader").value(), "Reader",
                          "读者们", 1);
  TPlanSink plan(home, "馆");
  Generate(projectId, &plan);
  auto changeOf = [&plan](const std::string& file) {
    for (const auto& entry : plan.Entries()) {
      if (entry.path == "projects/馆/" + file) return entry.change;
    }
    throw std::runtime_error("not planned: " + file);
  };
  EXPECT_EQ(changeOf("FrmEditLoan.frm"), TPlannedChange::ChangeHandEdit);
  EXPECT_EQ(changeOf("MainForm.frm"), TPlannedChange::Change);  // the friend name changed
  EXPECT_EQ(changeOf("FrmAddBook.frm"), TPlannedChange::Unchanged);
  EXPECT_EQ(TFileOperate::ReadBytes(Output() / "FrmEditLoan.frm"), "hand written");
  EXPECT_FALSE(fs::exists(Output() / ".vbgen" / "backup"));
}

TEST_F(AutoCodeTest, OneRunAtATime) {
  TRunGate gate;
  EXPECT_TRUE(gate.TryEnter());
  EXPECT_FALSE(gate.TryEnter());
  gate.Leave();
  EXPECT_TRUE(gate.TryEnter());
}

}  // namespace vbgen::test

namespace vbgen::test {

TEST_F(AutoCodeTest, SupportFilesThatCannotBeCopiedAreNamedAndEmptyFoldersCopied) {
#if defined(_WIN32)
  GTEST_SKIP() << "needs POSIX symbolic links, which Wine cannot make (the Windows rule for "
                  "reparse points has its own test)";
#endif
  int projectId = AddProject("馆");
  fs::create_directories(home / "bak" / "Empty" / "Deeper");
  fs::create_symlink(home / "bak" / "missing-target", home / "bak" / "Tmp" / "dangling");
  TRecorder run = Generate(projectId);
  // The run copies all it can, then ends with a failure that names the file, not with "done".
  ASSERT_EQ(run.events.size(), 1u);
  EXPECT_EQ(run.events[0].rfind("failed 以下支持文件未能复制", 0), 0u) << run.events[0];
  EXPECT_NE(run.events[0].find("bak/Tmp/dangling"), std::string::npos) << run.events[0];
  EXPECT_TRUE(fs::is_directory(Output() / "Empty" / "Deeper"));
  EXPECT_TRUE(fs::exists(Output() / "ModMain.bas"));
  const auto note = std::find_if(run.lines.begin(), run.lines.end(), [](const std::string& line) {
    return line.rfind("未能复制支持文件 projects/馆/Tmp/dangling", 0) == 0;
  });
  EXPECT_NE(note, run.lines.end());
  EXPECT_EQ(run.lines.back(), "移动资源文件完毕!");
}

}  // namespace vbgen::test

namespace vbgen::test {

// A support folder copied from an older project may hold files named like the ones a run
// generates. The generated file is what the project needs, on a first run and on every later one;
// the other support files are copied as before.
TEST_F(AutoCodeTest, AGeneratedFileAlwaysWinsOverASupportCopyOfTheSameName) {
  const int projectId = Example();
  TMemorySink clean;
  ASSERT_EQ(Generate(projectId, &clean).events, (std::vector<std::string>{"done"}));
  const std::vector<std::string> generated = {
      "MainForm.frm",      "vb信息管理系统.vbp", "frmczql.frm",     "FrmAddBook.frm",
      "FrmEditBook.frm",   "FrmManageBook.frm",  "FrmAddLoan.frx",  "FrmEditReader.frx",
      "FrmManageLoan.frx", "FrmAddReader.frm",   "FrmEditLoan.frm", "FrmManageReader.frm"};
  for (const std::string& name : generated) {
    ASSERT_TRUE(clean.files.count("projects/馆/" + name)) << name;
    TFileOperate::WriteTextFile(home / "bak", home / "bak" / name, "old support copy\r\n");
  }

  for (const char* round : {"fresh run", "rerun"}) {
    ASSERT_EQ(Generate(projectId).events, (std::vector<std::string>{"done"})) << round;
    for (const std::string& name : generated) {
      EXPECT_TRUE(TFileOperate::ReadBytes(Output() / name) == clean.files.at("projects/馆/" + name))
          << round << ": " << name << " is not the generated file";
    }
    EXPECT_EQ(TFileOperate::ReadBytes(Output() / "ModMain.bas"),
              TFileOperate::ReadBytes(home / "bak" / "ModMain.bas"))
        << round;
  }
  // Nothing was taken for a hand edit on the way.
  EXPECT_FALSE(fs::exists(Output() / ".vbgen" / "backup"));
}

}  // namespace vbgen::test
