// A run of unchanged inputs over untouched output confirms the files against the last complete
// run's record; any change of the inputs or of the files makes it generate as always.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <functional>
#include <memory>
#include <set>

#include "RunSupport.h"
#include "generate/AutoCode.h"
#include "generate/emit/UIOperate.h"
#include "generate/read/RunInputs.h"
#include "generate/write/EarlierDigests.h"
#include "generate/write/ProjectDir.h"
#include "generate/write/RunRecord.h"
#include "model/ModelFile.h"

namespace vbgen::test {
namespace fs = std::filesystem;
namespace {

std::string Read(const fs::path& file) { return TFileOperate::ReadBytes(file); }

void WriteBytes(const fs::path& file, const std::string& bytes) {
  std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
}

}  // namespace

class RunRecordTest : public RunHomeTest {
 protected:
  void SetUp() override {
    RunHomeTest::SetUp();
    projectId = Example();
  }
  TRecorder Generate(TRunOptions options = {}) {
    TRecorder recorder;
    TAutoCode run(projectId, "tavorin", TProgramDir(home), recorder);
    run.SetOptions(options);
    run.Execute();
    return recorder;
  }
  // What a run makes of the current inputs, kept in memory: no record is ever used there.
  struct TExpected {
    TMemorySink files;
    TRecorder run;
  };
  std::unique_ptr<TExpected> Expected(TRunOptions options = {}) {
    auto expected = std::make_unique<TExpected>();
    TAutoCode run(projectId, "tavorin", TProgramDir(home), expected->run);
    run.SetSink(&expected->files);
    run.SetOptions(options);
    run.Execute();
    EXPECT_EQ(expected->run.events, std::vector<std::string>{"done"});
    return expected;
  }
  // Every file the disk run wrote holds what the in-memory run made, and it said the same.
  void ExpectOutputOfCurrentInputs(const TRecorder& run, TRunOptions options = {}) {
    ASSERT_EQ(run.events, std::vector<std::string>{"done"});
    const auto expected = Expected(options);
    for (const auto& [path, bytes] : expected->files.files) {
      EXPECT_EQ(Read(home / Utf8Path(path)), bytes) << path;
    }
    std::vector<std::string> said;
    for (const std::string& line : run.lines) {
      if (line.find("已备份") == std::string::npos) said.push_back(line);
    }
    EXPECT_EQ(said, expected->run.lines);
  }
  fs::path RecordFile() const { return Output() / ".vbgen" / "run"; }
  TRunRecord Record() const {
    std::optional<TRunRecord> record = TRunRecord::Parse(Read(RecordFile()));
    EXPECT_TRUE(record.has_value());
    return record.value_or(TRunRecord{});
  }
  // Marks the record's progress lines, so a run that replays them shows it did.
  void MarkRecordedProgress() {
    TRunRecord record = Record();
    for (std::string& line : record.progress) line = "(recorded) " + line;
    WriteBytes(RecordFile(), record.Text());
  }
  static bool Replayed(const TRecorder& run) {
    for (const std::string& line : run.lines) {
      if (line.rfind("(recorded) ", 0) == 0) return true;
    }
    return false;
  }

  int projectId = 0;
};

TEST_F(RunRecordTest, ARerunOfUnchangedInputsConfirmsTheFilesAndSaysWhatAFullRunSays) {
  const TRecorder first = Generate();
  ExpectOutputOfCurrentInputs(first);
  const TRunRecord record = Record();
  std::set<std::string> recorded, generated;
  for (const TRecordedFile& file : record.files) recorded.insert(file.path);
  for (const std::string& name : ProjectFileNames(Snapshot(projectId))) generated.insert(name);
  EXPECT_EQ(recorded, generated);  // the generated files, not the support files
  ASSERT_FALSE(record.progress.empty());

  const TRecorder second = Generate();
  EXPECT_EQ(second.lines, first.lines);
  EXPECT_EQ(second.events, first.events);
  EXPECT_EQ(Record(), record);

  // The lines come from the record: the files were confirmed, not generated.
  MarkRecordedProgress();
  const TRecorder third = Generate();
  EXPECT_TRUE(Replayed(third));
  EXPECT_EQ(third.events, std::vector<std::string>{"done"});
  // The support files are still copied as always.
  fs::remove(Output() / "background" / "NoImage.jpg");
  const TRecorder fourth = Generate();
  EXPECT_EQ(Read(Output() / "background" / "NoImage.jpg"),
            Read(home / "bak" / "background" / "NoImage.jpg"));
}

TEST_F(RunRecordTest, AnyChangeOfTheInputsOrTheFilesGeneratesEverythingAgain) {
  ExpectOutputOfCurrentInputs(Generate());
  const auto changeThenRun = [&](const char* what, const std::function<void()>& change,
                                 TRunOptions options = {}) {
    SCOPED_TRACE(what);
    MarkRecordedProgress();
    change();
    const TRecorder run = Generate(options);
    EXPECT_FALSE(Replayed(run));
    ExpectOutputOfCurrentInputs(run, options);
  };
  const int bookId = TClassDAO().FindClassId(projectId, "Book").value();
  TMember title = TMemberDAO().ListMembers(bookId).at(1);
  changeThenRun("a member's comment", [&] {
    title.memberComment = "书名称";
    TMemberDAO().UpdateMember(title);
  });
  changeThenRun("a class's friend name",
                [&] { TClassDAO().UpdateClass(projectId, bookId, "Book", "书籍", 1); });
  changeThenRun("a class's front-show flag",
                [&] { TClassDAO().UpdateClass(projectId, bookId, "Book", "书籍", 0); });
  changeThenRun("a template", [&] {
    std::ofstream(home / "template" / "MainForm.frm", std::ios::app) << "' 改过的模板\r\n";
  });
  changeThenRun("a template added", [&] { WriteBytes(home / "template" / "extra.txt", "x"); });
  changeThenRun(
      "the complete application", [] {}, TRunOptions{true});
  changeThenRun("back to the plain project", [] {});
  changeThenRun("a generated file edited by hand", [&] {
    std::ofstream(Output() / "FrmEditBook.frm", std::ios::app) << "' mine\r\n";
  });
  changeThenRun("a generated file removed", [&] { fs::remove(Output() / "FrmManageLoan.frx"); });
  changeThenRun("a record naming fewer files", [&] {
    TRunRecord record = Record();
    record.files.pop_back();
    WriteBytes(RecordFile(), record.Text());
  });
  changeThenRun("a damaged record", [&] {
    std::string text = Read(RecordFile());
    WriteBytes(RecordFile(), text.substr(0, text.size() / 2));
  });
  changeThenRun("a record of other inputs", [&] {
    TRunRecord record = Record();
    record.inputs = "0123456789abcdef0123456789abcdef";
    WriteBytes(RecordFile(), record.Text());
  });
  // The hand edit above was kept before it was replaced.
  bool kept = false;
  for (const auto& entry : fs::recursive_directory_iterator(Output() / ".vbgen" / "backup")) {
    kept |= entry.is_regular_file() && Read(entry.path()).find("' mine") != std::string::npos;
  }
  EXPECT_TRUE(kept);
}

// An edit that keeps a file's stamp as recorded: its size kept and its time set back by hand,
// which the test stands in for by recording the edited file's stamp (the C runtime of Windows
// sets times to the second only).
TEST_F(RunRecordTest, AFileWhoseStampCannotTellIsReadAndNoEditIsEverLost) {
  ASSERT_EQ(Generate().events, std::vector<std::string>{"done"});
  const fs::path file = Output() / "FrmEditBook.frm";
  const std::string generated = Read(file);
  const auto editKeepingStamp = [&](char mark) {
    std::fstream edit(file, std::ios::in | std::ios::out | std::ios::binary);
    edit.seekp(static_cast<std::streamoff>(generated.size() - 3));
    edit.put(mark);
    edit.close();
    TRunRecord record = Record();
    for (TRecordedFile& recorded : record.files) {
      if (recorded.path == "FrmEditBook.frm") {
        recorded.stamp = TProjectDir(home, "馆").Stamp(recorded.path);
        EXPECT_TRUE(recorded.stamp.has_value());
      }
    }
    for (std::string& line : record.progress) line = "(recorded) " + line;
    WriteBytes(RecordFile(), record.Text());
    std::string edited = generated;
    edited[generated.size() - 3] = mark;
    return edited;
  };

  // Written in the record's tick: the stamp cannot tell, so the bytes do.
  const std::string racyEdit = editKeepingStamp('1');
  fs::last_write_time(RecordFile(), fs::last_write_time(file));
  const TRecorder racy = Generate();
  EXPECT_FALSE(Replayed(racy));
  ExpectOutputOfCurrentInputs(racy);

  // Written before the record: taken as it stands, and left as it is.
  const std::string edited = editKeepingStamp('2');
  fs::last_write_time(RecordFile(), fs::last_write_time(file) + std::chrono::seconds(2));
  const TRecorder trusted = Generate();
  EXPECT_TRUE(Replayed(trusted));
  EXPECT_EQ(Read(file), edited);
  // The next run that writes the file keeps the edit first.
  TClassDAO().UpdateClass(projectId, TClassDAO().FindClassId(projectId, "Book").value(), "Book",
                          "书籍", 1);
  ExpectOutputOfCurrentInputs(Generate());
  std::vector<std::string> kept;
  for (const auto& entry : fs::recursive_directory_iterator(Output() / ".vbgen" / "backup")) {
    if (entry.is_regular_file()) kept.push_back(Read(entry.path()));
  }
  EXPECT_NE(std::find(kept.begin(), kept.end(), racyEdit), kept.end());
  EXPECT_NE(std::find(kept.begin(), kept.end(), edited), kept.end());
}

// The check of a model is a matter of its inputs alone: a rerun of the same inputs tells what
// the complete run found, without checking again; other inputs are checked afresh.
TEST_F(RunRecordTest, ARerunTellsTheWarningsOfTheRunItConfirms) {
  const int bookId = TClassDAO().FindClassId(projectId, "Book").value();
  TMember title = TMemberDAO().ListMembers(bookId).at(1);
  title.memberName = "Title";
  TMemberDAO().UpdateMember(title);
  const TRecorder first = Generate();
  ASSERT_EQ(first.events, std::vector<std::string>{"done"});
  ASSERT_EQ(first.problems.size(), 1u);
  EXPECT_NE(first.problems[0].find("Title"), std::string::npos) << first.problems[0];
  EXPECT_EQ(Record().problems, first.problems);

  TRunRecord record = Record();
  record.problems = {"(recorded) " + first.problems[0]};
  WriteBytes(RecordFile(), record.Text());
  const TRecorder second = Generate();
  EXPECT_EQ(second.problems, record.problems);
  EXPECT_EQ(second.events, std::vector<std::string>{"done"});

  title.memberName = "title";
  TMemberDAO().UpdateMember(title);
  const TRecorder third = Generate();
  EXPECT_TRUE(third.problems.empty());
  EXPECT_TRUE(Record().problems.empty());
}

TEST_F(RunRecordTest, AConfirmingRunStillRefusesALinkOutOfTheProjectDirectory) {
#if defined(_WIN32)
  GTEST_SKIP() << "needs POSIX symbolic links, which Wine cannot make (the Windows rule for "
                  "reparse points has its own test)";
#endif
  ASSERT_EQ(Generate().events, std::vector<std::string>{"done"});
  const fs::path outside = TempPath() / "outside.frm";
  const std::string bytes = Read(Output() / "FrmAddBook.frm");
  WriteBytes(outside, bytes);
  fs::remove(Output() / "FrmAddBook.frm");
  fs::create_symlink(outside, Output() / "FrmAddBook.frm");
  const TRecorder run = Generate();
  ASSERT_EQ(run.events.size(), 1u);
  EXPECT_EQ(run.events[0].rfind("failed ", 0), 0u) << run.events[0];
  EXPECT_NE(run.events[0].find("FrmAddBook.frm"), std::string::npos) << run.events[0];
  EXPECT_EQ(Read(outside), bytes);
}

TEST_F(RunRecordTest, ARunThatCouldNotCopyEverySupportFileLeavesNoRecord) {
#if defined(_WIN32)
  GTEST_SKIP() << "needs POSIX symbolic links, which Wine cannot make (the Windows rule for "
                  "reparse points has its own test)";
#endif
  fs::remove(home / "bak" / "readme.txt");
  fs::create_symlink("readme.txt", home / "bak" / "readme.txt");  // a loop nobody can read
  const TRecorder run = Generate();
  ASSERT_EQ(run.events.size(), 1u);
  EXPECT_NE(run.events[0].find("bak/readme.txt"), std::string::npos);
  EXPECT_FALSE(fs::exists(RecordFile()));
}

TEST(RunRecordText, ReadsBackWhatItWritesAndRefusesAnythingElse) {
  TRunRecord record{"00ff00ff00ff00ff00ff00ff00ff00ff",
                    {"警告: 类 Order 的表名 Order 是SQL Server的保留字"},
                    {"projects/馆/MainForm.frm生成完成!", "tab\there\\ and\r\nnew line"},
                    {{"MainForm.frm", "fedcba9876543210", TFileStamp{1234, -5, 99}},
                     {"sub dir/a\tb.frm", "2222222222222222", std::nullopt},
                     {"big.frx", "3333333333333333", TFileStamp{~0ull, INT64_MAX, ~0ull}}}};
  const std::string text = record.Text();
  EXPECT_EQ(TRunRecord::Parse(text), record);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 9);  // one line each, nothing split

  EXPECT_FALSE(TRunRecord::Parse(""));
  EXPECT_FALSE(TRunRecord::Parse(text.substr(0, text.size() - 1)));      // cut inside the end line
  EXPECT_FALSE(TRunRecord::Parse(text.substr(0, text.rfind("end\n"))));  // cut before it
  std::string other = text;
  other.replace(0, 11, "vbgen-run 1");  // a record of the earlier form
  EXPECT_FALSE(TRunRecord::Parse(other));
  other = text;
  other.replace(other.find("\\t"), 2, "\\q");
  EXPECT_FALSE(TRunRecord::Parse(other));
  other = text;
  other.insert(other.find("F\t"), "X\tsomething\n");
  EXPECT_FALSE(TRunRecord::Parse(other));
  for (const char* stamp : {"1234.-5", "1234.-5.99.1", "x.-5.99", "1234..99", "-1.-5.99", ""}) {
    other = text;
    other.replace(other.find("1234.-5.99"), 10, stamp);
    EXPECT_FALSE(TRunRecord::Parse(other)) << stamp;
  }
}

const std::string kBuild = "60c4e3d3b507820081ab62867696062841dccfee";

TEST(RunRecordFingerprint, FollowsEveryInput) {
  TTempDir dir;
  const fs::path templates = dir.path() / "template";
  fs::create_directories(templates);
  WriteBytes(templates / "MainForm.frm", "main");
  TMember key;
  key.memberId = 7;
  key.projectId = 1;
  key.classId = 3;
  key.memberName = "id";
  key.memberType = "整型";
  key.memberIsPri = 1;
  const auto model = [&](const TMember& member, const std::string& className = "Book",
                         const std::string& friendName = "书", int frontShow = 1,
                         const std::string& projectName = "馆") {
    return TModelSnapshot(1, projectName, {{3, className, friendName, frontShow, {member}}});
  };
  TFileOperate::TTreeListing support{{{"ModMain.bas", false}}, {}};
  const auto print = [&](const TModelSnapshot& snapshot, TRunOptions options = {},
                         const std::string& buildId = kBuild) {
    return std::optional(RunInputsFingerprint(TRunInputs{
        snapshot, TTemplates(templates), dir.path() / "bak", support, options, buildId}));
  };
  const std::optional<std::string> base = print(model(key));
  EXPECT_EQ(print(model(key)), base);  // the same inputs, the same fingerprint

  std::vector<std::optional<std::string>> changed;
  const std::vector<std::function<void(TMember&)>> memberChanges = {
      [](TMember& m) { m.memberId = 8; },          [](TMember& m) { m.projectId = 2; },
      [](TMember& m) { m.classId = 4; },           [](TMember& m) { m.memberName = "ids"; },
      [](TMember& m) { m.memberType = "字符串"; }, [](TMember& m) { m.memberLength = 1; },
      [](TMember& m) { m.memberIsPri = 0; },       [](TMember& m) { m.memberComment = "号"; },
      [](TMember& m) { m.memberIsMust = 1; },      [](TMember& m) { m.memberIsInteger = 1; },
      [](TMember& m) { m.memberIsFloat = 1; },     [](TMember& m) { m.queryFlag = 1; },
      [](TMember& m) { m.memberIsDisplay = 1; },   [](TMember& m) { m.memberQueryDisplay = 0; }};
  for (const auto& change : memberChanges) {
    TMember member = key;
    change(member);
    changed.push_back(print(model(member)));
  }
  changed.push_back(print(model(key, "Books")));
  changed.push_back(print(model(key, "Book", "书籍")));
  changed.push_back(print(model(key, "Book", "书", 0)));
  changed.push_back(print(model(key, "Book", "书", 1, "馆2")));
  changed.push_back(print(TModelSnapshot(2, "馆", {{3, "Book", "书", 1, {key}}})));
  changed.push_back(print(TModelSnapshot(1, "馆", {{3, "Book", "书", 1, {key, key}}})));
  changed.push_back(print(model(key), TRunOptions{true}));
  changed.push_back(print(model(key), {}, kBuild + "0"));
  // Text moved from one field to the next is another model.
  changed.push_back(print(model(key, "Boo", "k书")));
  WriteBytes(templates / "MainForm.frm", "main2");
  changed.push_back(print(model(key)));
  WriteBytes(templates / "FrmAdd.frx", "");
  changed.push_back(print(model(key)));
  support.entries.push_back({"Tmp", true});
  changed.push_back(print(model(key)));
  std::set<std::string> distinct = {*base};
  for (const auto& fingerprint : changed) {
    ASSERT_TRUE(fingerprint.has_value());
    distinct.insert(*fingerprint);
  }
  EXPECT_EQ(distinct.size(), changed.size() + 1);

  // This program knows its build, so its runs can confirm.
  EXPECT_EQ(ProgramBuildId().size(), 32u);
}

TEST(RunRecordDigest, TellsContentsApartWhateverTheirLength) {
  std::set<std::string> digests;
  std::string text;
  for (int length = 0; length < 100; ++length) {
    digests.insert(FileDigest(text));
    text += static_cast<char>('a' + length % 3);
  }
  EXPECT_EQ(digests.size(), 100u);
  std::string bytes(4096, '\0');
  const std::string zeros = FileDigest(bytes);
  for (std::size_t pos : {0, 31, 32, 4000, 4095}) {
    bytes[pos] = 1;
    EXPECT_NE(FileDigest(bytes), zeros) << pos;
    bytes[pos] = 0;
  }
  EXPECT_EQ(FileDigest(bytes), zeros);
  EXPECT_EQ(FileDigest(bytes).size(), 16u);
}

}  // namespace vbgen::test

namespace vbgen::test {

// The manifests of the last release hold these digests: they must still be told apart from a
// hand edit, so the values are pinned to what that release recorded.
TEST(RunRecordDigest, TheLastReleasesDigestsAreStillKnown) {
  std::string bytes;
  for (int i = 0; i < 1000; ++i) bytes += static_cast<char>(i * 7);
  EXPECT_EQ(EarlierFileDigest(""), "2684ee2f46d8b5ec");
  EXPECT_EQ(EarlierFileDigest("VERSION 5.00\r\n"), "2c8b6b1eb951d135");
  EXPECT_EQ(EarlierFileDigest(bytes), "b22cf7b2babdad81");
  EXPECT_TRUE(EarlierDigestOf("b22cf7b2babdad81", bytes));
  EXPECT_TRUE(EarlierDigestOf(ContentHash(bytes), bytes));
  EXPECT_FALSE(EarlierDigestOf("b22cf7b2babdad81", bytes + "x"));
  EXPECT_FALSE(EarlierDigestOf(FileDigest(bytes), bytes));  // today's digest is another
}

}  // namespace vbgen::test
