// .let assigns a variable.
#pragma once

#include "engine/interpreter_state.h"

namespace adv {

class Engine;

State LetCommand(Engine& engine);

}  // namespace adv
