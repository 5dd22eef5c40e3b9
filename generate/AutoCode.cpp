#include "generate/AutoCode.h"

#include <filesystem>

#include "generate/FileOperate.h"
#include "generate/ModelCheck.h"
#include "generate/UIOperate.h"
#include "model/ClassDAO.h"
#include "model/ProjectDAO.h"

namespace vbgen {
namespace fs = std::filesystem;

namespace {
class TRunStopped : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};
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
  for (const char* name : {"MainForm.frm", "vb信息管理系统.vbp", "FrmAdd.frx", "FrmManage.frx"}) {
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
  const std::string projectName = TProjectDAO().GetProjectName(projectId_);
  if (projectName.empty()) throw TRunStopped("工程不存在，无法生成代码!");
  TClassDAO classDao;
  const TNamedIdList classes = classDao.ListClasses(projectId_);
  int failedClassId = 0;
  if (!classDao.CheckPrimaryKeys(classes, failedClassId)) {
    listener_.KeyCheckFailed(failedClassId);
    return;
  }
  if (!classDao.CheckDisplayMembers(classes, failedClassId)) {
    listener_.DisplayCheckFailed(failedClassId);
    return;
  }
  for (auto problems : {FindMissingReferences(projectId_, classes),
                        FindTextsOutsideGbk(projectId_, classes)}) {
    if (!problems.empty()) throw TRunStopped(problems.front());
  }
  CheckShippedFiles();

  TDiskSink disk(programDir_.Home());
  TGenContext context{projectId_, projectName, programDir_.TemplateDir(),
                      sink_ ? *sink_ : static_cast<TFileSink&>(disk), listener_};
  TUIOperate(context).AssembleProject(namespaceName_, classes);
  CopySupportFiles(projectName);
  listener_.GenerationDone();
}

void TAutoCode::CopySupportFiles(const std::string& projectName) {
  listener_.Progress("正在移动资源文件。。。");
  if (sink_ == nullptr &&
      !TFileOperate::CopyDirectory(programDir_.BakDir(), programDir_.OutputDir(projectName),
                                   true)) {
    throw TRunStopped("无法读取支持文件目录 bak (" + programDir_.BakDir().string() + ")");
  }
  listener_.Progress("移动资源文件完毕!");
}

}  // namespace vbgen
