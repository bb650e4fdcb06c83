// A transition staged by a picture command, drawn a stage per interpreter step.
#pragma once

#include "base/rect.h"
#include "engine/interpreter_state.h"

namespace adv {

class Engine;

struct PendingTransition {
  Rect rect;  // what the command changed
  int kind = 0;
  int step = 0;
  int step_time = 0;  // ms between stages
};

// One stage; the transition state until the last, then the next line.
State TransitionStep(Engine& engine);

}  // namespace adv
