// .jmp, .sub (call, exit, delete), .lcl and .rcl (click-jump labels) and .end.
#pragma once

#include "engine/interpreter_state.h"

namespace adv {

class Engine;

State JmpCommand(Engine& engine);
State SubCommand(Engine& engine);
State LclCommand(Engine& engine);
State RclCommand(Engine& engine);
State EndCommand(Engine& engine);

}  // namespace adv
