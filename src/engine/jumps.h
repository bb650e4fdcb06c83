// Jumps to labels and lines, in this file or another.
#pragma once

namespace adv {

class Engine;

// Jumps to the target word at the front of the current line; false (after the error report)
// when it cannot, which ends the script.
bool JumpToTarget(Engine& engine);

}  // namespace adv
