// Layout arithmetic that cannot overflow: scripts may give positions, offsets and gaps anywhere
// in the 32-bit range, so sums are taken in 64 bits and clamped back.
#pragma once

#include <algorithm>
#include <climits>

namespace adv {

inline int Saturate(long long v) {
  return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX));
}

}  // namespace adv
