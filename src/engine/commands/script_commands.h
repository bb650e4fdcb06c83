// .wat adds to the accumulated wait, .let assigns a variable.
#pragma once

#include "engine/interpreter_state.h"

namespace adv {

class Engine;

State WaitCommand(Engine& engine);
State LetCommand(Engine& engine);

}  // namespace adv
