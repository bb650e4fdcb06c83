// The configuration script: the offscreen count, background colour, caption and cursor, and the
// declarations every other check needs.
#pragma once

#include "check/check_context.h"

namespace adv {

// Reads the game's configuration script into game.facts and reports its problems. False when
// the game has none (which is allowed) or it cannot be read.
bool CheckConfigScript(CheckContext& game);

}  // namespace adv
