#include "generate/AutoCode.h"

#include <filesystem>
#include <optional>

#include "generate/FileOperate.h"
#include "generate/Manifest.h"
#include "generate/ModelCheck.h"
#include "generate/UIOperate.h"
#include "model/ClassDAO.h"
#include "model/DbHelper.h"
#include "model/ProjectDAO.h"

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

void TAutoCode::Run() {
  // The name is taken once: a changed selection cannot redirect a run halfway.
  const std::string projectName = TProjectDAO().GetProjectName(projectId_);
  if (projectName.empty()) throw TRunStopped("工程不存在，无法生成代码!");
  TNamedIdList classes;
  int failedKeyClass = 0, failedDisplayClass = 0;
  std::vector<std::string> problems;
  {
    // The checks see one consistent model; the lock is given back before the listener is
    // told, since the window reads the model while it shows its box.
    TDbTransaction snapshot;
    TClassDAO classDao;
    classes = classDao.ListClasses(projectId_);
    if (classDao.CheckPrimaryKeys(classes, failedKeyClass) &&
        classDao.CheckDisplayMembers(classes, failedDisplayClass)) {
      problems = FindMissingReferences(projectId_, classes);
      if (problems.empty()) problems = FindTextsOutsideGbk(projectId_, classes);
    }
    snapshot.Commit();
  }
  if (failedKeyClass != 0) return listener_.KeyCheckFailed(failedKeyClass);
  if (failedDisplayClass != 0) return listener_.DisplayCheckFailed(failedDisplayClass);
  if (!problems.empty()) throw TRunStopped(problems.front());
  CheckShippedFiles();

  std::optional<TGuardedDiskSink> disk;
  if (!sink_) disk.emplace(programDir_.Home(), projectName, listener_);
  TGenContext context{projectId_, projectName, programDir_.TemplateDir(),
                      sink_ ? *sink_ : static_cast<TFileSink&>(*disk), listener_};
  try {
    TUIOperate(context).AssembleProject(namespaceName_, classes);
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
