// .pic and .spr: compose a picture file, a surface or a colour onto "screen" or an offscreen, and
// carry the changed rectangle to the window at once, by a buffer swap, or by a transition.
#pragma once

#include "engine/interpreter_state.h"

namespace adv {

class Engine;

State PicCommand(Engine& engine);
State SprCommand(Engine& engine);

}  // namespace adv
