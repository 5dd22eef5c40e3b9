#include "ui/MainForm.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QTableWidget>
#include <QThread>
#include <QTimer>
#include <algorithm>

#include "generate/check/ModelCheck.h"
#include "generate/write/FileOperate.h"
#include "model/ClassDAO.h"
#include "model/MemberDAO.h"
#include "model/ModelFile.h"
#include "model/ProjectDAO.h"
#include "model/Rules.h"
#include "ui/DataBaseSql.h"
#include "ui/Desktop.h"
#include "ui/Dialogs.h"
#include "ui/FormAddClass.h"
#include "ui/FormAddMember.h"
#include "ui/FormUpdateClass.h"
#include "ui/FormUpdateMember.h"
#include "ui/HelpPlacement.h"
#include "ui/QtText.h"
#include "ui/RunBridge.h"
#include "ui/SqlImportFlow.h"

namespace vbgen {
namespace {

constexpr int kClientWidth = 783;
constexpr int kClientHeight = 547;
constexpr int kBannerHeight = 89;
constexpr int kProgressHeight = 152;
// The line of the output folder at the bottom of the progress box.
constexpr int kOutputLineHeight = 23;
constexpr int kMakerPageDelayMs = 5000;
constexpr const char* kModelFileFilter = "项目模型 (*.json)";
constexpr const char* kGroupBoxStyle =
    "QGroupBox { border: 1px solid palette(dark); border-radius: 3px; margin-top: 8px; }"
    "QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top left;"
    " left: 8px; padding: 0 3px; }";

struct TColumn {
  const char* caption;
  int width;
};
// The first column carries the member's key; one pixel wide, it is in effect hidden.
constexpr TColumn kMemberColumns[] = {
    {"编号", 1},  {"成员名称", 90}, {"成员类型", 70},   {"长度", 50},     {"主键", 50},
    {"必填", 50}, {"查询", 50},     {"下拉框显示", 75}, {"界面显示", 60}, {"注释", 110}};

constexpr int kCommentColumn = static_cast<int>(std::size(kMemberColumns)) - 1;
constexpr int kCommentMinWidth = 60;

QString YesNo(int flag) { return flag == 1 ? QStringLiteral("是") : QStringLiteral("否"); }

// Sets a flag for the lifetime of a scope.
class TScopedFlag {
 public:
  explicit TScopedFlag(bool& flag) : flag_(flag), old_(flag) { flag_ = true; }
  ~TScopedFlag() { flag_ = old_; }

 private:
  bool& flag_;
  bool old_;
};

}  // namespace

TFormMain::TFormMain(TProgramDir programDir, TDialogs& dialogs, TDesktop& desktop, QWidget* parent)
    : QMainWindow(parent),
      programDir_(std::move(programDir)),
      helpSettings_(programDir_.Home() / "vbgen.ini"),
      dialogs_(dialogs),
      desktop_(desktop),
      modalRunner_([](QDialog& dialog) { dialog.exec(); }) {
  BuildControls();
  BuildMenus();
  FormCreate();
}

TFormMain::~TFormMain() {
  // A run still under way needs this thread to answer its notifications; they return at once
  // while closing, and the run is waited for before the controls go.
  closing_ = true;
  while (runThread_ != nullptr && !runThread_->isFinished()) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  }
  if (runThread_ != nullptr) runThread_->wait();
}

void TFormMain::BuildControls() {
  setWindowTitle(QString::fromUtf8(kMainCaption));
  setWindowIcon(QIcon(PathText(programDir_.ShippedDir() / "images" / "icon.png")));
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                 Qt::MSWindowsFixedSizeDialogHint);

  auto* client = new QWidget(this);
  client->setFixedSize(kClientWidth, kClientHeight);
  setCentralWidget(client);

  Image1 = new QLabel(client);
  Image1->setObjectName("Image1");
  Image1->setGeometry(0, 0, kClientWidth, kBannerHeight);
  Image1->setPixmap(QPixmap(PathText(programDir_.ShippedDir() / "images" / "banner.png")));
  Image1->setScaledContents(true);
  Image1->setCursor(Qt::PointingHandCursor);
  Image1->installEventFilter(this);

  GroupBox1 = new QGroupBox(QStringLiteral("项目操作区"), client);
  GroupBox1->setGeometry(0, kBannerHeight, kClientWidth, kClientHeight - kBannerHeight);
  // Framed boxes with their titles on the frame line, as the classic desktop draws them.
  GroupBox1->setStyleSheet(QString::fromUtf8(kGroupBoxStyle));

  // Right-aligned so that the label keeps a gap before the drop-down at x 36.
  Label1 = new QLabel(QStringLiteral("项目:"), GroupBox1);
  Label1->setGeometry(2, 18, 31, 21);
  Label1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  CB_Project = new QComboBox(GroupBox1);
  CB_Project->setObjectName("CB_Project");
  CB_Project->setGeometry(36, 18, 121, 21);
  connect(CB_Project, &QComboBox::activated, this,
          [this] { Guard([this] { CB_ProjectChange(); }); });

  Label2 = new QLabel(QStringLiteral("该项目所有类如下:"), GroupBox1);
  Label2->move(8, 48);
  LB_Object = new QListWidget(GroupBox1);
  LB_Object->setObjectName("LB_Object");
  LB_Object->setGeometry(8, 64, 153, 241);
  // The selection, not the current row, says which class is chosen: a mouse press moves the
  // current row before it selects, so the table follows the selection once it has changed.
  LB_Object->setSelectionMode(QAbstractItemView::SingleSelection);
  connect(LB_Object, &QListWidget::itemSelectionChanged, this, [this] {
    if (!filling_) Guard([this] { RefillMembersOfSelectedClass(); });
  });
  connect(LB_Object, &QListWidget::itemClicked, this,
          [this] { Guard([this] { LB_ObjectClick(); }); });
  connect(LB_Object, &QListWidget::itemDoubleClicked, this,
          [this] { Guard([this] { LB_ObjectDblClick(); }); });
  LB_Object->viewport()->installEventFilter(this);

  LV_Member = new QTableWidget(0, static_cast<int>(std::size(kMemberColumns)), GroupBox1);
  LV_Member->setObjectName("LV_Member");
  LV_Member->setGeometry(162, 16, 617, 281);
  LV_Member->setShowGrid(true);
  LV_Member->setSelectionBehavior(QAbstractItemView::SelectRows);
  LV_Member->setSelectionMode(QAbstractItemView::ExtendedSelection);
  LV_Member->setEditTriggers(QAbstractItemView::NoEditTriggers);
  LV_Member->setWordWrap(false);
  LV_Member->verticalHeader()->hide();
  LV_Member->verticalHeader()->setDefaultSectionSize(18);
  LV_Member->horizontalHeader()->setMinimumSectionSize(1);
  LV_Member->horizontalHeader()->setHighlightSections(false);
  LV_Member->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);

  for (int column = 0; column < static_cast<int>(std::size(kMemberColumns)); ++column) {
    LV_Member->setHorizontalHeaderItem(
        column, new QTableWidgetItem(QString::fromUtf8(kMemberColumns[column].caption)));
    LV_Member->setColumnWidth(column, kMemberColumns[column].width);
  }
  // The comment column takes what is left, so a vertical scroll bar never pushes it out of
  // view; long texts show whole in their tooltips. Its width from the table is what it gets
  // when there is room; the narrower base lets it give way to the scroll bar.
  LV_Member->setColumnWidth(kCommentColumn, kCommentMinWidth);
  LV_Member->horizontalHeader()->setStretchLastSection(true);
  LV_Member->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  LV_Member->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(LV_Member, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { PopupMenu1->popup(LV_Member->viewport()->mapToGlobal(at)); });
  LV_Member->viewport()->installEventFilter(this);

  GroupBox2 = new QGroupBox(QStringLiteral("生成进度"), GroupBox1);
  GroupBox2->setGeometry(2, GroupBox1->height() - kProgressHeight - 2, kClientWidth - 4,
                         kProgressHeight);
  Memo_State = new QPlainTextEdit(GroupBox2);
  Memo_State->setObjectName("Memo_State");
  Memo_State->setGeometry(6, 20, GroupBox2->width() - 12,
                          kProgressHeight - 25 - kOutputLineHeight - 4);
  Memo_State->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Memo_State->setStyleSheet(QStringLiteral("QPlainTextEdit { background-color: silver; }"));
  BuildOutputLine();

  // The user guide opens once, a while after start-up.
  Timer1 = new QTimer(this);
  Timer1->setInterval(kMakerPageDelayMs);
  connect(Timer1, &QTimer::timeout, this, &TFormMain::Timer1Timer);
  Timer1->start();
}

void TFormMain::BuildOutputLine() {
  const int top = Memo_State->geometry().bottom() + 4;
  const int right = Memo_State->geometry().right();
  constexpr int kButtonWidth = 90;
  Label_OutputDir = new QLabel(QStringLiteral("输出目录:"), GroupBox2);
  Label_OutputDir->setGeometry(6, top, 60, kOutputLineHeight);
  // An edit field, so the path can be selected and copied whole.
  Edt_OutputDir = new QLineEdit(GroupBox2);
  Edt_OutputDir->setObjectName("Edt_OutputDir");
  Edt_OutputDir->setReadOnly(true);
  Edt_OutputDir->setGeometry(66, top, right - 66 - kButtonWidth - 6, kOutputLineHeight);
  Btn_OpenOutputDir = new QPushButton(QStringLiteral("打开文件夹"), GroupBox2);
  Btn_OpenOutputDir->setObjectName("Btn_OpenOutputDir");
  Btn_OpenOutputDir->setGeometry(right - kButtonWidth + 1, top, kButtonWidth, kOutputLineHeight);
  connect(Btn_OpenOutputDir, &QPushButton::clicked, this,
          [this] { Guard([this] { Btn_OpenOutputDirClick(); }); });
  // Nothing to show before the first run has ended.
  for (QWidget* part :
       {static_cast<QWidget*>(Label_OutputDir), static_cast<QWidget*>(Edt_OutputDir),
        static_cast<QWidget*>(Btn_OpenOutputDir)}) {
    part->hide();
  }
}

QAction* TFormMain::AddMenuItem(QMenu* menu, const char* caption, void (TFormMain::*handler)()) {
  QAction* action = menu->addAction(QString::fromUtf8(caption));
  connect(action, &QAction::triggered, this,
          [this, handler] { Guard([&] { (this->*handler)(); }); });
  return action;
}

void TFormMain::BuildMenus() {
  QMenu* project = menuBar()->addMenu(QStringLiteral("项目操作(&P)"));
  ActionNewProject = AddMenuItem(project, "新建项目(&F)", &TFormMain::F2Click);
  ActionRenameProject = AddMenuItem(project, "修改项目名称(&X)", &TFormMain::N1Click);
  ActionDeleteProject = AddMenuItem(project, "删除当前项目(&D)", &TFormMain::D1Click);
  ActionAddClass = AddMenuItem(project, "添加类(&A)", &TFormMain::A2Click);
  ActionUpdateClass = AddMenuItem(project, "修改类名(&B)", &TFormMain::N2Click);
  ActionDeleteClass = AddMenuItem(project, "删除类(&S)", &TFormMain::S1Click);
  ActionAddMember = AddMenuItem(project, "添加成员(&M)", &TFormMain::M1Click);
  ActionUpdateMember = AddMenuItem(project, "修改成员属性(&E)", &TFormMain::N3Click);
  ActionDeleteMember = AddMenuItem(project, "删除成员(&C)", &TFormMain::C1Click);
  project->addSeparator();
  ActionExportModel = AddMenuItem(project, "导出项目模型…", &TFormMain::ExportModelClick);
  ActionImportModel = AddMenuItem(project, "导入项目模型…", &TFormMain::ImportModelClick);
  ActionImportSql = AddMenuItem(project, "从SQL脚本导入…", &TFormMain::ImportSqlClick);

  QMenu* code = menuBar()->addMenu(QStringLiteral("代码管理(&A)"));
  ActionSql = AddMenuItem(code, "生成建表sql语句", &TFormMain::sql1Click);
  ActionNamespace = AddMenuItem(code, "设置命名空间(&S)", &TFormMain::S2Click);
  ActionNamespace->setVisible(false);  // no generated text depends on the namespace
  ActionGenerate = AddMenuItem(code, "自动生成代码(&A)", &TFormMain::A1Click);
  ActionGenerateComplete = AddMenuItem(code, "自动生成完整应用代码(&C)", &TFormMain::C2Click);

  PopupMenu1 = new QMenu(this);
  AddMenuItem(PopupMenu1, "删除成员(&D)", &TFormMain::D2Click);
  AddMenuItem(PopupMenu1, "成员交换(&E)", &TFormMain::E1Click);
  AddMenuItem(PopupMenu1, "成员上移(&U)", &TFormMain::N5Click);
  AddMenuItem(PopupMenu1, "成员下移(&L)", &TFormMain::L1Click);

  // The menu bar sits above the client area, as a title-bar menu would.
  setFixedSize(kClientWidth, kClientHeight + menuBar()->sizeHint().height());
  // A usual title bar and border, until the window system says what they are.
  move(StartPosition(QMargins(4, 30, 4, 4)));
}

QPoint TFormMain::StartPosition(const QMargins& frame) const {
  return KeepWithin(QPoint(379, 109), size().grownBy(frame), screen()->availableGeometry());
}

void TFormMain::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (placed_ || event->spontaneous()) return;
  placed_ = true;
  const QRect frame = frameGeometry();
  const QRect inner = geometry();
  const QPoint place =
      StartPosition(QMargins(inner.left() - frame.left(), inner.top() - frame.top(),
                             frame.right() - inner.right(), frame.bottom() - inner.bottom()));
  if (place != pos()) move(place);
}

namespace {
bool IsLeftButton(QEvent* event, QEvent::Type type) {
  return event->type() == type && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
}
}  // namespace

bool TFormMain::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Image1 && IsLeftButton(event, QEvent::MouseButtonRelease)) {
    Guard([this] { Image1Click(); });
    return true;
  }
  if (watched == LB_Object->viewport() && LB_ClassListEmptyAreaEvent(event)) return true;
  if (watched == LV_Member->viewport() && IsLeftButton(event, QEvent::MouseButtonDblClick)) {
    // The press before the double click has already selected the row under the mouse, or
    // cleared the selection on an empty part of the table.
    Guard([this] { LV_MemberDblClick(); });
    return true;
  }
  return QMainWindow::eventFilter(watched, event);
}

// A click on an empty part of the class list keeps the selected class (the member table still
// shows its members); a double click there behaves as on the class.
bool TFormMain::LB_ClassListEmptyAreaEvent(QEvent* event) {
  const auto type = event->type();
  if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease &&
      type != QEvent::MouseButtonDblClick) {
    return false;
  }
  const auto* mouse = static_cast<QMouseEvent*>(event);
  if (LB_Object->itemAt(mouse->position().toPoint()) != nullptr) return false;
  if (IsLeftButton(event, QEvent::MouseButtonDblClick)) {
    Guard([this] { LB_ObjectDblClick(); });
  }
  return true;
}

void TFormMain::Guard(const std::function<void()>& command) {
  try {
    command();
  } catch (const std::exception& error) {
    dialogs_.Error(error.what());
  }
}

// ---- selection ----

std::optional<int> TFormMain::SelectedProjectId() const {
  if (CB_Project->currentIndex() < 0) return std::nullopt;
  return CB_Project->currentData().toInt();
}

QListWidgetItem* TFormMain::SelectedClassItem() const {
  const QList<QListWidgetItem*> selected = LB_Object->selectedItems();
  return selected.isEmpty() ? nullptr : selected.front();
}

std::optional<int> TFormMain::SelectedClassId() const {
  QListWidgetItem* item = SelectedClassItem();
  if (item == nullptr) return std::nullopt;
  return item->data(Qt::UserRole).toInt();
}

std::vector<int> TFormMain::SelectedMemberRows() const {
  std::vector<int> rows;
  for (const QModelIndex& index : LV_Member->selectionModel()->selectedRows()) {
    rows.push_back(index.row());
  }
  std::sort(rows.begin(), rows.end());
  return rows;
}

int TFormMain::MemberIdOfRow(int row) const { return LV_Member->item(row, 0)->text().toInt(); }

std::optional<int> TFormMain::SelectedMemberId() const {
  std::vector<int> rows = SelectedMemberRows();
  if (rows.empty()) return std::nullopt;
  return MemberIdOfRow(rows.front());
}

// ---- refresh operations ----

void TFormMain::FormCreate() {
  lastProjectIndex_ = kNoProjectIndex;
  namespaceName_ = "tavorin";
  FillProjectList();
}

void TFormMain::FillProjectList() {
  TScopedFlag filling(filling_);
  CB_Project->clear();
  for (const TNamedId& project : TProjectDAO().ListProjects()) {
    CB_Project->addItem(Q(project.name), project.id);
  }
  LB_Object->clear();
  if (CB_Project->count() == 0) {
    LV_Member->setRowCount(0);
    return;
  }
  int index = lastProjectIndex_ != kNoProjectIndex && lastProjectIndex_ < CB_Project->count()
                  ? lastProjectIndex_
                  : 0;
  CB_Project->setCurrentIndex(index);
  FillClassList(CB_Project->itemData(index).toInt());
}

void TFormMain::FillClassList(int projectId) {
  TScopedFlag filling(filling_);
  LB_Object->clear();
  for (const TNamedId& entry : TClassDAO().ListClasses(projectId)) {
    auto* item = new QListWidgetItem(Q(entry.name), LB_Object);
    item->setData(Qt::UserRole, entry.id);
  }
  if (LB_Object->count() == 0) {
    // Rows of another project's class would otherwise stay in view.
    LV_Member->setRowCount(0);
    return;
  }
  LB_Object->setCurrentRow(0);
  FillMemberList(LB_Object->item(0)->data(Qt::UserRole).toInt());
}

void TFormMain::FillMemberList(int classId) {
  LV_Member->setRowCount(0);
  TMemberList members = TMemberDAO().ListMembers(classId);
  LV_Member->setUpdatesEnabled(false);
  LV_Member->setRowCount(static_cast<int>(members.size()));
  for (std::size_t i = 0; i < members.size(); ++i) {
    const TMember& m = members[i];
    const QString cells[] = {QString::number(m.memberId),
                             Q(m.memberName),
                             Q(m.memberType),
                             QString::number(m.memberLength),
                             YesNo(m.memberIsPri),
                             YesNo(m.memberIsMust),
                             YesNo(m.queryFlag),
                             YesNo(m.memberIsDisplay),
                             YesNo(m.memberQueryDisplay),
                             Q(m.memberComment)};
    for (int column = 0; column < static_cast<int>(std::size(cells)); ++column) {
      auto* cell = new QTableWidgetItem(cells[column]);
      cell->setToolTip(cells[column]);
      LV_Member->setItem(static_cast<int>(i), column, cell);
    }
  }
  LV_Member->setUpdatesEnabled(true);
}

// The table never shows the members of a class that is not the selected one: with none
// selected it is empty.
void TFormMain::RefillMembersOfSelectedClass() {
  const std::optional<int> classId = SelectedClassId();
  if (!classId) {
    LV_Member->setRowCount(0);
    return;
  }
  FillMemberList(*classId);
}

// The main window has the focus again when a dialog is done, whatever the window manager does.
void TFormMain::ShowModal(QDialog& dialog) {
  modalRunner_(dialog);
  if (isVisible()) {
    activateWindow();
  }
}

// ---- project commands ----

void TFormMain::F2Click() {
  // A refused name stays in the box to be mended; Cancel gives the empty name, refused here.
  std::string name = dialogs_.CheckedInput("请输入工程名称", "", "", CheckNewProjectName);
  if (auto problem = CheckNewProjectName(name)) {
    dialogs_.Message(*problem);
    return;
  }
  TProjectDAO().AddProject(name);
  FillProjectList();
  dialogs_.Message("工程名称添加成功！");
}

void TFormMain::N1Click() {
  const std::optional<int> projectId = SelectedProjectId();
  if (!projectId) {
    dialogs_.Message("当前未有任何项目被选中!");
    return;
  }
  std::string name = dialogs_.CheckedInput("请输入项目名称", "", "", CheckRenamedProjectName);
  if (auto problem = CheckRenamedProjectName(name)) {
    dialogs_.Message(*problem);
    return;
  }
  TProjectDAO().RenameProject(*projectId, name);
  lastProjectIndex_ = CB_Project->currentIndex();
  dialogs_.Message("工程名称修改成功！");
  FillProjectList();
}

void TFormMain::D1Click() {
  const std::optional<int> projectId = SelectedProjectId();
  if (!projectId) {
    dialogs_.Message("未有任何项目被选中!");
    return;
  }
  if (!dialogs_.Confirm("确认删除当前项目吗?", "删除提示")) return;
  TProjectDAO().DeleteProject(*projectId);
  lastProjectIndex_ = kNoProjectIndex;
  dialogs_.Message("删除成功!");
  FillProjectList();
}

// ---- model files ----

void TFormMain::ExportModelClick() {
  const std::optional<int> projectId = SelectedProjectId();
  if (!projectId) {
    dialogs_.Message("当前未有任何项目被选中!");
    return;
  }
  // A project gone behind the window's back proposes no name; the export then says it is gone.
  const std::string projectName = TProjectDAO().GetProjectName(*projectId).value_or("");
  const std::optional<std::string> fileName =
      dialogs_.SaveFileName("导出项目模型", kModelFileFilter, projectName + ".json");
  if (!fileName) return;
  // The model is read before anything is written, so a failure leaves no file behind.
  const std::string json = ExportProject(*projectId);
  const std::filesystem::path file(*fileName);
  TFileOperate::WriteTextFile(file.parent_path(), file, json);
  dialogs_.Message("项目模型导出成功！");
}

void TFormMain::ImportModelClick() {
  const std::optional<std::string> fileName =
      dialogs_.OpenFileName("导入项目模型", kModelFileFilter);
  if (!fileName) return;
  const std::string json = TFileOperate::ReadBytes(std::filesystem::path(*fileName));
  int projectId = 0;
  try {
    projectId = ImportProject(json, std::nullopt);
  } catch (const TModelFileError& error) {
    dialogs_.Error(error.what());
    return;
  }
  // Remembered like a renamed project, so later refills keep the new project selected.
  lastProjectIndex_ = ProjectIndexOf(projectId);
  FillProjectList();
  dialogs_.Message("项目模型导入成功！");
}

void TFormMain::ImportSqlClick() {
  const TSqlImportOutcome outcome = ImportSqlScriptFromUser(dialogs_);
  for (const auto& line : outcome.memoLines) AppendProgress(line);
  if (!outcome.projectId) return;
  lastProjectIndex_ = ProjectIndexOf(*outcome.projectId);
  FillProjectList();
  dialogs_.Message(outcome.message);
}

int TFormMain::ProjectIndexOf(int projectId) const {
  const TNamedIdList projects = TProjectDAO().ListProjects();
  for (std::size_t i = 0; i < projects.size(); ++i) {
    if (projects[i].id == projectId) return static_cast<int>(i);
  }
  return kNoProjectIndex;
}

// ---- class commands ----

void TFormMain::A2Click() {
  if (!SelectedProjectId()) {
    dialogs_.Message("当前未有任何项目被选中!");
    return;
  }
  TAddClassForm form(*this);
  ShowModal(form);
}

void TFormMain::N2Click() {
  const std::optional<int> classId = SelectedClassId();
  if (!classId) {
    dialogs_.Message("没有类被选中!");
    return;
  }
  TUpdateClassForm form(*this, *classId);
  ShowModal(form);
}

void TFormMain::S1Click() {
  QListWidgetItem* item = SelectedClassItem();
  if (item == nullptr) {
    dialogs_.Message("没有类被选中!");
    return;
  }
  if (!dialogs_.Confirm("确认删除此类对象！", "提示")) return;
  TClassDAO().DeleteClass(item->data(Qt::UserRole).toInt());
  {
    TScopedFlag filling(filling_);
    delete LB_Object->takeItem(LB_Object->row(item));
    LB_Object->setCurrentRow(-1);
    LB_Object->clearSelection();
    // The rows shown belonged to the deleted class; their members are gone with it.
    LV_Member->setRowCount(0);
  }
  dialogs_.Message("类对象删除成功!");
}

// ---- member commands ----

void TFormMain::M1Click() {
  if (!SelectedClassId()) {
    dialogs_.Message("请先选择类对象");
    return;
  }
  TAddMemberForm form(*this);
  ShowModal(form);
}

void TFormMain::N3Click() {
  const std::optional<int> memberId = SelectedMemberId();
  if (!memberId) {
    dialogs_.Message("请先选择一个成员");
    return;
  }
  TUpdateMemberForm form(*this, *memberId);
  ShowModal(form);
}

void TFormMain::C1Click() {
  const std::optional<int> memberId = SelectedMemberId();
  if (!memberId) {
    dialogs_.Message("请先选择一个成员");
    return;
  }
  if (!dialogs_.Confirm("确定删除当前成员属性?", "删除提示")) return;
  TMemberDAO().DeleteMember(*memberId);
  dialogs_.Message("成员属性删除成功");
  RefillMembersOfSelectedClass();
}

void TFormMain::D2Click() { C1Click(); }

void TFormMain::E1Click() {
  std::vector<int> rows = SelectedMemberRows();
  if (rows.size() != 2) {
    dialogs_.Message("请选中2条记录!");
    return;
  }
  SwapAndRefill(MemberIdOfRow(rows[0]), MemberIdOfRow(rows[1]));
}

void TFormMain::N5Click() {
  std::vector<int> rows = SelectedMemberRows();
  if (rows.empty()) {
    dialogs_.Message("请先选择一个成员");
    return;
  }
  if (rows.front() == 0) {
    dialogs_.Message("第一个成员无法上移了！");
    return;
  }
  SwapAndRefill(MemberIdOfRow(rows.front()), MemberIdOfRow(rows.front() - 1));
}

void TFormMain::L1Click() {
  std::vector<int> rows = SelectedMemberRows();
  if (rows.empty()) {
    dialogs_.Message("请先选择一个成员");
    return;
  }
  if (rows.front() == LV_Member->rowCount() - 1) {
    dialogs_.Message("最后一个成员无法下移了！");
    return;
  }
  SwapAndRefill(MemberIdOfRow(rows.front()), MemberIdOfRow(rows.front() + 1));
}

void TFormMain::SwapAndRefill(int memberIdA, int memberIdB) {
  TMemberDAO().SwapMembers(memberIdA, memberIdB);
  RefillMembersOfSelectedClass();
}

// ---- code commands ----

void TFormMain::sql1Click() {
  const std::optional<int> projectId = SelectedProjectId();
  if (!projectId) {
    dialogs_.Message("当前未有任何项目被选中!");
    return;
  }
  TDataBaseSqlForm form(dialogs_, this);
  form.SetProjectId(*projectId);
  ShowModal(form);
}

void TFormMain::S2Click() {
  std::string name =
      dialogs_.Input("命名空间输入框", "请输入一个命名空间名如:           ", namespaceName_);
  if (name.empty()) {
    dialogs_.Message("命名空间名输入不能为空!");
    return;
  }
  namespaceName_ = name;
}

void TFormMain::A1Click() { BeginGeneration(TRunOptions{}); }

// The complete application: the same run, with the choice that makes its forms work.
void TFormMain::C2Click() { BeginGeneration(TRunOptions{.complete = true}); }

void TFormMain::BeginGeneration(const TRunOptions& options) {
  const std::optional<int> projectId = SelectedProjectId();
  if (!projectId) {
    dialogs_.Message("没有一个工程被选中！");
    return;
  }
  if (RunActive()) {
    dialogs_.Message(kRunBusyText);
    return;
  }
  dialogs_.Message("如果以前生成了该项目，最好先删除原来的目录!");
  Memo_State->clear();
  runProblems_.clear();
  StartRun(*projectId, options);
}

// Everything the run would refuse or the rules would not accept, listed at once so the user
// need not learn of one fault per run. The run judges its own snapshot, as the chosen run writes
// it; the list goes with the box that ends the run, and the progress memo keeps the run's own
// lines only.
void TFormMain::ModelProblemsFound(const std::vector<std::string>& problems) {
  runProblems_ = "模型检查发现以下问题:";
  for (const std::string& problem : problems) runProblems_ += "\n" + problem;
}

void TFormMain::ShowRunEnd(TBoxKind kind, const std::string& text, const std::string& caption) {
  if (runProblems_.empty()) {
    switch (kind) {
      case TBoxKind::Message:
        dialogs_.Message(text);
        break;
      case TBoxKind::Information:
        dialogs_.Information(text, caption);
        break;
      case TBoxKind::Error:
        dialogs_.Error(text);
        break;
    }
    return;
  }
  dialogs_.Detailed(kind, text, caption, runProblems_);
}

void TFormMain::StartRun(int projectId, const TRunOptions& options) {
  if (!runGate_.TryEnter()) {
    dialogs_.Message(kRunBusyText);
    return;
  }
  // The run writes under the name the project has now; the completion opens that directory.
  runProjectName_ = TProjectDAO().GetProjectName(projectId).value_or("");
  auto listener = std::make_shared<TRunBridge>(
      this,
      TRunHandlers{
          [this](const std::string& line) { AppendProgress(line); },
          [this](const TNamedId& failed) { KeyCheckFailed(failed); },
          [this](const TNamedId& failed) { DisplayCheckFailed(failed); },
          [this] { GenerationDone(); }, [this](const std::string& message) { RunFailed(message); },
          [this](const std::vector<std::string>& problems) { ModelProblemsFound(problems); }});
  QThread* thread =
      QThread::create([listener, projectId, options, ns = namespaceName_, dir = programDir_] {
        TAutoCode run(projectId, ns, dir, *listener);
        run.SetOptions(options);
        run.Execute();
      });
  connect(thread, &QThread::finished, this, [this, thread] {
    if (runThread_ == thread) runThread_ = nullptr;
    runGate_.Leave();
    thread->deleteLater();
    if (closeRequested_) close();
  });
  runThread_ = thread;
  thread->start();
}

// A run cannot be cancelled, and one left running behind a hidden window would share the
// database with the next start of the program: the window stays until the run has finished
// and then closes by itself.
void TFormMain::closeEvent(QCloseEvent* event) {
  if (!RunActive()) {
    QMainWindow::closeEvent(event);
    return;
  }
  event->ignore();
  if (closeRequested_) return;
  closeRequested_ = true;
  Memo_State->appendPlainText(Q(kCloseAfterRunText));
}

void TFormMain::AppendProgress(const std::string& line) {
  if (!closing_) Memo_State->appendPlainText(Q(line));
}

void TFormMain::ShowOutputDir() {
  std::error_code error;
  const std::filesystem::path folder =
      std::filesystem::absolute(programDir_.OutputDir(runProjectName_), error).lexically_normal();
  Edt_OutputDir->setText(PathText(folder));
  Edt_OutputDir->setCursorPosition(0);
  Edt_OutputDir->setToolTip(PathText(folder));
  Label_OutputDir->show();
  Edt_OutputDir->show();
  Btn_OpenOutputDir->setVisible(desktop_.CanOpenDirectories());
  Btn_OpenOutputDir->setEnabled(std::filesystem::is_directory(folder, error));
}

void TFormMain::Btn_OpenOutputDirClick() {
  const std::filesystem::path folder(S(Edt_OutputDir->text()));
  std::error_code error;
  if (!std::filesystem::is_directory(folder, error)) {
    dialogs_.Error("文件夹不存在: " + PathUtf8(folder));
    return;
  }
  desktop_.OpenDirectory(folder);
}

void TFormMain::KeyCheckFailed(const TNamedId& failedClass) {
  if (closing_) return;
  ShowOutputDir();
  failedClassId_ = failedClass.id;
  ShowRunEnd(TBoxKind::Message, failedClass.name + kKeyCheckText);
}

void TFormMain::DisplayCheckFailed(const TNamedId& failedClass) {
  if (closing_) return;
  ShowOutputDir();
  failedClassId_ = failedClass.id;
  ShowRunEnd(TBoxKind::Message, failedClass.name + kDisplayCheckText);
}

void TFormMain::GenerationDone() {
  // The user has asked to leave: the window closes instead of showing the output.
  if (closing_ || closeRequested_) return;
  ShowOutputDir();
  ShowRunEnd(TBoxKind::Information, "所有代码生成完毕!", "任务提示");
  // Without a file manager the line under the memo says where the output is.
  if (desktop_.CanOpenDirectories()) desktop_.OpenDirectory(programDir_.OutputDir(runProjectName_));
}

void TFormMain::RunFailed(const std::string& message) {
  if (closing_) return;
  ShowOutputDir();
  ShowRunEnd(TBoxKind::Error, "代码生成失败: " + message);
}

// ---- lists and the banner ----

void TFormMain::CB_ProjectChange() {
  LV_Member->setRowCount(0);
  if (const std::optional<int> projectId = SelectedProjectId()) FillClassList(*projectId);
}

void TFormMain::LB_ObjectClick() {
  if (const std::optional<int> classId = SelectedClassId()) FillMemberList(*classId);
}

void TFormMain::LB_ObjectDblClick() { N2Click(); }

void TFormMain::LV_MemberDblClick() {
  if (SelectedClassId() && !SelectedMemberId()) {
    M1Click();
  } else {
    N3Click();
  }
}

void TFormMain::Image1Click() { OpenMakerPage(); }

// The banner opens the guide whatever the user chose about the start-up.
void TFormMain::Timer1Timer() {
  Timer1->stop();
  if (helpSettings_.ShowAtStart()) OpenMakerPage(TGuideOpening::AtStart);
}

void TFormMain::OpenMakerPage(TGuideOpening opening) {
  desktop_.OpenGuide(
      {programDir_.ShippedDir() / "guide" / "index.html", opening, helpSettings_.ShowAtStart(),
       [this](bool showAtStart) { Guard([&] { helpSettings_.SetShowAtStart(showAtStart); }); }});
}

}  // namespace vbgen
