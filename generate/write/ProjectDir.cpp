#include "generate/write/ProjectDir.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "generate/write/InsidePath.h"
#include "model/Utf8Path.h"

namespace vbgen {
namespace fs = std::filesystem;

std::string InsideParent(const std::string& inside) {
  const std::size_t slash = inside.rfind('/');
  return slash == std::string::npos ? std::string() : inside.substr(0, slash);
}

std::string InsideLastPart(const std::string& inside) {
  const std::size_t slash = inside.rfind('/');
  return slash == std::string::npos ? inside : inside.substr(slash + 1);
}

std::optional<std::string> WindowsNameProblem(std::string_view part) {
  for (const char c : part) {
    if (static_cast<unsigned char>(c) < 0x20 ||
        std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos) {
      return "含有Windows不允许的字符";
    }
  }
  if (!part.empty() && (part.back() == '.' || part.back() == ' ')) {
    return "以点或空格结尾(Windows会去掉它们)";
  }
  // The device is named by what stands before the first dot, blanks before it ignored.
  std::string base(part.substr(0, part.find('.')));
  while (!base.empty() && base.back() == ' ') base.pop_back();
  std::transform(base.begin(), base.end(), base.begin(), [](char c) {
    return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  });
  static constexpr std::array<std::string_view, 4> kDevices = {"CON", "PRN", "AUX", "NUL"};
  const bool numbered = base.size() == 4 && (base.starts_with("COM") || base.starts_with("LPT")) &&
                        base[3] >= '1' && base[3] <= '9';
  if (numbered || std::find(kDevices.begin(), kDevices.end(), base) != kDevices.end()) {
    return "是Windows的设备名";
  }
  return std::nullopt;
}

bool IsPlainInsidePath(const std::string& inside) {
  if (inside.empty() || inside.find('\0') != std::string::npos) return false;
  std::size_t start = 0;
  while (start <= inside.size()) {
    std::size_t end = inside.find('/', start);
    if (end == std::string::npos) end = inside.size();
    const std::string part = inside.substr(start, end - start);
    if (part.empty() || part == "." || part == "..") return false;
#if defined(_WIN32)
    if (WindowsNameProblem(part)) return false;
#endif
    start = end + 1;
  }
  return true;
}

bool IsLeftoverName(const std::string& name) {
  constexpr std::string_view head = ".~", tail = ".tmp";
  if (name.size() < head.size() + tail.size() + 3) return false;
  if (name.compare(0, head.size(), head) != 0) return false;
  if (name.compare(name.size() - tail.size(), tail.size(), tail) != 0) return false;
  const std::string middle = name.substr(head.size(), name.size() - head.size() - tail.size());
  const std::size_t dot = middle.rfind('.');
  if (dot == std::string::npos || dot == 0 || dot + 1 == middle.size()) return false;
  return middle.find_first_not_of("0123456789", dot + 1) == std::string::npos;
}

// ".~{projectName}.{n}.tmp": the folder a run builds that project's directory in.
bool IsBuildFolderOf(const std::string& name, const std::string& projectName) {
  if (!IsLeftoverName(name)) return false;
  const std::string middle = name.substr(2, name.size() - 6);
  return middle.substr(0, middle.rfind('.')) == projectName;
}

TProjectDir::TProjectDir(fs::path home, const std::string& projectName)
    : home_(std::move(home)), prefix_("projects/" + projectName + "/") {
#if defined(_WIN32)
  if (const std::optional<std::string> problem = WindowsNameProblem(projectName)) {
    throw TOutsideProjectError("工程名称\"" + projectName + "\"" + *problem +
                               ", 不能作为Windows的文件夹名称!");
  }
#endif
  if (projectName.empty() || projectName.find('/') != std::string::npos ||
      !IsPlainInsidePath(projectName)) {
    throw TOutsideProjectError("工程名称\"" + projectName +
                               "\"不是一个普通的文件夹名称，拒绝在工程目录以外写入文件!");
  }
  root_ = home_ / "projects" / Utf8Path(projectName);
  work_ = root_;
}

void TProjectDir::NoteCreated(const std::string& insideDir) {
  created_.insert(insideDir);
  absent_.clear();
}

int TProjectDir::DirFd(const std::string& insideDir, bool create) {
  if (auto found = dirFds_.find(insideDir); found != dirFds_.end()) return found->second;
  if (!create && absent_.count(insideDir)) return -1;
  const int fd = OpenDir(insideDir, create);
  if (fd < 0) {
    absent_.insert(insideDir);
    return -1;
  }
  dirFds_.emplace(insideDir, fd);
  return fd;
}

void TProjectDir::RemoveAbandonedBuilds() {
  const fs::path projects = root_.parent_path();
  std::error_code error;
  std::vector<fs::path> abandoned;
  for (fs::directory_iterator entry(projects, error), end; !error && entry != end;
       entry.increment(error)) {
    if (IsBuildFolderOf(entry->path().filename().string(), root_.filename().string()) &&
        entry->is_directory(error) && !entry->is_symlink(error)) {
      abandoned.push_back(entry->path());
    }
  }
  for (const fs::path& folder : abandoned) fs::remove_all(folder, error);  // links not followed
}

bool TProjectDir::BuildNew() { return DirFd("", true) >= 0 && building_; }

void TProjectDir::EndBuilding() const {
  if (!building_) return;
  if (dropBuild_) {
    std::error_code error;
    fs::remove_all(work_, error);  // links not followed; what is left, the next run removes
    if (madeProjects_) fs::remove(work_.parent_path(), error);  // only when it is empty
    return;
  }
  // Reached only when the run stopped on a failure it reports: what was written stays, as in
  // a directory that existed. Should the name be taken meanwhile, the next run removes it.
  TakeName();
}

void TProjectDir::RequirePlain(const std::string& inside) const {
  if (!IsPlainInsidePath(inside)) {
    throw TOutsideProjectError("拒绝写到工程目录以外: " + prefix_ + inside);
  }
}

// The folders on the way are checked as they are opened, a link in the file's place as it is
// opened (O_NOFOLLOW): no extra look-up per file.
std::optional<std::string> TProjectDir::Read(const std::string& inside) {
  std::string bytes;
  if (!ReadInto(inside, bytes)) return std::nullopt;
  return bytes;
}

bool TProjectDir::Write(const std::string& inside, const std::string& bytes,
                        const std::optional<std::string>& existingBytes) {
  // The rename replaces a link in the file's place instead of following it.
  RequirePlain(inside);
  const std::string parent = InsideParent(inside);
  RemoveLeftoversOnce(parent);
  if (existingBytes && *existingBytes == bytes) return false;
  const int dirFd = DirFd(parent, true);
  const bool inPlace =
      !existingBytes && (building_ ? WriteInBuilding(dirFd, inside, InsideLastPart(inside), bytes)
                                   : WriteUnnamed(dirFd, inside, InsideLastPart(inside), bytes));
  if (!inPlace) {
    WriteWhole(dirFd, inside, InsideLastPart(inside), bytes);
  }
  if (created_.count(parent)) writtenInCreated_.insert(inside);
  return true;
}

std::optional<int> TProjectDir::FolderOfExistingFile(const std::string& inside) {
  RequirePlain(inside);
  // A folder this writer made holds only what it wrote there.
  if (created_.count(InsideParent(inside)) && !writtenInCreated_.count(inside)) return std::nullopt;
  const int dirFd = DirFd(InsideParent(inside), false);
  if (dirFd < 0) return std::nullopt;
  return dirFd;
}

void TProjectDir::RemoveLeftoversOnce(const std::string& insideDir) {
  // A folder this writer made holds no leftovers of another.
  if (cleaned_.insert(insideDir).second && !created_.count(insideDir)) {
    RemoveLeftovers(insideDir, false);
  }
}

void TProjectDir::MakeDirectories(const std::string& inside) {
  RequirePlain(inside);
  DirFd(inside, true);
}

}  // namespace vbgen
