// Where pixels of one colour lie on a surface: text tests check where ink of a known colour
// landed, not the exact pixels of a glyph.
#pragma once

#include <ostream>

#include "base/rect.h"
#include "graphics/draw_image.h"

namespace adv {

// Printed by GoogleTest in failure messages.
inline void PrintTo(const Rect& r, std::ostream* os) {
  *os << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}";
}

namespace test {

// Bounds of the pixels equal to pixel; empty when there are none.
Rect InkBounds(const CDrawImage& surface, Pixel pixel);
// Pixels that are not `pixel`, and their bounds.
Rect BoundsOfOther(const CDrawImage& surface, Pixel pixel);
int CountPixels(const CDrawImage& surface, Pixel pixel);

}  // namespace test
}  // namespace adv
