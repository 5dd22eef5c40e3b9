// The one place where a run touches the disk of its project directory
// {home}/projects/{projectName}/: every file it reads back, writes, copies or backs up goes
// through here, by a path inside the directory, and is checked on the resolved path. A symbolic
// link inside the directory is followed only while it stays inside.
//
// Files are written whole, so a killed run never leaves a half-written file under a real name.
// A new file is written without a name (O_TMPFILE) and linked in when complete: a killed run
// leaves nothing of it. A file that replaces another, or a new one where the file system
// cannot do that, goes to an exclusively created ".~{name}.{n}.tmp" beside the target, which
// takes the target's name only when complete; the next run removes such temporaries. A file
// whose bytes are already on disk is left alone (same inode, same modification time).
//
// A project directory that does not exist yet is built whole under a temporary name beside it,
// "projects/.~{projectName}.{n}.tmp", and takes its name when the run ends (Publish): until
// then nobody can take any of its files for a complete one, so they are written plainly, and a
// killed first run leaves no project directory at all. The next run removes such a folder.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "generate/write/FileOperate.h"

namespace vbgen {

// A path that would leave the project directory (a name holding "..", a link pointing out);
// the message names it. Nothing has been written for it.
class TOutsideProjectError : public TFileError {
 public:
  using TFileError::TFileError;
};

// What tells a file's state without reading it: its size, when it was last written, and which
// file it is. A file written again gets a later time or another identity, unless it was
// written within the same tick of the file system's clock (see TLastRunCheck for that case).
struct TFileStamp {
  std::uint64_t size = 0;
  std::int64_t modified = 0;   // in the file system's ticks
  std::uint64_t identity = 0;  // the inode; 0 where the file system gives none
  bool operator==(const TFileStamp&) const = default;
};

class TProjectDir {
 public:
  // Throws TOutsideProjectError when the project name is not one plain folder name.
  TProjectDir(std::filesystem::path home, const std::string& projectName);
  ~TProjectDir();
  TProjectDir(const TProjectDir&) = delete;
  TProjectDir& operator=(const TProjectDir&) = delete;

  const std::filesystem::path& Root() const { return root_; }
  // "projects/{projectName}/": how paths inside are shown to the user.
  const std::string& Prefix() const { return prefix_; }

  // The file's bytes, none when there is no such file. `inside` is a relative path with "/"
  // separators and no "." or ".." parts.
  std::optional<std::string> Read(const std::string& inside);
  // The same into a buffer the caller reuses; false when there is no such file.
  bool ReadInto(const std::string& inside, std::string& bytes);
  // The stamp of a file, without reading it; none when there is no such file.
  std::optional<TFileStamp> Stamp(const std::string& inside);
  // Writes the file whole (creating its folders); true when it was written, false when it
  // already held these bytes (existingBytes, when given, are what Read returned).
  bool Write(const std::string& inside, const std::string& bytes,
             const std::optional<std::string>& existingBytes);
  void MakeDirectories(const std::string& inside);
  // Creates a folder that did not exist yet; false when the name is taken.
  bool MakeNewDirectory(const std::string& inside);
  // Removes what a killed run left behind: the temporary files of this writer in that folder
  // and, when asked, in its subfolders (links are not followed).
  void RemoveLeftovers(const std::string& insideDir, bool recursive);
  // The same for one folder, once per writer: the first file written into it (or confirmed
  // in it) clears it.
  void RemoveLeftoversOnce(const std::string& insideDir);
  // Refuses (TOutsideProjectError) a path that would leave the directory: checked on what its
  // existing parts resolve to. Creates nothing.
  void Admit(const std::string& inside);

  // Whether the root exists (a dry run does not create it).
  bool Exists() const;

  // Gives a directory built under its temporary name its real name; nothing when none is being
  // built. Throws TFileError when the name cannot be taken (something took it meanwhile).
  void Publish();
  // Removes the folders that killed runs left while building this project's directory.
  void RemoveAbandonedBuilds();
  // Starts building the directory under its temporary name when nothing has its name yet;
  // false (and nothing made) when something has.
  bool BuildNew();
  // The directory being built is removed at the end, folder and all, instead of taking its
  // name: what was written in it is not to be kept.
  void DropBuild() { dropBuild_ = true; }

 private:
  int DirFd(const std::string& insideDir, bool create);
  // The open folder an existing file would be in; none when no such file can be there.
  std::optional<int> FolderOfExistingFile(const std::string& inside);
  // Makes the folder the root is built in, when nothing is at the root's name; -1 otherwise.
  int StartBuilding();
  // A file of a directory being built: written in place. False when the name is taken.
  bool WriteInBuilding(int dirFd, const std::string& inside, const std::string& name,
                       const std::string& bytes);
  // Writes the bytes to the open file `name` and closes it; on a failure removes it and fails.
  void FillAndClose(int fd, int dirFd, const std::string& name, const std::string& inside,
                    const std::string& bytes) const;
  // Renames the folder being built to the root's name, unless something holds that name.
  bool TakeName() const;
  // What the end of this writer does with a directory being built: its name, or its removal.
  void EndBuilding() const;
  int OpenDir(const std::string& insideDir, bool create);
  void NoteCreated(const std::string& insideDir);
  int OpenChild(int parentFd, const std::string& parentInside, const std::string& name,
                bool create);
  void CheckLink(const std::string& inside);
  void RequirePlain(const std::string& inside) const;
  [[noreturn]] void Fail(const std::string& what, const std::string& inside, int error) const;
  // A new file: the bytes go to a file without a name, linked in under the name when complete.
  // False when that cannot be done here, or something holds the name already.
  bool WriteUnnamed(int dirFd, const std::string& inside, const std::string& name,
                    const std::string& bytes);
  // The bytes go to an exclusively created temporary beside the target, renamed over it.
  void WriteWhole(int dirFd, const std::string& inside, const std::string& name,
                  const std::string& bytes);

  std::filesystem::path home_;
  std::filesystem::path root_;
  // Where the root's files are: the root, or the folder it is built in.
  std::filesystem::path work_;
  bool building_ = false;
  bool dropBuild_ = false;
  bool madeProjects_ = false;  // the folder "projects" itself, for the building
  std::string prefix_;
  std::string canonicalRoot_;
  std::unordered_map<std::string, int> dirFds_;  // open folders by inside path ("" the root)
  std::unordered_set<std::string> cleaned_;      // folders freed of a killed run's leftovers
  // Folders this writer made, and the files it wrote into them: nobody else's files are there.
  std::unordered_set<std::string> created_;
  std::unordered_set<std::string> writtenInCreated_;
  // Folders found missing since this writer last made one; not looked for again.
  std::unordered_set<std::string> absent_;
  bool unnamedFiles_ = true;  // until the file system says it cannot make them
#if defined(_WIN32)
  // Windows has no openat: the numbers DirFd hands out index the folders held open, each
  // by a handle that shares no deletion, so nobody can rename, remove or replace one of them
  // (by a junction, say) while the run holds it.
  struct TOpenFolder {
    void* handle;
    std::filesystem::path path;
  };
  std::vector<TOpenFolder> folders_;
  void CloseFolders();
#endif
};

// The temporary name beside a file; true when `name` is one.
bool IsLeftoverName(const std::string& name);
// True when `name` is that of a folder a run builds the project's directory in.
bool IsBuildFolderOf(const std::string& name, const std::string& projectName);

}  // namespace vbgen
