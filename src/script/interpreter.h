// The interpreter: one Step per frame, the wait accounting that paces frames, and its start.
#pragma once

#include <cstdint>

namespace adv {

class Engine;

// Creates the base surface and the numbered offscreens and opens the start script; false (after
// its message box) when the start script is missing or cannot be opened.
bool StartInterpreter(Engine& engine);
void Step(Engine& engine);

void AddWait(Engine& engine, int ms);
// What is left of the accumulated wait, counted from the wait start time.
std::uint32_t RemainingWait(Engine& engine);
// Makes the frame loop hold this frame for the rest of the accumulated wait, which restarts.
void Yield(Engine& engine);

}  // namespace adv
