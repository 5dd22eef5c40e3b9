// What a generator needs from the run: where it writes, whom it tells, which project it builds.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "generate/read/Templates.h"
#include "model/Utf8Path.h"

namespace vbgen {

// Receives each generated file. The program writes to disk; tests keep the files in memory.
class TFileSink {
 public:
  virtual ~TFileSink() = default;
  // relativePath is "projects/{projectName}/{fileName}" (UTF-8); bytes go out exactly. Taken
  // by value: a sink that keeps or hands on the bytes moves them.
  virtual void Write(const std::string& relativePath, std::string bytes) = 0;
};

// Receives the progress lines of a run, one call per line (UTF-8).
class TProgressSink {
 public:
  virtual ~TProgressSink() = default;
  virtual void Progress(const std::string& line) = 0;
};

// The program directory and what lives in it. The home holds the model and the output; the
// shipped data (template, bak, guide, images, examples) is read from the shipped directory,
// but a template or bak folder the user has put into the home wins.
class TProgramDir {
 public:
  explicit TProgramDir(std::filesystem::path home) : home_(home), shipped_(std::move(home)) {}
  TProgramDir(std::filesystem::path home, std::filesystem::path shipped)
      : home_(std::move(home)), shipped_(std::move(shipped)) {}

  const std::filesystem::path& Home() const { return home_; }
  const std::filesystem::path& ShippedDir() const { return shipped_; }
  std::filesystem::path Database() const { return home_ / "projects.db"; }
  std::filesystem::path TemplateDir() const { return OwnOrShipped("template"); }
  std::filesystem::path BakDir() const { return OwnOrShipped("bak"); }
  std::filesystem::path OutputDir(const std::string& projectName) const {
    return home_ / "projects" / Utf8Path(projectName);
  }

 private:
  std::filesystem::path OwnOrShipped(const char* folder) const {
    std::error_code error;
    const std::filesystem::path own = home_ / folder;
    return std::filesystem::is_directory(own, error) ? own : shipped_ / folder;
  }

  std::filesystem::path home_;
  std::filesystem::path shipped_;
};

// Keeps every file in memory by relative path, and the order in which they were written.
class TMemorySink : public TFileSink {
 public:
  void Write(const std::string& relativePath, std::string bytes) override {
    files[relativePath] = std::move(bytes);
    order.push_back(relativePath);
  }
  std::map<std::string, std::string> files;
  std::vector<std::string> order;
};

// What a user chose for a run. Nothing chosen is the project the program has always written.
struct TRunOptions {
  // The complete application: manage forms that search, list, edit, delete and export;
  // every statement parameterised; Long keys; Option Explicit in every form.
  bool complete = false;
};

// Where the files of the project being generated go, fixed when the run starts. What goes into
// them comes from the run's model snapshot (ModelSnapshot.h).
struct TGenContext {
  std::string projectName;
  TTemplates templates;
  TFileSink& sink;
  TProgressSink& progress;

  // "projects/{projectName}/{fileName}"
  std::string OutputPath(const std::string& fileName) const {
    return "projects/" + projectName + "/" + fileName;
  }
};

// Writes one generated form: UTF-8 text with LF line ends becomes GBK with CR LF, goes to the
// sink, and the progress line "{path}生成完毕!" follows.
void WriteGeneratedForm(TGenContext& context, const std::string& fileName,
                        const std::string& utf8Text);

}  // namespace vbgen
