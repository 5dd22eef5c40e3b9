// The template folder of a run, read once: the project assembly builds from these bytes, and the
// run's fingerprint covers exactly them, so a template changed while a run is under way cannot
// give output that does not match its record.
#pragma once

#include <filesystem>
#include <map>
#include <string>

namespace vbgen {

class TTemplates {
 public:
  TTemplates() = default;
  // Reads every regular file of the folder; a folder that does not exist holds none. Throws
  // TFileError when a file or the folder cannot be read. Not explicit: a generator's context is
  // made from the folder it is given.
  TTemplates(const std::filesystem::path& folder);  // NOLINT(google-explicit-constructor)

  // By file name, in name order.
  const std::map<std::string, std::string>& Files() const { return files_; }
  // The file's lines, each followed by CR LF (as TFileOperate::ReadTextFile reads them); empty
  // for a file the folder does not hold.
  std::string Text(const std::string& name) const;
  // The file's bytes; throws TFileError naming it when the folder does not hold it.
  const std::string& Bytes(const std::string& name) const;

 private:
  std::filesystem::path folder_;
  std::map<std::string, std::string> files_;
};

}  // namespace vbgen
