#include "graphics/polygon_fill.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace adv {
namespace {

constexpr Rect kClip{0, 0, 24, 24};

// Coverage of kClip as a grid of counts, checking the spans' ordering promises on the way.
std::vector<int> Coverage(const std::vector<GridPoint>& points, PolygonFillMode mode) {
  std::vector<PixelSpan> spans;
  EXPECT_TRUE(FillPolygon(points, mode, kClip, spans));
  std::vector<int> grid(kClip.Width() * kClip.Height(), 0);
  for (std::size_t i = 0; i < spans.size(); ++i) {
    const PixelSpan& s = spans[i];
    EXPECT_TRUE(s.left < s.right && s.left >= 0 && s.right <= kClip.right && s.y >= 0 &&
                s.y < kClip.bottom);
    EXPECT_TRUE(i == 0 || s.y > spans[i - 1].y || s.left > spans[i - 1].right);
    for (int x = s.left; x < s.right; ++x) ++grid[s.y * kClip.Width() + x];
  }
  return grid;
}

// Winding number at pixel (x, y)'s centre from the edges crossing its row strictly to the right,
// in doubled coordinates so the centre is on the integer grid. A centre on an edge thus belongs
// to the side on the edge's right: left edges are in, right edges out.
int ReferenceWinding(const std::vector<GridPoint>& pts, int x, int y) {
  const long long px = 2 * x + 1, py = 2 * y + 1;
  int winding = 0;
  for (std::size_t i = 0; i < pts.size(); ++i) {
    const GridPoint& a = pts[i];
    const GridPoint& b = pts[(i + 1) % pts.size()];
    const long long x0 = 2 * a.x, y0 = 2 * a.y, x1 = 2 * b.x, y1 = 2 * b.y;
    if ((y0 < py) == (y1 < py)) continue;
    const long long side = (x0 - px) * (y1 - y0) + (py - y0) * (x1 - x0);  // (cross x - px) dy
    if (y1 > y0 ? side > 0 : side < 0) winding += y1 > y0 ? 1 : -1;
  }
  return winding;
}

TEST(PolygonFillTest, MatchesThePerPixelWindingNumber) {
  std::mt19937 rng(3);
  for (int round = 0; round < 300; ++round) {
    // Small coordinates, so many centres fall exactly on edges.
    std::vector<GridPoint> pts(3 + rng() % 6);
    for (auto& p : pts) p = {static_cast<int>(rng() % 28) - 2, static_cast<int>(rng() % 28) - 2};
    const auto winding = Coverage(pts, PolygonFillMode::kWinding);
    const auto alternate = Coverage(pts, PolygonFillMode::kAlternate);
    for (int i = 0; i < kClip.Width() * kClip.Height(); ++i) {
      const int w = ReferenceWinding(pts, i % kClip.Width(), i / kClip.Width());
      ASSERT_EQ(winding[i], w != 0) << "round " << round << " pixel " << i;
      ASSERT_EQ(alternate[i], w % 2 != 0) << "round " << round << " pixel " << i;
    }
  }
}

TEST(PolygonFillTest, DegeneratePolygons) {
  std::vector<PixelSpan> spans{{1, 2, 3}};
  const std::vector<GridPoint> two = {{0, 0}, {10, 10}};
  EXPECT_FALSE(FillPolygon(two, PolygonFillMode::kWinding, kClip, spans));
  EXPECT_TRUE(spans.empty());
  const std::vector<GridPoint> far = {{0, 0}, {kMaxPolygonCoordinate + 1, 0}, {0, 10}};
  EXPECT_FALSE(FillPolygon(far, PolygonFillMode::kWinding, kClip, spans));
  // Fillable but without area, or outside the clip rectangle: no pixels.
  for (const auto& p : {std::vector<GridPoint>{{0, 0}, {5, 5}, {10, 10}},
                        std::vector<GridPoint>{{200, 200}, {300, 200}, {300, 300}}}) {
    EXPECT_TRUE(FillPolygon(p, PolygonFillMode::kWinding, kClip, spans));
    EXPECT_TRUE(spans.empty());
  }
}

}  // namespace
}  // namespace adv
