// The project directory on POSIX systems: every folder is held open and every name is opened
// relative to its folder (openat), so a link swapped in during the run is never followed.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "generate/write/InsidePath.h"
#include "generate/write/ProjectDir.h"

namespace vbgen {
namespace fs = std::filesystem;

namespace {

constexpr int kDirFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;

}  // namespace

TProjectDir::~TProjectDir() {
  for (auto& [inside, fd] : dirFds_) ::close(fd);
  EndBuilding();
}

bool TProjectDir::Exists() const {
  struct stat info;
  return ::stat(root_.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

void TProjectDir::Fail(const std::string& what, const std::string& inside, int error) const {
  throw TFileError(what + " " + prefix_ + inside + ": " + std::strerror(error));
}

// A link inside the directory is followed only when where it leads is inside too.
void TProjectDir::CheckLink(const std::string& inside) {
  char resolved[PATH_MAX];
  if (!::realpath((work_ / inside).c_str(), resolved)) {
    throw TOutsideProjectError("拒绝跟随无法解析的符号链接: " + prefix_ + inside);
  }
  const std::string target = resolved;
  if (target != canonicalRoot_ && target.rfind(canonicalRoot_ + "/", 0) != 0) {
    throw TOutsideProjectError("拒绝写到工程目录以外: " + prefix_ + inside + " 指向 " + target);
  }
}

int TProjectDir::OpenChild(int parentFd, const std::string& parentInside, const std::string& name,
                           bool create) {
  const std::string inside = parentInside.empty() ? name : parentInside + "/" + name;
  for (int attempt = 0; attempt < 2; ++attempt) {
    int fd = ::openat(parentFd, name.c_str(), kDirFlags | O_NOFOLLOW);
    if (fd >= 0) return fd;
    const int error = errno;
    if (error == ENOENT) {
      if (!create) return -1;
      if (::mkdirat(parentFd, name.c_str(), 0777) == 0) {
        NoteCreated(inside);
      } else if (errno != EEXIST) {
        Fail("无法创建目录", inside, errno);
      }
      continue;
    }
    struct stat info;
    if (::fstatat(parentFd, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
        S_ISLNK(info.st_mode)) {
      CheckLink(inside);
      fd = ::openat(parentFd, name.c_str(), kDirFlags);
      if (fd >= 0) return fd;
    }
    Fail("无法打开目录", inside, error == ELOOP ? ENOTDIR : error);
  }
  Fail("无法创建目录", inside, ENOENT);
}

int TProjectDir::OpenDir(const std::string& insideDir, bool create) {
  int fd;
  if (insideDir.empty()) {
    if (create && (fd = StartBuilding()) >= 0) return fd;
    if (create) {
      std::error_code error;
      if (fs::create_directories(root_, error)) NoteCreated("");
      if (error) {
        throw TFileError("无法创建目录 " + root_.string() + ": " + error.message());
      }
    }
    fd = ::open(root_.c_str(), kDirFlags);
    if (fd < 0) {
      if (errno == ENOENT && !create) return -1;
      throw TFileError("无法打开目录 " + root_.string() + ": " + std::strerror(errno));
    }
    char resolved[PATH_MAX];
    if (!::realpath(root_.c_str(), resolved)) {
      ::close(fd);
      throw TFileError("无法打开目录 " + root_.string() + ": " + std::strerror(errno));
    }
    canonicalRoot_ = resolved;
  } else {
    const std::string parent = InsideParent(insideDir);
    const int parentFd = DirFd(parent, create);
    if (parentFd < 0) return -1;
    fd = OpenChild(parentFd, parent, InsideLastPart(insideDir), create);
  }
  return fd;
}

int TProjectDir::StartBuilding() {
  struct stat info;
  if (::lstat(root_.c_str(), &info) == 0 || errno != ENOENT) return -1;
  const fs::path projects = root_.parent_path();
  std::error_code error;
  madeProjects_ = !fs::exists(projects, error);
  fs::create_directories(projects, error);
  if (error) throw TFileError("无法创建目录 " + projects.string() + ": " + error.message());
  fs::path folder;
  for (int attempt = 0; folder.empty(); ++attempt) {
    const fs::path candidate = projects / TFileOperate::TemporaryName(root_.filename().string());
    if (::mkdir(candidate.c_str(), 0777) == 0) {
      folder = candidate;
    } else if (errno != EEXIST || attempt == 100) {
      throw TFileError("无法创建目录 " + candidate.string() + ": " + std::strerror(errno));
    }
  }
  const int fd = ::open(folder.c_str(), kDirFlags | O_NOFOLLOW);
  char resolved[PATH_MAX];
  if (fd < 0 || !::realpath(folder.c_str(), resolved)) {
    const int failure = errno;
    if (fd >= 0) ::close(fd);
    ::rmdir(folder.c_str());
    throw TFileError("无法打开目录 " + folder.string() + ": " + std::strerror(failure));
  }
  canonicalRoot_ = resolved;
  work_ = folder;
  building_ = true;
  NoteCreated("");
  return fd;
}

bool TProjectDir::TakeName() const {
  return ::renameat2(AT_FDCWD, work_.c_str(), AT_FDCWD, root_.c_str(), RENAME_NOREPLACE) == 0;
}

void TProjectDir::Publish() {
  if (!building_) return;
  if (!TakeName()) {
    throw TFileError("无法把生成的工程目录 " + work_.string() + " 改名为 " + root_.string() + ": " +
                     std::strerror(errno));
  }
  building_ = false;
  work_ = root_;
  char resolved[PATH_MAX];
  if (::realpath(root_.c_str(), resolved)) canonicalRoot_ = resolved;
}

bool TProjectDir::WriteInBuilding(int dirFd, const std::string& inside, const std::string& name,
                                  const std::string& bytes) {
  const int fd =
      ::openat(dirFd, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (fd < 0) {
    if (errno == EEXIST) return false;  // written twice in one run: replaced as usual
    Fail("无法写入文件", inside, errno);
  }
  FillAndClose(fd, dirFd, name, inside, bytes);
  return true;
}

void TProjectDir::FillAndClose(int fd, int dirFd, const std::string& name,
                               const std::string& inside, const std::string& bytes) const {
  const bool written = TFileOperate::WriteAll(fd, bytes);
  int error = errno;
  const bool closed = ::close(fd) == 0;
  if (written && !closed) error = errno;
  if (!written || !closed) {
    ::unlinkat(dirFd, name.c_str(), 0);
    Fail("无法写入文件", inside, error);
  }
}

void TProjectDir::Admit(const std::string& inside) {
  RequirePlain(inside);
  const int dirFd = DirFd(InsideParent(inside), false);
  if (dirFd < 0) return;
  struct stat info;
  if (::fstatat(dirFd, InsideLastPart(inside).c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) return;
  if (S_ISLNK(info.st_mode)) CheckLink(inside);
}

std::optional<TFileStamp> TProjectDir::Stamp(const std::string& inside) {
  const std::optional<int> folder = FolderOfExistingFile(inside);
  if (!folder) return std::nullopt;
  const int dirFd = *folder;
  const std::string name = InsideLastPart(inside);
  struct stat info;
  int result = ::fstatat(dirFd, name.c_str(), &info, AT_SYMLINK_NOFOLLOW);
  if (result == 0 && S_ISLNK(info.st_mode)) {
    CheckLink(inside);
    result = ::fstatat(dirFd, name.c_str(), &info, 0);
  }
  if (result != 0) {
    if (errno == ENOENT) return std::nullopt;
    Fail("无法读取文件", inside, errno);
  }
  if (!S_ISREG(info.st_mode)) return std::nullopt;
  return TFileStamp{
      static_cast<std::uint64_t>(info.st_size),
      static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec,
      static_cast<std::uint64_t>(info.st_ino)};
}

bool TProjectDir::ReadInto(const std::string& inside, std::string& bytes) {
  const std::optional<int> folder = FolderOfExistingFile(inside);
  if (!folder) return false;
  const int dirFd = *folder;
  const std::string name = InsideLastPart(inside);
  int fd = ::openat(dirFd, name.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0 && errno == ELOOP) {
    CheckLink(inside);
    fd = ::openat(dirFd, name.c_str(), O_RDONLY | O_CLOEXEC);
  }
  if (fd < 0) {
    if (errno == ENOENT) return false;
    Fail("无法读取文件", inside, errno);
  }
  struct stat info;
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return false;  // a folder or a device under a file's name: writing it will say so
  }
  // One read for the whole file: a short read of a regular file is its end.
  // resize, not assign: a reused buffer keeps its pages
  bytes.resize(static_cast<std::size_t>(info.st_size) + 1);
  std::size_t got = 0;
  while (got < bytes.size()) {
    const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      const int error = errno;
      ::close(fd);
      Fail("无法读取文件", inside, error);
    }
    const std::size_t asked = bytes.size() - got;
    got += static_cast<std::size_t>(n);
    if (n == 0 || static_cast<std::size_t>(n) < asked) break;
    bytes.resize(bytes.size() * 2);  // the file grew while it was read
  }
  ::close(fd);
  bytes.resize(got);
  return true;
}

bool TProjectDir::WriteUnnamed(int dirFd, const std::string& inside, const std::string& name,
                               const std::string& bytes) {
  if (!unnamedFiles_) return false;
  const int fd = ::openat(dirFd, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
  if (fd < 0) {
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
      Fail("无法写入文件", inside, errno);
    }
    unnamedFiles_ = false;  // this file system cannot: named temporaries it is
    return false;
  }
  if (!TFileOperate::WriteAll(fd, bytes)) {
    const int error = errno;
    ::close(fd);  // the bytes go with the file, which never had a name
    Fail("无法写入文件", inside, error);
  }
  const std::string self = "/proc/self/fd/" + std::to_string(fd);
  if (::linkat(AT_FDCWD, self.c_str(), dirFd, name.c_str(), AT_SYMLINK_FOLLOW) != 0) {
    const int error = errno;
    ::close(fd);
    if (error == EEXIST) return false;  // something holds the name after all: it is replaced
    if (error == ENOENT) {
      unnamedFiles_ = false;  // no /proc to name the file through
      return false;
    }
    Fail("无法写入文件", inside, error);
  }
  if (::close(fd) != 0) {
    const int error = errno;
    ::unlinkat(dirFd, name.c_str(), 0);
    Fail("无法写入文件", inside, error);
  }
  return true;
}

void TProjectDir::WriteWhole(int dirFd, const std::string& inside, const std::string& name,
                             const std::string& bytes) {
  std::string temporary;
  int fd = -1;
  for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
    temporary = TFileOperate::TemporaryName(name);
    fd = ::openat(dirFd, temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                  0666);
    if (fd < 0 && errno != EEXIST) Fail("无法写入文件", inside, errno);
  }
  if (fd < 0) Fail("无法写入文件", inside, EEXIST);
  FillAndClose(fd, dirFd, temporary, inside, bytes);
  if (::renameat(dirFd, temporary.c_str(), dirFd, name.c_str()) != 0) {
    const int error = errno;
    ::unlinkat(dirFd, temporary.c_str(), 0);
    Fail("无法写入文件", inside, error);
  }
}

bool TProjectDir::MakeNewDirectory(const std::string& inside) {
  RequirePlain(inside);
  const int parentFd = DirFd(InsideParent(inside), true);
  if (::mkdirat(parentFd, InsideLastPart(inside).c_str(), 0777) == 0) {
    NoteCreated(inside);
    return true;
  }
  if (errno == EEXIST) return false;
  Fail("无法创建目录", inside, errno);
}

void TProjectDir::RemoveLeftovers(const std::string& insideDir, bool recursive) {
  const int dirFd = DirFd(insideDir, false);
  if (dirFd < 0) return;
  const int listFd = ::openat(dirFd, ".", kDirFlags);
  if (listFd < 0) return;
  DIR* listing = ::fdopendir(listFd);
  if (!listing) {
    ::close(listFd);
    return;
  }
  std::vector<std::string> subfolders;
  while (const dirent* entry = ::readdir(listing)) {
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    unsigned char type = entry->d_type;
    if (type == DT_UNKNOWN) {
      struct stat info;
      if (::fstatat(dirFd, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) continue;
      type = S_ISREG(info.st_mode) ? DT_REG : S_ISDIR(info.st_mode) ? DT_DIR : DT_LNK;
    }
    if (type == DT_REG && IsLeftoverName(name)) ::unlinkat(dirFd, name.c_str(), 0);
    if (type == DT_DIR && recursive) subfolders.push_back(name);
  }
  ::closedir(listing);
  for (const std::string& name : subfolders) {
    RemoveLeftovers(insideDir.empty() ? name : insideDir + "/" + name, true);
  }
}

}  // namespace vbgen
