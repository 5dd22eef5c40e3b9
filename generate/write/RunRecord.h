// A complete run leaves a record of what its generated files were made from and what it wrote
// (".vbgen/run"). A later run of the same inputs, by the same build of the program, over files
// that still hold those bytes, would write every one of them again unchanged: it confirms the
// files against the record instead of generating them. Any difference (an edit of the model,
// another template, another build, a file changed or removed by hand) makes the run generate
// everything as it always does.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "generate/GenContext.h"
#include "generate/write/ProjectDir.h"

namespace vbgen {

struct TRecordedFile {
  std::string path;    // inside the project directory
  std::string digest;  // FileDigest of the bytes written, as the manifest keeps it
  // How the file stood when the record was made: a file that still stands so needs no reading.
  std::optional<TFileStamp> stamp;
  bool operator==(const TRecordedFile&) const = default;
};

struct TRunRecord {
  std::string inputs;                 // RunInputsFingerprint of the run (RunInputs.h)
  std::vector<std::string> problems;  // what the model check found (warnings only), in order
  std::vector<std::string> progress;  // the generators' progress lines, in order
  std::vector<TRecordedFile> files;   // the generated files, in the order written

  std::string Text() const;
  // None for a text that is not a record of this program (damaged, older, cut short).
  static std::optional<TRunRecord> Parse(const std::string& text);
  bool operator==(const TRunRecord&) const = default;
};

// A 64-bit digest of file contents (XXH3), in hex: what the manifest and the run record keep
// of a file, to tell a changed one.
std::string FileDigest(std::string_view bytes);

}  // namespace vbgen
