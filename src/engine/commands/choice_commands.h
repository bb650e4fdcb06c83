// .slt: registers choices (add), forgets them (delete) and shows them (exec).
#pragma once

#include "engine/interpreter_state.h"

namespace adv {

class Engine;

State SltCommand(Engine& engine);

}  // namespace adv
