#include "app/startup.h"

#include <cstdio>

#include "app/display_mode.h"
#include "base/path_text.h"
#include "app/frame_loop.h"
#include "engine.h"
#include "graphics/picture_loader.h"
#include "script/config_script.h"
#include "script/interpreter.h"

namespace adv {

namespace {

void CreateBuffer(Engine& engine, CDrawImage& surface) {
  surface.Create(engine.shell.screen_width, engine.shell.screen_height);
  surface.FillRect(nullptr, engine.shell.background);
}

}  // namespace

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

void ApplySettings(Engine& engine, const GameLocation& where,
                   std::optional<DisplayMode> display_override) {
  Shell& shell = engine.shell;
  Settings& settings = engine.settings;
  ReadSettingsFile(where.settings_path, settings);
  switch (ParseStyle(settings.style)) {
    case StyleChoice::kFullScreen:
      shell.display_mode = DisplayMode::kFullScreen;
      break;
    case StyleChoice::kUser:
      // An explicit --window or --fullscreen answers the question already.
      if (!display_override) {
        MessageBoxAnswer answer = engine.host.ShowMessageBox(
            settings.dialog_text, settings.dialog_caption, MessageBoxKind::kYesNo);
        shell.display_mode =
            answer == MessageBoxAnswer::kYes ? DisplayMode::kFullScreen : DisplayMode::kWindowed;
      }
      break;
    case StyleChoice::kWindow:
      shell.display_mode = DisplayMode::kWindowed;
      break;
  }
  if (display_override) shell.display_mode = *display_override;
  engine.exe_folder = where.exe_folder;
  engine.plugin_folder = PluginFolderFromSetting(settings.spi_path, where.exe_folder);
  // The scenario folder is looked up from the current directory like any game name, so "\data"
  // also finds "Data".
  FileSystem from_here;
  from_here.SetBase(".");
  engine.files.SetBase(from_here.Resolve(ScenarioFolder(settings.scenario_path, where.exe_folder)));
  shell.scenario_extension = settings.extension;
}

int RunGame(Engine& engine, const GameLocation& where,
            std::optional<DisplayMode> display_override) {
  Shell& shell = engine.shell;
  Host& host = engine.host;
  shell.caption = "ADV";
  shell.background = 0;
  shell.screen_width = 640;
  shell.screen_height = 480;
  ApplySettings(engine, where, display_override);
  engine.random.Seed(host.Now());
  RunConfigScript(engine);

  if (!host.AcquireInstance(where.settings_path, shell.caption)) return 0;

  CreateBuffer(engine, engine.surfaces.back);
  CreateBuffer(engine, engine.surfaces.spare);
  if (!CreateMainWindow(engine)) {
    std::fprintf(stderr, "adv: no window could be made\n");
    return 1;
  }
  if (!StartInterpreter(engine)) {
    RequestClose(engine, true);
    std::fprintf(stderr, "adv: cannot start: no readable start script in %s\n",
                 engine.files.Base().c_str());
    return 1;
  }
  RunFrameLoop(engine);
  if (shell.display_mode == DisplayMode::kFullScreen) host.SetFullScreen(false);
  return 0;
}

}  // namespace adv
