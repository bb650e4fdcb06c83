#include "app/settings.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <set>

#include "base/path_text.h"
#include "base/sjis_string.h"
#include "host/file_system.h"

namespace adv {

namespace {

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::string_view Trim(std::string_view s) {
  const auto blank = [](char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v';
  };
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}

std::string Unquote(std::string_view v) {
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) {
    return std::string(v.substr(1, v.size() - 2));
  }
  return std::string(v);
}

// Settings files are a few hundred bytes; anything past this is not one.
constexpr std::uint64_t kMaxSettingsBytes = 1 << 20;

// Calls take("section/key" in lower case, value) for the first occurrence of each key of the
// file: "[section]" lines, "key=value" lines of any length, ";" and "#" comment lines and
// comments after a blank and ";", blanks around names and values and one pair of quotes around a
// value dropped. A file that is missing, not a regular file or too long reads as empty.
template <class Take>
void ReadKeys(const std::string& native_path, Take take) {
  std::string text;
  if (!ReadRegularFile(native_path, kMaxSettingsBytes, text)) return;
  std::string_view rest(text);
  if (rest.starts_with("\xEF\xBB\xBF")) rest.remove_prefix(3);
  std::string section;
  std::set<std::string> seen;
  while (!rest.empty()) {
    const std::size_t end = rest.find('\n');
    std::string_view line = Trim(rest.substr(0, end));
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    for (std::size_t i = 1; i < line.size(); ++i) {
      if (line[i] == ';' && (line[i - 1] == ' ' || line[i - 1] == '\t')) {
        line = Trim(line.substr(0, i));
        break;
      }
    }
    if (line.empty() || line[0] == ';' || line[0] == '#') continue;
    if (line[0] == '[') {
      const std::size_t close = line.find(']');
      if (close != std::string_view::npos) section = Lower(line.substr(1, close - 1));
      continue;
    }
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) continue;
    std::string key = section + "/" + Lower(Trim(line.substr(0, equals)));
    if (seen.insert(key).second) take(key, Unquote(Trim(line.substr(equals + 1))));
  }
}

bool IsTrue(const std::string& v) {
  return v == "1" || Lower(v) == "true" || Lower(v) == "yes";
}

// A whole number, brought into [low, high]; anything else keeps the default.
void ReadInt(const std::string& v, int low, int high, int& out) {
  long long value = 0;
  const char* end = v.data() + v.size();
  auto [ptr, ec] = std::from_chars(v.data(), end, value);
  if (ec == std::errc() && ptr == end)
    out = static_cast<int>(std::clamp<long long>(value, low, high));
}

}  // namespace

void ReadSettingsFile(const std::string& native_path, Settings& s) {
  ReadKeys(native_path, [&s](const std::string& key, const std::string& v) {
    // Values hold at most 255 bytes (the extension 259).
    auto cut = [&v](std::size_t n) { return v.size() > n ? v.substr(0, n) : v; };
    if (key == "settings/style")
      s.style = cut(255);
    else if (key == "dialog/caption")
      s.dialog_caption = cut(255);
    else if (key == "dialog/text")
      s.dialog_text = cut(255);
    else if (key == "settings/spipath")
      s.spi_path = cut(255);
    else if (key == "scenario/path")
      s.scenario_path = cut(255);
    else if (key == "scenario/extension")
      s.extension = cut(259);
    else if (key == "settings/soundfont")
      s.sound_font = v;
    else if (key == "settings/integerscale")
      s.integer_scale = IsTrue(v);
    else if (key == "settings/skipunseen")
      s.skip_unseen = IsTrue(v);
    else if (key == "settings/autodelay")
      ReadInt(v, 0, 10000, s.auto_delay);
    else if (key == "settings/musicvolume")
      ReadInt(v, 0, 100, s.music_volume);
    else if (key == "settings/soundvolume")
      ReadInt(v, 0, 100, s.sound_volume);
  });
}

std::string UserSettingsPath() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config != nullptr && config[0] == '/') return std::string(config) + "/adv/adv.ini";
  const char* home = std::getenv("HOME");
  return home != nullptr && home[0] != '\0' ? std::string(home) + "/.config/adv/adv.ini"
                                            : std::string();
}

std::string ReadPluginPath(const std::string& native_path) {
  std::string folder;
  if (native_path.empty()) return folder;
  ReadKeys(native_path, [&folder](const std::string& key, const std::string& v) {
    if (key == "settings/pluginpath") folder = v;
  });
  return folder;
}

StyleChoice ParseStyle(std::string_view style) {
  std::string s = Lower(style);
  if (s == "fullscreen") return StyleChoice::kFullScreen;
  if (s == "user") return StyleChoice::kUser;
  return StyleChoice::kWindow;
}

std::string SettingsPathForExecutable(std::string_view exe_path) {
  // Only a "." in the file name counts: on Linux folders often have dots (~/.local).
  const std::size_t separator = LastPathSeparator(exe_path);
  const std::size_t name_start = separator == std::string_view::npos ? 0 : separator + 1;
  const std::size_t dot = SjisFindLast(exe_path, '.');
  std::string base(exe_path);
  if (dot != std::string_view::npos && dot >= name_start) base.resize(dot);
  return base + ".ini";
}

std::string ScenarioFolder(std::string_view path_value, std::string_view exe_folder) {
  if (!path_value.empty() &&
      (SjisFind(path_value, ':') != std::string_view::npos || path_value.front() == '/')) {
    return std::string(path_value);
  }
  return std::string(exe_folder) + std::string(path_value);
}

}  // namespace adv
