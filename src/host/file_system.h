// File names from games written on Windows: "\" separates folders, names match without regard
// to letter case, and Shift-JIS names are found under their UTF-8 spelling. Every name that comes
// from a script, the settings file or a save file goes through here.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace adv {

// How a game's name reaches a file or folder on disk.
enum class NameMatch {
  kMissing,     // no spelling of it exists
  kExact,       // every component exists as written
  kCaseFolded,  // some component exists only in other letter case
  kConverted,   // some component exists only under the UTF-8 spelling of its Shift-JIS bytes
};

struct NameLookup {
  NameMatch match = NameMatch::kMissing;
  std::string on_disk;  // when found: the name as it exists, "/" between its components
};

class FileSystem {
 public:
  // The folder relative names are taken from (the scenario folder). Native path.
  void SetBase(std::string native_dir) { base_ = std::move(native_dir); }
  const std::string& Base() const { return base_; }

  // The native path of a game's name: each component as it exists on disk when some spelling
  // of it does; components that exist in no spelling are kept as given (with "\" turned to "/").
  std::string Resolve(std::string_view name) const;
  // True when the name is an existing file or folder, or a pattern (* and ?) matching one.
  bool Exists(std::string_view name) const;
  // Resolve's search, telling how the name was found: a name that exists only by case folding
  // or conversion is lost on a case-sensitive copy of the game. Conversion outranks case when a
  // name needs both. Patterns are not expanded.
  NameLookup Lookup(std::string_view name) const;
  // fopen of the resolved name. Folders are refused.
  std::FILE* Open(std::string_view name, const char* mode) const;
  // Names (not paths) in folder matching pattern (* and ?, case-insensitive), in the order the
  // file system returns them.
  std::vector<std::string> List(std::string_view folder, std::string_view pattern) const;
  // Clears a read-only permission on the file; false when that fails.
  bool MakeWritable(std::string_view name) const;
  // Writes content as the file's new content without ever leaving it half written: a temporary
  // file beside it is written, flushed to disk and renamed over it (a read-only old file is
  // replaced too). False, with the old file untouched, when any step fails.
  bool ReplaceFile(std::string_view name, std::string_view content) const;
  // Whether the name stays inside the native folder root: no absolute path, no drive letter,
  // no ".." past it.
  bool IsWithin(std::string_view name, const std::string& root) const;

 private:
  std::string base_ = ".";
};

// The running executable's absolute path (/proc/self/exe), or "" when unknown.
std::string ExecutablePath();
// Whether a native path is an existing directory.
bool IsDirectory(const std::string& native_path);
// Makes the folder and the folders above it that are missing; true when it exists afterwards.
bool MakeFolders(const std::string& native_path);
// The last component of a folder's absolute path ("mygame" for "." inside mygame); "" for "/".
std::string FolderName(const std::string& native_path);

}  // namespace adv
