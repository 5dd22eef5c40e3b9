// What a run would do to its project directory, without doing it (generate --dry-run).
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "generate/GenContext.h"
#include "generate/write/Manifest.h"
#include "generate/write/ProjectDir.h"

namespace vbgen {

// How a run would treat one file.
// Kept: a file an earlier run wrote that this run leaves as it is (a support file already in
// the project, the forms of a class since renamed or deleted); KeptHandEdit the same, changed
// by hand since.
enum class TPlannedChange { Create, Change, ChangeHandEdit, Unchanged, Kept, KeptHandEdit };

// Writes nothing: notes for each file whether a run would create, change or leave it.
class TPlanSink : public TFileSink {
 public:
  TPlanSink(std::filesystem::path home, const std::string& projectName);
  // Refuses (TOutsideProjectError) a path that would leave the directory, as a run would.
  void Write(const std::string& relativePath, std::string bytes) override;

  struct TEntry {
    std::string path;
    TPlannedChange change;
  };
  const std::vector<TEntry>& Entries() const { return entries_; }
  // The files the last run recorded that this one would not write, with whether each holds a
  // hand edit; in path order. Call after the run.
  std::vector<TEntry> LeftAsTheyAre();

 private:
  TProjectDir dir_;
  TManifest manifest_;
  std::vector<TEntry> entries_;
};

}  // namespace vbgen
