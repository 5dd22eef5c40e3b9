// The project directory on Windows. There is no openat, so every folder on the way is opened
// by its full path and then held open by a handle that shares no deletion: while the run holds
// it, nobody can rename it, remove it or put a junction in its place, and every name is looked
// up in folders that are known to be the real ones. Each name is looked at before it is used:
// a reparse point (a junction or a symbolic link) inside the project directory is refused,
// whatever it points to, and so is a name that exists under another case (Windows would
// silently take the other file) or one that Windows would change (InsidePath.h).
#include <windows.h>

#include <algorithm>
#include <cstdint>

#include "generate/write/InsidePath.h"
#include "generate/write/ProjectDir.h"
#include "model/Utf8Path.h"

namespace vbgen {
namespace fs = std::filesystem;

namespace {

std::string Utf8(const fs::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

// The system's text for an error, in UTF-8 (the ANSI text would be in the system's code page).
std::string ErrorText(DWORD error) {
  wchar_t* text = nullptr;
  const DWORD size = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring message = size ? std::wstring(text, size) : L"";
  ::LocalFree(text);
  while (!message.empty() && (message.back() == L'\r' || message.back() == L'\n' ||
                              message.back() == L' ' || message.back() == L'.')) {
    message.pop_back();
  }
  if (message.empty()) return "Windows错误 " + std::to_string(error);
  return Utf8(fs::path(message));
}

// What is at a path, without following a reparse point; none when nothing is there.
struct TEntry {
  std::wstring name;  // as the folder holds it, in its case
  DWORD attributes;
  std::uint64_t size;
  std::int64_t modified;  // in 100 ns since 1601
};

std::uint64_t Joined(DWORD high, DWORD low) {
  return (static_cast<std::uint64_t>(high) << 32) | low;
}

std::optional<TEntry> LookUp(const fs::path& path) {
  WIN32_FIND_DATAW found;
  const HANDLE search = ::FindFirstFileW(path.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return std::nullopt;
  ::FindClose(search);
  return TEntry{found.cFileName, found.dwFileAttributes,
                Joined(found.nFileSizeHigh, found.nFileSizeLow),
                static_cast<std::int64_t>(Joined(found.ftLastWriteTime.dwHighDateTime,
                                                 found.ftLastWriteTime.dwLowDateTime))};
}

bool IsReparsePoint(const TEntry& entry) {
  return (entry.attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

bool IsFolder(const TEntry& entry) { return (entry.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }

HANDLE OpenFolder(const fs::path& path, bool followReparsePoint) {
  return ::CreateFileW(
      path.c_str(), FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
      nullptr, OPEN_EXISTING,
      FILE_FLAG_BACKUP_SEMANTICS | (followReparsePoint ? 0 : FILE_FLAG_OPEN_REPARSE_POINT),
      nullptr);
}

// The path the handle's folder really has: junctions and links on the way resolved.
std::string FinalPath(HANDLE handle) {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD size =
        ::GetFinalPathNameByHandleW(handle, path.data(), static_cast<DWORD>(path.size()), 0);
    if (size == 0) return {};
    if (size < path.size()) {
      path.resize(size);
      break;
    }
    path.resize(size + 1);
  }
  return Utf8(fs::path(path));
}

// Whether the real path of something opened lies in the project directory's real path. Wine
// shows a Unix symbolic link as a plain folder or file, and Windows may have other ways to
// lead elsewhere: where an opened name really is decides, as on Linux.
bool WithinRoot(const std::string& root, const std::string& path) {
  return !root.empty() && (path == root || path.starts_with(root + "\\"));
}

bool WriteAll(HANDLE file, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const DWORD piece = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 30));
    DWORD written = 0;
    if (!::WriteFile(file, bytes.data() + done, piece, &written, nullptr)) return false;
    done += written;
  }
  return true;
}

}  // namespace

TProjectDir::~TProjectDir() {
  CloseFolders();
  EndBuilding();
}

void TProjectDir::CloseFolders() {
  for (const TOpenFolder& folder : folders_) ::CloseHandle(folder.handle);
  folders_.clear();
  dirFds_.clear();
}

bool TProjectDir::Exists() const {
  std::error_code error;
  return fs::is_directory(root_, error);
}

// `error` is a Windows error code here.
void TProjectDir::Fail(const std::string& what, const std::string& inside, int error) const {
  throw TFileError(what + " " + prefix_ + inside + ": " + ErrorText(static_cast<DWORD>(error)));
}

// A reparse point inside the directory is refused: following one would need its target checked
// and held, and neither a junction nor a link has a place in a generated project.
void TProjectDir::CheckLink(const std::string& inside) {
  throw TOutsideProjectError("拒绝跟随符号链接或目录联接: " + prefix_ + inside);
}

// The entry at `name` in the open folder `fd`, checked: no reparse point, no other case.
static std::optional<TEntry> CheckedEntry(const fs::path& path, const std::string& prefixed,
                                          const std::string& name) {
  std::optional<TEntry> entry = LookUp(path);
  if (!entry) return std::nullopt;
  if (IsReparsePoint(*entry)) {
    throw TOutsideProjectError("拒绝跟随符号链接或目录联接: " + prefixed);
  }
  if (entry->name != Utf8Path(name).wstring()) {
    throw TOutsideProjectError("名称只有大小写不同, Windows会把它们当作同一个文件: " + prefixed +
                               " 与已有的 " + Utf8(fs::path(entry->name)));
  }
  return entry;
}

int TProjectDir::OpenChild(int parentFd, const std::string& parentInside, const std::string& name,
                           bool create) {
  const std::string inside = parentInside.empty() ? name : parentInside + "/" + name;
  const fs::path path = folders_[static_cast<std::size_t>(parentFd)].path / Utf8Path(name);
  std::optional<TEntry> entry = CheckedEntry(path, prefix_ + inside, name);
  if (!entry) {
    if (!create) return -1;
    if (::CreateDirectoryW(path.c_str(), nullptr)) {
      NoteCreated(inside);
    } else if (::GetLastError() != ERROR_ALREADY_EXISTS) {
      Fail("无法创建目录", inside, static_cast<int>(::GetLastError()));
    }
    entry = CheckedEntry(path, prefix_ + inside, name);
  }
  if (!entry || !IsFolder(*entry)) Fail("无法打开目录", inside, ERROR_DIRECTORY);
  const HANDLE handle = OpenFolder(path, false);
  if (handle == INVALID_HANDLE_VALUE)
    Fail("无法打开目录", inside, static_cast<int>(::GetLastError()));
  // Looked at again now that it is held: what was checked is what is open.
  BY_HANDLE_FILE_INFORMATION info;
  if (!::GetFileInformationByHandle(handle, &info) ||
      (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
    ::CloseHandle(handle);
    CheckLink(inside);
  }
  if (const std::string real = FinalPath(handle); !WithinRoot(canonicalRoot_, real)) {
    ::CloseHandle(handle);
    throw TOutsideProjectError("拒绝写到工程目录以外: " + prefix_ + inside + " 指向 " + real);
  }
  folders_.push_back({handle, path});
  return static_cast<int>(folders_.size() - 1);
}

int TProjectDir::OpenDir(const std::string& insideDir, bool create) {
  if (!insideDir.empty()) {
    const std::string parent = InsideParent(insideDir);
    const int parentFd = DirFd(parent, create);
    if (parentFd < 0) return -1;
    return OpenChild(parentFd, parent, InsideLastPart(insideDir), create);
  }
  if (create) {
    if (const int fd = StartBuilding(); fd >= 0) return fd;
    std::error_code error;
    if (fs::create_directories(root_, error)) NoteCreated("");
    if (error) throw TFileError("无法创建目录 " + Utf8(root_) + ": " + error.message());
  }
  // The root itself may be reached through a junction (a home on another disk): it is
  // followed, and what lies inside is checked against where it leads.
  const HANDLE handle = OpenFolder(root_, true);
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD error = ::GetLastError();
    if ((error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) && !create) return -1;
    throw TFileError("无法打开目录 " + Utf8(root_) + ": " + ErrorText(error));
  }
  canonicalRoot_ = FinalPath(handle);
  folders_.push_back({handle, root_});
  return static_cast<int>(folders_.size() - 1);
}

int TProjectDir::StartBuilding() {
  std::error_code error;
  // The look-up reports a missing name as an error too: only that one lets the building start.
  const fs::file_status status = fs::symlink_status(root_, error);
  if (status.type() != fs::file_type::not_found) return -1;
  const fs::path projects = root_.parent_path();
  madeProjects_ = !fs::exists(projects, error);
  fs::create_directories(projects, error);
  if (error) throw TFileError("无法创建目录 " + Utf8(projects) + ": " + error.message());
  fs::path folder;
  for (int attempt = 0; folder.empty(); ++attempt) {
    const fs::path candidate =
        projects / Utf8Path(TFileOperate::TemporaryName(Utf8(root_.filename())));
    if (::CreateDirectoryW(candidate.c_str(), nullptr)) {
      folder = candidate;
    } else if (::GetLastError() != ERROR_ALREADY_EXISTS || attempt == 100) {
      throw TFileError("无法创建目录 " + Utf8(candidate) + ": " + ErrorText(::GetLastError()));
    }
  }
  const HANDLE handle = OpenFolder(folder, false);
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD failure = ::GetLastError();
    ::RemoveDirectoryW(folder.c_str());
    throw TFileError("无法打开目录 " + Utf8(folder) + ": " + ErrorText(failure));
  }
  canonicalRoot_ = FinalPath(handle);
  folders_.push_back({handle, folder});
  work_ = folder;
  building_ = true;
  NoteCreated("");
  return static_cast<int>(folders_.size() - 1);
}

bool TProjectDir::TakeName() const {
  // Without MOVEFILE_REPLACE_EXISTING a folder that took the name meanwhile stays.
  return ::MoveFileExW(work_.c_str(), root_.c_str(), 0) != 0;
}

void TProjectDir::Publish() {
  if (!building_) return;
  // The folders are let go first: a held folder cannot be renamed. They are opened again,
  // under the real name, when the run asks for them.
  CloseFolders();
  absent_.clear();
  if (!TakeName()) {
    throw TFileError("无法把生成的工程目录 " + Utf8(work_) + " 改名为 " + Utf8(root_) + ": " +
                     ErrorText(::GetLastError()));
  }
  building_ = false;
  work_ = root_;
}

bool TProjectDir::WriteInBuilding(int dirFd, const std::string& inside, const std::string& name,
                                  const std::string& bytes) {
  const fs::path path = folders_[static_cast<std::size_t>(dirFd)].path / Utf8Path(name);
  if (CheckedEntry(path, prefix_ + inside, name)) return false;  // written twice in one run
  const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    if (::GetLastError() == ERROR_FILE_EXISTS) return false;
    Fail("无法写入文件", inside, static_cast<int>(::GetLastError()));
  }
  FillAndClose(static_cast<int>(reinterpret_cast<std::intptr_t>(file)), dirFd, name, inside, bytes);
  return true;
}

// `fd` carries a file handle here: 64-bit Windows keeps handles within 32 bits so that they
// can be passed between 32- and 64-bit processes, so the int holds it whole.
void TProjectDir::FillAndClose(int fd, int dirFd, const std::string& name,
                               const std::string& inside, const std::string& bytes) const {
  const HANDLE file = reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(fd));
  const bool written = WriteAll(file, bytes);
  DWORD error = ::GetLastError();
  const bool closed = ::CloseHandle(file) != 0;
  if (written && !closed) error = ::GetLastError();
  if (!written || !closed) {
    const fs::path path = folders_[static_cast<std::size_t>(dirFd)].path / Utf8Path(name);
    ::DeleteFileW(path.c_str());
    Fail("无法写入文件", inside, static_cast<int>(error));
  }
}

void TProjectDir::Admit(const std::string& inside) {
  RequirePlain(inside);
  const int dirFd = DirFd(InsideParent(inside), false);
  if (dirFd < 0) return;
  const std::string name = InsideLastPart(inside);
  CheckedEntry(folders_[static_cast<std::size_t>(dirFd)].path / Utf8Path(name), prefix_ + inside,
               name);
}

std::optional<TFileStamp> TProjectDir::Stamp(const std::string& inside) {
  const std::optional<int> folder = FolderOfExistingFile(inside);
  if (!folder) return std::nullopt;
  const int dirFd = *folder;
  const std::string name = InsideLastPart(inside);
  const fs::path path = folders_[static_cast<std::size_t>(dirFd)].path / Utf8Path(name);
  const std::optional<TEntry> entry = CheckedEntry(path, prefix_ + inside, name);
  if (!entry || IsFolder(*entry)) return std::nullopt;
  return TFileStamp{entry->size, entry->modified, 0};
}

bool TProjectDir::ReadInto(const std::string& inside, std::string& bytes) {
  const std::optional<int> folder = FolderOfExistingFile(inside);
  if (!folder) return false;
  const int dirFd = *folder;
  const std::string name = InsideLastPart(inside);
  const fs::path path = folders_[static_cast<std::size_t>(dirFd)].path / Utf8Path(name);
  const std::optional<TEntry> entry = CheckedEntry(path, prefix_ + inside, name);
  if (!entry) return false;
  if (IsFolder(*entry)) return false;  // a folder under a file's name: writing it will say so
  const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD error = ::GetLastError();
    if (error == ERROR_FILE_NOT_FOUND) return false;
    Fail("无法读取文件", inside, static_cast<int>(error));
  }
  if (const std::string real = FinalPath(file); !WithinRoot(canonicalRoot_, real)) {
    ::CloseHandle(file);
    throw TOutsideProjectError("拒绝读取工程目录以外的文件: " + prefix_ + inside + " 指向 " + real);
  }
  LARGE_INTEGER size;
  if (!::GetFileSizeEx(file, &size)) {
    const DWORD error = ::GetLastError();
    ::CloseHandle(file);
    Fail("无法读取文件", inside, static_cast<int>(error));
  }
  bytes.resize(static_cast<std::size_t>(size.QuadPart));
  std::size_t got = 0;
  while (got < bytes.size()) {
    DWORD n = 0;
    const DWORD piece = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - got, 1 << 30));
    if (!::ReadFile(file, bytes.data() + got, piece, &n, nullptr)) {
      const DWORD error = ::GetLastError();
      ::CloseHandle(file);
      Fail("无法读取文件", inside, static_cast<int>(error));
    }
    if (n == 0) break;
    got += n;
  }
  ::CloseHandle(file);
  bytes.resize(got);
  return true;
}

// Windows cannot give a file its name after it is written: a new file goes the named way.
bool TProjectDir::WriteUnnamed(int, const std::string&, const std::string&, const std::string&) {
  return false;
}

void TProjectDir::WriteWhole(int dirFd, const std::string& inside, const std::string& name,
                             const std::string& bytes) {
  const fs::path folder = folders_[static_cast<std::size_t>(dirFd)].path;
  const fs::path target = folder / Utf8Path(name);
  CheckedEntry(target, prefix_ + inside, name);
  fs::path temporary;
  HANDLE file = INVALID_HANDLE_VALUE;
  for (int attempt = 0; file == INVALID_HANDLE_VALUE && attempt < 100; ++attempt) {
    temporary = folder / Utf8Path(TFileOperate::TemporaryName(name));
    file = ::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE && ::GetLastError() != ERROR_FILE_EXISTS) {
      Fail("无法写入文件", inside, static_cast<int>(::GetLastError()));
    }
  }
  if (file == INVALID_HANDLE_VALUE) Fail("无法写入文件", inside, ERROR_FILE_EXISTS);
  FillAndClose(static_cast<int>(reinterpret_cast<std::intptr_t>(file)), dirFd,
               Utf8(temporary.filename()), inside, bytes);
  if (!::MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)) {
    const DWORD error = ::GetLastError();
    ::DeleteFileW(temporary.c_str());
    Fail("无法写入文件", inside, static_cast<int>(error));
  }
}

bool TProjectDir::MakeNewDirectory(const std::string& inside) {
  RequirePlain(inside);
  const int parentFd = DirFd(InsideParent(inside), true);
  const std::string name = InsideLastPart(inside);
  const fs::path path = folders_[static_cast<std::size_t>(parentFd)].path / Utf8Path(name);
  if (CheckedEntry(path, prefix_ + inside, name)) return false;
  if (::CreateDirectoryW(path.c_str(), nullptr)) {
    NoteCreated(inside);
    return true;
  }
  if (::GetLastError() == ERROR_ALREADY_EXISTS) return false;
  Fail("无法创建目录", inside, static_cast<int>(::GetLastError()));
}

void TProjectDir::RemoveLeftovers(const std::string& insideDir, bool recursive) {
  const int dirFd = DirFd(insideDir, false);
  if (dirFd < 0) return;
  const fs::path folder = folders_[static_cast<std::size_t>(dirFd)].path;
  WIN32_FIND_DATAW found;
  const HANDLE search = ::FindFirstFileW((folder / L"*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  std::vector<std::string> subfolders;
  do {
    const std::string name = Utf8(fs::path(found.cFileName));
    if (name == "." || name == "..") continue;
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) continue;  // not followed
    const bool isFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (!isFolder && IsLeftoverName(name)) ::DeleteFileW((folder / found.cFileName).c_str());
    if (isFolder && recursive) subfolders.push_back(name);
  } while (::FindNextFileW(search, &found));
  ::FindClose(search);
  for (const std::string& name : subfolders) {
    RemoveLeftovers(insideDir.empty() ? name : insideDir + "/" + name, true);
  }
}

}  // namespace vbgen
