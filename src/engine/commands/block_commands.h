// .cas and .skp: conditional blocks, scanned forward in the current file within one step.
#pragma once

#include "engine/interpreter_state.h"

namespace adv {

class Engine;

State CasCommand(Engine& engine);
State SkpCommand(Engine& engine);

}  // namespace adv
