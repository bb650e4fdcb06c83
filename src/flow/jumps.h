// Jumps to labels and lines, in this file or another.
#pragma once

namespace adv {

class Engine;

// The .jmp command on the current line buffer; false ends the script.
bool JumpCommand(Engine& engine);

}  // namespace adv
