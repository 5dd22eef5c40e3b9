#include "generate/read/ProgramHome.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <unistd.h>
#endif

#include <cstdlib>

#include "generate/write/FileOperate.h"
#include "model/DbHelper.h"
#include "model/ModelFile.h"
#include "model/Utf8Path.h"

namespace vbgen {
namespace fs = std::filesystem;

namespace {

std::optional<std::string> Environment(const char* name) {
#if defined(_WIN32)
  // The wide environment: the narrow one is in the system's code page, and a user folder may
  // have a name it cannot hold.
  const std::wstring wide(name, name + std::char_traits<char>::length(name));
  const wchar_t* value = _wgetenv(wide.c_str());
  if (value == nullptr || *value == L'\0') return std::nullopt;
  const std::u8string utf8 = fs::path(value).u8string();
  return std::string(utf8.begin(), utf8.end());
#else
  const char* value = std::getenv(name);
  if (value == nullptr || *value == '\0') return std::nullopt;
  return std::string(value);
#endif
}

// Tells the seeding files of two starts apart (a process id where there is one to read).
std::string SeedingId() {
#if defined(_WIN32)
  return std::to_string(::GetCurrentProcessId());
#else
  return std::to_string(::getpid());
#endif
}

bool HoldsShippedData(const fs::path& dir) {
  std::error_code error;
  return fs::is_directory(dir / "template", error) && fs::is_directory(dir / "bak", error);
}

}  // namespace

TUserDirs TUserDirs::FromEnvironment() {
#if defined(_WIN32)
  return {Environment("XDG_DATA_HOME"), Environment("HOME"), Environment("APPDATA")};
#else
  return {Environment("XDG_DATA_HOME"), Environment("HOME")};
#endif
}

fs::path TUserDirs::DataFolder() const {
#if defined(_WIN32)
  if (!appData || !Utf8Path(*appData).is_absolute()) {
    throw THomeError("无法确定用户数据目录: 环境变量 APPDATA 未设置; 请用 --home DIR 指定数据目录");
  }
  return Utf8Path(*appData) / "vbgen";
#else
  // The XDG base directory rules ignore a relative XDG_DATA_HOME.
  if (xdgDataHome && Utf8Path(*xdgDataHome).is_absolute()) return Utf8Path(*xdgDataHome) / "vbgen";
  if (!home || !Utf8Path(*home).is_absolute()) {
    throw THomeError("无法确定用户数据目录: 环境变量 HOME 未设置; 请用 --home DIR 指定数据目录");
  }
  return Utf8Path(*home) / ".local" / "share" / "vbgen";
#endif
}

TProgramHome LocateProgramHome(const fs::path& executableDir,
                               const std::optional<fs::path>& homeOption,
                               const TUserDirs& userDirs) {
  const std::optional<fs::path> home =
      homeOption ? std::optional<fs::path>(fs::absolute(*homeOption)) : std::nullopt;
  if (HoldsShippedData(executableDir)) {
    return {TProgramDir(home.value_or(executableDir), executableDir), false};
  }
  // Only a run needs template/ and bak/, and it looks in the home first: a missing folder is
  // named when a run asks for it, and the model can still be edited meanwhile.
  const fs::path shipped = (executableDir.parent_path() / "share" / "vbgen").lexically_normal();
  std::error_code error;
  if (!fs::is_directory(shipped, error)) {
    return {TProgramDir(home.value_or(executableDir), executableDir), false};
  }
  if (home) return {TProgramDir(*home, shipped), false};
  return {TProgramDir(userDirs.DataFolder(), shipped), true};
}

void PrepareProgramHome(const TProgramHome& home) {
  // Every new home starts with the example, as the installed program's first start does; a
  // program folder that ships no example starts with an empty model.
  std::error_code error;
  const fs::path example = home.programDir.ShippedDir() / "examples" / "library.json";
  if (home.userDataFolder || fs::exists(example, error)) {
    SeedUserDataFolder(home.programDir);
    return;
  }
  fs::create_directories(home.programDir.Home(), error);
  if (error) {
    throw THomeError("无法创建数据目录 " + home.programDir.Home().string() + ": " +
                     error.message());
  }
}

bool SeedUserDataFolder(const TProgramDir& programDir) {
  std::error_code error;
  fs::create_directories(programDir.Home(), error);
  if (error) {
    throw THomeError("无法创建用户数据目录 " + programDir.Home().string() + ": " + error.message());
  }
  const fs::path database = programDir.Database();
  if (fs::exists(fs::symlink_status(database, error))) return false;

  // The example goes into a file of its own first, which then appears as projects.db in one
  // step; a killed start leaves only that file, and the next start begins again.
  const fs::path seeding = programDir.Home() / ("projects.db.seeding-" + SeedingId());
  const fs::path previous = TDbHelper::DatabasePath();
  fs::remove(seeding, error);
  try {
    const std::string example =
        TFileOperate::ReadBytes(programDir.ShippedDir() / "examples" / "library.json");
    TDbHelper::SetDatabasePath(seeding);
    ImportProject(example, std::nullopt);
    TDbHelper::SetDatabasePath(previous);
  } catch (const std::exception& failure) {
    TDbHelper::SetDatabasePath(previous);
    fs::remove(seeding, error);
    throw THomeError("无法在 " + programDir.Home().string() + " 中建立示例模型: " + failure.what());
  }
  // A hard link never replaces a projects.db another start has made meanwhile.
  fs::create_hard_link(seeding, database, error);
  if (error && !fs::exists(database)) {
    error.clear();  // a file system without hard links
    fs::rename(seeding, database, error);
  }
  const bool seeded = !error;
  const bool raced = error && fs::exists(database);
  std::error_code ignored;
  fs::remove(seeding, ignored);
  if (!seeded && !raced) {
    throw THomeError("无法建立 " + database.string() + ": " + error.message());
  }
  return seeded;
}

}  // namespace vbgen
