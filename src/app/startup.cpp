#include "app/startup.h"

#include <cstdio>
#include <filesystem>

#include "app/display_mode.h"
#include "app/frame_loop.h"
#include "app/window_events.h"
#include "base/path_text.h"
#include "engine/commands/config_script.h"
#include "engine/engine.h"
#include "graphics/picture_loader.h"

namespace adv {

GameLocation LocateGame(const std::optional<std::string>& game_dir) {
  GameLocation where;
  if (game_dir) {
    std::string dir = *game_dir;
    while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
    where.exe_folder = dir;
    where.settings_path = dir + "/adv.ini";
  } else {
    std::string exe = ExecutablePath();
    where.exe_folder = ExecutableFolderOf(exe);
    where.settings_path = SettingsPathForExecutable(exe);
  }
  return where;
}

ScenarioPlace LocateScenario(const GameLocation& where, const Settings& settings) {
  // The scenario folder is looked up from the current directory like any game name, so "\data"
  // also finds "Data".
  FileSystem from_here;
  from_here.AllowAnyName();  // the scenario folder is checked against the game's folder later
  return ScenarioPlace{from_here.Resolve(ScenarioFolder(settings.scenario_path, where.exe_folder)),
                       settings.extension};
}

namespace {

// A full native path with links resolved, so that trust is decided on where a folder really is.
std::filesystem::path RealFolder(const std::string& native_path) {
  std::error_code error;
  std::filesystem::path path = std::filesystem::absolute(native_path, error);
  if (error) return {};
  path = std::filesystem::weakly_canonical(path, error);
  return error ? std::filesystem::path() : path;
}

}  // namespace

std::string ChoosePluginFolder(const GameLocation& where, const Settings& settings,
                               const std::vector<std::string>& trusted) {
  // The setting's text is a game's name: "\" separators and any letter case.
  FileSystem from_here;
  from_here.AllowAnyName();
  const std::string game_folder =
      from_here.Resolve(PluginFolderFromSetting(settings.spi_path, where.exe_folder));
  const std::filesystem::path game = RealFolder(game_folder);
  for (const std::string& folder : trusted) {
    if (!game.empty() && IsInsideFolder(game.string(), folder)) return game.string();
  }
  if (!ListFolder(game_folder, "*.spi").empty()) {
    std::string user = UserSettingsPath();
    if (user.empty()) user = "~/.config/adv/adv.ini";
    std::fprintf(stderr,
                 "adv: the game's image plug-ins in %s were not loaded: plug-ins are programs. "
                 "To allow them, start adv with --plugins %s, or set PluginPath in section "
                 "[Settings] of %s\n",
                 game.c_str(), game.c_str(), user.c_str());
  }
  return trusted.empty() ? std::string() : trusted.front();
}

Settings ApplySettings(App& app, const GameLocation& where,
                       std::optional<DisplayMode> display_override) {
  Engine& engine = app.engine;
  Settings settings;
  ReadSettingsFile(where.settings_path, settings);
  switch (ParseStyle(settings.style)) {
    case StyleChoice::kFullScreen:
      app.display_mode = DisplayMode::kFullScreen;
      break;
    case StyleChoice::kUser:
      // An explicit --window or --fullscreen answers the question already.
      if (!display_override) {
        MessageBoxAnswer answer = engine.host.ShowMessageBox(
            settings.dialog_text, settings.dialog_caption, MessageBoxKind::kYesNo);
        app.display_mode =
            answer == MessageBoxAnswer::kYes ? DisplayMode::kFullScreen : DisplayMode::kWindowed;
      }
      break;
    case StyleChoice::kWindow:
      app.display_mode = DisplayMode::kWindowed;
      break;
  }
  if (display_override) app.display_mode = *display_override;
  engine.plugin_folder = ChoosePluginFolder(where, settings, app.trusted_plugins);
  const ScenarioPlace scenario = LocateScenario(where, settings);
  engine.files.SetRoot(where.exe_folder);
  engine.files.SetBase(scenario.folder);
  engine.script.extension = scenario.extension;
  if (settings.integer_scale) engine.host.SetIntegerScale(true);
  if (!settings.sound_font.empty() && engine.host.Media() != nullptr) {
    // A full path, or one relative to the game's folder ("\" separators and any case): the
    // SoundFont is the player's, not the game's, so it may lie anywhere.
    FileSystem from_game;
    from_game.AllowAnyName();
    from_game.SetBase(where.exe_folder);
    engine.host.Media()->SetSoundFont(from_game.Resolve(settings.sound_font));
  }
  if (engine.host.Media() != nullptr) {
    engine.host.Media()->SetVolumes(settings.music_volume, settings.sound_volume);
  }
  return settings;
}

int RunGame(App& app, const GameLocation& where, std::optional<DisplayMode> display_override) {
  Engine& engine = app.engine;
  Host& host = engine.host;
  const Settings settings = ApplySettings(app, where, display_override);
  SetUpComforts(app, settings, where.exe_folder, app.seen_file, app.keep_seen);
  engine.random.Seed(host.Now());
  // One that exists but cannot be opened has said so in its box; the game starts without it.
  (void)RunConfigScript(engine);

  if (!host.AcquireInstance(where.settings_path, engine.window.caption)) return 0;

  engine.surfaces.CreateFilled(engine.surfaces.back);
  engine.surfaces.CreateFilled(engine.surfaces.spare);
  if (!CreateMainWindow(app)) {
    std::fprintf(stderr, "adv: no window could be made\n");
    return 1;
  }
  if (!StartInterpreter(engine)) {
    DestroyWindow(app);
    std::fprintf(stderr, "adv: cannot start: no readable start script in %s\n",
                 engine.files.Base().c_str());
    return 1;
  }
  RunFrameLoop(app);
  FinishComforts(app);
  if (app.display_mode == DisplayMode::kFullScreen) host.SetFullScreen(false);
  return 0;
}

}  // namespace adv
