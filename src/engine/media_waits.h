// Two waits that hold the script without a frame of its own: a mode-1 sound playing to its end,
// and .mcm's glide of the mouse cursor. They run a frame at a time so the window answers; a
// click that comes meanwhile is held until they end.
#pragma once

#include "engine/interpreter_state.h"

namespace adv {

class Engine;

// Where the glide started and goes, and how far it is.
struct CursorGlide {
  int from_x = 0, from_y = 0;
  int to_x = 0, to_y = 0;
  int step = 0;
};

// Starts the glide from where the cursor is to (x, y) and makes its first step.
State StartCursorGlide(Engine& engine, int x, int y);
State CursorGlideStep(Engine& engine);
State SoundWaitStep(Engine& engine);

}  // namespace adv
