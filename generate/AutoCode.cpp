#include "generate/AutoCode.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <set>

#include "generate/check/ModelCheck.h"
#include "generate/emit/UIOperate.h"
#include "generate/read/ModelSnapshot.h"
#include "generate/read/RunInputs.h"
#include "generate/write/BackgroundWriter.h"
#include "generate/write/FileOperate.h"
#include "generate/write/GuardedDiskSink.h"
#include "generate/write/LastRunCheck.h"
#include "generate/write/ProjectDir.h"
#include "generate/write/RunRecord.h"
#include "model/ProjectDAO.h"
#include "model/Utf8Path.h"

namespace vbgen {
namespace fs = std::filesystem;

namespace {
class TRunStopped : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Enough files waiting to keep the writer busy, few enough to keep a run's memory small.
constexpr std::size_t kMaxPendingBytes = 256 * 1024;

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

// What a run copies of bak. Every file a run generates is its own: a support file of the same
// name (a bak folder taken over from an older project may hold one) is never copied over it. A
// file directly in bak that the project held before the run began (the user may have changed
// it, or put a link in its place) is left as it is. Decided once, before anything is written, so
// that nothing this run writes can pass for the user's.
std::vector<TFileOperate::TTreeEntry> SupportToCopy(const TFileOperate::TTreeListing& support,
                                                    const std::vector<std::string>& generated,
                                                    const fs::path& output) {
  const std::set<std::string> generatedNames(generated.begin(), generated.end());
  std::vector<TFileOperate::TTreeEntry> copies;
  for (const auto& entry : support.entries) {
    const bool topLevelFile = !entry.isDirectory && entry.relative.find('/') == std::string::npos;
    if (topLevelFile) {
      if (generatedNames.count(entry.relative)) continue;
      std::error_code error;
      if (fs::exists(fs::symlink_status(output / Utf8Path(entry.relative), error))) continue;
    }
    copies.push_back(entry);
  }
  return copies;
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
  std::optional<TLastRunCheck> lastRun;
  if (!sink_) {
    const std::optional<std::string> name = TProjectDAO().GetProjectName(projectId_);
    if (name && !name->empty()) lastRun.emplace(programDir_.Home(), *name);
  }
  const std::optional<TRunInputs> read = ReadRunInputs(projectId_, programDir_, options_);
  if (!read || read->model.ProjectName().empty()) throw TRunStopped("工程不存在，无法生成代码!");
  const TRunInputs& inputs = *read;
  const TModelSnapshot& model = inputs.model;
  const std::string& projectName = model.ProjectName();
  const std::vector<std::string> generated = ProjectFileNames(model, options_.complete);
  // Judged once: the caller is told every problem, and the first error stops the run below.
  const std::vector<TModelProblem> problems = CheckModel(model, options_);
  if (!problems.empty()) {
    std::vector<std::string> lines;
    for (const TModelProblem& problem : problems) lines.push_back(problem.Line());
    listener_.ModelProblemsFound(lines);
  }
  // The complete application manages a key of several members and a table without a key (as a
  // list only); what it cannot manage, its check below names.
  if (const TClassModel* failed = FirstClassWhere(model, &TClassModel::KeyCount);
      failed && !options_.complete) {
    return listener_.KeyCheckFailed(failed->Entry());
  }
  if (const TClassModel* failed = FirstClassWhere(model, &TClassModel::DisplayCount)) {
    return listener_.DisplayCheckFailed(failed->Entry());
  }
  // A complete run of these very inputs has passed every check already.
  const std::optional<std::string> fingerprint =
      sink_ ? std::nullopt : std::optional(RunInputsFingerprint(inputs));
  const TRunRecord* last = nullptr;
  if (fingerprint && lastRun && lastRun->ProjectName() == projectName && lastRun->Record() &&
      RecordsThisRun(*lastRun->Record(), *fingerprint, generated)) {
    last = &*lastRun->Record();
  } else {
    lastRun.reset();  // nothing to confirm: the readers stop before anything is written
  }
  // Anything else VB6 or SQL Server would refuse stops the run before a file is written;
  // warnings do not.
  if (!last) {
    if (const std::optional<TModelProblem> error = FirstError(problems)) {
      throw TRunStopped(error->Line());
    }
  }
  CheckShippedFiles(inputs);
  const std::vector<TFileOperate::TTreeEntry> supportCopies =
      SupportToCopy(inputs.support, generated, programDir_.OutputDir(projectName));

  std::optional<TGuardedDiskSink> disk;
  if (!sink_) disk.emplace(programDir_.Home(), projectName, listener_);
  TGenContext context{projectName, inputs.templates,
                      sink_ ? *sink_ : static_cast<TFileSink&>(*disk), listener_};
  // Files that still hold what the recorded run wrote are only read (links followed while they
  // stay inside, as for any read); otherwise every path of the run is checked before the first
  // file is written: a link that leads out of the project directory stops the run with
  // nothing written.
  const bool confirmed = last && lastRun->FilesHold();
  if (confirmed) disk->AdoptConfirmed(*last);
  if (!confirmed) {
    for (const std::string& name : generated) context.sink.Admit(context.OutputPath(name));
  }
  for (const auto& entry : supportCopies) context.sink.Admit(context.OutputPath(entry.relative));

  TRunRecord made{fingerprint.value_or(std::string()), {}, {}};
  std::vector<std::string> notCopied;
  try {
    if (confirmed) {
      for (const std::string& line : last->progress) listener_.Progress(line);
    } else {
      Generate(context, model, disk ? &*disk : nullptr, made);
    }
    notCopied = CopySupportFiles(context, inputs, supportCopies);
  } catch (...) {
    if (disk) SaveAfterFailure(*disk);
    throw;
  }
  if (disk) {
    disk->SaveManifest();
    if (fingerprint && notCopied.empty() && !confirmed) disk->SaveRunRecord(made);
    disk->Publish();
  }
  if (!notCopied.empty()) return listener_.GenerationIncomplete(notCopied);
  listener_.GenerationDone();
}

// The project's files, noting for the record what the generators write and say. On disk the
// writing overlaps the generating.
void TAutoCode::Generate(TGenContext& context, const TModelSnapshot& model, TGuardedDiskSink* disk,
                         TRunRecord& made) {
  TRecordingProgress progress(listener_, made.progress);
  if (!disk) {
    TGenContext recorded{context.projectName, context.templates, context.sink, progress};
    return TUIOperate(recorded, options_).AssembleProject(namespaceName_, model);
  }
  disk->NoteWritesIn(&made);
  {
    TBackgroundWriter writer(*disk, progress, kMaxPendingBytes);
    TGenContext background{context.projectName, context.templates, writer, writer};
    TUIOperate(background, options_).AssembleProject(namespaceName_, model);
    writer.Finish();
  }
  disk->NoteWritesIn(nullptr);
}

// A record of these inputs that names exactly the files this run would write.
bool TAutoCode::RecordsThisRun(const TRunRecord& record, const std::string& inputs,
                               std::vector<std::string> expected) {
  if (record.inputs != inputs) return false;
  std::vector<std::string> recorded;
  for (const TRecordedFile& file : record.files) recorded.push_back(file.path);
  std::sort(recorded.begin(), recorded.end());
  std::sort(expected.begin(), expected.end());
  return recorded == expected;
}

// What was written stays, and so does the record of it; the failure that stopped the run is
// the one reported, a manifest that cannot be saved after it is only noted.
void TAutoCode::SaveAfterFailure(TGuardedDiskSink& disk) {
  try {
    disk.SaveManifest();
  } catch (const std::exception& error) {
    listener_.Progress(std::string("未能保存生成记录: ") + error.what());
  }
  try {
    disk.Publish();
  } catch (const std::exception& error) {
    listener_.Progress(error.what());
  }
}

// A support file that cannot be copied does not stop the run: the rest is copied, and the file
// is named in a progress line and in the list returned.
std::vector<std::string> TAutoCode::CopySupportFiles(
    TGenContext& context, const TRunInputs& inputs,
    const std::vector<TFileOperate::TTreeEntry>& copies) {
  listener_.Progress("正在移动资源文件。。。");
  std::vector<std::string> notCopied;
  for (const std::string& folder : inputs.support.unlisted) notCopied.push_back("bak/" + folder);
  for (const auto& entry : copies) {
    const std::string path = context.OutputPath(entry.relative);
    try {
      if (entry.isDirectory) {
        context.sink.MakeDirectory(path);
      } else {
        context.sink.Write(path,
                           TFileOperate::ReadBytes(inputs.supportDir / Utf8Path(entry.relative)));
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
