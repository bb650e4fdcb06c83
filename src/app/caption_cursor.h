// .cap sets the window title; .cur shows, hides or replaces the mouse cursor.
#pragma once

#include <string>
#include <string_view>

namespace adv {

class Engine;

void SetCaption(Engine& engine, std::string_view caption);
// "" is the system arrow; any other name a cursor file. False when it cannot be loaded (the
// window cursor is then none).
bool SetWindowCursor(Engine& engine, std::string_view file);

bool CaptionCommand(Engine& engine);
bool CursorCommand(Engine& engine);

}  // namespace adv
