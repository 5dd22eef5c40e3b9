// Forms made on two threads reach the sink as if made one after another, in class order.
#include <gtest/gtest.h>

#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "generate/Gbk.h"
#include "generate/GenContext.h"
#include "generate/ModelSnapshot.h"
#include "generate/RunRecord.h"

namespace vbgen::test {
namespace {

class TLines : public TProgressSink {
 public:
  void Progress(const std::string& line) override { lines.push_back(line); }
  std::vector<std::string> lines;
};

// Notes the digest each file came with.
class TDigestSink : public TMemorySink {
 public:
  void WriteDigested(const std::string& path, std::string bytes,
                     const std::string& digest) override {
    digests.push_back(digest);
    Write(path, std::move(bytes));
  }
  std::vector<std::string> digests;
};

TModelSnapshot ClassesNamed(int count) {
  std::vector<TClassModel> classes(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    classes[static_cast<std::size_t>(i)].classId = i + 1;
    classes[static_cast<std::size_t>(i)].className = "C" + std::to_string(i);
  }
  return TModelSnapshot(1, "两线", std::move(classes));
}

TEST(FormPerClassTest, FormsAndLinesComeInClassOrderWithTheirDigests) {
  for (int count : {0, 1, 2, 7, 40}) {
    SCOPED_TRACE(count);
    const TModelSnapshot model = ClassesNamed(count);
    TDigestSink sink;
    TLines progress;
    TGenContext context{"两线", "", sink, progress};
    WriteFormPerClass(context, model, "FrmX", [](const TClassModel& entry) {
      // Uneven work, so that the two threads finish out of turn.
      if (entry.classId % 3 == 0) std::this_thread::sleep_for(std::chrono::milliseconds(2));
      return "窗体 " + entry.className + "\nEnd\n";
    });
    ASSERT_EQ(sink.order.size(), static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
      const std::string path = "projects/两线/FrmXC" + std::to_string(i) + ".frm";
      const auto at = static_cast<std::size_t>(i);
      EXPECT_EQ(sink.order[at], path);
      EXPECT_EQ(progress.lines[at], path + "生成完毕!");
      EXPECT_EQ(sink.files[path], Utf8ToGbkCrLf("窗体 C" + std::to_string(i) + "\nEnd\n"));
      EXPECT_EQ(sink.digests[at], FileDigest(sink.files[path]));
    }
  }
}

// The failure reported is that of the first class in class order, even when a later class,
// made on the other thread, failed sooner; nothing after the failing class is written.
TEST(FormPerClassTest, TheFirstFailureInClassOrderStopsTheWriting) {
  const TModelSnapshot model = ClassesNamed(9);
  TMemorySink sink;
  TLines progress;
  TGenContext context{"两线", "", sink, progress};
  try {
    WriteFormPerClass(context, model, "FrmX", [](const TClassModel& entry) -> std::string {
      if (entry.className == "C5") throw std::runtime_error("C5 failed");
      if (entry.className == "C4") {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        throw std::runtime_error("C4 failed");
      }
      return entry.className;
    });
    FAIL() << "no failure reached the caller";
  } catch (const std::runtime_error& error) {
    EXPECT_STREQ(error.what(), "C4 failed");
  }
  EXPECT_EQ(sink.order,
            (std::vector<std::string>{"projects/两线/FrmXC0.frm", "projects/两线/FrmXC1.frm",
                                      "projects/两线/FrmXC2.frm", "projects/两线/FrmXC3.frm"}));
}

}  // namespace
}  // namespace vbgen::test
