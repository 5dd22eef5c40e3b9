#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace vbgen {

// A file or directory operation that failed; the message names the path.
class TFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The file service. Works with full paths only: never changes the current directory.
class TFileOperate {
 public:
  // The file's lines, each followed by CR LF (LF and CR LF end a line, a lone CR is dropped,
  // byte 26 ends the file); bytes unconverted. Empty for a missing file.
  static std::string ReadTextFile(const std::filesystem::path& file);
  // The same for bytes already read.
  static std::string TextLines(std::string_view bytes);
  // Creates the directory with its missing parents, then writes the bytes exactly. The text
  // goes to a temporary file beside the target, renamed over it when complete.
  static void WriteTextFile(const std::filesystem::path& directory,
                            const std::filesystem::path& file, const std::string& text);
  // Copies a tree. At the top level an existing target file is kept when failIfExists is set;
  // nested levels always replace. False when the source cannot be listed.
  static bool CopyDirectory(const std::filesystem::path& source,
                            const std::filesystem::path& target, bool failIfExists);
  // What CopyDirectory does, without doing it: the target directories it creates (parents
  // first) and its file copies, in listing order; nothing when the source cannot be listed.
  struct TCopy {
    std::filesystem::path from, to;
  };
  struct TCopyPlan {
    std::vector<std::filesystem::path> directories;
    std::vector<TCopy> files;
  };
  static TCopyPlan ListCopies(const std::filesystem::path& source,
                              const std::filesystem::path& target, bool failIfExists);
  // Everything below a directory, parents before their contents, by path relative to it
  // ("/" separators), and the folders that could not be listed (with the reason).
  struct TTreeEntry {
    std::string relative;
    bool isDirectory = false;
  };
  struct TTreeListing {
    std::vector<TTreeEntry> entries;
    std::vector<std::string> unlisted;  // "{relative}/: reason"; "" is the directory itself
  };
  static TTreeListing ListTree(const std::filesystem::path& root);
  // Creates the directory with its missing parents; throws TFileError when it cannot.
  static void CreateDirectories(const std::filesystem::path& directory);
  // Reads a whole file's bytes; throws TFileError when it cannot.
  static std::string ReadBytes(const std::filesystem::path& file);
  // Writes all the bytes to the open file, however many calls it takes; false on an error
  // (errno says which).
  static bool WriteAll(int fd, const std::string& bytes);
  // A name for a temporary beside the file `name`: ".~{name}.{n}.tmp" with a random n, which a
  // later run knows for a leftover (IsLeftoverName).
  static std::string TemporaryName(const std::string& name);
};

}  // namespace vbgen
