// vbgen-cli: the model commands and the generation over the same core as the window.
#include <unistd.h>

#include <filesystem>
#include <iostream>

#include "cli/Commands.h"
#include "model/DbHelper.h"

namespace {

constexpr const char* kUsage = R"(用法: vbgen-cli [--home DIR] 命令 ...

DIR 是程序目录 (projects.db, template, bak 与输出目录 projects 所在处), 默认为 vbgen-cli 所在目录。
PROJECT 是十进制的工程编号或工程名称。

  project list                               列出所有工程 (编号 名称)
  project add NAME                           新建工程
  project rename PROJECT NAME                修改工程名称
  project delete PROJECT                     删除工程及其所有类和成员

  class list PROJECT                         列出工程的类 (编号 类名 友好名称 是否前台显示)
  class add PROJECT NAME FRIEND [--no-front-show]
                                             添加类 (默认勾选"是否前台显示")
  class update CLASSID NAME FRIEND [--front-show|--no-front-show]
                                             修改类; 引用旧类名的成员随之改名
  class delete CLASSID                       删除类及其成员

  member list CLASSID                        列出类的成员
  member add CLASSID --name N --type T [--length L] [--pri] [--must] [--query]
             [--display] [--no-query-display] [--comment C]
                                             添加成员; 从"添加成员属性"对话框的初始状态开始
                                             (长度 20, 勾选"查询界面是否显示")
  member update MEMBERID [--name N] [--type T] [--length L] [--[no-]pri] [--[no-]must]
             [--[no-]query] [--[no-]display] [--[no-]query-display] [--comment C]
                                             修改成员; 从已保存的成员开始
  member delete MEMBERID                     删除成员
  member swap A B                            交换两个成员的位置
  member up MEMBERID | member down MEMBERID  上移 / 下移成员

  generate PROJECT [--dry-run] [--complete]  生成VB6工程到 DIR/projects/工程名/
                                             再次生成时, 手工修改过的文件先备份到
                                             .vbgen/backup/日期-时间/; --dry-run 只列出将新建、
                                             修改、不变的文件和含手工修改的文件, 不写任何文件;
                                             --complete 生成完整应用 (查询、列表、编辑、删除、
                                             导出, 全部语句使用参数)
  sql PROJECT [--complete]                   输出建表SQL语句 (UTF-8, CR LF)
                                             --complete: 完整应用的脚本 (可重复执行)
  check PROJECT                              列出妨碍生成或建表语句的所有问题 (每行一个; 无问题退出码 0)

  export PROJECT [-o FILE]                   把工程模型导出为JSON (默认输出到标准输出)
  import FILE [--name NAME]                  从JSON新建工程 (全部成功或什么都不改变)

T 是 字符串、整型、浮点型、日期型、图片型 之一, 或本工程中另一个类的类名 (引用)。
输入不符合规则时, 与窗口相同的提示写到标准错误, 退出码 1; 用法错误退出码 2。
)";

std::filesystem::path ExecutableDir(const char* argv0) {
  std::error_code error;
  std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) self = std::filesystem::absolute(argv0);
  return self.parent_path();
}

int Dispatch(vbgen::cli::TArgs& args, vbgen::cli::TCliEnv& env) {
  using namespace vbgen::cli;
  const std::string command = args.Next("命令");
  if (command == "project") return RunProjectCommand(args, env);
  if (command == "class") return RunClassCommand(args, env);
  if (command == "member") return RunMemberCommand(args, env);
  if (command == "generate") return RunGenerateCommand(args, env);
  if (command == "sql") return RunSqlCommand(args, env);
  if (command == "export") return RunExportCommand(args, env);
  if (command == "import") return RunImportCommand(args, env);
  if (command == "check") return RunCheckCommand(args, env);
  UsageError("未知的命令: " + command);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> words(argv + 1, argv + argc);
  std::filesystem::path home = ExecutableDir(argv[0]);
  if (words.size() >= 2 && words[0] == "--home") {
    home = std::filesystem::absolute(words[1]);
    words.erase(words.begin(), words.begin() + 2);
  }
  if (!words.empty() && (words[0] == "--help" || words[0] == "-h" || words[0] == "help")) {
    std::cout << kUsage;
    return 0;
  }
  vbgen::cli::TCliEnv env{vbgen::TProgramDir(home), std::cout, std::cerr};
  try {
    vbgen::TDbHelper::SetDatabasePath(env.programDir.Database());
    vbgen::cli::TArgs args(words);
    if (!args.HasMore()) {
      std::cout << kUsage;
      return 2;
    }
    return Dispatch(args, env);
  } catch (const vbgen::cli::TCliError& error) {
    std::cerr << error.what() << '\n';
    return error.status;
  } catch (const std::exception& error) {
    std::cerr << error.what() << '\n';
    return 1;
  }
}
