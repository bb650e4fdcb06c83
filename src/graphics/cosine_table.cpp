#include "graphics/cosine_table.h"

#include <cmath>
#include <numbers>

namespace adv {

const std::array<int, kCosineTableSize>& CosineTable() {
  static const std::array<int, kCosineTableSize> table = [] {
    std::array<int, kCosineTableSize> t{};
    for (int i = 0; i < kCosineTableSize; ++i) {
      t[i] = static_cast<int>(std::cos(i * std::numbers::pi / 256.0) * 65536.0);
    }
    return t;
  }();
  return table;
}

int ClockRadius() {
  return static_cast<int>(std::sqrt(160000.0) * 1.1);
}

GridPoint PointOnCircle(int angle, int radius) {
  const auto& table = CosineTable();
  // sin(a) = cos(a - 128), a quarter turn back. The shifts floor negative products (arithmetic
  // shifts), so two steps that name the same angle get the very same point.
  const long long dx = (static_cast<long long>(radius) * table[WrapAngle(angle - 128)]) >> 16;
  const long long dy = (static_cast<long long>(radius) * table[WrapAngle(angle)]) >> 16;
  return GridPoint{kScreenCentreX + static_cast<int>(dx), kScreenCentreY - static_cast<int>(dy)};
}

}  // namespace adv
