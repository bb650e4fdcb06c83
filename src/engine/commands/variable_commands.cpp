#include "engine/commands/variable_commands.h"

#include "engine/engine.h"
#include "script/variables.h"

namespace adv {

State LetCommand(Engine& engine) {
  AssignVariable(engine.script);
  return State::kReadLine;
}

}  // namespace adv
