// The model a run reads once: what it holds, how references resolve, generators that need no
// database, and a run whose model is edited while it writes.
#include <gtest/gtest.h>

#include "TestModel.h"
#include "TestSupport.h"
#include "generate/AutoCode.h"
#include "generate/check/ModelCheck.h"
#include "generate/emit/SqlScript.h"
#include "generate/emit/UIOperate.h"
#include "model/ModelFile.h"

namespace vbgen::test {
namespace fs = std::filesystem;
namespace {

TMember Member(int projectId, int classId, int memberId, const std::string& name,
               std::string_view type, bool key = false, bool display = false) {
  TMember m;
  m.memberId = memberId;
  m.projectId = projectId;
  m.classId = classId;
  m.memberName = name;
  m.memberType = std::string(type);
  m.memberLength = type == kTypeString ? 20 : 0;
  m.memberIsPri = key;
  m.memberComment = name + "说明";
  m.memberIsMust = 1;
  m.memberIsInteger = type == kTypeInteger;
  m.memberIsFloat = type == kTypeFloat;
  m.queryFlag = type == kTypeString;
  m.memberIsDisplay = display;
  return m;
}

// A small library as a value: a press, and a book with every kind of member referring to it.
TModelSnapshot HandMadeLibrary() {
  TClassModel press{1, "Press", "出版社", 1, {}};
  press.members = {Member(7, 1, 1, "pressId", kTypeInteger, true),
                   Member(7, 1, 2, "pressName", kTypeString, false, true)};
  TClassModel book{2, "Book", "图书", 1, {}};
  book.members = {Member(7, 2, 3, "isbn", kTypeString, true, true),
                  Member(7, 2, 4, "cover", kTypePicture), Member(7, 2, 5, "press", "Press"),
                  Member(7, 2, 6, "price", kTypeFloat), Member(7, 2, 7, "published", kTypeDate)};
  return TModelSnapshot(7, "Library", {press, book});
}

std::map<std::string, std::string> GenerateAll(const TModelSnapshot& model) {
  TMemorySink sink;
  TRecordedProgress progress;
  TGenContext context{model.ProjectName(), SourceDir() / "data" / "template", sink, progress};
  TUIOperate(context).AssembleProject("tavorin", model);
  return sink.files;
}

// Records a run's outcome; may act on the model when a given progress line arrives.
class TEditingListener : public TRunListener {
 public:
  void Progress(const std::string& line) override {
    lines.push_back(line);
    if (edit && line.find(editAfter) != std::string::npos) {
      edit();
      edit = nullptr;
    }
  }
  void KeyCheckFailed(const TNamedId& failed) override {
    events.push_back("key " + std::to_string(failed.id));
  }
  void DisplayCheckFailed(const TNamedId& failed) override {
    events.push_back("display " + std::to_string(failed.id));
  }
  void GenerationDone() override { events.push_back("done"); }
  void RunFailed(const std::string& message) override { events.push_back("failed " + message); }

  std::string editAfter;
  std::function<void()> edit;
  std::vector<std::string> lines, events;
};

}  // namespace

class ModelSnapshotTest : public ModelTest {};

TEST_F(ModelSnapshotTest, HoldsClassesAndMembersInOrderWithEveryField) {
  const int projectId = AddProject("Library");
  const int other = AddProject("Other");
  const int press = AddClass(projectId, "Press", "出版社", 0);
  AddClass(other, "Elsewhere", "别处");
  const int book = AddClass(projectId, "Book", "图书");
  AddMember(projectId, book, "isbn", "字符串", "书号", 20, true, true, true);
  AddMember(projectId, press, "pressId", "整型", "编号", 0, true);
  AddMember(projectId, book, "press", "Press", "出版社", 0, false, false, false, false, false);

  const std::optional<TModelSnapshot> model = ReadModelSnapshot(projectId);
  ASSERT_TRUE(model.has_value());
  EXPECT_EQ(model->ProjectName(), "Library");
  EXPECT_EQ(model->ClassList(), (TNamedIdList{{"Press", press}, {"Book", book}}));
  EXPECT_EQ(model->Classes()[0].friendName, "出版社");
  EXPECT_EQ(model->Classes()[0].frontShowFlag, 0);
  EXPECT_EQ(model->Classes()[0].members, TMemberDAO().ListMembers(press));
  EXPECT_EQ(model->Classes()[1].members, TMemberDAO().ListMembers(book));
  EXPECT_FALSE(ReadModelSnapshot(other + 100).has_value());
}

TEST_F(ModelSnapshotTest, ReferencesResolveAsTheModelStoreResolvesThem) {
  // Two classes of one name (an older database may hold them): the lower key wins. A key
  // member recorded under another project does not count for a reference.
  TClassModel first{1,
                    "Press",
                    "出版社",
                    1,
                    {Member(9, 1, 1, "foreignKey", kTypeInteger, true),
                     Member(7, 1, 2, "pressId", kTypeInteger, true, true)}};
  TClassModel second{2, "Press", "另一个", 1, {Member(7, 2, 3, "otherId", kTypeInteger, true)}};
  const TModelSnapshot model(7, "Library", {first, second});
  EXPECT_EQ(model.FindClass("Press")->classId, 1);
  EXPECT_EQ(model.KeyMemberOf("Press")->memberName, "pressId");
  EXPECT_EQ(model.DisplayMemberOf("Press")->memberName, "pressId");
  EXPECT_EQ(model.FindClass("press"), nullptr);
  EXPECT_EQ(model.KeyMemberOf("Missing"), nullptr);
  // The class's own key member is its first, whatever project the row names.
  EXPECT_EQ(model.Classes()[0].KeyMember()->memberName, "foreignKey");
  EXPECT_EQ(model.Classes()[0].KeyCount(), 2u);
}

TEST_F(ModelSnapshotTest, GeneratorsAndChecksWorkFromAValueWithoutADatabase) {
  const TModelSnapshot model = HandMadeLibrary();
  // Any database access would fail from here on.
  TDbHelper::SetDatabasePath(TempPath() / "no" / "such" / "dir" / "projects.db");
  const auto files = GenerateAll(model);
  EXPECT_EQ(files.size(),
            3u + 2u * 6u);  // project files, then three forms and three .frx per class
  EXPECT_TRUE(files.count("projects/Library/FrmEditBook.frm"));
  EXPECT_TRUE(FindModelProblems(model).empty());
  EXPECT_NE(BuildTableScriptFrom(model).find("REFERENCES Press(pressId)"), std::string::npos);
  EXPECT_THROW(TProjectDAO().ListProjects(), TDbError);
}

TEST_F(ModelSnapshotTest, StoredAndHandMadeModelsGiveTheSameFiles) {
  const TModelSnapshot hand = HandMadeLibrary();
  const int projectId = AddProject("Library");
  for (const TClassModel& entry : hand.Classes()) {
    const int classId = AddClass(projectId, entry.className, entry.friendName);
    for (TMember member : entry.members) {
      member.projectId = projectId;
      member.classId = classId;
      TMemberDAO().AddMember(member);
    }
  }
  EXPECT_EQ(GenerateAll(Snapshot(projectId)), GenerateAll(hand));
}

TEST_F(ModelSnapshotTest, AnEditDuringARunReachesNoneOfItsFiles) {
  const fs::path home = TempPath() / "home";
  fs::create_directories(home);
  fs::copy(SourceDir() / "data" / "template", home / "template", fs::copy_options::recursive);
  fs::copy(SourceDir() / "data" / "bak", home / "bak", fs::copy_options::recursive);
  const int projectId =
      ImportProject(TFileOperate::ReadBytes(SourceDir() / "data/examples/library.json"), "馆");
  auto run = [&](TEditingListener& listener) {
    TMemorySink sink;
    TAutoCode generation(projectId, "tavorin", TProgramDir(home), listener);
    generation.SetSink(&sink);
    generation.Execute();
    return sink.files;
  };
  TEditingListener quiet;
  const auto before = run(quiet);
  ASSERT_EQ(quiet.events, std::vector<std::string>{"done"});

  // Once the main form is written, the user adds members to the first class, renames it, and
  // deletes the last class: the add and edit forms written afterwards must not see any of it.
  TEditingListener busy;
  busy.editAfter = "MainForm.frm";
  busy.edit = [projectId] {
    const TNamedIdList classes = TClassDAO().ListClasses(projectId);
    for (int i = 0; i < 60; ++i) {
      TMember added;
      added.projectId = projectId;
      added.classId = classes.front().id;
      added.memberName = "added" + std::to_string(i);
      added.memberType = std::string(kTypeString);
      added.memberLength = 10;
      added.queryFlag = 1;
      TMemberDAO().AddMember(added);
    }
    TClassDAO().UpdateClass(projectId, classes.front().id, classes.front().name, "改名", 1);
    TClassDAO().DeleteClass(classes.back().id);
  };
  const auto during = run(busy);
  EXPECT_EQ(busy.events, std::vector<std::string>{"done"});
  EXPECT_EQ(busy.edit, nullptr) << "the edit was never made";
  EXPECT_EQ(during, before);

  // The next run sees the edited model.
  TEditingListener after;
  EXPECT_NE(run(after), before);
}

}  // namespace vbgen::test
