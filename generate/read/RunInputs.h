// Everything a generation run depends on, read once on the run's thread before anything is
// checked or written: the model, the template bytes, the listing of the support folder, the
// user's options and the build of the program. The later stages are functions of this value,
// and a run's fingerprint covers exactly it.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "generate/GenContext.h"
#include "generate/read/ModelSnapshot.h"
#include "generate/read/Templates.h"
#include "generate/write/FileOperate.h"

namespace vbgen {

struct TRunInputs {
  TModelSnapshot model;
  TTemplates templates;
  std::filesystem::path supportDir;    // bak: its files are copied as they are
  TFileOperate::TTreeListing support;  // what bak held when the run began
  TRunOptions options;
  std::string buildId;
};

// The build of the running program: a digest of the sources of its model store and generators,
// made when it was built. Runs of another build never trust each other's records.
const std::string& ProgramBuildId();

// What a run may begin with while the members are still being read: the templates, and the
// project's name and class names as the same read found them.
using TInputsBegun = std::function<void(const TTemplates& templates, const std::string& projectName,
                                        const std::vector<std::string>& classNames)>;

// None when the project does not exist. Throws TFileError when a template cannot be read.
std::optional<TRunInputs> ReadRunInputs(int projectId, const TProgramDir& programDir,
                                        const TRunOptions& options,
                                        const TInputsBegun& begun = nullptr);

// A 128-bit digest (in hex) of every part of the inputs; equal inputs give equal fingerprints,
// and text moved from one field to the next gives another.
std::string RunInputsFingerprint(const TRunInputs& inputs);

}  // namespace vbgen
