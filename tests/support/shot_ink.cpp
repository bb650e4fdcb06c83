#include "support/shot_ink.h"

#include <algorithm>

namespace adv::test {

ShotInk FindInk(const Picture& shot, std::uint32_t rrggbb, const Rect& within) {
  const std::uint32_t colour = ShotColour(rrggbb);
  const Rect area = IntersectRect(within, Rect{0, 0, shot.width, shot.height});
  ShotInk ink;
  for (int y = area.top; y < area.bottom; ++y) {
    for (int x = area.left; x < area.right; ++x) {
      if (shot.At(x, y) != colour) continue;
      ink.bounds = UnionRect(ink.bounds, Rect{x, y, x + 1, y + 1});
      ++ink.count;
    }
  }
  return ink;
}

}  // namespace adv::test
