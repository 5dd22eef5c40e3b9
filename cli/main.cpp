// vbgen-cli: the model commands and the generation over the same core as the window.
#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#endif

#include <cstdio>
#include <filesystem>
#include <iostream>

#include "cli/Commands.h"
#include "cli/ErrorText.h"
#include "cli/GlobalOptions.h"
#include "generate/read/ProgramHome.h"
#include "model/DbHelper.h"

namespace {

using namespace vbgen::cli;

constexpr const char* kUsageHead = R"(用法: vbgen-cli [--home DIR] 命令 ...
      vbgen-cli 命令 --help        该命令的用法
      vbgen-cli --version          版本

DIR 是数据目录 (projects.db 与输出目录 projects 所在处; 也可放入自己的 template 与 bak)。
默认: 程序目录含 template 与 bak 时 (如构建目录 build/bin) 就是程序目录; 安装的程序用
$XDG_DATA_HOME/vbgen (通常是 ~/.local/share/vbgen)。没有 projects.db 的数据目录 (包括新的
--home DIR) 首次使用时放入示例工程。生成时先用 DIR 中的 template 与 bak, 没有时用程序自带的;
只有 generate 需要它们。
--home DIR 或 --home=DIR 可以写在任何位置。
PROJECT 是十进制的工程编号或工程名称; --id N 只指编号, =NAME 只指名称 (如 =1 是名为 1 的工程)。
一个词既是某个工程的编号、又是另一个工程的名称时, 命令拒绝执行, 请改用 --id N 或 =NAME。
CLASS 是类编号 (也可写 --id N), 或工程和类名两个词 (如 书店 Book)。
添加工程、类、成员和导入时, 新的编号单独一行写到标准输出。确认提示 (如 删除成功!、
已导出到 …) 一律写到标准错误; 标准输出只有数据: 编号、列表、脚本、模型和 generate 的进度行。
)";

constexpr const char* kUsageTail = R"(
T 是 字符串、整型、浮点型、日期型、图片型 之一, 或本工程中另一个类的类名 (引用)。
输入不符合规则时, 与窗口相同的提示写到标准错误, 退出码 1; 用法错误退出码 2。
)";

constexpr const char* kProjectHelp =
    R"(  project list [--json]                      列出所有工程 (编号 名称)
  project add NAME                           新建工程, 输出新工程的编号
  project rename PROJECT NAME                修改工程名称
  project delete PROJECT                     删除工程及其所有类和成员; 已生成的
                                             DIR/projects/工程名/ 不删除 (提示其位置)
)";

constexpr const char* kClassHelp =
    R"(  class list PROJECT [--json]                列出工程的类 (编号 类名 友好名称 是否前台显示)
  class add PROJECT NAME FRIEND [--no-front-show]
                                             添加类 (默认勾选"是否前台显示"), 输出新类的编号
  class update CLASS NAME FRIEND [--front-show|--no-front-show]
                                             修改类; 引用旧类名的成员随之改名
  class delete CLASS                         删除类及其成员
)";

constexpr const char* kMemberHelp = R"(  member list CLASS [--json]                 列出类的成员
  member add CLASS --name N --type T [--length L] [--pri] [--must] [--query]
             [--display] [--no-query-display] [--comment C] [--allow-null] [--key-entered]
             [--sql-type T] [--precision P] [--scale S]
                                             添加成员, 输出新成员的编号; 从"添加成员属性"
                                             对话框的初始状态开始 (长度 20, 勾选"查询界面是否显示")
             对话框中的对应项: --name 成员名称, --type 成员类型, --length 长度,
             --comment 成员注释; 勾选框: --pri 是否主键, --must 是否必填,
             --query 是否参与查询, --display 下拉框显示字段, --query-display 查询界面是否显示
             (如 --no-pri 取消勾选)。不符合规则时, 提示之后的括号中是改正它的选项,
             如: 浮点型必须勾选是否必填标志! (--must)
             完整应用 (--complete) 另用: --allow-null 允许为空 (空的输入存为NULL),
             --key-entered 整型主键由用户输入 (不用IDENTITY), --sql-type T 声明的SQL类型
             (字符串: nvarchar nchar char; 整型: bit tinyint smallint; 浮点型: decimal
             numeric money smallmoney; "" 为默认), --precision P --scale S (decimal, numeric)
  member update MEMBERID [--name N] [--type T] [--length L] [--[no-]pri] [--[no-]must]
             [--[no-]query] [--[no-]display] [--[no-]query-display] [--comment C]
             [--[no-]allow-null] [--[no-]key-entered] [--sql-type T] [--precision P] [--scale S]
                                             修改成员; 从已保存的成员开始
  member delete MEMBERID                     删除成员
  member swap A B                            交换两个成员的位置
  member up MEMBERID | member down MEMBERID  上移 / 下移成员
)";

constexpr const char* kGenerateHelp =
    R"(  generate PROJECT [--dry-run [--json]] [--complete]
                                             生成VB6工程到 DIR/projects/工程名/
                                             再次生成时, 手工修改过的文件先备份到
                                             .vbgen/backup/日期-时间/; --dry-run 只列出将新建、
                                             修改、不变的文件和含手工修改的文件, 以及原样
                                             保留的文件 (已有的支持文件、类改名后留下的旧窗体),
                                             不写任何文件;
                                             --complete 生成完整应用 (查询、列表、编辑、删除、
                                             导出, 全部语句使用参数)
)";

constexpr const char* kSqlHelp =
    R"(  sql PROJECT [--complete [--app-tables-only]]
                                             输出建表SQL语句 (UTF-8, CR LF)
                                             --complete: 完整应用的脚本 (可重复执行, 删除并
                                             重建各表);
                                             --app-tables-only: 只建完整应用自己的操作员表
                                             admin 和第一个操作员, 不删除任何东西, 用于已有的
                                             数据库; 第一个操作员的密码用 sqlcmd 变量
                                             AdminPassword 给出, 或在首次登录时设定;
                                             模型有错误 (见 check) 时与 generate 一样拒绝,
                                             错误写到标准错误, 退出码 1
)";

constexpr const char* kCheckHelp =
    R"(  check PROJECT [--json] [--complete]        列出模型的所有错误和警告 (每行一个); 有错误时退出码 1,
                                             只有警告时退出码 0; --json 以JSON列出;
                                             --complete 按完整应用检查 (generate --complete 生成的代码)
)";

constexpr const char* kExportHelp =
    R"(  export PROJECT [-o FILE]                   把工程模型导出为JSON (默认输出到标准输出)
)";

constexpr const char* kImportSqlHelp =
    R"(  import-sql FILE [--name NAME]              从SQL Server建表脚本新建工程 (默认名称为文件名), 输出新工程的编号;
                                             未能导入的表和列逐行写到标准错误
)";

constexpr const char* kImportHelp =
    R"(  import FILE [--name NAME]                  从JSON新建工程 (全部成功或什么都不改变), 输出新工程的编号
)";

// Every command: a new one plugs in with its line here.
constexpr TCommand kCommands[] = {
    {"project", RunProjectCommand, kProjectHelp},
    {"class", RunClassCommand, kClassHelp},
    {"member", RunMemberCommand, kMemberHelp},
    {"generate", RunGenerateCommand, kGenerateHelp},
    {"sql", RunSqlCommand, kSqlHelp},
    {"check", RunCheckCommand, kCheckHelp},
    {"export", RunExportCommand, kExportHelp},
    {"import", RunImportCommand, kImportHelp},
    {"import-sql", RunImportSqlCommand, kImportSqlHelp},
};

const TCommand* FindCommand(const std::string& name) {
  for (const TCommand& command : kCommands) {
    if (name == command.name) return &command;
  }
  return nullptr;
}

void PrintUsage(std::ostream& out) {
  out << kUsageHead << '\n';
  for (const TCommand& command : kCommands) out << command.help << '\n';
  out << kUsageTail;
}

// "help", "--help" alone, "help COMMAND" and "COMMAND ... --help".
int PrintHelp(const std::vector<std::string>& words) {
  std::size_t first = !words.empty() && words[0] == "help" ? 1 : 0;
  if (words.size() <= first) {
    PrintUsage(std::cout);
    return 0;
  }
  const TCommand* command = FindCommand(words[first]);
  if (!command) UsageError("未知的命令: " + words[first]);
  std::cout << "用法: vbgen-cli [--home DIR] " << command->name << " ...\n\n"
            << command->help << kUsageTail;
  return 0;
}

std::filesystem::path ExecutableDir(const char* argv0) {
#if defined(_WIN32)
  (void)argv0;
  std::wstring self(MAX_PATH, L'\0');
  for (;;) {
    const DWORD size = ::GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size()));
    if (size < self.size()) {
      self.resize(size);
      break;
    }
    self.resize(self.size() * 2);
  }
  return std::filesystem::path(self).parent_path();
#else
  std::error_code error;
  std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) self = std::filesystem::absolute(argv0);
  return self.parent_path();
#endif
}

// The words of the command line in UTF-8. Windows hands main() its words in the system's code
// page, which loses every Chinese character outside it; the wide command line keeps them.
std::vector<std::string> Arguments(int argc, char** argv) {
#if defined(_WIN32)
  (void)argc;
  (void)argv;
  int count = 0;
  wchar_t** words = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  std::vector<std::string> arguments;
  for (int i = 1; words != nullptr && i < count; ++i) {
    const std::u8string utf8 = std::filesystem::path(words[i]).u8string();
    arguments.emplace_back(utf8.begin(), utf8.end());
  }
  ::LocalFree(words);
  return arguments;
#else
  return std::vector<std::string>(argv + 1, argv + argc);
#endif
}

// A Windows console shows what is written as UTF-8 only when told so; and stdout and stderr
// are binary, so that a script's CR LF and every printed byte go out as they are made (the
// text mode would write CR CR LF).
void PrepareConsole() {
#if defined(_WIN32)
  ::SetConsoleOutputCP(CP_UTF8);
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
#endif
}

int Run(const std::vector<std::string>& arguments, const char* argv0) {
  TGlobalOptions options = TakeGlobalOptions(arguments);
  if (options.version) {
    std::cout << "vbgen-cli " << VBGEN_VERSION << '\n';
    return 0;
  }
  if (options.help || (!options.words.empty() && options.words[0] == "help")) {
    return PrintHelp(options.words);
  }
  if (options.words.empty()) {
    PrintUsage(std::cerr);
    return 2;
  }
  const TCommand* command = FindCommand(options.words[0]);
  if (!command) UsageError("未知的命令: " + options.words[0]);

  const vbgen::TProgramHome home = vbgen::LocateProgramHome(ExecutableDir(argv0), options.home,
                                                            vbgen::TUserDirs::FromEnvironment());
  vbgen::PrepareProgramHome(home);
  TCliEnv env{home.programDir, std::cout, std::cerr};
  vbgen::TDbHelper::SetDatabasePath(env.programDir.Database());
  TArgs args(std::vector<std::string>(options.words.begin() + 1, options.words.end()));
  return command->run(args, env);
}

}  // namespace

int main(int argc, char** argv) {
  try {
    PrepareConsole();
    return Run(Arguments(argc, argv), argv[0]);
  } catch (const TCliError& error) {
    std::cerr << InChinese(error.what()) << '\n';
    return error.status;
  } catch (const std::exception& error) {
    std::cerr << InChinese(error.what()) << '\n';
    return 1;
  }
}
