#include "graphics/transitions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>
#include <vector>

#include "graphics/cosine_table.h"
#include "graphics/polygon_fill.h"

namespace adv {
namespace {

constexpr int kW = 640;
constexpr int kH = 480;
constexpr int kKinds[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, -1, 0};

class TransitionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(back_.Create(kW, kH) && spare_.Create(kW, kH));
    std::mt19937 rng(7);
    // The spare differs from the back everywhere, so every copied pixel shows.
    for (int i = 0; i < kW * kH; ++i) {
      back_.Pixels()[i] = static_cast<Pixel>(rng() & 0x7FFF);
      spare_.Pixels()[i] = static_cast<Pixel>(back_.Pixels()[i] ^ (1 + rng() % 0x7FFF));
    }
    before_.assign(back_.Pixels(), back_.Pixels() + kW * kH);
  }

  // Draws one step onto the picture before it; `copied_` gets the pixels it changed, and
  // `bounds_` their bounding box.
  TransitionStepResult StepAlone(int kind, int s) {
    std::copy(before_.begin(), before_.end(), back_.Pixels());
    TransitionStepResult r = DrawTransitionStep(back_, spare_, kind, s);
    copied_.assign(kW * kH, 0);
    bounds_ = Rect{};
    int foreign = 0;
    for (int i = 0; i < kW * kH; ++i) {
      const Pixel now = back_.Pixels()[i];
      copied_[i] = now == spare_.Pixels()[i];
      foreign += !copied_[i] && now != before_[i];
      if (copied_[i]) bounds_ = UnionRect(bounds_, Rect::FromSize(i % kW, i / kW, 1, 1));
    }
    EXPECT_EQ(foreign, 0) << "kind " << kind << " step " << s << " wrote foreign values";
    return r;
  }

  CDrawImage back_, spare_;
  std::vector<Pixel> before_;
  std::vector<char> copied_;
  Rect bounds_;
};

// Every kind: step 0 draws nothing; each step reports at least what it drew; the picture is
// whole at the last step and not before it, which is when the step says done; past the end
// nothing is drawn and done holds, so a caller that overshoots still stops.
TEST_F(TransitionTest, EveryKindCompletesExactlyAtItsLastStep) {
  std::vector<char> covered;
  for (int kind : kKinds) {
    const int last = TransitionLastStep(kind);
    TransitionStepResult r = StepAlone(kind, 0);
    EXPECT_TRUE(!r.done && r.changed.Empty() && bounds_.Empty()) << "kind " << kind;
    covered.assign(kW * kH, 0);
    for (int s = 1; s <= last; ++s) {
      r = StepAlone(kind, s);
      EXPECT_EQ(r.done, s == last) << "kind " << kind << " step " << s;
      EXPECT_EQ(UnionRect(r.changed, bounds_), r.changed) << "kind " << kind << " step " << s;
      for (int i = 0; i < kW * kH; ++i) covered[i] |= copied_[i];
      const auto whole = std::count(covered.begin(), covered.end(), 1);
      ASSERT_EQ(whole == kW * kH, s == last) << "kind " << kind << " step " << s;
    }
    for (int s : {last + 1, 1 << 30}) {
      r = StepAlone(kind, s);
      EXPECT_TRUE(r.done && r.changed.Empty() && bounds_.Empty()) << "kind " << kind;
    }
  }
}

// Angle of a pixel centre in table units (512 a turn), clockwise from straight up, and its
// distance from the line through the centre at angle a.
double PixelAngle(int x, int y) {
  const double a = std::atan2(x + 0.5 - 320, 240 - (y + 0.5)) * 256 / std::numbers::pi;
  return a < 0 ? a + 512 : a;
}
double DistanceToLine(int x, int y, double a) {
  const double t = a * std::numbers::pi / 256;
  return std::abs((x + 0.5 - 320) * std::cos(t) - (240 - (y + 0.5)) * std::sin(t));
}
bool InArc(double angle, double from, double to) {
  return std::fmod(angle - from + 1024, 512) < to - from;
}

TEST_F(TransitionTest, ClockWipesCopyTheirWedges) {
  std::vector<int> count(kW * kH);
  for (int kind : {10, 11}) {
    std::fill(count.begin(), count.end(), 0);
    for (int s = 1; s <= 16; ++s) {
      StepAlone(kind, s);
      const double from = kind == 10 ? 32 * (s - 1) : 16 * (20 - s);
      const double to = kind == 10 ? 32 * s : 16 * (21 - s);
      int wrong = 0;
      for (int y = 0; y < kH; ++y) {
        for (int x = 0; x < kW; ++x) {
          count[y * kW + x] += copied_[y * kW + x];
          // Away from the sides, the rounding of the corners cannot matter.
          if (DistanceToLine(x, y, from) < 2 || DistanceToLine(x, y, to) < 2) continue;
          const double a = PixelAngle(x, y);
          wrong += (copied_[y * kW + x] != 0) !=
                   (InArc(a, from, to) || (kind == 11 && InArc(a, from + 256, to + 256)));
        }
      }
      EXPECT_EQ(wrong, 0) << "kind " << kind << " step " << s;
    }
    // Single wedges share their sides exactly: every pixel goes once. A pixel goes in a bow tie
    // when it lies on different sides of its two lines, and the last line is the first reversed,
    // so it goes an odd number of times (the lines need not meet in one point).
    for (int i = 0; i < kW * kH; ++i) {
      ASSERT_TRUE(kind == 10 ? count[i] == 1 : count[i] % 2 == 1) << kind << " pixel " << i;
    }
  }
}

// Other surface sizes: everything stays inside both surfaces and inside the 640 x 480 screen.
TEST(TransitionSizesTest, OtherSurfaceSizesAreClipped) {
  const int sizes[][4] = {{701, 517, 701, 517}, {101, 37, 640, 480}, {640, 480, 3, 5}};
  for (const auto& [bw, bh, sw, sh] : sizes) {
    CDrawImage back, spare;
    ASSERT_TRUE(back.Create(bw, bh) && spare.Create(sw, sh));
    spare.Fill(0, 0, sw, sh, MakeColour(255, 255, 255));
    for (int kind : kKinds) {
      back.Fill(0, 0, bw, bh, 0);
      for (int s = 0; s <= TransitionLastStep(kind); ++s) DrawTransitionStep(back, spare, kind, s);
      int wrong = 0;
      for (int y = 0; y < bh; ++y) {
        for (int x = 0; x < bw; ++x) {
          const bool common = x < std::min(kW, sw) && y < std::min(kH, sh);
          wrong += back.GetPixel(x, y) != (common ? 0x7FFF : 0);
        }
      }
      EXPECT_EQ(wrong, 0) << "kind " << kind << " back " << bw << "x" << bh;
    }
  }
  CDrawImage none, spare;
  ASSERT_TRUE(spare.Create(kW, kH));
  EXPECT_TRUE(DrawTransitionStep(none, spare, 5, 16).done);
}

TEST(CosineTableTest, EntriesAndPoints) {
  // cos(pi/256) * 65536 = 65531.07 and cos(pi/4) * 65536 = 46340.95, truncated toward zero.
  const int entries[][2] = {{0, 65536},    {1, 65531},    {64, 46340}, {128, 0},
                            {256, -65536}, {320, -46340}, {384, 0},    {511, 65531}};
  for (const auto& [i, value] : entries) EXPECT_EQ(CosineTable()[i], value) << i;
  EXPECT_EQ(WrapAngle(-128), 384);
  // 440 * 46340 / 65536 = 311.1: up-right floors to 311, down-left to -312.
  const int points[][3] = {{0, 320, -200}, {128, 760, 240}, {-128, -120, 240},
                           {64, 631, -71}, {320, 8, 552},   {576, 631, -71}};
  for (const auto& [a, x, y] : points) EXPECT_EQ(PointOnCircle(a, 440), (GridPoint{x, y})) << a;
}

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
