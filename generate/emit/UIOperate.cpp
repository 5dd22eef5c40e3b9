#include "generate/emit/UIOperate.h"

#include "generate/Gbk.h"
#include "generate/emit/AddEditForms.h"
#include "generate/emit/CompleteForms.h"
#include "generate/emit/CompleteOperators.h"
#include "generate/emit/FormClass.h"
#include "generate/emit/ManageForm.h"
#include "generate/emit/OperatorForm.h"
#include "generate/emit/Rights.h"
#include "generate/emit/TextTemplate.h"
#include "generate/write/FileOperate.h"

namespace vbgen {
namespace {

// A class's forms in the project file: add, manage, edit, in that order.
constexpr std::string_view kVbpAddFormLine = R"vb(Form=FrmAdd{className}.frm
)vb";
constexpr std::string_view kVbpManageFormLine = R"vb(Form=FrmManage{className}.frm
)vb";
constexpr std::string_view kVbpEditFormLine = R"vb(Form=FrmEdit{className}.frm
)vb";

// The complete application's password hashing lives in a module of its own.
constexpr std::string_view kVbpPasswordModuleLine = R"vb(Module=ModPassword; ModPassword.bas
)vb";

// The manage item's line keeps its trailing blank after "Manage".
constexpr std::string_view kMenuLines = R"vb(   Begin VB.Menu {lowerClassName}
      Caption         =   "{friendName}管理(&T)"
      Begin VB.Menu {lowerClassName}Add
         Caption         =   "添加{friendName}(&A)"
      End
      Begin VB.Menu {lowerClassName}Manage 
         Caption         =   "{friendName}维护(&M)"
      End
   End
)vb";

constexpr std::string_view kMenuClickLines = R"vb(Private Sub {lowerClassName}Add_Click()
 '调用函数进行判断是否拥有权限使用添加{friendName}功能
  t = check_qx(czry_flag, {addRightIndex})
  If t = True Then
    MainForm.StatusBar1.Panels(1).Text = "状态： 添加{friendName} """
    FrmAdd{className}.Show
  End If
End Sub

Private Sub {lowerClassName}Manage_Click()
 '调用函数进行判断是否拥有权限使用管理{friendName}功能
  t = check_qx(czry_flag, {manageRightIndex})
  If t = True Then
    MainForm.StatusBar1.Panels(1).Text = "状态：管理{friendName}"
    FrmManage{className}.Show
  End If
End Sub
)vb";

// The complete application's menus of a class. Their names are "mnu" and the class name with
// Class, Add or Manage after it: never a VB keyword, never one another's or the template's
// (whose menu names end otherwise). Each class menu has an access key of its own, none that
// the menu bar (&S, &W) or the window menu's 平铺(&T) has; a class without a key is only listed.
constexpr std::string_view kCompleteMenuHead = R"vb(   Begin VB.Menu mnu{className}Class
      Caption         =   "{friendName}管理{accessKey}"
)vb";

constexpr std::string_view kCompleteAddMenu = R"vb(      Begin VB.Menu mnu{className}Add
         Caption         =   "添加{friendName}(&A)"
      End
)vb";

constexpr std::string_view kCompleteManageMenu = R"vb(      Begin VB.Menu mnu{className}Manage
         Caption         =   "{friendName}维护(&M)"
      End
   End
)vb";

constexpr std::string_view kCompleteAddClick = R"vb(Private Sub mnu{className}Add_Click()
 '调用函数进行判断是否拥有权限使用添加{friendName}功能
  If check_qx(czry_flag, {addRightIndex}) Then
    MainForm.StatusBar1.Panels(1).Text = "状态：添加{friendName}"
    FrmAdd{className}.Show
  End If
End Sub

)vb";

constexpr std::string_view kCompleteManageClick = R"vb(Private Sub mnu{className}Manage_Click()
 '调用函数进行判断是否拥有权限使用管理{friendName}功能
  If check_qx(czry_flag, {manageRightIndex}) Then
    MainForm.StatusBar1.Panels(1).Text = "状态：管理{friendName}"
    FrmManage{className}.Show
  End If
End Sub
)vb";

constexpr std::string_view kMenuAccessKeys = "123456789ABCDEFGHIJKLMNOPQRUVXYZ";

constexpr const char* kMainFormTemplate = "MainForm.frm";
constexpr const char* kProjectTemplate = "vb信息管理系统.vbp";

// Puts the blocks (GBK bytes already) in place of every occurrence of their markers, in one
// pass over the template, so a marker that a block itself holds (a friend name may) stays text.
std::string ReplaceMarkers(const std::string& text,
                           std::initializer_list<std::pair<std::string_view, std::string>> blocks) {
  std::string out;
  out.reserve(text.size() + 1024);
  std::size_t pos = 0;
  while (pos < text.size()) {
    bool replaced = false;
    for (const auto& [marker, block] : blocks) {
      if (text.compare(pos, marker.size(), marker) == 0) {
        out += block;
        pos += marker.size();
        replaced = true;
        break;
      }
    }
    if (!replaced) out += text[pos++];
  }
  return out;
}

}  // namespace

std::string LowerFirst(const std::string& className) {
  std::string lower = className;
  if (!lower.empty() && lower[0] >= 'A' && lower[0] <= 'Z')
    lower[0] = static_cast<char>(lower[0] - 'A' + 'a');
  return lower;
}

std::string_view MainFormMenuBlock() { return kMenuLines; }
std::string_view MainFormMenuClickBlock() { return kMenuClickLines; }

std::vector<std::string> ProjectFileNames(const TModelSnapshot& model, bool complete) {
  std::vector<std::string> names = {"MainForm.frm", kProjectTemplate, "frmczql.frm"};
  if (complete) {
    for (const char* name : {kPasswordModuleFile, "frmLogin.frm", "frmCzry.frm", "readme.txt"})
      names.push_back(name);
  }
  for (const TClassModel& entry : model.Classes()) {
    for (const char* kind : {"FrmAdd", "FrmEdit", "FrmManage"}) {
      if (std::string_view(kind) != "FrmManage" && !HasEntryForms(entry, complete)) continue;
      names.push_back(kind + entry.className + ".frm");
      names.push_back(kind + entry.className + ".frx");
    }
  }
  return names;
}

namespace {

// "(&1)" for the first class and so on; none once the keys run out.
std::string MenuAccessKey(std::size_t classNo) {
  if (classNo >= kMenuAccessKeys.size()) return {};
  return std::string("(&") + kMenuAccessKeys[classNo] + ")";
}

void AppendCompleteMenus(std::string& menuLines, std::string& menuClickLines,
                         const TClassModel& entry, std::size_t classNo) {
  const std::string addRightIndex = std::to_string(TRightsNumbering::AddRight(classNo));
  const std::string manageRightIndex = std::to_string(TRightsNumbering::ManageRight(classNo));
  const bool listedOnly = !HasEntryForms(entry, true);
  // The variables refer to their values, which must outlive every fill below.
  const std::string accessKey = MenuAccessKey(classNo);
  const auto vars = {TVar{"className", entry.className}, TVar{"friendName", entry.friendName},
                     TVar{"accessKey", accessKey}, TVar{"addRightIndex", addRightIndex},
                     TVar{"manageRightIndex", manageRightIndex}};
  FillInto(menuLines, kCompleteMenuHead, vars);
  if (!listedOnly) FillInto(menuLines, kCompleteAddMenu, vars);
  FillInto(menuLines, kCompleteManageMenu, vars);
  if (!listedOnly) FillInto(menuClickLines, kCompleteAddClick, vars);
  FillInto(menuClickLines, kCompleteManageClick, vars);
}

}  // namespace

void WriteFormResources(TGenContext& context, const std::string& className, bool entryForms) {
  if (entryForms) {
    const std::string& addFrx = context.templates.Bytes("FrmAdd.frx");
    context.sink.Write(context.OutputPath("FrmAdd" + className + ".frx"), addFrx);
    context.sink.Write(context.OutputPath("FrmEdit" + className + ".frx"), addFrx);
  }
  context.sink.Write(context.OutputPath("FrmManage" + className + ".frx"),
                     context.templates.Bytes("FrmManage.frx"));
}

void TUIOperate::AssembleProject(const std::string& /*namespaceName*/,
                                 const TModelSnapshot& model) {
  const std::vector<TClassModel>& classList = model.Classes();
  std::string vbpFormLines, menuLines, menuClickLines;
  if (options_.complete) FillInto(vbpFormLines, kVbpPasswordModuleLine, {});
  for (std::size_t i = 0; i < classList.size(); ++i) {
    const std::string& className = classList[i].className;
    const std::string& friendName = classList[i].friendName;
    const std::string lowerClassName = LowerFirst(className);
    const std::string addRightIndex = std::to_string(TRightsNumbering::AddRight(i));
    const std::string manageRightIndex = std::to_string(TRightsNumbering::ManageRight(i));
    const bool entryForms = HasEntryForms(classList[i], options_.complete);
    if (entryForms) FillInto(vbpFormLines, kVbpAddFormLine, {{"className", className}});
    FillInto(vbpFormLines, kVbpManageFormLine, {{"className", className}});
    if (entryForms) FillInto(vbpFormLines, kVbpEditFormLine, {{"className", className}});
    if (options_.complete) {
      AppendCompleteMenus(menuLines, menuClickLines, classList[i], i);
    } else {
      FillInto(menuLines, kMenuLines,
               {{"lowerClassName", lowerClassName}, {"friendName", friendName}});
      FillInto(menuClickLines, kMenuClickLines,
               {{"lowerClassName", lowerClassName},
                {"friendName", friendName},
                {"className", className},
                {"addRightIndex", addRightIndex},
                {"manageRightIndex", manageRightIndex}});
    }
    WriteFormResources(context_, className, entryForms);
  }

  // "$MenuClickHandleString" is tried first: "$MenuString" is not a prefix of it, but the
  // order keeps the longer marker safe whatever the markers are.
  const std::string mainForm =
      ReplaceMarkers(context_.templates.Text(kMainFormTemplate),
                     {{"$MenuClickHandleString", Utf8ToGbkCrLf(menuClickLines)},
                      {"$MenuString", Utf8ToGbkCrLf(menuLines)}});
  std::string path = context_.OutputPath("MainForm.frm");
  context_.sink.Write(path, mainForm);
  context_.progress.Progress(path + "生成完成!");

  const std::string project = ReplaceMarkers(context_.templates.Text(kProjectTemplate),
                                             {{"$vbpString", Utf8ToGbkCrLf(vbpFormLines)}});
  path = context_.OutputPath(kProjectTemplate);
  context_.sink.Write(path, project);
  context_.progress.Progress(path + "生成完成!");

  GenerateOperatorForm(model);
  GenerateAddForms(model);
  GenerateEditForms(model);
  GenerateManageForms(model);
}

void TUIOperate::GenerateOperatorForm(const TModelSnapshot& model) {
  GenerateOperatorFormFile(context_, model, options_.complete);
  if (options_.complete) GenerateCompleteOperatorFiles(context_, model);
}

void TUIOperate::GenerateAddForms(const TModelSnapshot& model) {
  if (options_.complete) return GenerateCompleteAddFormFiles(context_, model);
  GenerateAddFormFiles(context_, model);
}

void TUIOperate::GenerateEditForms(const TModelSnapshot& model) {
  if (options_.complete) return GenerateCompleteEditFormFiles(context_, model);
  GenerateEditFormFiles(context_, model);
}

void TUIOperate::GenerateManageForms(const TModelSnapshot& model) {
  if (options_.complete) return GenerateCompleteManageFormFiles(context_, model);
  GenerateManageFormFiles(context_, model);
}

}  // namespace vbgen
