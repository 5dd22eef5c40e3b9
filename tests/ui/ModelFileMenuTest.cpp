// The project menu's model-file items: export writes the project's model to the chosen file,
// import reads one back as a new project and selects it; a bad file changes nothing.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <fstream>
#include <memory>

#include "UiTestSupport.h"
#include "WindowInput.h"
#include "generate/write/FileOperate.h"
#include "model/ModelFile.h"
#include "ui/MainForm.h"

using namespace vbgen;
using namespace vbgen::test;
namespace fs = std::filesystem;

namespace {

// A model file as a user might write it: class Shelf refers to Book, which comes later.
constexpr const char* kShopFile = R"({
  "projectName": "Shop",
  "classes": [
    {
      "className": "Shelf",
      "friendName": "书架",
      "frontShowFlag": 1,
      "members": [
        {"memberName": "shelfId", "memberType": "整型", "memberLength": 0, "memberIsPri": 1,
         "memberComment": "", "memberIsMust": 1, "memberIsInteger": 1, "memberIsFloat": 0,
         "queryFlag": 0, "memberIsDisplay": 1, "memberQueryDisplay": 1},
        {"memberName": "topBook", "memberType": "Book", "memberLength": 0, "memberIsPri": 0,
         "memberComment": "最上面的书", "memberIsMust": 1, "memberIsInteger": 0,
         "memberIsFloat": 0, "queryFlag": 1, "memberIsDisplay": 0, "memberQueryDisplay": 1}
      ]
    },
    {"className": "Book", "friendName": "图书", "frontShowFlag": 0, "members": []}
  ]
}
)";

std::string ReplaceFirst(std::string text, const std::string& from, const std::string& to) {
  text.replace(text.find(from), from.size(), to);
  return text;
}

}  // namespace

class ModelFileMenuTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<TTempHome> home_;
  TFakeDialogs dialogs_;
  TFakeDesktop desktop_;

  std::unique_ptr<TFormMain> MakeWindow() {
    return std::make_unique<TFormMain>(TProgramDir(home_->path()), dialogs_, desktop_);
  }

  fs::path WriteModelFile(const std::string& name, const std::string& text) {
    fs::path file = home_->path() / name;
    std::ofstream(file, std::ios::binary) << text;
    return file;
  }

  static QStringList Items(QComboBox* box) {
    QStringList texts;
    for (int i = 0; i < box->count(); ++i) texts << box->itemText(i);
    return texts;
  }

  static QStringList Items(QListWidget* list) {
    QStringList texts;
    for (int row = 0; row < list->count(); ++row) texts << list->item(row)->text();
    return texts;
  }

  // Alpha, then Library with two classes.
  static int MakeProjects() {
    AddProject("Alpha");
    int library = AddProject("Library");
    int book = AddClass(library, "Book", "图书");
    int reader = AddClass(library, "Reader", "读者");
    AddMember(library, book, "bookId", "整型", true);
    AddMember(library, book, "title", "字符串", false, true, 50);
    AddMember(library, book, "reader", "Reader");
    AddMember(library, reader, "readerId", "整型", true, true);
    return library;
  }

  // Imports a file the user picked and checks that it was refused with exactly this message
  // and that the window and the database are as they were.
  void ExpectRefusedImport(TFormMain& window, const fs::path& file, const std::string& message) {
    const auto projectsBefore = TProjectDAO().ListProjects();
    const QStringList listBefore = Items(window.CB_Project);
    const int indexBefore = window.CB_Project->currentIndex();
    dialogs_.shown.clear();
    dialogs_.fileNames = {file.string()};
    ShowAndChooseMenuItem(window, window.ActionImportModel);
    QCOMPARE(dialogs_.shown.size(), std::size_t(1));
    QCOMPARE(dialogs_.shown.back().kind, std::string("error"));
    QCOMPARE(dialogs_.Last(), message);
    QVERIFY(TProjectDAO().ListProjects() == projectsBefore);
    QCOMPARE(Items(window.CB_Project), listBefore);
    QCOMPARE(window.CB_Project->currentIndex(), indexBefore);
  }

 private slots:
  void init() {
    home_ = std::make_unique<TTempHome>();
    dialogs_ = TFakeDialogs();
    desktop_ = TFakeDesktop();
  }
  void cleanup() { home_.reset(); }

  void theItemsFollowTheProjectCommandsAfterASeparator() {
    auto window = MakeWindow();
    QCOMPARE(window->ActionExportModel->text(), QString::fromUtf8("导出项目模型\u2026"));
    QCOMPARE(window->ActionImportModel->text(), QString::fromUtf8("导入项目模型\u2026"));
    const QList<QAction*> items = window->menuBar()->actions().front()->menu()->actions();
    QCOMPARE(items.size(), 13);
    QCOMPARE(items.at(8), window->ActionDeleteMember);
    QVERIFY(items.at(9)->isSeparator());
    QCOMPARE(items.at(10), window->ActionExportModel);
    QCOMPARE(items.at(11), window->ActionImportModel);
  }

  void exportWritesTheProjectsModelToTheChosenFile() {
    int library = MakeProjects();
    auto window = MakeWindow();
    window->CB_Project->setCurrentIndex(1);
    window->CB_ProjectChange();
    const fs::path file = home_->path() / "out" / "模型.json";  // the directory is made
    dialogs_.fileNames = {file.string()};
    ShowAndChooseMenuItem(*window, window->ActionExportModel);

    QCOMPARE(dialogs_.fileDialogs.size(), std::size_t(1));
    QCOMPARE(dialogs_.fileDialogs.back().kind, std::string("save"));
    QCOMPARE(dialogs_.fileDialogs.back().filter, std::string("项目模型 (*.json)"));
    QCOMPARE(dialogs_.fileDialogs.back().defaultName, std::string("Library.json"));
    QCOMPARE(TFileOperate::ReadBytes(file), ExportProject(library));
    QCOMPARE(dialogs_.shown.size(), std::size_t(1));
    QCOMPARE(dialogs_.shown.back().kind, std::string("message"));
    QCOMPARE(dialogs_.Last(), std::string("项目模型导出成功！"));

    // The file is the model a later import rebuilds: same classes, same members.
    const std::string text = TFileOperate::ReadBytes(file);
    QVERIFY(text.find("\"projectName\": \"Library\"") != std::string::npos);
    QVERIFY(text.find("\"className\": \"Reader\"") != std::string::npos);
  }

  void exportReplacesAnExistingFileWhole() {
    int library = MakeProjects();
    auto window = MakeWindow();
    window->CB_Project->setCurrentIndex(1);
    window->CB_ProjectChange();
    const fs::path file = WriteModelFile("old.json", std::string(100000, 'x'));
    dialogs_.fileNames = {file.string()};
    ShowAndChooseMenuItem(*window, window->ActionExportModel);
    QCOMPARE(TFileOperate::ReadBytes(file), ExportProject(library));
  }

  void cancellingEitherFileDialogDoesNothing() {
    MakeProjects();
    auto window = MakeWindow();
    const auto entriesBefore = std::distance(fs::directory_iterator(home_->path()), {});
    ShowAndChooseMenuItem(*window, window->ActionExportModel);
    ShowAndChooseMenuItem(*window, window->ActionImportModel);
    QCOMPARE(dialogs_.fileDialogs.size(), std::size_t(2));
    QCOMPARE(dialogs_.fileDialogs.back().kind, std::string("open"));
    QCOMPARE(dialogs_.fileDialogs.back().filter, std::string("项目模型 (*.json)"));
    QVERIFY(dialogs_.shown.empty());
    QCOMPARE(std::distance(fs::directory_iterator(home_->path()), {}), entriesBefore);
    QCOMPARE(TProjectDAO().ListProjects().size(), std::size_t(2));
  }

  void importAddsTheProjectAndSelectsIt() {
    MakeProjects();
    auto window = MakeWindow();
    QCOMPARE(window->CB_Project->currentText(), QStringLiteral("Alpha"));
    dialogs_.fileNames = {WriteModelFile("shop.json", kShopFile).string()};
    ShowAndChooseMenuItem(*window, window->ActionImportModel);

    QCOMPARE(dialogs_.shown.size(), std::size_t(1));
    QCOMPARE(dialogs_.Last(), std::string("项目模型导入成功！"));
    QCOMPARE(Items(window->CB_Project), (QStringList{"Alpha", "Library", "Shop"}));
    QCOMPARE(window->CB_Project->currentIndex(), 2);
    QCOMPARE(window->LastProjectIndex(), 2);
    const int shop = TProjectDAO().ListProjects().back().id;
    QCOMPARE(window->SelectedProjectId(), std::optional(shop));
    QCOMPARE(Items(window->LB_Object), (QStringList{"Shelf", "Book"}));
    QCOMPARE(window->LV_Member->rowCount(), 2);
    QCOMPARE(window->LV_Member->item(1, 1)->text(), QStringLiteral("topBook"));
    QCOMPARE(window->LV_Member->item(1, 9)->text(), QStringLiteral("最上面的书"));

    // A later new project keeps the imported one selected, as after a rename.
    dialogs_.inputs = {std::string("Zeta")};
    ShowAndChooseMenuItem(*window, window->ActionNewProject);
    QCOMPARE(window->CB_Project->currentText(), QStringLiteral("Shop"));
  }

  void importIntoAnEmptyListSelectsTheOnlyProject() {
    auto window = MakeWindow();
    QCOMPARE(window->SelectedProjectId(), std::optional<int>());
    dialogs_.fileNames = {WriteModelFile("shop.json", kShopFile).string()};
    ShowAndChooseMenuItem(*window, window->ActionImportModel);
    QVERIFY2(dialogs_.Last() == "项目模型导入成功！", dialogs_.Last().c_str());
    QCOMPARE(window->CB_Project->currentText(), QStringLiteral("Shop"));
    QCOMPARE(Items(window->LB_Object), (QStringList{"Shelf", "Book"}));
  }

  void aBadFileShowsTheWholeErrorAndChangesNothing() {
    MakeProjects();
    auto window = MakeWindow();
    window->CB_Project->setCurrentIndex(1);
    window->CB_ProjectChange();

    ExpectRefusedImport(
        *window, WriteModelFile("lower.json", ReplaceFirst(kShopFile, "\"Shelf\"", "\"shelf\"")),
        "类shelf(第1个)的字段className: 类名首个字母必须大写");
    // The classes were stored before the member was refused; all of it is undone.
    ExpectRefusedImport(
        *window, WriteModelFile("type.json", ReplaceFirst(kShopFile, "\"Book\",", "\"Bok\",")),
        "类Shelf(第1个)的成员topBook(第2个)的字段memberType: "
        "类型\"Bok\"不是可选的类型(五种基本类型或本工程中的其他类)");
    ExpectRefusedImport(
        *window, WriteModelFile("taken.json", ReplaceFirst(kShopFile, "\"Shop\"", "\"Alpha\"")),
        "模型文件的字段projectName: 该工程名称已经存在!");
    ExpectRefusedImport(*window,
                        WriteModelFile("flag.json", ReplaceFirst(kShopFile, "\"memberIsPri\": 1",
                                                                 "\"memberIsPri\": 2")),
                        "类Shelf(第1个)的成员shelfId(第1个)的字段memberIsPri: 应为0或1");
    QCOMPARE(window->CB_Project->currentText(), QStringLiteral("Library"));
    QCOMPARE(Items(window->LB_Object), (QStringList{"Book", "Reader"}));
  }

  void aFileThatCannotBeReadIsReportedAndChangesNothing() {
    MakeProjects();
    auto window = MakeWindow();
    dialogs_.fileNames = {(home_->path() / "missing.json").string()};
    ShowAndChooseMenuItem(*window, window->ActionImportModel);
    QCOMPARE(dialogs_.shown.size(), std::size_t(1));
    QCOMPARE(dialogs_.shown.back().kind, std::string("error"));
    QVERIFY2(dialogs_.Last().find("missing.json") != std::string::npos, dialogs_.Last().c_str());
    QCOMPARE(TProjectDAO().ListProjects().size(), std::size_t(2));
  }

  // The real dialog, accepted as it opens (with the name the user typed, if any).
  static std::optional<std::string> AcceptRealSaveDialog(const QString& typedName) {
    QTimer::singleShot(0, [typedName] {
      auto* box = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      if (box == nullptr) return;
      if (!typedName.isEmpty()) box->selectFile(typedName);
      QMetaObject::invokeMethod(box, "accept");
    });
    return TQtDialogs().SaveFileName("导出项目模型", "项目模型 (*.json)", "Library.json");
  }

  void theRealSaveDialogProposesTheNameInTheHomeDirectory() {
    const QByteArray oldHome = qgetenv("HOME");
    qputenv("HOME", QByteArray::fromStdString(home_->path().string()));
    const std::optional<std::string> proposed = AcceptRealSaveDialog({});
    const std::optional<std::string> typed = AcceptRealSaveDialog(QStringLiteral("copy"));
    qputenv("HOME", oldHome);
    QVERIFY(proposed && typed);
    QCOMPARE(fs::path(*proposed), home_->path() / "Library.json");
    QCOMPARE(fs::path(*typed), home_->path() / "copy.json");  // the extension is added
  }

  void anExportThatCannotBeWrittenIsReportedAsAnError() {
    MakeProjects();
    auto window = MakeWindow();
    const fs::path blocker = WriteModelFile("blocker", "a file, not a directory");
    dialogs_.fileNames = {(blocker / "model.json").string()};
    ShowAndChooseMenuItem(*window, window->ActionExportModel);
    QCOMPARE(dialogs_.shown.size(), std::size_t(1));
    QCOMPARE(dialogs_.shown.back().kind, std::string("error"));
    QVERIFY(!dialogs_.Showed("项目模型导出成功！"));
  }
};

QTEST_MAIN(ModelFileMenuTest)
#include "ModelFileMenuTest.moc"
