#include "host/file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "base/sjis_string.h"
#include "host/sjis_convert.h"

namespace adv {

namespace {

bool PathExists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0;
}

// Splits at "\" and "/" that stand on character boundaries (a second Shift-JIS byte may be 0x5C).
std::vector<std::string> SplitComponents(std::string_view name) {
  std::vector<std::string> parts;
  std::string current;
  for (std::size_t i = 0; i < name.size();) {
    unsigned char c = static_cast<unsigned char>(name[i]);
    if (IsSjisLeadByte(c) && i + 1 < name.size()) {
      current.append(name.substr(i, 2));
      i += 2;
      continue;
    }
    if (c == '\\' || c == '/') {
      parts.push_back(std::move(current));
      current.clear();
    } else {
      current.push_back(static_cast<char>(c));
    }
    ++i;
  }
  parts.push_back(std::move(current));
  return parts;
}

char FoldAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Case-insensitive comparison of ASCII letters; sjis keeps second bytes of two-byte characters
// (which may look like letters) exact.
bool EqualsFolded(std::string_view a, std::string_view b, bool sjis) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (sjis && IsSjisLeadByte(static_cast<unsigned char>(a[i])) && i + 1 < a.size()) {
      if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
      ++i;
      continue;
    }
    if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
  }
  return true;
}

bool HasHighBytes(std::string_view s) {
  for (char c : s) {
    if (static_cast<unsigned char>(c) >= 0x80) return true;
  }
  return false;
}

std::string JoinPath(const std::string& dir, const std::string& name) {
  std::string path;
  path.reserve(dir.size() + 1 + name.size());
  path.append(dir);
  if (!dir.empty() && dir.back() != '/') path.push_back('/');
  path.append(name);
  return path;
}

// The entry of dir that matches component: as written, then without regard to case, then its
// UTF-8 spelling the same two ways. Empty when none does.
std::string FindEntry(const std::string& dir, const std::string& component) {
  if (PathExists(JoinPath(dir, component))) return component;
  std::string utf8;
  bool has_utf8 = HasHighBytes(component) && TrySjisToUtf8(component, utf8);
  if (has_utf8 && PathExists(JoinPath(dir, utf8))) return utf8;
  DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
  if (d == nullptr) return {};
  std::string found;
  std::string found_utf8;
  while (dirent* e = ::readdir(d)) {
    std::string_view entry(e->d_name);
    if (found.empty() && EqualsFolded(entry, component, true)) found = entry;
    if (has_utf8 && found_utf8.empty() && EqualsFolded(entry, utf8, false)) found_utf8 = entry;
  }
  ::closedir(d);
  return found.empty() ? found_utf8 : found;
}

// FindEntry, telling how the entry was found.
std::string FindEntryHow(const std::string& dir, const std::string& component, NameMatch& how) {
  how = NameMatch::kExact;
  if (PathExists(JoinPath(dir, component))) return component;
  std::string utf8;
  const bool has_utf8 = HasHighBytes(component) && TrySjisToUtf8(component, utf8);
  how = NameMatch::kConverted;
  if (has_utf8 && PathExists(JoinPath(dir, utf8))) return utf8;
  std::string found = FindEntry(dir, component);
  if (found.empty()) {
    how = NameMatch::kMissing;
  } else if (EqualsFolded(found, component, true)) {
    how = NameMatch::kCaseFolded;
  }
  return found;
}

// Appends a path component.
void Append(std::string& path, std::string_view component) {
  if (!path.empty() && path.back() != '/') path.push_back('/');
  path.append(component);
}

// A name that does not start in the scenario folder: a leading separator or a drive letter.
bool IsAbsoluteName(std::string_view name) {
  return !name.empty() &&
         (name[0] == '/' || name[0] == '\\' || (name.size() >= 2 && name[1] == ':'));
}

bool IsFileOrFolder(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && (S_ISREG(st.st_mode) || S_ISDIR(st.st_mode));
}

std::filesystem::path Normal(const std::string& native_path) {
  std::filesystem::path p = std::filesystem::path(native_path).lexically_normal();
  if (!p.has_filename() && p != p.root_path()) p = p.parent_path();
  return p;
}

// Removes the temporary files ("NAME.XXXXXX") that saves of path left when they were
// interrupted.
void RemoveLeftovers(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  const std::string dir =
      slash == std::string::npos ? "." : path.substr(0, std::max<std::size_t>(slash, 1));
  const std::string prefix = path.substr(slash == std::string::npos ? 0 : slash + 1) + ".";
  DIR* d = ::opendir(dir.c_str());
  if (d == nullptr) return;
  while (dirent* e = ::readdir(d)) {
    const std::string_view entry(e->d_name);
    if (entry.size() != prefix.size() + 6 || !entry.starts_with(prefix)) continue;
    const std::string_view suffix = entry.substr(prefix.size());
    if (!std::all_of(suffix.begin(), suffix.end(),
                     [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; })) {
      continue;
    }
    std::string leftover = dir;
    Append(leftover, entry);
    struct stat st;
    if (::lstat(leftover.c_str(), &st) == 0 && S_ISREG(st.st_mode)) ::unlink(leftover.c_str());
  }
  ::closedir(d);
}

// fopen for regular files only, and, when reading, only up to max_bytes.
std::FILE* OpenRegular(const std::string& path, const char* mode, std::uint64_t max_bytes) {
  const bool plus = std::strchr(mode, '+') != nullptr;
  int flags = O_CLOEXEC | O_NONBLOCK;
  switch (mode[0]) {
    case 'r':
      flags |= plus ? O_RDWR : O_RDONLY;
      break;
    case 'w':
      flags |= (plus ? O_RDWR : O_WRONLY) | O_CREAT | O_TRUNC;
      break;
    case 'a':
      flags |= (plus ? O_RDWR : O_WRONLY) | O_CREAT | O_APPEND;
      break;
    default:
      return nullptr;
  }
  // Looked at before opening, since opening a FIFO waits for a writer and some devices act on
  // being opened; and again after, on what was opened.
  struct stat st;
  if (::stat(path.c_str(), &st) == 0 ? !S_ISREG(st.st_mode) : mode[0] == 'r') return nullptr;
  const int fd = ::open(path.c_str(), flags, 0666);
  if (fd < 0) return nullptr;
  const bool reading = mode[0] == 'r' || plus;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
      (reading && static_cast<std::uint64_t>(st.st_size) > max_bytes) ||
      ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
    ::close(fd);
    return nullptr;
  }
  std::FILE* f = ::fdopen(fd, mode);
  if (f == nullptr) ::close(fd);
  return f;
}

bool HasWildcard(std::string_view s) {
  return s.find('*') != std::string_view::npos || s.find('?') != std::string_view::npos;
}

}  // namespace

void FileSystem::SetBase(std::string native_dir) {
  base_ = std::move(native_dir);
  PlaceBase();
}

void FileSystem::SetRoot(std::string native_dir) {
  root_ = std::move(native_dir);
  PlaceBase();
}

void FileSystem::PlaceBase() {
  namespace fs = std::filesystem;
  base_parts_.clear();
  base_outside_ = false;
  if (root_.empty()) return;
  // Taken by the text, as names are: the base's own ".." never reaches the disk.
  const fs::path below = Normal(base_).lexically_relative(Normal(root_));
  base_outside_ = below.empty();
  for (const fs::path& part : below) {
    if (part == "..") base_outside_ = true;
    if (!part.empty() && part != ".") base_parts_.push_back(part.string());
  }
}

std::string FileSystem::Walk(std::string_view name, NameMatch* how, std::string* shown) const {
  if (how != nullptr) *how = NameMatch::kMissing;
  std::string path;
  // The length of path before each component taken, so that ".." can drop it.
  std::vector<std::size_t> before;
  if (!confined_) {
    path = !name.empty() && name[0] == '/' ? std::string("/") : base_;
  } else {
    if (base_outside_ || IsAbsoluteName(name)) return {};
    path = root_.empty() ? base_ : root_;
    for (const std::string& part : base_parts_) {
      before.push_back(path.size());
      Append(path, part);
    }
  }
  std::size_t existing = before.size();  // how many components of path exist on disk
  NameMatch worst = NameMatch::kExact;
  for (const std::string& part : SplitComponents(name)) {
    if (part.empty() || part == ".") continue;
    if (shown != nullptr && (!shown->empty() || (!name.empty() && name[0] == '/'))) {
      shown->push_back('/');
    }
    if (part == "..") {
      if (!before.empty()) {
        path.resize(before.back());
        before.pop_back();
        existing = std::min(existing, before.size());
      } else if (confined_) {
        return {};
      } else {
        Append(path, part);
        existing = before.size();
      }
      if (shown != nullptr) shown->append(part);
      continue;
    }
    NameMatch step = NameMatch::kMissing;
    std::string entry;
    if (existing == before.size()) entry = FindEntryHow(path, part, step);
    if (entry.empty()) {
      // Nothing on disk: keep the name, in UTF-8 when it is Shift-JIS, so that a file created
      // here is found again under either spelling.
      step = NameMatch::kMissing;
      std::string utf8;
      entry = (HasHighBytes(part) && TrySjisToUtf8(part, utf8)) ? utf8 : part;
    } else {
      existing = before.size() + 1;
    }
    if (step == NameMatch::kMissing || step == NameMatch::kConverted ||
        (step == NameMatch::kCaseFolded && worst == NameMatch::kExact)) {
      if (worst != NameMatch::kMissing) worst = step;
    }
    before.push_back(path.size());
    Append(path, entry);
    if (shown != nullptr) shown->append(entry);
  }
  if (path.empty()) path.assign(1, '.');
  if (how != nullptr && worst != NameMatch::kMissing && IsFileOrFolder(path)) *how = worst;
  return path;
}

std::string FileSystem::Resolve(std::string_view name) const {
  return Walk(name, nullptr, nullptr);
}

bool FileSystem::Exists(std::string_view name) const {
  std::vector<std::string> parts = SplitComponents(name);
  if (!parts.empty() && HasWildcard(parts.back())) {
    std::size_t cut = name.size() - parts.back().size();
    return !List(name.substr(0, cut), parts.back()).empty();
  }
  if (name.empty()) return false;
  const std::string path = Resolve(name);
  return !path.empty() && IsFileOrFolder(path);
}

NameLookup FileSystem::Lookup(std::string_view name) const {
  NameLookup result;
  if (name.empty()) return result;
  Walk(name, &result.match, &result.on_disk);
  if (result.match == NameMatch::kMissing) result.on_disk.clear();
  return result;
}

std::FILE* FileSystem::Open(std::string_view name, const char* mode,
                            std::uint64_t max_bytes) const {
  const std::string path = Resolve(name);
  return path.empty() ? nullptr : OpenRegular(path, mode, max_bytes);
}

std::string FileSystem::ResolveFile(std::string_view name) const {
  std::string path = Resolve(name);
  struct stat st;
  if (path.empty() || ::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return {};
  return path;
}

std::vector<std::string> FileSystem::List(std::string_view folder, std::string_view pattern) const {
  const std::string dir = Resolve(folder);
  return dir.empty() ? std::vector<std::string>() : ListFolder(dir, pattern);
}

std::vector<std::string> ListFolder(const std::string& native_dir, std::string_view pattern) {
  std::vector<std::string> names;
  DIR* d = ::opendir(native_dir.c_str());
  if (d == nullptr) return names;
  std::string pat(pattern);
  while (dirent* e = ::readdir(d)) {
    if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0) continue;
    if (::fnmatch(pat.c_str(), e->d_name, FNM_CASEFOLD) == 0) names.emplace_back(e->d_name);
  }
  ::closedir(d);
  return names;
}

bool FileSystem::MakeWritable(std::string_view name) const {
  std::string path = Resolve(name);
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return false;
  return ::chmod(path.c_str(), st.st_mode | S_IWUSR) == 0;
}

bool FileSystem::ReplaceFile(std::string_view name, std::string_view content) const {
  const std::string path = Resolve(name);
  if (path.empty() || IsDirectory(path)) return false;
  // A save goes where links lead only while that stays in the game's folder or the scenario
  // folder as they really are (a scenario folder linked to another disk saves there): a link a
  // game ships cannot carry a save into the player's home.
  if (confined_) {
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    if (!IsInsideFolder(folder, root_.empty() ? base_ : root_) && !IsInsideFolder(folder, base_)) {
      return false;
    }
  }
  return ReplaceNativeFile(path, content);
}

bool ReplaceNativeFile(const std::string& path, std::string_view content) {
  std::string temporary = path + ".XXXXXX";
  const int fd = ::mkstemp(temporary.data());
  if (fd < 0) return false;
  bool ok = true;
  for (std::size_t done = 0; ok && done < content.size();) {
    const ssize_t n = ::write(fd, content.data() + done, content.size() - done);
    if (n < 0 && errno == EINTR) continue;
    ok = n > 0;
    if (ok) done += static_cast<std::size_t>(n);
  }
  // The permissions a newly created file would have, not mkstemp's private ones.
  const mode_t mask = ::umask(0);
  ::umask(mask);
  ok = ok && ::fchmod(fd, 0666 & ~mask) == 0 && ::fsync(fd) == 0;
  ok = ::close(fd) == 0 && ok;
  if (ok && ::rename(temporary.c_str(), path.c_str()) == 0) {
    RemoveLeftovers(path);
    return true;
  }
  ::unlink(temporary.c_str());
  return false;
}

std::string ExecutablePath() {
  std::string buffer(4096, '\0');
  ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
  if (n <= 0) return {};
  buffer.resize(static_cast<std::size_t>(n));
  return buffer;
}

bool ReadRegularFile(const std::string& native_path, std::uint64_t max_bytes, std::string& out) {
  std::FILE* f = OpenRegular(native_path, "rb", max_bytes);
  if (f == nullptr) return false;
  out.clear();
  char buffer[8192];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof(buffer), f)) > 0 && out.size() <= max_bytes) {
    out.append(buffer, n);
  }
  std::fclose(f);
  return out.size() <= max_bytes;
}

bool IsInsideFolder(const std::string& native_path, const std::string& native_folder) {
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::path inside = fs::weakly_canonical(fs::absolute(native_path, error), error);
  if (error) return false;
  const fs::path top = fs::weakly_canonical(fs::absolute(native_folder, error), error);
  if (error || inside.empty() || top.empty()) return false;
  auto a = inside.begin();
  for (auto b = top.begin(); b != top.end(); ++b, ++a) {
    if (b->empty()) continue;  // a trailing separator
    if (a == inside.end() || *a != *b) return false;
  }
  return true;
}

bool IsDirectory(const std::string& native_path) {
  struct stat st;
  return ::stat(native_path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool MakeFolders(const std::string& native_path) {
  std::error_code error;
  std::filesystem::create_directories(native_path, error);
  return IsDirectory(native_path);
}

std::string FolderName(const std::string& native_path) {
  std::error_code error;
  const std::filesystem::path path =
      std::filesystem::weakly_canonical(std::filesystem::absolute(native_path, error), error);
  if (error) return "";
  std::string name = path.filename().string();
  // weakly_canonical keeps a trailing separator of the input: its name is then the parent's.
  if (name.empty()) name = path.parent_path().filename().string();
  return name;
}

}  // namespace adv
