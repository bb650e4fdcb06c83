// The text commands: .txt sets the message layer's area and style, .tpr prints into a picture
// with the parts layer, .tsw and .thd show and hide the message window, .tps places its cursor.
#pragma once

#include "engine/interpreter_state.h"

namespace adv {

class Engine;

State TxtCommand(Engine& engine);
State TprCommand(Engine& engine);
State TswCommand(Engine& engine);
State ThdCommand(Engine& engine);
State TpsCommand(Engine& engine);

}  // namespace adv
