// Times on adv's millisecond clock, which is 32 bits wide and wraps every 49.7 days. Two times
// are compared by the distance between them, so a comparison holds across the wrap as long as
// the times lie less than 2^31 ms (24.8 days) apart.
#pragma once

#include <cstdint>

namespace adv {

// Milliseconds from b to a: positive when a is after b, negative when before.
constexpr std::int32_t TickDiff(std::uint32_t a, std::uint32_t b) {
  return static_cast<std::int32_t>(a - b);
}

// Whether the clock, at now, has reached t.
constexpr bool TickReached(std::uint32_t now, std::uint32_t t) {
  return TickDiff(now, t) >= 0;
}

// Milliseconds from now until t; 0 once t is reached.
constexpr std::uint32_t TicksUntil(std::uint32_t now, std::uint32_t t) {
  return TickReached(now, t) ? 0 : t - now;
}

}  // namespace adv
