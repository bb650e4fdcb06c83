#include "graphics/polygon_fill.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace adv {

namespace {

// An edge with its ends ordered top to bottom, and +1 when the outline runs downwards along it.
struct Edge {
  std::int64_t x_top;
  std::int64_t y_top;
  std::int64_t dx;  // x_bottom - x_top
  std::int64_t dy;  // y_bottom - y_top, > 0
  int direction;
};

struct Crossing {
  std::int64_t first_column;  // the first pixel whose centre is on or right of the edge
  int direction;
};

std::int64_t FloorDiv(std::int64_t n, std::int64_t d) {  // d > 0
  std::int64_t q = n / d;
  return (n % d != 0 && n < 0) ? q - 1 : q;
}

// The first column x on row y with x + 0.5 >= the edge's x at y + 0.5. With the edge's x at
// height v being x_top + (v - y_top) dx / dy, that is x >= x_top + (N / D) with
// N = (2 (y - y_top) + 1) dx - dy and D = 2 dy, worked out exactly in integers.
std::int64_t FirstColumn(const Edge& e, std::int64_t y) {
  const std::int64_t n = (2 * (y - e.y_top) + 1) * e.dx - e.dy;
  const std::int64_t d = 2 * e.dy;
  return e.x_top - FloorDiv(-n, d);  // x_top + ceil(n / d)
}

bool Inside(int winding, PolygonFillMode mode) {
  return mode == PolygonFillMode::kWinding ? winding != 0 : (winding & 1) != 0;
}

}  // namespace

bool FillPolygon(std::span<const GridPoint> points, PolygonFillMode mode, const Rect& clip,
                 std::vector<PixelSpan>& spans) {
  spans.clear();
  if (points.size() < 3) return false;
  for (const GridPoint& p : points) {
    if (std::abs(static_cast<long long>(p.x)) > kMaxPolygonCoordinate ||
        std::abs(static_cast<long long>(p.y)) > kMaxPolygonCoordinate) {
      return false;
    }
  }

  std::vector<Edge> edges;
  edges.reserve(points.size());
  std::int64_t top = points[0].y;
  std::int64_t bottom = points[0].y;
  for (std::size_t i = 0; i < points.size(); ++i) {
    const GridPoint& a = points[i];
    const GridPoint& b = points[(i + 1) % points.size()];
    top = std::min<std::int64_t>(top, a.y);
    bottom = std::max<std::int64_t>(bottom, a.y);
    // Horizontal edges never meet a pixel centre's row and bound nothing on their own.
    if (a.y == b.y) continue;
    // Both directions of an edge give the same columns, so neighbours agree exactly.
    const GridPoint& upper = a.y < b.y ? a : b;
    const GridPoint& lower = a.y < b.y ? b : a;
    edges.push_back(Edge{upper.x, upper.y, static_cast<std::int64_t>(lower.x) - upper.x,
                         static_cast<std::int64_t>(lower.y) - upper.y, a.y < b.y ? 1 : -1});
  }

  const std::int64_t row_begin = std::max<std::int64_t>(top, clip.top);
  const std::int64_t row_end = std::min<std::int64_t>(bottom, clip.bottom);
  std::vector<Crossing> crossings;
  crossings.reserve(edges.size());
  for (std::int64_t y = row_begin; y < row_end; ++y) {
    crossings.clear();
    for (const Edge& e : edges) {
      // The centre row y + 0.5 lies strictly between the ends exactly when y_top <= y < y_bottom.
      if (y >= e.y_top && y < e.y_top + e.dy) {
        crossings.push_back(Crossing{FirstColumn(e, y), e.direction});
      }
    }
    std::sort(crossings.begin(), crossings.end(),
              [](const Crossing& a, const Crossing& b) { return a.first_column < b.first_column; });
    int winding = 0;
    bool inside = false;
    std::int64_t run_start = 0;
    for (std::size_t i = 0; i < crossings.size();) {
      const std::int64_t column = crossings[i].first_column;
      for (; i < crossings.size() && crossings[i].first_column == column; ++i) {
        winding += crossings[i].direction;
      }
      const bool now_inside = Inside(winding, mode);
      if (now_inside == inside) continue;
      inside = now_inside;
      if (inside) {
        run_start = column;
        continue;
      }
      const std::int64_t left = std::max<std::int64_t>(run_start, clip.left);
      const std::int64_t right = std::min<std::int64_t>(column, clip.right);
      if (left < right) {
        spans.push_back(
            PixelSpan{static_cast<int>(y), static_cast<int>(left), static_cast<int>(right)});
      }
    }
  }
  return true;
}

}  // namespace adv
