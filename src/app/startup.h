// Start-up (settings, configuration script, window, start script, in the order games rely on),
// the frame loop, and shutdown.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/settings.h"

namespace adv {

// Where a game's settings file and scenario folder are looked for: beside the executable, or in
// GAMEDIR, which stands for the executable's folder.
struct GameLocation {
  std::string settings_path;
  std::string exe_folder;
};

GameLocation LocateGame(const std::optional<std::string>& game_dir);

// The scenario folder (native) and the scenario extension a game's settings name.
struct ScenarioPlace {
  std::string folder;
  std::string extension;
};
ScenarioPlace LocateScenario(const GameLocation& where, const Settings& settings);

// Runs the game from start-up to shutdown. 0 when it ran and ended; 1 when it could not start
// (the reason is on stderr).
int RunGame(App& app, const GameLocation& where, std::optional<DisplayMode> display_override);

// The folder image plug-ins are loaded from: the game's (its "SPIPath", or the game's folder)
// only when it lies inside a folder the player trusts, otherwise the first trusted folder; ""
// when there is none. Plug-ins are programs, and programs do not come with a game: when the
// game's folder holds plug-ins that are not loaded, one line on stderr says how to allow them.
std::string ChoosePluginFolder(const GameLocation& where, const Settings& settings,
                               const std::vector<std::string>& trusted);

// Reads the settings file and applies it: display mode (asking for "User"), plug-in folder,
// scenario folder and extension.
Settings ApplySettings(App& app, const GameLocation& where,
                       std::optional<DisplayMode> display_override);

}  // namespace adv
