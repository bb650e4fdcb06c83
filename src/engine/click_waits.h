// Click waits: "\c" and "\t" in text, .clk and .tcl. A wait says which buttons end it and
// whether a held button lets it pass, and may show the wait mark near the text meanwhile.
#pragma once

#include <cstdint>
#include <optional>

#include "engine/interpreter_state.h"
#include "engine/text_state.h"

namespace adv {

class Engine;

// Sets up the wait of a set-up state (text wait, text clear wait, .clk, .tcl): the modes come
// from .def for the text escapes and from the command line for .clk and .tcl. Returns the
// waiting state, or where to go on when the wait passes at once.
State SetUpClickWait(Engine& engine, State setup);
// Every step of a waiting state: the blink of the mark.
void AnimateMark(Engine& engine);
// A click ended the wait: the mark goes.
void EraseMark(Engine& engine);
// When the mark next changes, while it blinks in a wait.
std::optional<std::uint32_t> NextMarkChange(Engine& engine);

}  // namespace adv
