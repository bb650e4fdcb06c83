// .cap sets the window title; .cur shows, hides or replaces the mouse cursor.
#pragma once

#include "engine/interpreter_state.h"

namespace adv {

class Engine;

State CaptionCommand(Engine& engine);
State CursorCommand(Engine& engine);

}  // namespace adv
