#include "generate/AutoCode.h"

#include <filesystem>
#include <optional>

#include "generate/FileOperate.h"
#include "generate/Manifest.h"
#include "generate/ModelCheck.h"
#include "generate/ModelSnapshot.h"
#include "generate/UIOperate.h"

namespace vbgen {
namespace fs = std::filesystem;

namespace {
class TRunStopped : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

constexpr const char* kTemplateFiles[] = {"MainForm.frm", "vb信息管理系统.vbp", "FrmAdd.frx",
                                          "FrmManage.frx"};
}  // namespace

TAutoCode::TAutoCode(int projectId, std::string namespaceName, TProgramDir programDir,
                     TRunListener& listener)
    : projectId_(projectId),
      namespaceName_(std::move(namespaceName)),
      programDir_(std::move(programDir)),
      listener_(listener) {}

void TAutoCode::Execute() {
  try {
    Run();
  } catch (const std::exception& error) {
    listener_.RunFailed(error.what());
  }
}

void TAutoCode::CheckShippedFiles() const {
  const fs::path templates = programDir_.TemplateDir();
  for (const char* name : kTemplateFiles) {
    std::error_code error;
    if (!fs::is_regular_file(templates / name, error)) {
      throw TRunStopped("找不到模板文件 template/" + std::string(name) + " (" +
                        (templates / name).string() + ")");
    }
  }
  std::error_code error;
  if (!fs::is_directory(programDir_.BakDir(), error)) {
    throw TRunStopped("找不到支持文件目录 bak (" + programDir_.BakDir().string() + ")");
  }
}

namespace {

const TClassModel* FirstClassWhere(const TModelSnapshot& model,
                                   std::size_t (TClassModel::*count)() const) {
  for (const TClassModel& entry : model.Classes()) {
    if ((entry.*count)() != 1) return &entry;
  }
  return nullptr;
}

}  // namespace

void TAutoCode::Run() {
  // The whole model is read once, before anything is checked or written: the window (or
  // another program) may edit it meanwhile, and every file of the run must show one state.
  // The name is taken with it, so a changed selection cannot redirect a run halfway.
  const std::optional<TModelSnapshot> read = ReadModelSnapshot(projectId_);
  if (!read || read->ProjectName().empty()) throw TRunStopped("工程不存在，无法生成代码!");
  const TModelSnapshot& model = *read;
  const std::string& projectName = model.ProjectName();
  if (const TClassModel* failed = FirstClassWhere(model, &TClassModel::KeyCount)) {
    return listener_.KeyCheckFailed(failed->classId);
  }
  if (const TClassModel* failed = FirstClassWhere(model, &TClassModel::DisplayCount)) {
    return listener_.DisplayCheckFailed(failed->classId);
  }
  std::vector<std::string> problems = FindMissingReferences(model);
  if (problems.empty()) problems = FindTextsOutsideGbk(model);
  if (!problems.empty()) throw TRunStopped(problems.front());
  CheckShippedFiles();

  std::optional<TGuardedDiskSink> disk;
  if (!sink_) disk.emplace(programDir_.Home(), projectName, listener_);
  TGenContext context{projectName, programDir_.TemplateDir(),
                      sink_ ? *sink_ : static_cast<TFileSink&>(*disk), listener_};
  try {
    TUIOperate(context, options_).AssembleProject(namespaceName_, model);
    CopySupportFiles(context);
  } catch (...) {
    // What was written stays, and so does the record of it.
    if (disk) disk->SaveManifest();
    throw;
  }
  if (disk) disk->SaveManifest();
  listener_.GenerationDone();
}

// Files directly in bak are copied only when the project does not hold them yet (the user may
// have changed them); files in its subdirectories are always copied over. A support file that
// cannot be copied does not stop the run, but the progress lines name it.
void TAutoCode::CopySupportFiles(TGenContext& context) {
  listener_.Progress("正在移动资源文件。。。");
  const fs::path output = programDir_.OutputDir(context.projectName);
  const TFileOperate::TCopyPlan plan = TFileOperate::ListCopies(programDir_.BakDir(), output, true);
  if (!sink_) {
    for (const auto& directory : plan.directories) TFileOperate::CreateDirectories(directory);
  }
  for (const auto& copy : plan.files) {
    const std::string path = context.OutputPath(fs::relative(copy.to, output).generic_string());
    try {
      context.sink.Write(path, TFileOperate::ReadBytes(copy.from));
    } catch (const TFileError& error) {
      listener_.Progress("未能复制支持文件 " + path + ": " + error.what());
    }
  }
  listener_.Progress("移动资源文件完毕!");
}

}  // namespace vbgen
