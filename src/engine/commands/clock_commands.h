// .rnd (a random integer in a range) and .now (a field of the local time or the millisecond
// clock).
#pragma once

#include <cstdint>

#include "engine/interpreter_state.h"

namespace adv {

class Engine;

State RandomCommand(Engine& engine);
State NowCommand(Engine& engine);

// min + (r mod (max - min + 1)) on unsigned 32-bit numbers. Bounds the wrong way round are
// exchanged, and a span of the whole 32-bit range takes r itself, so the value always lies
// between the bounds.
std::int32_t RandomInRange(std::uint32_t r, std::int32_t min, std::int32_t max);

}  // namespace adv
