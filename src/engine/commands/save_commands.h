// .sav writes every variable to a save file; .lod reads all of them back (running the file as a
// subroutine) or one of them.
#pragma once

#include "engine/interpreter_state.h"

namespace adv {

class Engine;

State SavCommand(Engine& engine);
State LodCommand(Engine& engine);

}  // namespace adv
