// The main window: the projects, the classes of the selected project, the members of the
// selected class, the menus that edit them, and the generation run's progress.
#pragma once

#include <QMainWindow>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "generate/AutoCode.h"
#include "generate/GenContext.h"
#include "ui/Dialogs.h"
#include "ui/HelpSettings.h"
#include "ui/HelpWindow.h"

class QAction;
class QComboBox;
class QDialog;
class QGroupBox;
class QLabel;
class QListWidget;
class QLineEdit;
class QListWidgetItem;
class QPushButton;
class QMenu;
class QPlainTextEdit;
class QTableWidget;
class QThread;
class QTimer;

namespace vbgen {

class TDesktop;
class TDialogs;
struct TMember;

// Shown in the progress memo when the window is closed while a run is under way.
inline constexpr const char* kCloseAfterRunText = "代码正在生成，生成完毕后窗口将自动关闭。";

// The window's caption: the product name and our note.
inline constexpr const char* kMainCaption =
    "tavorinvb代码生成器2.0版 —— Linux 桌面版，点击横幅查看使用说明";

class TFormMain : public QMainWindow {
  Q_OBJECT

 public:
  // Shows a dialog modally; tests replace it to drive dialogs without a nested event loop.
  using TModalRunner = std::function<void(QDialog&)>;
  // The remembered project index that selects the first project.
  static constexpr int kNoProjectIndex = -1;

  TFormMain(TProgramDir programDir, TDialogs& dialogs, TDesktop& desktop,
            QWidget* parent = nullptr);
  ~TFormMain() override;

  // What the dialogs read: the selection, none when nothing is selected.
  std::optional<int> SelectedProjectId() const;
  std::optional<int> SelectedClassId() const;
  QListWidgetItem* SelectedClassItem() const;
  std::optional<int> SelectedMemberId() const;
  TDialogs& Dialogs() const { return dialogs_; }

  // Refresh operations, also called by the dialogs.
  void FillProjectList();
  void FillClassList(int projectId);
  void FillMemberList(int classId);
  // The members of the selected class; none shown when no class is selected.
  void RefillMembersOfSelectedClass();

  void SetModalRunner(TModalRunner runner) { modalRunner_ = std::move(runner); }
  bool RunActive() const { return runGate_.Busy(); }
  const std::string& NamespaceName() const { return namespaceName_; }
  int LastProjectIndex() const { return lastProjectIndex_; }
  const THelpSettings& HelpSettings() const { return helpSettings_; }
  int FailedClassId() const { return failedClassId_; }

  // The published controls.
  QLabel* Image1;
  QGroupBox* GroupBox1;
  QLabel* Label1;
  QComboBox* CB_Project;
  QLabel* Label2;
  QListWidget* LB_Object;
  QTableWidget* LV_Member;
  QGroupBox* GroupBox2;
  QPlainTextEdit* Memo_State;
  // Under the memo once a run has ended: the run's output folder, as an absolute path, and
  // the button that opens it (there only where there is a file manager).
  QLabel* Label_OutputDir;
  QLineEdit* Edt_OutputDir;
  QPushButton* Btn_OpenOutputDir;
  QTimer* Timer1;
  QMenu* PopupMenu1;
  QAction* ActionNewProject;
  QAction* ActionRenameProject;
  QAction* ActionDeleteProject;
  QAction* ActionAddClass;
  QAction* ActionUpdateClass;
  QAction* ActionDeleteClass;
  QAction* ActionAddMember;
  QAction* ActionUpdateMember;
  QAction* ActionDeleteMember;
  QAction* ActionExportModel;
  QAction* ActionImportModel;
  QAction* ActionImportSql;
  QAction* ActionSql;
  QAction* ActionNamespace;
  QAction* ActionGenerate;
  QAction* ActionGenerateComplete;

 public slots:
  void FormCreate();
  void F2Click();
  void N1Click();
  void D1Click();
  void A2Click();
  void N2Click();
  void S1Click();
  void M1Click();
  void N3Click();
  void C1Click();
  void ExportModelClick();
  void ImportModelClick();
  void ImportSqlClick();
  void D2Click();
  void sql1Click();
  void S2Click();
  void A1Click();
  void C2Click();  // 自动生成完整应用代码
  void E1Click();
  void N5Click();
  void L1Click();
  void CB_ProjectChange();
  void LB_ObjectClick();
  void LB_ObjectDblClick();
  void LV_MemberDblClick();
  void Image1Click();
  void Timer1Timer();
  void Btn_OpenOutputDirClick();

  // The generation run's three notifications, handled on this thread while the run waits.
  void KeyCheckFailed(const TNamedId& failedClass);
  void DisplayCheckFailed(const TNamedId& failedClass);
  void GenerationDone();
  void RunFailed(const std::string& message);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  // Once the window system has given the window its frame, the whole frame is moved in.
  void showEvent(QShowEvent* event) override;

 private:
  bool LB_ClassListEmptyAreaEvent(QEvent* event);
  void BuildControls();
  void BuildMenus();
  QAction* AddMenuItem(QMenu* menu, const char* caption, void (TFormMain::*handler)());
  void AddMemberRow(const TMember& member);
  std::vector<int> SelectedMemberRows() const;
  int MemberIdOfRow(int row) const;
  void SwapAndRefill(int memberIdA, int memberIdB);
  void ShowModal(QDialog& dialog);
  void OpenMakerPage(TGuideOpening opening = TGuideOpening::Asked);
  // Where the window first stands: the classic place, moved in where a small screen would cut
  // it off with a frame of the given margins.
  QPoint StartPosition(const QMargins& frame) const;
  void BeginGeneration(const TRunOptions& options);
  void StartRun(int projectId, const TRunOptions& options = {});
  void ModelProblemsFound(const std::vector<std::string>& problems);
  // The box that ends a run, with the model check's list when it found problems.
  void ShowRunEnd(TBoxKind kind, const std::string& text, const std::string& caption = {});
  int ProjectIndexOf(int projectId) const;
  void AppendProgress(const std::string& line);
  void BuildOutputLine();
  // Shows where the run under way writes, whatever its end.
  void ShowOutputDir();
  // Runs a user command; an error of the model store or the file system reaches the user in
  // an error box instead of ending the program.
  void Guard(const std::function<void()>& command);

  TProgramDir programDir_;
  THelpSettings helpSettings_;
  TDialogs& dialogs_;
  TDesktop& desktop_;
  TModalRunner modalRunner_;
  int lastProjectIndex_ = kNoProjectIndex;
  std::string namespaceName_;
  int failedClassId_ = 0;
  bool filling_ = false;  // set while a list is refilled, so selection signals are ignored

  TRunGate runGate_;
  QThread* runThread_ = nullptr;
  std::string runProjectName_;
  std::string runProblems_;  // the model check's list for the run under way, empty for none
  bool closing_ = false;
  bool placed_ = false;          // moved wholly onto the screen at its first showing
  bool closeRequested_ = false;  // closed during a run: closes once the run has finished
};

}  // namespace vbgen
