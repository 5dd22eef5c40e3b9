// What the suites that run whole generations share: a listener that keeps what a run says, and
// a program directory of the test's own holding the shipped template and bak folders.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "TestModel.h"
#include "TestSupport.h"
#include "generate/AutoCode.h"
#include "model/ModelFile.h"
#include "model/Utf8Path.h"

namespace vbgen::test {

// Records everything a run tells its caller, in order.
class TRecorder : public TRunListener {
 public:
  void Progress(const std::string& line) override { lines.push_back(line); }
  void KeyCheckFailed(const TNamedId& failed) override {
    events.push_back("key " + std::to_string(failed.id));
    failedNames.push_back(failed.name);
  }
  void DisplayCheckFailed(const TNamedId& failed) override {
    events.push_back("display " + std::to_string(failed.id));
    failedNames.push_back(failed.name);
  }
  void GenerationDone() override { events.push_back("done"); }
  void RunFailed(const std::string& message) override { events.push_back("failed " + message); }
  void ModelProblemsFound(const std::vector<std::string>& found) override {
    problems = found;
    eventsBeforeProblems = events.size();
  }

  std::vector<std::string> lines, events, failedNames, problems;
  std::size_t eventsBeforeProblems = 0;
};

// A model database and a home beside it with the shipped template and bak folders.
class RunHomeTest : public ModelTest {
 protected:
  void SetUp() override {
    ModelTest::SetUp();
    home = TempPath() / "home";
    std::filesystem::create_directories(home);
    for (const char* folder : {"template", "bak"}) {
      std::filesystem::copy(SourceDir() / "data" / folder, home / folder,
                            std::filesystem::copy_options::recursive);
    }
  }
  // The shipped example project, stored under the name given.
  int Example(const std::string& name = "馆") {
    return ImportProject(TFileOperate::ReadBytes(SourceDir() / "data/examples/library.json"), name);
  }
  std::filesystem::path Output() const { return home / "projects" / Utf8Path("馆"); }

  std::filesystem::path home;
};

}  // namespace vbgen::test
