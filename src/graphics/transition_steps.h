// The drawing of each transition family, shared by the transition files. Every function copies
// from `spare` to `back`, clipped to the 640 x 480 screen and to both surfaces, and returns what
// the step reports as changed.
#pragma once

#include <span>

#include "base/rect.h"
#include "graphics/draw_image.h"
#include "graphics/grid_point.h"

namespace adv::transition {

inline constexpr int kScreenWidth = 640;
inline constexpr int kScreenHeight = 480;
inline constexpr Rect kScreen{0, 0, kScreenWidth, kScreenHeight};

// The part of the screen both surfaces hold (empty unless both have 16-bit pixels).
Rect CommonArea(const CDrawImage& back, const CDrawImage& spare);
// Copies a rectangle; returns the part actually copied.
Rect CopyRect(CDrawImage& back, const CDrawImage& spare, const Rect& rect);

// Cell patterns: bit (cy * 4 + cx) of `cells` selects every pixel with x mod 4 = cx and
// y mod 4 = cy. Copies the selected pixels of `area`; returns their bounding box.
Rect CopyCells(CDrawImage& back, const CDrawImage& spare, const Rect& area, unsigned cells);

// Copies the pixels inside the polygon (winding rule). Returns false, copying nothing, when the
// polygon cannot be filled.
bool CopyThroughPolygon(CDrawImage& back, const CDrawImage& spare,
                        std::span<const GridPoint> points);

// Kinds by family; s is the step, 1 up to the kind's last step.
Rect DrawDissolveStep(CDrawImage& back, const CDrawImage& spare, int kind, int s);  // 5,7,8,12,13
Rect DrawClockStep(CDrawImage& back, const CDrawImage& spare, int kind, int s);     // 10, 11

}  // namespace adv::transition
