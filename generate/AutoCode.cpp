#include "generate/AutoCode.h"

#include <algorithm>
#include <filesystem>
#include <optional>

#include "generate/check/ModelCheck.h"
#include "generate/emit/UIOperate.h"
#include "generate/read/ModelSnapshot.h"
#include "generate/read/RunInputs.h"
#include "generate/write/FileOperate.h"
#include "generate/write/ProjectDir.h"
#include "generate/write/ProjectWriter.h"
#include "model/ProjectDAO.h"
#include "model/Rules.h"
#include "model/Utf8Path.h"

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

void TAutoCode::CheckShippedFiles(const TRunInputs& inputs) const {
  const fs::path templates = programDir_.TemplateDir();
  for (const char* name : kTemplateFiles) {
    if (!inputs.templates.Files().count(name)) {
      throw TRunStopped("找不到模板文件 template/" + std::string(name) + " (" +
                        (templates / name).string() + ")");
    }
  }
  std::error_code error;
  if (!fs::is_directory(inputs.supportDir, error)) {
    throw TRunStopped("找不到支持文件目录 bak (" + inputs.supportDir.string() + ")");
  }
}

namespace {

std::vector<std::string> Lines(const std::vector<TModelProblem>& problems) {
  std::vector<std::string> lines;
  lines.reserve(problems.size());
  for (const TModelProblem& problem : problems) lines.push_back(problem.Line());
  return lines;
}

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
  // A rerun's reading back of its files begins meanwhile: it only reads.
  std::optional<TProjectWriter> writer;
  if (!sink_) {
    const std::optional<std::string> name = TProjectDAO().GetProjectName(projectId_);
    if (name && !name->empty()) writer.emplace(programDir_.Home(), *name, listener_);
  }
  const std::optional<TRunInputs> read =
      ReadRunInputs(projectId_, programDir_, options_,
                    [&](const TTemplates& templates, const std::string& projectName,
                        const std::vector<std::string>& classNames) {
                      if (writer && writer->ProjectName() == projectName) {
                        WriteResourcesEarly(*writer, templates, classNames);
                      }
                    });
  if (!read || read->model.ProjectName().empty()) throw TRunStopped("工程不存在，无法生成代码!");
  const TRunInputs& inputs = *read;
  const TModelSnapshot& model = inputs.model;
  const std::string& projectName = model.ProjectName();
  if (writer && writer->ProjectName() != projectName) {
    writer.emplace(programDir_.Home(), projectName, listener_);  // renamed meanwhile
  }
  const std::string fingerprint = writer ? RunInputsFingerprint(inputs) : std::string();
  // Judged once: the caller is told every problem, and the first error stops the run below.
  // A complete run of these very inputs was checked already; what it found is told again.
  const std::optional<std::vector<std::string>> checked =
      writer ? writer->CheckedBefore(fingerprint) : std::nullopt;
  const std::vector<TModelProblem> problems =
      checked ? std::vector<TModelProblem>() : CheckModel(model, options_);
  const std::vector<std::string> problemLines = checked ? *checked : Lines(problems);
  if (!problemLines.empty()) listener_.ModelProblemsFound(problemLines);
  // The complete application manages a key of several members and a table without a key (as a
  // list only); what it cannot manage, its check below names.
  if (const TClassModel* failed = FirstClassWhere(model, &TClassModel::KeyCount);
      failed && !options_.complete) {
    return listener_.KeyCheckFailed(failed->Entry());
  }
  if (const TClassModel* failed = FirstClassWhere(model, &TClassModel::DisplayCount)) {
    return listener_.DisplayCheckFailed(failed->Entry());
  }
  const std::vector<std::string> generated = ProjectFileNames(model, options_.complete);
  // Anything VB6 or SQL Server would refuse stops the run before a file is written; warnings
  // do not.
  if (const std::optional<TModelProblem> error = FirstError(problems)) {
    throw TRunStopped(error->Line());
  }
  const bool lastRunHolds = writer && writer->LastRunHolds(fingerprint, generated);
  CheckShippedFiles(inputs);
  if (!writer) return WriteTo(*sink_, inputs, generated);

  const std::vector<TFileOperate::TTreeEntry> copies =
      writer->Begin(generated, inputs.support, lastRunHolds);
  std::vector<std::string> notCopied;
  try {
    if (lastRunHolds) {
      writer->AdoptLastRun();
    } else {
      Emit(inputs, *writer, *writer);
      writer->EndGenerated();
    }
    notCopied = CopySupportFiles(*writer, &*writer, inputs, copies);
    writer->Finish(fingerprint, problemLines, notCopied.empty());
  } catch (...) {
    writer->Abandon();
    throw;
  }
  Done(notCopied);
}

// A first run of the plain application writes the forms' resource files, which depend on the
// class names alone, while the members are read and the model is checked: they are half of its
// files. Only into a directory built afresh, and provisionally: a run its checks stop removes
// them again. A model with a class name the checks might refuse keeps the usual order.
void TAutoCode::WriteResourcesEarly(TProjectWriter& writer, const TTemplates& templates,
                                    const std::vector<std::string>& classNames) const {
  if (options_.complete) return;  // its add and edit forms depend on the keys
  for (const char* name : {"FrmAdd.frx", "FrmManage.frx"}) {
    if (!templates.Files().count(name)) return;
  }
  const auto plain = [](const std::string& name) { return !name.empty() && IsIdentifier(name); };
  if (!std::all_of(classNames.begin(), classNames.end(), plain)) return;
  if (!writer.BeginProvisional()) return;
  TGenContext context{writer.ProjectName(), templates, writer, writer};
  for (const std::string& className : classNames) WriteFormResources(context, className, true);
}

// A run that writes nowhere: the files go to the sink, as they would to the disk.
void TAutoCode::WriteTo(TFileSink& sink, const TRunInputs& inputs,
                        const std::vector<std::string>& generated) {
  const std::vector<TFileOperate::TTreeEntry> copies =
      SupportToCopy(programDir_.OutputDir(inputs.model.ProjectName()), inputs.support, generated);
  Emit(inputs, sink, listener_);
  Done(CopySupportFiles(sink, nullptr, inputs, copies));
}

void TAutoCode::Emit(const TRunInputs& inputs, TFileSink& sink, TProgressSink& progress) const {
  TGenContext context{inputs.model.ProjectName(), inputs.templates, sink, progress};
  TUIOperate(context, options_).AssembleProject(namespaceName_, inputs.model);
}

void TAutoCode::Done(const std::vector<std::string>& notCopied) {
  if (!notCopied.empty()) return listener_.GenerationIncomplete(notCopied);
  listener_.GenerationDone();
}

// A support file that cannot be copied does not stop the run: the rest is copied, and the file
// is named in a progress line and in the list returned. Empty folders are made on disk only.
std::vector<std::string> TAutoCode::CopySupportFiles(
    TFileSink& sink, TProjectWriter* disk, const TRunInputs& inputs,
    const std::vector<TFileOperate::TTreeEntry>& copies) {
  listener_.Progress("正在移动资源文件。。。");
  std::vector<std::string> notCopied;
  for (const std::string& folder : inputs.support.unlisted) notCopied.push_back("bak/" + folder);
  const std::string prefix = "projects/" + inputs.model.ProjectName() + "/";
  for (const auto& entry : copies) {
    const std::string path = prefix + entry.relative;
    try {
      if (!entry.isDirectory) {
        sink.Write(path, TFileOperate::ReadBytes(inputs.supportDir / Utf8Path(entry.relative)));
      } else if (disk) {
        disk->MakeFolder(path);
      }
    } catch (const TOutsideProjectError&) {
      throw;
    } catch (const TFileError& failure) {
      listener_.Progress("未能复制支持文件 " + path + ": " + failure.what());
      notCopied.push_back("bak/" + entry.relative + ": " + failure.what());
    }
  }
  listener_.Progress("移动资源文件完毕!");
  return notCopied;
}

std::string IncompleteMessage(const std::vector<std::string>& notCopied) {
  std::string message = "以下支持文件未能复制，生成的工程不完整:";
  for (const std::string& line : notCopied) message += "\n" + line;
  return message;
}

void TRunListener::ModelProblemsFound(const std::vector<std::string>& /*problems*/) {}

void TRunListener::GenerationIncomplete(const std::vector<std::string>& notCopied) {
  RunFailed(IncompleteMessage(notCopied));
}

}  // namespace vbgen
