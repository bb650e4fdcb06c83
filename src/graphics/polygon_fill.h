// Scan conversion of polygons into runs of pixels: what the clock wipes copy through.
//
// Pixel (x, y) belongs to the polygon when its centre (x + 0.5, y + 0.5) is inside. Vertices sit
// on integer coordinates, so a centre can never lie on a vertex or on a horizontal edge; a centre
// exactly on a slanted or vertical edge belongs to the side to the edge's right (left edges are
// in, right edges out). Shapes that share an edge therefore never both take, nor both miss, a
// pixel on it, and an axis-aligned rectangle from (l, t) to (r, b) covers columns l..r-1 and
// rows t..b-1, the same pixels as the rectangle routines take.
#pragma once

#include <span>
#include <vector>

#include "base/rect.h"
#include "graphics/grid_point.h"

namespace adv {

enum class PolygonFillMode {
  kAlternate,  // inside where a ray crosses the outline an odd number of times
  kWinding,    // inside where the outline winds around the point a non-zero number of times
};

// One run of covered pixels on row y: columns left..right-1.
struct PixelSpan {
  int y = 0;
  int left = 0;
  int right = 0;
  bool operator==(const PixelSpan&) const = default;
};

// Coordinates further out than this are refused; within it the arithmetic is exact.
inline constexpr int kMaxPolygonCoordinate = 1 << 24;

// Replaces `spans` with the runs of the closed polygon `points` that lie inside `clip`, rows top
// to bottom, runs left to right, never touching or overlapping. Returns false (and leaves no
// runs) when the polygon cannot be filled: fewer than three points or a coordinate beyond
// kMaxPolygonCoordinate. A polygon without area is fillable and simply covers nothing.
bool FillPolygon(std::span<const GridPoint> points, PolygonFillMode mode, const Rect& clip,
                 std::vector<PixelSpan>& spans);

}  // namespace adv
