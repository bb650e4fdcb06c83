// The settings file beside the executable (or GAMEDIR/adv.ini): display style, scenario folder
// and extension, image plug-in folder; and the player's own settings file.
#pragma once

#include <string>
#include <string_view>

#include "base/messages.h"

namespace adv {

struct Settings {
  std::string style = "Window";
  std::string dialog_caption;
  std::string dialog_text{kMsgFullScreenQuestion};
  std::string spi_path;
  std::string scenario_path = "\\data";
  std::string extension = ".txt";
  // The Settings section: where adv's own keys live.
  std::string sound_font;      // Settings/SoundFont: the General MIDI SoundFont; "" for Debian's
  bool integer_scale = false;  // Settings/IntegerScale: scale the picture by whole factors only
  // The player's comforts.
  bool skip_unseen = false;  // Settings/SkipUnseen: skipping passes text never seen before too
  int auto_delay = 60;       // Settings/AutoDelay: ms a character before auto turns the page
  int music_volume = 100;    // Settings/MusicVolume: MIDI, MP3 and CD music, 0 to 100
  int sound_volume = 100;    // Settings/SoundVolume: sounds and movie sound, 0 to 100
};

// Reads the keys the engine knows. Sections and keys match without regard to case, a value in
// quotes loses them, the first occurrence of a key counts, and a missing file or key leaves the
// default. Lines may be of any length; values are cut at 255 bytes (259 for the extension).
void ReadSettingsFile(const std::string& native_path, Settings& settings);

// The player's settings file, outside every game: $XDG_CONFIG_HOME/adv/adv.ini, or
// ~/.config/adv/adv.ini.
std::string UserSettingsPath();
// Its "PluginPath" in section "Settings": the folder of image plug-ins the player trusts; "" for
// none.
std::string ReadPluginPath(const std::string& native_path);

enum class StyleChoice { kWindow, kFullScreen, kUser };
StyleChoice ParseStyle(std::string_view style);

// The settings file of an executable: its path cut at the last "." of the file name, plus
// ".ini".
std::string SettingsPathForExecutable(std::string_view exe_path);

// The scenario folder from the "Path" value: a value with ":" (or an absolute Linux path) is
// used as it is; anything else is appended to the executable's folder without a separator.
std::string ScenarioFolder(std::string_view path_value, std::string_view exe_folder);

}  // namespace adv
