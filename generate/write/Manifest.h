// What the last run wrote into an output directory, so that the next run can tell a hand edit
// from its own output and keep the edit before replacing the file.
#pragma once

#include <map>
#include <optional>
#include <string>

#include "generate/write/ProjectDir.h"

namespace vbgen {

// Where a project directory keeps what vbgen knows of it, inside the directory.
inline constexpr const char* kStateDir = ".vbgen";
inline constexpr const char* kManifestFile = ".vbgen/manifest";
inline constexpr const char* kRunRecordFile = ".vbgen/run";

// The path inside the output directory of "projects/{projectName}/{path}"; throws
// TOutsideProjectError for a path that is not inside it.
std::string InsideProject(const std::string& relativePath, const std::string& prefix);

// The manifest ".vbgen/manifest" of one output directory: a FileDigest per file, by path
// inside it.
class TManifest {
 public:
  // Reads the manifest of the directory; a directory without one has recorded nothing.
  explicit TManifest(TProjectDir& dir);

  std::optional<std::string> Recorded(const std::string& path) const;
  // Every path recorded, in path order.
  const std::map<std::string, std::string>& Digests() const { return digests_; }
  void Record(const std::string& path, const std::string& digest);
  // Writes the manifest (creating ".vbgen" when needed), unless it holds what is on disk.
  void Save();

  // True when the file on disk differs from what the last run wrote there (or the last run
  // did not write it), that is, when replacing it could lose a person's work.
  bool HoldsHandEdit(const std::string& path, const std::string& currentBytes) const;

 private:
  std::string Text() const;

  TProjectDir& dir_;
  std::map<std::string, std::string> digests_;
  std::optional<std::string> onDisk_;
  bool changed_ = false;  // since it was read
};

}  // namespace vbgen
