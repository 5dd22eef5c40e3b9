// The shipped example project, generated plain and as the complete application, file for file
// against golden files: the project-level files and the complete forms change only on purpose.
#include <gtest/gtest.h>

#include "Golden.h"
#include "RunSupport.h"
#include "generate/AutoCode.h"

namespace vbgen::test {
namespace {

class ExampleGoldenTest : public RunHomeTest {
 protected:
  TMemorySink Generate(bool complete) {
    TMemorySink sink;
    TRecorder recorder;
    TAutoCode run(Example(complete ? "完整" : "馆"), "tavorin", TProgramDir(home), recorder);
    run.SetSink(&sink);
    run.SetOptions(TRunOptions{complete});
    run.Execute();
    EXPECT_EQ(recorder.events, (std::vector<std::string>{"done"}));
    return sink;
  }
};

TEST_F(ExampleGoldenTest, PlainProjectFiles) {
  const TMemorySink sink = Generate(false);
  for (const char* name : {"MainForm.frm", "vb信息管理系统.vbp"}) {
    const auto file = sink.files.find(std::string("projects/馆/") + name);
    ASSERT_NE(file, sink.files.end()) << name;
    EXPECT_TRUE(MatchesGolden(file->second, std::string("example/") + name));
  }
}

TEST_F(ExampleGoldenTest, CompleteApplication) {
  const TMemorySink sink = Generate(true);
  std::size_t forms = 0;
  for (const auto& [path, bytes] : sink.files) {
    const std::string name = path.substr(std::string("projects/完整/").size());
    const bool generated = name == "MainForm.frm" || name == "vb信息管理系统.vbp" ||
                           name == "frmczql.frm" || name == "frmLogin.frm" ||
                           name == "frmCzry.frm" || name == "ModPassword.bas" ||
                           name.rfind("FrmAdd", 0) == 0 || name.rfind("FrmEdit", 0) == 0 ||
                           name.rfind("FrmManage", 0) == 0;
    if (!generated || name.ends_with(".frx")) continue;
    ++forms;
    EXPECT_TRUE(MatchesGolden(bytes, "example-complete/" + name));
  }
  // Main form, project file, the operators' three forms and the password module; three per class.
  EXPECT_EQ(forms, 6u + 3u * 3u);
}

}  // namespace
}  // namespace vbgen::test
