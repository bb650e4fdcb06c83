#include "support/ink.h"

namespace adv::test {

namespace {

template <class F>
Rect BoundsWhere(const CDrawImage& surface, F match) {
  Rect bounds;
  for (int y = 0; y < surface.Height(); ++y) {
    for (int x = 0; x < surface.Width(); ++x) {
      if (match(surface.Row(y)[x])) bounds = UnionRect(bounds, Rect{x, y, x + 1, y + 1});
    }
  }
  return bounds;
}

}  // namespace

Rect InkBounds(const CDrawImage& surface, Pixel pixel) {
  return BoundsWhere(surface, [&](Pixel p) { return p == pixel; });
}

Rect BoundsOfOther(const CDrawImage& surface, Pixel pixel) {
  return BoundsWhere(surface, [&](Pixel p) { return p != pixel; });
}

int CountPixels(const CDrawImage& surface, Pixel pixel) {
  int n = 0;
  for (int y = 0; y < surface.Height(); ++y) {
    for (int x = 0; x < surface.Width(); ++x) n += surface.Row(y)[x] == pixel;
  }
  return n;
}

}  // namespace adv::test
