#include "generate/write/FileOperate.h"

#include <fcntl.h>

#include "model/Utf8Path.h"
#if defined(_WIN32)
#include <io.h>
#include <sys/stat.h>
#else
#include <unistd.h>
#endif

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>

namespace vbgen {
namespace fs = std::filesystem;

std::string TFileOperate::ReadBytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) throw TFileError("无法读取文件 " + file.string());
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string TFileOperate::ReadTextFile(const fs::path& file) {
  std::error_code error;
  if (!fs::is_regular_file(file, error)) return {};
  return TextLines(ReadBytes(file));
}

std::string TFileOperate::TextLines(std::string_view bytes) {
  std::string result;
  result.reserve(bytes.size() + bytes.size() / 16);
  std::string line;
  bool open = false;  // a line has begun that has not been ended yet
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    char c = bytes[i];
    if (c == 26) break;
    if (c == '\n') {
      result += line;
      result += "\r\n";
      line.clear();
      open = false;
    } else if (c == '\r') {
      open = true;  // CR LF ends the line at the LF; a lone CR is dropped
    } else {
      line += c;
      open = true;
    }
  }
  if (open) {
    result += line;
    result += "\r\n";
  }
  return result;
}

namespace {

// Creates a temporary beside the file under a name nobody holds (O_EXCL), so two writers, or a
// leftover of a killed one, are never mixed up with it.
int CreateTemporaryBeside(const fs::path& file, fs::path& temporary) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    temporary = file.parent_path() / TFileOperate::TemporaryName(file.filename().string());
#if defined(_WIN32)
    // Binary, and not inherited by a program this one starts; the wide name keeps every
    // character of the path.
    const int fd =
        ::_wopen(temporary.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                 _S_IREAD | _S_IWRITE);
#else
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
#endif
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

}  // namespace

bool TFileOperate::WriteAll(int fd, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
#if defined(_WIN32)
    const unsigned piece =
        static_cast<unsigned>(std::min<std::size_t>(bytes.size() - done, 1 << 30));
    const int n = ::_write(fd, bytes.data() + done, piece);
#else
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
#endif
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

std::string TFileOperate::TemporaryName(const std::string& name) {
  static thread_local std::mt19937_64 random{std::random_device{}()};
  return ".~" + name + "." + std::to_string(random() % 1000000000ULL) + ".tmp";
}

void TFileOperate::WriteTextFile(const fs::path& directory, const fs::path& file,
                                 const std::string& text) {
  CreateDirectories(directory);
  fs::path temporary;
  const int fd = CreateTemporaryBeside(file, temporary);
  if (fd < 0) throw TFileError("无法写入文件 " + file.string() + ": " + std::strerror(errno));
  const bool written = WriteAll(fd, text);
#if defined(_WIN32)
  const bool closed = ::_close(fd) == 0;
#else
  const bool closed = ::close(fd) == 0;
#endif
  std::error_code error;
  if (!written || !closed) {
    const int reason = errno;
    fs::remove(temporary, error);
    throw TFileError("写入文件失败 " + file.string() + ": " + std::strerror(reason));
  }
  fs::rename(temporary, file, error);
  if (error) {
    std::error_code ignored;
    fs::remove(temporary, ignored);
    throw TFileError("无法写入文件 " + file.string() + ": " + error.message());
  }
}

bool TFileOperate::CopyDirectory(const fs::path& source, const fs::path& target,
                                 bool failIfExists) {
  std::error_code error;
  fs::directory_iterator probe(source, error);
  if (error) return false;
  const TCopyPlan plan = ListCopies(source, target, failIfExists);
  CreateDirectories(target);
  for (const auto& directory : plan.directories) CreateDirectories(directory);
  for (const auto& copy : plan.files) {
    // A file that cannot be copied is skipped, as the rest of the tree still helps the user.
#if defined(_WIN32)
    // The Windows runtime's copy_file takes every existing target for the source itself (it
    // compares inode numbers, which Windows leaves 0) and replaces nothing: the bytes are
    // written whole instead, and take the target's name in one step.
    try {
      WriteTextFile(copy.to.parent_path(), copy.to, ReadBytes(copy.from));
    } catch (const TFileError&) {
      continue;  // skipped, as copy_file's error is
    }
#else
    fs::copy_file(copy.from, copy.to, fs::copy_options::overwrite_existing, error);
#endif
  }
  return true;
}

void TFileOperate::CreateDirectories(const fs::path& directory) {
  std::error_code error;
  if (directory.empty() || fs::is_directory(directory, error)) return;
  fs::create_directories(directory, error);
  if (error) throw TFileError("无法创建目录 " + directory.string() + ": " + error.message());
}

namespace {

void CollectCopies(const fs::path& source, const fs::path& target, bool failIfExists,
                   TFileOperate::TCopyPlan& plan) {
  std::error_code error;
  fs::directory_iterator entries(source, error);
  if (error) return;
  for (const auto& entry : entries) {
    const fs::path destination = target / entry.path().filename();
    if (entry.is_directory(error)) {
      plan.directories.push_back(destination);
      CollectCopies(entry.path(), destination, false, plan);
    } else if (!(failIfExists && fs::exists(destination, error))) {
      plan.files.push_back({entry.path(), destination});
    }
  }
}

}  // namespace

namespace {

void CollectTree(const fs::path& root, const std::string& relative,
                 TFileOperate::TTreeListing& listing) {
  std::error_code error;
  fs::directory_iterator entries(relative.empty() ? root : root / Utf8Path(relative), error);
  if (error) {
    listing.unlisted.push_back(relative + "/: " + error.message());
    return;
  }
  for (; entries != fs::directory_iterator(); entries.increment(error)) {
    const std::string name = entries->path().filename().string();
    const std::string path = relative.empty() ? name : relative + "/" + name;
    std::error_code kind;
    const bool isDirectory = entries->is_directory(kind);
    listing.entries.push_back({path, isDirectory});
    if (isDirectory) CollectTree(root, path, listing);
  }
  if (error) listing.unlisted.push_back(relative + "/: " + error.message());
}

}  // namespace

TFileOperate::TTreeListing TFileOperate::ListTree(const fs::path& root) {
  TTreeListing listing;
  CollectTree(root, "", listing);
  return listing;
}

TFileOperate::TCopyPlan TFileOperate::ListCopies(const fs::path& source, const fs::path& target,
                                                 bool failIfExists) {
  TCopyPlan plan;
  CollectCopies(source, target, failIfExists, plan);
  return plan;
}

}  // namespace vbgen
