// The one owner of a project directory {home}/projects/{projectName}/ during a run. It alone
// reads back the last run's files, decides which files are generated, support copies or the
// user's, writes files (on a thread of its own while the generators run), backs up hand edits,
// keeps the manifest and the record of a complete run, and gives a directory built by this run
// its name at the end. Every path goes through TProjectDir, so nothing lands outside the
// directory.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "generate/GenContext.h"
#include "generate/write/BackgroundWriter.h"
#include "generate/write/FileOperate.h"
#include "generate/write/LastRunCheck.h"
#include "generate/write/Manifest.h"
#include "generate/write/ProjectDir.h"
#include "generate/write/RunRecord.h"

namespace vbgen {

// What a run copies of the support folder bak. A file the run generates is its own: a support
// file of the same name (a bak folder taken over from an older project may hold one) is never
// copied. A file directly in bak that the project held before the run began (the user may have
// changed it, or put a link in its place) is left as it is. Decided once, before anything is
// written, so nothing this run writes can pass for the user's.
std::vector<TFileOperate::TTreeEntry> SupportToCopy(const std::filesystem::path& projectRoot,
                                                    const TFileOperate::TTreeListing& support,
                                                    const std::vector<std::string>& generated);

class TProjectWriter final : public TFileSink, public TProgressSink, private TWriteTarget {
 public:
  // Only reads: the record of the last complete run, whose files are read back meanwhile on
  // threads of their own.
  TProjectWriter(std::filesystem::path home, std::string projectName, TProgressSink& progress);
  ~TProjectWriter() override;
  TProjectWriter(const TProjectWriter&) = delete;
  TProjectWriter& operator=(const TProjectWriter&) = delete;

  const std::string& ProjectName() const { return projectName_; }

  // What the model check found in the last complete run, when it had this fingerprint: the
  // check would find the same now (none of it an error, or that run would not have been made).
  std::optional<std::vector<std::string>> CheckedBefore(const std::string& fingerprint) const;
  // True when the last complete run had this fingerprint, wrote exactly the files named
  // `generated` (inside the directory), and every one still holds its bytes: this run would
  // write them all again unchanged. Waits for the reading back; rethrows what stopped it.
  bool LastRunHolds(const std::string& fingerprint, std::vector<std::string> generated);

  // For a project directory that does not exist yet: begins writing before the run has
  // checked its model. What is written now is provisional: Begin keeps it, and a writer that
  // ends before Begin removes it, directory and all, so a run its checks stop leaves nothing.
  // False, with nothing written, when something has the directory's name.
  bool BeginProvisional();

  // Before the first write (or after the provisional ones): opens the directory
  // (TOutsideProjectError for a project name that is not one folder name), removes what killed runs
  // left, refuses (TOutsideProjectError) any path of the run that would leave the directory (the
  // generated files only when they are to be written), and returns the support entries to copy.
  std::vector<TFileOperate::TTreeEntry> Begin(const std::vector<std::string>& generated,
                                              const TFileOperate::TTreeListing& support,
                                              bool lastRunHolds);
  // Instead of generating, when the last run holds: its files count as written and its
  // progress lines are said again.
  void AdoptLastRun();

  // Until EndGenerated: a generated file or progress line, handed to the writer's thread in
  // order and noted for the record of this run; the writer's first failure is rethrown by the
  // next call. A file written provisionally with the same bytes is not written again. After
  // it: a support file or line, written or said at once.
  void Write(const std::string& relativePath, std::string bytes) override;
  void Progress(const std::string& line) override;
  // Waits until every generated file is written; rethrows the writer's failure.
  void EndGenerated();
  // A support folder that must exist even when empty.
  void MakeFolder(const std::string& relativePath);

  // Ends a run that wrote everything: the manifest, the record of the run (when `complete`:
  // every support file was copied too, and the files were generated, not adopted) with what
  // the model check found, and the directory's name.
  void Finish(const std::string& fingerprint, std::vector<std::string> problems, bool complete);
  // Ends a run that failed: what was written stays, with its manifest; a failure on the way
  // is only said, since the failure that stopped the run is the one to report.
  void Abandon() noexcept;

 private:
  void Store(const std::string& relativePath, std::string bytes,
             const std::string& digest) override;
  void Say(const std::string& line) override;
  // Opens the directory and the manifest, and removes what killed first runs left.
  void Open();
  // Backs up a hand edit the bytes would replace, writes them, records them in the manifest.
  void WriteFile(const std::string& path, const std::string& bytes, const std::string& digest);
  std::string BackupDir();

  std::filesystem::path home_;
  std::string projectName_;
  TProgressSink& progress_;
  std::optional<TLastRunCheck> lastRun_;
  // Opened, and the manifest read, when the run begins.
  std::optional<TProjectDir> dir_;
  std::optional<TManifest> manifest_;
  std::unique_ptr<TBackgroundWriter> writer_;
  TRunRecord made_;
  bool adopted_ = false;      // the last run's files stand for this run's
  bool provisional_ = false;  // written before Begin, and not kept yet
  std::unordered_map<std::string, std::string> provisionalDigests_;  // by path, as given
  std::string backupDir_;  // inside the directory, once made
};

}  // namespace vbgen
