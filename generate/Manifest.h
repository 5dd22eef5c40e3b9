// What the last run wrote into an output directory, so that the next run can tell a hand edit
// from its own output and keep the edit before replacing the file.
#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>

#include "generate/GenContext.h"

namespace vbgen {

// A short, stable digest of file contents (64 bits, in hex), to tell a changed file.
std::string ContentHash(const std::string& bytes);

// The manifest ".vbgen/manifest" of one output directory: a hash per file, by path inside it.
class TManifest {
 public:
  explicit TManifest(std::filesystem::path outputDir);

  std::optional<std::string> Recorded(const std::string& path) const;
  void Record(const std::string& path, const std::string& hash) { hashes_[path] = hash; }
  // Writes the manifest (creating ".vbgen" when needed).
  void Save() const;

  // True when the file on disk differs from what the last run wrote there (or the last run
  // did not write it), that is, when replacing it could lose a person's work.
  bool HoldsHandEdit(const std::string& path, const std::string& currentBytes) const;

  const std::filesystem::path& OutputDir() const { return outputDir_; }

 private:
  std::filesystem::path outputDir_;
  std::map<std::string, std::string> hashes_;
};

// How a run would treat one file.
enum class TPlannedChange { Create, Change, ChangeHandEdit, Unchanged };

// Writes generated files into one output directory, recording each in the manifest and first
// copying a hand-edited file into ".vbgen/backup/<date-time>/", with a progress line saying so.
class TGuardedDiskSink : public TFileSink {
 public:
  TGuardedDiskSink(std::filesystem::path home, const std::string& projectName,
                   TProgressSink& progress);
  void Write(const std::string& relativePath, const std::string& bytes) override;
  // Records what was written; called at the end of a run, also one that failed halfway.
  void SaveManifest() const { manifest_.Save(); }

 private:
  std::filesystem::path BackupDir();

  std::filesystem::path home_;
  std::string prefix_;  // "projects/{projectName}/"
  TManifest manifest_;
  TProgressSink& progress_;
  std::filesystem::path backupDir_;
};

// Writes nothing: notes for each file whether a run would create, change or leave it.
class TPlanSink : public TFileSink {
 public:
  TPlanSink(std::filesystem::path home, const std::string& projectName);
  void Write(const std::string& relativePath, const std::string& bytes) override;

  struct TEntry {
    std::string path;
    TPlannedChange change;
  };
  const std::vector<TEntry>& Entries() const { return entries_; }

 private:
  std::filesystem::path home_;
  std::string prefix_;
  TManifest manifest_;
  std::vector<TEntry> entries_;
};

}  // namespace vbgen
