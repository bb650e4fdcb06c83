// State of the application shell: display mode, caption, cursor, frame loop and mouse buttons.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>

#include "base/rect.h"
#include "graphics/pixel.h"
#include "host/host.h"

namespace adv {

enum class DisplayMode { kWindowed, kFullScreen };

// The window cursor: the system arrow, a cursor file's picture, or none (a file that failed to
// load leaves no cursor at all).
struct WindowCursor {
  enum class Kind { kArrow, kImage, kNone };
  Kind kind = Kind::kArrow;
  CursorImage image;
};

struct Shell {
  DisplayMode display_mode = DisplayMode::kWindowed;
  int screen_width = 640;
  int screen_height = 480;
  Colour background = 0;
  std::string caption = "ADV";
  WindowCursor cursor;
  bool cursor_shown = true;
  std::string scenario_extension = ".txt";

  // Frame loop.
  std::uint32_t frame_interval = 0;
  std::uint32_t last_frame_time = 0;
  bool swap_request = false;
  Rect dirty;
  std::uint64_t frames = 0;
  bool quit = false;
  // --until: the window is closed at this time.
  std::optional<std::uint32_t> close_at;
  // End the run when the script waits for a click that no input can give any more.
  bool end_when_input_exhausted = false;
  // Messages the engine posts to its own window (close requests, buttons made from keys); they
  // are served before the host's input, like posted window messages.
  std::deque<HostEvent> posted;

  // Mouse buttons (keyboard-generated presses included) and the last accepted click.
  bool left_down = false;
  bool right_down = false;
  int click_x = 0;
  int click_y = 0;
};

}  // namespace adv
