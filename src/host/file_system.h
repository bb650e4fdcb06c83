// File names from games written on Windows: "\" separates folders, names match without regard
// to letter case, and Shift-JIS names are found under their UTF-8 spelling. Every name that comes
// from a script, the settings file or a save file goes through here, and stays inside the game's
// folder: a game folder is untrusted input.
#pragma once

#include <cstdint>
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

// Files a game opens are read whole at most this long (pictures are the largest kind).
inline constexpr std::uint64_t kMaxGameFileBytes = std::uint64_t{512} << 20;

class FileSystem {
 public:
  // The folder relative names are taken from (the scenario folder). Native path.
  void SetBase(std::string native_dir);
  const std::string& Base() const { return base_; }
  // The game's folder, which no name may leave: absolute names, drive letters and ".." past it
  // resolve to nothing. ".." is taken by the name's text, so a link inside the folder is
  // followed but never climbed out of. Until set, the base is the root.
  void SetRoot(std::string native_dir);
  // For the engine's own files (its settings, the SoundFont): any name, absolute or climbing.
  void AllowAnyName() { confined_ = false; }

  // The native path of a game's name: each component as it exists on disk when some spelling
  // of it does; components that exist in no spelling are kept as given (with "\" turned to "/").
  // "" for a name that leaves the game's folder.
  std::string Resolve(std::string_view name) const;
  // True when the name is an existing file or folder, or a pattern (* and ?) matching one.
  // FIFOs, devices and sockets count as missing.
  bool Exists(std::string_view name) const;
  // Resolve's search, telling how the name was found: a name that exists only by case folding
  // or conversion is lost on a case-sensitive copy of the game. Conversion outranks case when a
  // name needs both. Patterns are not expanded.
  NameLookup Lookup(std::string_view name) const;
  // fopen of the resolved name, for regular files only (FIFOs, devices and folders are refused
  // without blocking) and, when reading, only when no longer than max_bytes.
  std::FILE* Open(std::string_view name, const char* mode,
                  std::uint64_t max_bytes = kMaxGameFileBytes) const;
  // The native path of a regular file, for libraries that open files themselves (they stream
  // them, so any length); "" when there is none.
  std::string ResolveFile(std::string_view name) const;
  // Names (not paths) in folder matching pattern (* and ?, case-insensitive), in the order the
  // file system returns them.
  std::vector<std::string> List(std::string_view folder, std::string_view pattern) const;
  // Clears a read-only permission on the file; false when that fails.
  [[nodiscard]] bool MakeWritable(std::string_view name) const;
  // Writes content as the file's new content without ever leaving it half written: a temporary
  // file beside it is written, flushed to disk and renamed over it (a read-only old file is
  // replaced too). False, with the old file untouched, when any step fails. Temporary files an
  // interrupted save of the same name left behind are removed once a save succeeds.
  [[nodiscard]] bool ReplaceFile(std::string_view name, std::string_view content) const;
  // Whether the name stays inside the game's folder.
  bool IsWithin(std::string_view name) const { return !Resolve(name).empty(); }

 private:
  // Resolve's walk; how, when given, tells how the name was found (kMissing: it was not) and
  // shown receives its components as they exist on disk.
  std::string Walk(std::string_view name, NameMatch* how, std::string* shown) const;
  void PlaceBase();

  std::string base_ = ".";
  std::string root_;
  bool confined_ = true;
  // The base's components below the root; base_outside_ when it is not below the root.
  std::vector<std::string> base_parts_;
  bool base_outside_ = false;
};

// The running executable's absolute path (/proc/self/exe), or "" when unknown.
std::string ExecutablePath();
// Names (not paths) in a native folder matching pattern (* and ?, case-insensitive), in the
// order the file system returns them.
std::vector<std::string> ListFolder(const std::string& native_dir, std::string_view pattern);
// Reads a regular file at a native path, when it is no longer than max_bytes.
[[nodiscard]] bool ReadRegularFile(const std::string& native_path, std::uint64_t max_bytes,
                                   std::string& out);
// Whether a native path lies in a native folder (or is it), links resolved on both sides.
bool IsInsideFolder(const std::string& native_path, const std::string& native_folder);
// Whether a native path is an existing directory.
bool IsDirectory(const std::string& native_path);
// ReplaceFile for a native path of adv's own (a record kept for the player), with no game name
// resolution or confinement.
[[nodiscard]] bool ReplaceNativeFile(const std::string& native_path, std::string_view content);
// Makes the folder and the folders above it that are missing; true when it exists afterwards.
[[nodiscard]] bool MakeFolders(const std::string& native_path);
// The last component of a folder's absolute path ("mygame" for "." inside mygame); "" for "/".
std::string FolderName(const std::string& native_path);

}  // namespace adv
