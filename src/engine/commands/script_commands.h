// .wat adds to the accumulated wait, .let assigns a variable, .end ends the script.
#pragma once

#include "engine/interpreter_state.h"

namespace adv {

class Engine;

State WaitCommand(Engine& engine);
State LetCommand(Engine& engine);
State EndCommand(Engine& engine);

}  // namespace adv
