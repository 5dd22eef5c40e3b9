// vbgen-cli as installed and as scripts use it: where the model lives, options anywhere, ids,
// classes by name, JSON lists.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "TestSupport.h"
#include "generate/read/ProgramHome.h"
#include "model/DbHelper.h"
#include "tests/common/TempDir.h"

namespace vbgen::test {
namespace fs = std::filesystem;

struct TRun {
  int status;
  std::string out, err;
};

std::string Slurp(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Every file below a directory, as relative paths.
std::vector<std::string> FilesBelow(const fs::path& root) {
  std::vector<std::string> files;
  if (!fs::exists(root)) return files;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    if (!entry.is_directory()) files.push_back(fs::relative(entry.path(), root).string());
  }
  std::sort(files.begin(), files.end());
  return files;
}

// A temporary machine: an installed layout under prefix/ (bin/vbgen-cli and share/vbgen) and a
// user whose HOME is home/. Runs the copied program with only that HOME in the environment.
class InstalledCliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(Bin());
    fs::create_directories(Share());
    fs::copy_file(VBGEN_CLI, Bin() / "vbgen-cli");
    for (const char* folder : {"template", "bak", "examples"}) {
      fs::copy(SourceDir() / "data" / folder, Share() / folder, fs::copy_options::recursive);
    }
    fs::create_directories(Home());
  }

  fs::path Bin() const { return dir_.path() / "prefix" / "bin"; }
  fs::path Share() const { return dir_.path() / "prefix" / "share" / "vbgen"; }
  fs::path Home() const { return dir_.path() / "home"; }
  fs::path DataFolder() const { return Home() / ".local" / "share" / "vbgen"; }

  TRun Run(const std::string& arguments, const std::string& environment = "") {
    const fs::path out = dir_.path() / "stdout", err = dir_.path() / "stderr";
    const std::string command = "cd '" + Home().string() + "' && env -i PATH=/usr/bin:/bin HOME='" +
                                Home().string() + "' " + environment + " '" +
                                (Bin() / "vbgen-cli").string() + "' " + arguments + " >'" +
                                out.string() + "' 2>'" + err.string() + "' </dev/null";
    const int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, Slurp(out), Slurp(err)};
  }
  std::string Ok(const std::string& arguments, const std::string& environment = "") {
    TRun result = Run(arguments, environment);
    EXPECT_EQ(result.status, 0) << arguments << "\n" << result.err;
    return result.out;
  }

  TTempDir dir_;
};

TEST_F(InstalledCliTest, TheModelAndOutputLiveInTheUsersDataFolder) {
  const std::vector<std::string> shipped = FilesBelow(dir_.path() / "prefix");
  // The first start finds the example project there.
  EXPECT_EQ(Ok("project list"), "1\t图书馆管理\n");
  EXPECT_TRUE(fs::is_regular_file(DataFolder() / "projects.db"));
  TRun run = Run("generate 图书馆管理");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(fs::is_regular_file(DataFolder() / "projects" / "图书馆管理" / "FrmAddBook.frm"));
  EXPECT_TRUE(fs::is_regular_file(DataFolder() / "projects" / "图书馆管理" / "ModMain.bas"));
  // Nothing beside the program changed, and nothing outside the data folder appeared.
  EXPECT_EQ(FilesBelow(dir_.path() / "prefix"), shipped);
  for (const std::string& file : FilesBelow(Home())) {
    EXPECT_EQ(file.rfind(".local/share/vbgen/", 0), 0u) << file;
  }
  // A later start keeps the user's model: the example is not put in again.
  Ok("project delete 图书馆管理");
  EXPECT_EQ(Ok("project list"), "");
}

TEST_F(InstalledCliTest, XdgDataHomeAndHomeOptionChooseTheFolder) {
  const fs::path xdg = dir_.path() / "xdg";
  Ok("project list", "XDG_DATA_HOME='" + xdg.string() + "'");
  EXPECT_TRUE(fs::is_regular_file(xdg / "vbgen" / "projects.db"));
  EXPECT_FALSE(fs::exists(DataFolder()));
  // A relative XDG_DATA_HOME is ignored, as the XDG rules say.
  Ok("project list", "XDG_DATA_HOME=relative");
  EXPECT_TRUE(fs::is_regular_file(DataFolder() / "projects.db"));
  EXPECT_FALSE(fs::exists(Home() / "relative"));
  // --home names a folder of the user's own: it starts with the example, as the data folder
  // does, and the shipped templates serve it.
  const fs::path own = dir_.path() / "own";
  EXPECT_EQ(Ok("project list --home '" + own.string() + "'"), "1\t图书馆管理\n");
  EXPECT_EQ(Ok("project add 书店 --home '" + own.string() + "'"), "2\n");
  Ok("--home=" + own.string() + " class add 书店 Book 图书");
  Ok("member add 书店 Book --name bookId --type 整型 --pri --must --home " + own.string());
  Ok("member add 书店 Book --name title --type 字符串 --display --home " + own.string());
  Ok("generate 书店 --home " + own.string());
  EXPECT_TRUE(fs::is_regular_file(own / "projects" / "书店" / "FrmManageBook.frm"));
  EXPECT_FALSE(fs::exists(own / "template"));
}

TEST_F(InstalledCliTest, TemplatesTheUserPutsIntoTheDataFolderWin) {
  Ok("project list");
  fs::copy(Share() / "template", DataFolder() / "template", fs::copy_options::recursive);
  std::ofstream(DataFolder() / "template" / "MainForm.frm", std::ios::app)
      << "' my own template\r\n";
  Ok("generate 1");
  const std::string mainForm = Slurp(DataFolder() / "projects" / "图书馆管理" / "MainForm.frm");
  EXPECT_NE(mainForm.find("' my own template"), std::string::npos);
  EXPECT_EQ(Slurp(Share() / "template" / "MainForm.frm").find("my own"), std::string::npos);
}

TEST_F(InstalledCliTest, MissingHomeOrDataIsRefusedWithAHint) {
  TRun noHome = Run("project list", "HOME=");
  EXPECT_EQ(noHome.status, 1);
  EXPECT_NE(noHome.err.find("--home"), std::string::npos) << noHome.err;
  fs::remove_all(Share() / "bak");
  // The model needs no bak/; only a run does, and it names the folder, both places and the copy.
  EXPECT_EQ(Ok("project list"), "1\t图书馆管理\n");
  TRun noData = Run("generate 1");
  EXPECT_EQ(noData.status, 1);
  EXPECT_EQ(noData.err, "找不到 bak 目录: " + (DataFolder() / "bak").string() + " 和 " +
                            (Share() / "bak").string() +
                            " 都不存在。请把程序自带的 bak 目录 (源代码中的 data/bak, 或安装后的 "
                            "/usr/share/vbgen/bak) 复制到 " +
                            (DataFolder() / "bak").string() + "; 编辑模型的命令不需要它\n");
  EXPECT_FALSE(fs::exists(DataFolder() / "projects"));
  fs::remove_all(DataFolder());
  fs::copy(SourceDir() / "data" / "bak", Share() / "bak", fs::copy_options::recursive);
  // A file where the data folder should be is left alone and named.
  fs::create_directories(DataFolder().parent_path());
  std::ofstream(DataFolder()) << "mine";
  TRun blocked = Run("project list");
  EXPECT_EQ(blocked.status, 1);
  EXPECT_NE(blocked.err.find(DataFolder().string()), std::string::npos) << blocked.err;
  EXPECT_EQ(Slurp(DataFolder()), "mine");
  // What needs no data still works.
  EXPECT_EQ(Ok("--version"), "vbgen-cli " VBGEN_VERSION "\n");
}

TEST_F(InstalledCliTest, GlobalOptionsStandAnywhere) {
  EXPECT_EQ(Ok("--version"), "vbgen-cli " VBGEN_VERSION "\n");
  EXPECT_EQ(Ok("project list --version"), "vbgen-cli " VBGEN_VERSION "\n");
  const std::string help = Ok("generate --help");
  EXPECT_NE(help.find("generate PROJECT [--dry-run [--json]]"), std::string::npos);
  EXPECT_EQ(help.find("member add"), std::string::npos) << "only the command's own part";
  EXPECT_EQ(Ok("help member"), Ok("member add --help"));
  EXPECT_NE(Ok("-h").find("project list"), std::string::npos);
  EXPECT_EQ(Run("help frobnicate").status, 2);
  EXPECT_EQ(Run("project list --home").status, 2);
  EXPECT_EQ(Run("--home= project list").status, 2);
  // A comment may be "-h": the value of an option is never a global option.
  Ok("project add p");
  Ok("class add p Book 图书");
  const std::string id = Ok("member add p Book --name note --type 字符串 --comment -h");
  EXPECT_EQ(Ok("member list p Book").substr(Ok("member list p Book").find('\n') + 1),
            id.substr(0, id.size() - 1) + "\tnote\t字符串\t20\t否\t否\t否\t否\t是\t-h\n");
  // No data was needed for help and version: only the commands above made the folder.
  EXPECT_TRUE(fs::is_regular_file(DataFolder() / "projects.db"));
}

TEST_F(InstalledCliTest, ClassesByProjectAndNameAndTheNewIds) {
  Ok("project list");  // the example: project 1, classes 1 to 3, members 1 to 14
  EXPECT_EQ(Ok("project add 书店"), "2\n");
  TRun added = Run("class add 书店 Book 图书");
  EXPECT_EQ(added.out, "4\n");
  EXPECT_EQ(added.err, "类名称添加成功！\n");
  const std::string firstMember = Ok("member add 书店 Book --name bookId --type 整型 --pri --must");
  const std::string secondMember =
      Ok("member add 书店 Book --name=title --type=字符串 --length=50 --display");
  EXPECT_EQ(std::stoi(secondMember), std::stoi(firstMember) + 1);
  // Only 书店's Book got them; the example's Book keeps its members.
  EXPECT_EQ(Ok("member list 书店 Book"), Ok("member list 4"));
  EXPECT_EQ(Ok("check 图书馆管理"), "模型检查通过，没有发现问题。\n");
  EXPECT_EQ(Ok("check 书店"), "模型检查通过，没有发现问题。\n");
  Ok("class update 书店 Book Books 图书们");
  EXPECT_EQ(Ok("class list 书店"), "4\tBooks\t图书们\t1\n");
  EXPECT_EQ(Run("member add 书店 Book --name x --type 整型 --must").err,
            "工程 书店 中没有类 Book\n");
  EXPECT_EQ(Run("member list 书店 Books extra").status, 2);
  // A usage error is reported before the class is looked up.
  EXPECT_EQ(Run("member add 书店 Nothing --bogus").status, 2);
  Ok("class delete 书店 Books");
  EXPECT_EQ(Ok("class list 书店"), "");
  EXPECT_EQ(Run("class delete 书店 Books").status, 1);
}

TEST_F(InstalledCliTest, ListsAsJson) {
  Ok("project list");
  using nlohmann::json;
  const json projects = json::parse(Ok("project list --json"));
  EXPECT_EQ(projects, json::parse(R"([{"projectId":1,"projectName":"图书馆管理"}])"));
  const json classes = json::parse(Ok("class list 图书馆管理 --json"));
  ASSERT_EQ(classes.size(), 3u);
  EXPECT_EQ(classes[0]["className"], "Book");
  EXPECT_EQ(classes[0]["frontShowFlag"], 1);
  const json members = json::parse(Ok("member list 图书馆管理 Book --json"));
  ASSERT_FALSE(members.empty());
  EXPECT_EQ(members[0]["memberIsPri"], 1);
  EXPECT_EQ(members[0].size(), 19u);  // every field of the member but none of the keys twice
  EXPECT_EQ(members[0]["memberSqlType"], "");
  // The dry run's plan is a list too.
  Ok("generate 图书馆管理");
  const json plan = json::parse(Ok("generate 图书馆管理 --dry-run --json"));
  ASSERT_FALSE(plan.empty());
  EXPECT_EQ(plan[0]["change"], "unchanged");
  EXPECT_EQ(plan[0]["path"].get<std::string>().rfind("projects/图书馆管理/", 0), 0u);
  EXPECT_EQ(Run("generate 图书馆管理 --json").status, 2);
  EXPECT_EQ(Run("check 图书馆管理 --bogus").status, 2);
}

TEST_F(InstalledCliTest, JsonOfTextNotInUtf8StaysValid) {
  Ok("project list");
  // Another tool stored a GBK name; the list still parses and names it.
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open((DataFolder() / "projects.db").c_str(), &db), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(db, "insert into t_project(projectName) values (x'CAE9B5EA')", nullptr,
                         nullptr, nullptr),
            SQLITE_OK);
  sqlite3_close(db);
  TRun list = Run("project list --json");
  ASSERT_EQ(list.status, 0) << list.err;
  const nlohmann::json projects = nlohmann::json::parse(list.out);
  ASSERT_EQ(projects.size(), 2u);
  EXPECT_EQ(projects[1]["projectId"], 2);
  EXPECT_NE(projects[1]["projectName"].get<std::string>().find("\xEF\xBF\xBD"), std::string::npos);
}

// The seeding itself, where the faults are easier to make.
class SeedTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(shipped_.path() / "examples");
    fs::copy_file(SourceDir() / "data" / "examples" / "library.json",
                  shipped_.path() / "examples" / "library.json");
  }
  void TearDown() override { TDbHelper::Close(); }
  TProgramDir Dir() const { return TProgramDir(home_.path() / "vbgen", shipped_.path()); }

  TTempDir home_, shipped_;
};

TEST_F(SeedTest, AnExistingModelIsNeverReplaced) {
  EXPECT_TRUE(SeedUserDataFolder(Dir()));
  const std::string seeded = Slurp(Dir().Database());
  EXPECT_FALSE(SeedUserDataFolder(Dir()));
  EXPECT_EQ(Slurp(Dir().Database()), seeded);
  EXPECT_EQ(FilesBelow(Dir().Home()), std::vector<std::string>{"projects.db"});
}

TEST_F(SeedTest, AKilledStartLeavesNothingThatCountsAsTheModel) {
  fs::create_directories(Dir().Home());
  std::ofstream(Dir().Home() / "projects.db.seeding-1") << "half";
  EXPECT_TRUE(SeedUserDataFolder(Dir()));
  TDbHelper::SetDatabasePath(Dir().Database());
  EXPECT_EQ(TDbHelper().QueryString("select projectName from t_project"), "图书馆管理");
}

TEST_F(SeedTest, ADamagedExampleIsReportedAndLeavesNoModel) {
  std::ofstream(shipped_.path() / "examples" / "library.json", std::ios::trunc) << "{\"proj";
  EXPECT_THROW(SeedUserDataFolder(Dir()), THomeError);
  EXPECT_EQ(FilesBelow(Dir().Home()), std::vector<std::string>{});
  fs::remove(shipped_.path() / "examples" / "library.json");
  EXPECT_THROW(SeedUserDataFolder(Dir()), THomeError);
  EXPECT_FALSE(fs::exists(Dir().Database()));
}

TEST(ProgramHomeTest, PortableDirectoryKeepsEverythingTogether) {
  TTempDir dir;
  fs::create_directories(dir.path() / "template");
  fs::create_directories(dir.path() / "bak");
  const TUserDirs user{std::nullopt, "/home/someone"};
  TProgramHome portable = LocateProgramHome(dir.path(), std::nullopt, user);
  EXPECT_FALSE(portable.userDataFolder);
  EXPECT_EQ(portable.programDir.Home(), dir.path());
  EXPECT_EQ(portable.programDir.TemplateDir(), dir.path() / "template");
  TProgramHome other = LocateProgramHome(dir.path(), dir.path() / "x", user);
  EXPECT_EQ(other.programDir.Database(), dir.path() / "x" / "projects.db");
  EXPECT_EQ(other.programDir.BakDir(), dir.path() / "bak");
  EXPECT_EQ((TUserDirs{"/x", "/h"}.DataFolder()), fs::path("/x/vbgen"));
  EXPECT_EQ((TUserDirs{"x", "/h"}.DataFolder()), fs::path("/h/.local/share/vbgen"));
  EXPECT_THROW((TUserDirs{std::nullopt, "h"}.DataFolder()), THomeError);
}

}  // namespace vbgen::test
