// Fixed-point cosines for the clock wipes: 512 angle units make a full turn, angle 0 points
// straight up and angles grow clockwise.
#pragma once

#include <array>

#include "graphics/grid_point.h"

namespace adv {

inline constexpr int kCosineTableSize = 512;
inline constexpr int kScreenCentreX = 320;
inline constexpr int kScreenCentreY = 240;

// Entry i is cos(i * pi / 256) * 65536, truncated toward zero. Built once, never changed.
const std::array<int, kCosineTableSize>& CosineTable();

// Any angle, negative ones included, folded into 0..511.
constexpr int WrapAngle(int angle) {
  return static_cast<int>(static_cast<unsigned>(angle) % kCosineTableSize);
}

// The radius the clock wipes sweep: 1.1 times the distance from the centre to a corner (400),
// truncated, so the swept wedges reach past every corner of the screen.
int ClockRadius();

// The point at `angle` on the circle of `radius` around the screen centre (320, 240).
GridPoint PointOnCircle(int angle, int radius);

}  // namespace adv
