// A throw-away model database for tests, and short ways to fill it.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "generate/read/ModelSnapshot.h"
#include "model/ClassDAO.h"
#include "model/DbHelper.h"
#include "model/MemberDAO.h"
#include "model/ProjectDAO.h"
#include "tests/common/TempDir.h"

namespace vbgen::test {

// Each test gets its own empty projects.db in a temporary directory.
class ModelTest : public ::testing::Test {
 protected:
  void SetUp() override { TDbHelper::SetDatabasePath(dir_.path() / "projects.db"); }
  void TearDown() override { TDbHelper::Close(); }

  int AddProject(const std::string& name) { return TProjectDAO().AddProject(name); }
  int AddClass(int projectId, const std::string& name, const std::string& friendName,
               int frontShowFlag = 1) {
    return TClassDAO().AddClass(projectId, name, friendName, frontShowFlag);
  }
  // A member as the dialogs would store it: the flags follow the type.
  int AddMember(int projectId, int classId, const std::string& name, const std::string& type,
                const std::string& comment, int length = 0, bool pri = false, bool display = false,
                bool query = false, bool must = true, bool queryDisplay = true) {
    TMember m;
    m.projectId = projectId;
    m.classId = classId;
    m.memberName = name;
    m.memberType = type;
    m.memberLength = type == kTypeString ? length : 0;
    m.memberIsPri = pri;
    m.memberComment = comment;
    m.memberIsMust = must;
    m.memberIsInteger = type == kTypeInteger;
    m.memberIsFloat = type == kTypeFloat;
    m.queryFlag = query;
    m.memberIsDisplay = display;
    m.memberQueryDisplay = queryDisplay;
    return TMemberDAO().AddMember(m);
  }

  // The project's model as a run reads it.
  TModelSnapshot Snapshot(int projectId) {
    std::optional<TModelSnapshot> model = ReadModelSnapshot(projectId);
    EXPECT_TRUE(model.has_value()) << "no project " << projectId;
    return model ? *model : TModelSnapshot(projectId, {}, {});
  }
  // The same with only the listed classes, in the order listed (a class no longer in the
  // model is left out).
  TModelSnapshot Snapshot(int projectId, const TNamedIdList& classList) {
    const TModelSnapshot whole = Snapshot(projectId);
    std::vector<TClassModel> picked;
    for (const TNamedId& entry : classList) {
      for (const TClassModel& model : whole.Classes()) {
        if (model.classId == entry.id) picked.push_back(model);
      }
    }
    return TModelSnapshot(projectId, whole.ProjectName(), std::move(picked));
  }

  const std::filesystem::path& TempPath() const { return dir_.path(); }

 private:
  TTempDir dir_;
};

}  // namespace vbgen::test
