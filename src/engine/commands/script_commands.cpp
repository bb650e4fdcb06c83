#include "engine/commands/script_commands.h"

#include "engine/engine.h"
#include "engine/interpreter.h"
#include "script/arguments.h"
#include "script/variables.h"

namespace adv {

State WaitCommand(Engine& engine) {
  AddWait(engine, ReadIntArg(engine.script));
  return State::kReadLine;
}

State LetCommand(Engine& engine) {
  AssignVariable(engine.script);
  return State::kReadLine;
}

}  // namespace adv
