// The application around the engine: the main window's display mode and the frame loop's own
// bookkeeping. main makes one for a run; the engine knows nothing of it. Making one hands the
// engine's interpreter the command table.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/comforts.h"

namespace adv {

class Engine;

enum class DisplayMode { kWindowed, kFullScreen };

struct App {
  explicit App(Engine& engine);
  App(const App&) = delete;
  App& operator=(const App&) = delete;

  Engine& engine;
  DisplayMode display_mode = DisplayMode::kWindowed;
  bool quit = false;  // the main window is gone
  std::uint64_t frames = 0;
  // --until: the window is closed at this time.
  std::optional<std::uint32_t> close_at;
  // End the run when the script waits for a click that no input can give any more.
  bool end_when_input_exhausted = false;
  // Folders of image plug-ins the player trusts (--plugins, PluginPath of the player's own
  // settings file), native paths.
  std::vector<std::string> trusted_plugins;
  // The record of lines seen: this file (--seen), else the player's own when keep_seen.
  std::string seen_file;
  bool keep_seen = true;
  Comforts comforts;
};

}  // namespace adv
