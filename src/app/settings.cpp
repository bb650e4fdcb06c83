#include "app/settings.h"

#include <ini.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <set>

#include "base/path_text.h"
#include "base/sjis_string.h"

namespace adv {

namespace {

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

struct Reader {
  Settings* settings;
  std::set<std::string> seen;
};

std::string Unquote(std::string_view v) {
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) {
    return std::string(v.substr(1, v.size() - 2));
  }
  return std::string(v);
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

int Handle(void* user, const char* section, const char* name, const char* value) {
  auto* reader = static_cast<Reader*>(user);
  std::string key = Lower(section) + "/" + Lower(name);
  if (!reader->seen.insert(key).second) return 1;
  std::string v = Unquote(value);
  auto cut = [&v](std::size_t n) { return v.size() > n ? v.substr(0, n) : v; };
  Settings& s = *reader->settings;
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
  return 1;
}

}  // namespace

void ReadSettingsFile(const std::string& native_path, Settings& settings) {
  Reader reader{&settings, {}};
  // A missing file simply leaves every default; a malformed line is skipped.
  ini_parse(native_path.c_str(), Handle, &reader);
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
