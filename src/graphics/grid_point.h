// A point on the pixel grid, in integer screen coordinates.
#pragma once

namespace adv {

struct GridPoint {
  int x = 0;
  int y = 0;
  bool operator==(const GridPoint&) const = default;
};

}  // namespace adv
