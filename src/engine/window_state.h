// What the scripts set on the main window: its caption and its mouse cursor.
#pragma once

#include <string>
#include <string_view>

#include "host/host.h"

namespace adv {

class Engine;

// The window cursor: the system arrow, a cursor file's picture, or none (a file that failed to
// load leaves no cursor at all).
struct WindowCursor {
  enum class Kind { kArrow, kImage, kNone };
  Kind kind = Kind::kArrow;
  CursorImage image;
};

struct WindowState {
  std::string caption = "ADV";
  WindowCursor cursor;
  bool cursor_shown = true;
};

void SetCaption(Engine& engine, std::string_view caption);
// "" is the system arrow; any other name a cursor file. False when it cannot be loaded (the
// window cursor is then none).
[[nodiscard]] bool SetWindowCursor(Engine& engine, std::string_view file);
void ShowWindowCursor(Engine& engine, bool show);
// Gives a newly made window the cursor the scripts chose.
void ApplyWindowCursor(Engine& engine);

}  // namespace adv
