#include <gtest/gtest.h>

#include "TestModel.h"

namespace vbgen::test {

using DbHelperTest = ModelTest;

TEST_F(DbHelperTest, QueryIntAndStringOnNoRows) {
  TDbHelper db;
  EXPECT_EQ(db.QueryInt("select projectId from t_project where projectId=?", {std::int64_t{5}}),
            -1);
  EXPECT_EQ(db.QueryInt("select count(*) from t_project"), 0);
  EXPECT_EQ(db.QueryString("select projectName from t_project"), "");
}

}  // namespace vbgen::test
