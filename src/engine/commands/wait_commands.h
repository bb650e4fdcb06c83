// The waits and how text is paced: .wat, the click waits .clk and .tcl, the text click modes
// .tct, the text speed .tsp, the escape modes and text hooks .def, and the wait mark .mst.
#pragma once

#include "engine/interpreter_state.h"

namespace adv {

class Engine;

State WaitCommand(Engine& engine);
State ClkCommand(Engine& engine);
State TclCommand(Engine& engine);
State TctCommand(Engine& engine);
State TspCommand(Engine& engine);
State DefCommand(Engine& engine);
State MstCommand(Engine& engine);

}  // namespace adv
