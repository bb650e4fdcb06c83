#include "host/file_system.h"

#include <dirent.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

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

bool HasWildcard(std::string_view s) {
  return s.find('*') != std::string_view::npos || s.find('?') != std::string_view::npos;
}

}  // namespace

std::string FileSystem::Resolve(std::string_view name) const {
  std::vector<std::string> parts = SplitComponents(name);
  std::string path;
  std::size_t first = 0;
  if (!name.empty() && name[0] == '/') {
    path.assign(1, '/');
    first = 1;
  } else {
    path = base_;
  }
  bool searching = true;
  for (std::size_t i = first; i < parts.size(); ++i) {
    const std::string& part = parts[i];
    if (part.empty() || part == ".") continue;
    if (part == ".." || !searching) {
      std::string utf8;
      path = JoinPath(path, (HasHighBytes(part) && TrySjisToUtf8(part, utf8)) ? utf8 : part);
      continue;
    }
    std::string entry = FindEntry(path, part);
    if (entry.empty()) {
      // Nothing on disk: keep the name, in UTF-8 when it is Shift-JIS, so that a file created
      // here is found again under either spelling.
      searching = false;
      std::string utf8;
      entry = (HasHighBytes(part) && TrySjisToUtf8(part, utf8)) ? utf8 : part;
    }
    path = JoinPath(path, entry);
  }
  if (path.empty()) path.assign(1, '.');
  return path;
}

bool FileSystem::Exists(std::string_view name) const {
  std::vector<std::string> parts = SplitComponents(name);
  if (!parts.empty() && HasWildcard(parts.back())) {
    std::size_t cut = name.size() - parts.back().size();
    return !List(name.substr(0, cut), parts.back()).empty();
  }
  if (name.empty()) return false;
  return PathExists(Resolve(name));
}

NameLookup FileSystem::Lookup(std::string_view name) const {
  NameLookup result;
  if (name.empty()) return result;
  std::vector<std::string> parts = SplitComponents(name);
  std::string path = name[0] == '/' ? std::string("/") : base_;
  NameMatch worst = NameMatch::kExact;
  for (std::size_t i = name[0] == '/' ? 1 : 0; i < parts.size(); ++i) {
    const std::string& part = parts[i];
    if (part.empty() || part == ".") continue;
    NameMatch how = NameMatch::kExact;
    const std::string entry = part == ".." ? part : FindEntryHow(path, part, how);
    if (how == NameMatch::kMissing) return result;
    if (how == NameMatch::kConverted ||
        (how == NameMatch::kCaseFolded && worst == NameMatch::kExact)) {
      worst = how;
    }
    path = JoinPath(path, entry);
    if (!result.on_disk.empty() || name[0] == '/') result.on_disk.push_back('/');
    result.on_disk += entry;
  }
  if (!PathExists(path)) return result;
  result.match = worst;
  return result;
}

std::FILE* FileSystem::Open(std::string_view name, const char* mode) const {
  std::string path = Resolve(name);
  struct stat st;
  if (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return nullptr;
  return std::fopen(path.c_str(), mode);
}

std::vector<std::string> FileSystem::List(std::string_view folder, std::string_view pattern) const {
  std::vector<std::string> names;
  std::string dir = Resolve(folder);
  DIR* d = ::opendir(dir.c_str());
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
  if (IsDirectory(path)) return false;
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
  if (ok && ::rename(temporary.c_str(), path.c_str()) == 0) return true;
  ::unlink(temporary.c_str());
  return false;
}

bool FileSystem::IsWithin(std::string_view name, const std::string& root) const {
  if (name.empty() || name[0] == '/' || name[0] == '\\') return false;
  if (name.size() >= 2 && name[1] == ':') return false;
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::path inside = fs::weakly_canonical(fs::absolute(Resolve(name), error), error);
  const fs::path top = fs::weakly_canonical(fs::absolute(root, error), error);
  if (error) return false;
  auto a = inside.begin();
  for (auto b = top.begin(); b != top.end(); ++b, ++a) {
    if (b->empty()) continue;  // a trailing separator
    if (a == inside.end() || *a != *b) return false;
  }
  return true;
}

std::string ExecutablePath() {
  std::string buffer(4096, '\0');
  ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
  if (n <= 0) return {};
  buffer.resize(static_cast<std::size_t>(n));
  return buffer;
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
