// A whole game folder from the input: the settings file, scripts, pictures, music, save files,
// links and FIFOs, all as a stranger might ship them. adv plays it headless for two seconds of
// virtual time, then adv --check reads it; neither may crash, hang or run out of memory.
//
// The input is a list of entries, each a header line "@@ KIND PATH [ARG]" and the bytes after it
// up to the newline before the next "@@ " line. Kinds:
//   file PATH        writes the bytes to PATH
//   more PATH N      appends the bytes N times (the folder holds at most 64 MiB)
//   size PATH N      makes PATH N bytes long (sparse, any size)
//   fifo PATH        makes PATH a FIFO
//   link PATH TARGET makes PATH a symbolic link to TARGET: /dev/zero, /dev/urandom or /dev/null,
//                    or a path under the folder's parent (outside/ is beside the game folder)
// PATHs are relative to the game folder. An entry that would write through a link, over
// something that is not a regular file, or outside the scratch folder is skipped. Unless the input
// makes links, reading any file beside the game folder is a fault.
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "app/app.h"
#include "app/settings.h"
#include "app/startup.h"
#include "check/game_check.h"
#include "engine/engine.h"
#include "host/headless/headless_host.h"
#include "host/sdl/sdl_image_decoder.h"

namespace {

namespace fs = std::filesystem;

constexpr std::uint32_t kPlayMs = 2000;
constexpr std::uint64_t kMaxWritten = 64u << 20;

struct Entry {
  std::string kind, path, arg;
  std::string_view body;
};

std::vector<Entry> ParseEntries(std::string_view input) {
  constexpr std::string_view kMark = "@@ ";
  std::vector<std::size_t> marks;  // where each header line begins
  if (input.starts_with(kMark)) marks.push_back(0);
  for (std::size_t at = input.find("\n@@ "); at != std::string_view::npos;
       at = input.find("\n@@ ", at + 1)) {
    marks.push_back(at + 1);
  }
  std::vector<Entry> entries;
  for (std::size_t i = 0; i < marks.size(); ++i) {
    // The newline before the next header belongs to that header.
    const std::size_t end = i + 1 < marks.size() ? marks[i + 1] - 1 : input.size();
    const std::string_view entry = input.substr(marks[i] + kMark.size(), end - marks[i] - 3);
    const std::size_t eol = entry.find('\n');
    const std::string_view header = entry.substr(0, eol);
    Entry e;
    if (eol != std::string_view::npos) e.body = entry.substr(eol + 1);
    const std::size_t s1 = header.find(' ');
    const std::size_t s2 = s1 == std::string_view::npos ? s1 : header.find(' ', s1 + 1);
    e.kind = header.substr(0, s1);
    if (s1 != std::string_view::npos) e.path = header.substr(s1 + 1, s2 - s1 - 1);
    if (s2 != std::string_view::npos) e.arg = header.substr(s2 + 1);
    entries.push_back(std::move(e));
  }
  return entries;
}

// A path under root that climbs nowhere, and whose existing folders are real folders.
bool SafePath(const fs::path& root, const std::string& relative, fs::path& out) {
  const fs::path rel(relative);
  if (relative.empty() || rel.is_absolute()) return false;
  out = root;
  for (const fs::path& part : rel) {
    if (part == ".." || part == "." || part.empty()) return false;
    std::error_code ec;
    if (out != root && fs::exists(fs::symlink_status(out, ec)) &&
        !fs::is_directory(fs::symlink_status(out, ec))) {
      return false;
    }
    out /= part;
  }
  std::error_code ec;
  fs::create_directories(out.parent_path(), ec);
  return !ec;
}

// Regular files only: writing into a FIFO or through a link would block or escape.
bool Writable(const fs::path& p) {
  std::error_code ec;
  const fs::file_status s = fs::symlink_status(p, ec);
  return !fs::exists(s) || fs::is_regular_file(s);
}

// A link target inside root must not pass through a link on its way (which could lead anywhere).
bool TargetStaysInside(const fs::path& root, const fs::path& target) {
  fs::path at = root;
  const fs::path rel = target.lexically_relative(root);
  if (rel.empty() || *rel.begin() == "..") return false;
  std::size_t left = static_cast<std::size_t>(std::distance(rel.begin(), rel.end()));
  for (const fs::path& part : rel) {
    if (part == ".." || part == ".") return false;
    at /= part;
    std::error_code ec;
    if (--left > 0 && fs::is_symlink(fs::symlink_status(at, ec))) return false;
  }
  return true;
}

// Files beside the game folder, last read at time 0: a read moves that on (the file system's
// relatime rule), which shows that adv read outside the game.
const char* const kOutside[] = {"outside/secret.txt", "outside/start.txt"};

bool OutsideWasRead(const fs::path& root) {
  for (const char* name : kOutside) {
    struct stat st {};
    if (::stat((root / name).c_str(), &st) == 0 && st.st_atim.tv_sec != 0) return true;
  }
  return false;
}

// False when the input makes links, which may lawfully lead outside.
bool BuildFolder(const fs::path& root, const fs::path& game, std::string_view input) {
  fs::create_directories(game);
  fs::create_directories(root / "outside");
  for (const char* name : kOutside) {
    std::FILE* f = std::fopen((root / name).c_str(), "wb");
    if (f == nullptr) continue;
    std::fputs(".end\n", f);
    std::fclose(f);
    const struct timespec times[2] = {{0, 0}, {0, UTIME_OMIT}};
    ::utimensat(AT_FDCWD, (root / name).c_str(), times, 0);
  }
  std::uint64_t written = 0;
  bool linked = false;
  std::vector<std::pair<fs::path, fs::path>> links;
  for (const Entry& e : ParseEntries(input)) {
    fs::path p;
    if (!SafePath(game, e.path, p)) continue;
    const std::uint64_t n = std::strtoull(e.arg.c_str(), nullptr, 10);
    if (e.kind == "file" || e.kind == "more") {
      const std::uint64_t times = e.kind == "file" ? 1 : n;
      if (!Writable(p) || e.body.size() * times > kMaxWritten - written) continue;
      std::FILE* f = std::fopen(p.c_str(), e.kind == "file" ? "wb" : "ab");
      if (f == nullptr) continue;
      for (std::uint64_t i = 0; i < times; ++i) std::fwrite(e.body.data(), 1, e.body.size(), f);
      std::fclose(f);
      written += e.body.size() * times;
    } else if (e.kind == "size") {
      const int fd = Writable(p) ? ::open(p.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW, 0644) : -1;
      if (fd >= 0) {
        if (::ftruncate(fd, static_cast<off_t>(n & 0xFFFFFFFFFFull)) != 0) {
          // A file system without sparse files: the entry does nothing.
        }
        ::close(fd);
      }
    } else if (e.kind == "fifo") {
      ::mkfifo(p.c_str(), 0644);
    } else if (e.kind == "link") {
      linked = true;
      const bool device = e.arg == "/dev/zero" || e.arg == "/dev/urandom" || e.arg == "/dev/null";
      const fs::path target =
          device ? fs::path(e.arg) : (root / fs::path(e.arg).relative_path()).lexically_normal();
      if (::symlink(target.c_str(), p.c_str()) == 0 && !device) links.emplace_back(p, target);
    }
  }
  // Every link is made first and checked after, so that no order of entries lets one lead out.
  for (const auto& [link, target] : links) {
    if (!TargetStaysInside(root, target)) ::unlink(link.c_str());
  }
  return !linked;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string pattern =
      fs::is_directory("/dev/shm") ? "/dev/shm/adv-game-XXXXXX" : "/tmp/adv-game-XXXXXX";
  if (::mkdtemp(pattern.data()) == nullptr) std::abort();
  const fs::path root(pattern);
  const fs::path game = root / "game";
  const bool confined =
      BuildFolder(root, game, std::string_view(reinterpret_cast<const char*>(data), size));
  {
    adv::SdlImageDecoder decoder;
    adv::HeadlessOptions options;
    options.quiet = true;
    options.until = kPlayMs;
    options.decoder = &decoder;
    adv::HeadlessHost host(options);
    adv::Engine engine(host);
    adv::App app(engine);
    app.close_at = kPlayMs;
    adv::RunGame(app, adv::LocateGame(game.string()), std::nullopt);
    (void)host.Finish();  // nothing is asked to be written
  }
  // adv --check, quietly.
  const adv::GameLocation where = adv::LocateGame(game.string());
  adv::Settings settings;
  adv::ReadSettingsFile(where.settings_path, settings);
  const adv::ScenarioPlace scenario = adv::LocateScenario(where, settings);
  adv::CheckGame(adv::CheckOptions{scenario.folder, scenario.extension, where.exe_folder});
  const bool escaped = confined && OutsideWasRead(root);
  std::error_code ec;
  fs::remove_all(root, ec);
  if (escaped) {
    std::fputs("game_folder_fuzz: adv read a file outside the game folder\n", stderr);
    std::abort();
  }
  return 0;
}
