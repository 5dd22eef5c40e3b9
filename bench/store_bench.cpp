// Lists the members of a class with 10,000 members and prints the time it takes.
#include <chrono>
#include <cstdio>
#include <filesystem>

#include "model/ClassDAO.h"
#include "model/DbHelper.h"
#include "model/MemberDAO.h"
#include "model/ProjectDAO.h"

using namespace vbgen;

int main() {
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / "vbgen-store-bench";
  fs::remove_all(dir);
  fs::create_directories(dir);
  TDbHelper::SetDatabasePath(dir / "projects.db");

  const int projectId = TProjectDAO().AddProject("bench");
  const int classId = TClassDAO().AddClass(projectId, "Big", "大类", 1);
  {
    TDbTransaction transaction;  // one commit for the whole fill
    TMemberDAO dao;
    for (int i = 0; i < 10000; ++i) {
      TMember m;
      m.projectId = projectId;
      m.classId = classId;
      m.memberName = "member" + std::to_string(i);
      m.memberType = "字符串";
      m.memberLength = 50;
      m.memberComment = "成员注释" + std::to_string(i);
      dao.AddMember(m);
    }
    transaction.Commit();
  }

  using Clock = std::chrono::steady_clock;
  double best = 1e9, total = 0;
  const int runs = 20;
  std::size_t count = 0;
  for (int run = 0; run < runs; ++run) {
    auto start = Clock::now();
    count = TMemberDAO().ListMembers(classId).size();
    double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    best = std::min(best, ms);
    total += ms;
  }
  std::printf(
      "ListMembers of %zu members: best %.2f ms, mean %.2f ms over %d runs (target < 50 ms)\n",
      count, best, total / runs, runs);
  TDbHelper::Close();
  fs::remove_all(dir);
  return 0;
}
