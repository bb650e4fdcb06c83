#include "flow/jumps.h"

#include "engine.h"

namespace adv {

// Jump targets are not searched yet; click-jump labels cannot be set before .lcl and .rcl
// exist, so this is reached by nothing but the command table's .jmp (which has no handler).
bool JumpCommand(Engine&) {
  return false;
}

}  // namespace adv
