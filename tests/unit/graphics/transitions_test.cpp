#include "graphics/transitions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>
#include <vector>

#include "graphics/cosine_table.h"

namespace adv {
namespace {

constexpr int kW = 640;
constexpr int kH = 480;
constexpr Rect kWhole{0, 0, kW, kH};
constexpr int kKinds[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, -1, 0};
constexpr int kLast[] = {16, 16, 55, 45, 16, 64, 55, 49, 80, 16, 16, 4, 8, 1, 1, 1};
constexpr int kA[16][2] = {{0, 0}, {2, 2}, {2, 0}, {0, 2}, {1, 1}, {3, 3}, {3, 1}, {1, 3},
                           {1, 0}, {3, 2}, {3, 0}, {1, 2}, {0, 1}, {2, 3}, {2, 1}, {0, 3}};
constexpr int kB[16][2] = {{3, 0}, {1, 2}, {3, 2}, {1, 0}, {2, 1}, {0, 3}, {2, 3}, {0, 1},
                           {3, 1}, {1, 3}, {3, 3}, {1, 1}, {2, 0}, {0, 2}, {2, 2}, {0, 0}};

bool InCell(int x, int y, const int (&c)[2]) {
  return x % 4 == c[0] && y % 4 == c[1];
}
bool InBox(int x, int y, int s) {
  return x >= 320 - 4 * s && x < 320 + 4 * s && y >= 240 - 3 * s && y < 240 + 3 * s;
}

// What step s copies, pixel by pixel from the table. Kinds 6, 10 and 11 are checked separately.
bool HasReference(int kind) {
  return kind != 6 && kind != 10 && kind != 11;
}
bool Reference(int kind, int s, int x, int y) {
  const int m = s - 1;
  auto in_b = [&](int d) { return d >= 0 && d < 16 && InCell(x, y, kB[d]); };
  if (kind == 1) return x % 16 == m;
  if (kind == 2) return y % 16 == m;
  if (kind == 3) return x / 16 + x % 16 == m;  // strip x / 16 started at step x / 16 + 1
  if (kind == 4) return y / 16 + y % 16 == m;
  if (kind == 5) return InCell(x, y, kA[m]);
  if (kind == 7) return in_b(m - x / 16);
  if (kind == 8) return in_b(m - x / 32 - y / 32);
  if (kind == 9) return InBox(x, y, s) && !InBox(x, y, s - 1);
  if (kind == 12) return x % 2 == (s == 1 || s == 3) && y % 2 == (s == 2 || s == 3);
  if (kind == 13) return InCell(x, y, kB[2 * m]) || InCell(x, y, kB[2 * m + 1]);
  return true;
}

class TransitionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(back_.Create(kW, kH));
    ASSERT_TRUE(spare_.Create(kW, kH));
    std::mt19937 rng(7);
    // Rows are packed at this width. The spare differs from the back everywhere, so every copied
    // pixel shows.
    for (int i = 0; i < kW * kH; ++i) {
      back_.Pixels()[i] = static_cast<Pixel>(rng() & 0x7FFF);
      spare_.Pixels()[i] = static_cast<Pixel>(back_.Pixels()[i] ^ (1 + rng() % 0x7FFF));
    }
    before_.assign(back_.Pixels(), back_.Pixels() + kW * kH);
  }

  // Draws one step onto the picture before it; `copied` gets the pixels it changed.
  TransitionStepResult StepAlone(int kind, int s) {
    std::copy(before_.begin(), before_.end(), back_.Pixels());
    TransitionStepResult r = DrawTransitionStep(back_, spare_, kind, s);
    copied_.assign(kW * kH, 0);
    const Pixel *now = back_.Pixels(), *target = spare_.Pixels(), *before = before_.data();
    char* out = copied_.data();
    int foreign = 0;
    for (int i = 0; i < kW * kH; ++i) {
      out[i] = now[i] == target[i];
      foreign += !out[i] && now[i] != before[i];
    }
    EXPECT_EQ(foreign, 0) << "kind " << kind << " step " << s << " wrote foreign values";
    return r;
  }
  bool Copied(int x, int y) const { return copied_[y * kW + x] != 0; }

  Rect CopiedBounds() const {
    int left = kW, top = kH, right = 0, bottom = 0;
    const char* c = copied_.data();
    for (int y = 0; y < kH; ++y) {
      for (int x = 0; x < kW; ++x) {
        if (!*c++) continue;
        left = std::min(left, x), right = std::max(right, x + 1);
        top = std::min(top, y), bottom = std::max(bottom, y + 1);
      }
    }
    return left < right ? Rect{left, top, right, bottom} : Rect{};
  }

  CDrawImage back_, spare_;
  std::vector<Pixel> before_;
  std::vector<char> copied_;
};

TEST_F(TransitionTest, EveryKindStepByStep) {
  std::vector<char> covered;
  for (int i = 0; i < 16; ++i) {
    const int kind = kKinds[i], last = kLast[i];
    ASSERT_EQ(TransitionLastStep(kind), last);
    TransitionStepResult r = StepAlone(kind, 0);
    EXPECT_TRUE(!r.done && r.changed.Empty() && CopiedBounds().Empty()) << "kind " << kind;
    covered.assign(kW * kH, 0);
    for (int s = 1; s <= last; ++s) {
      r = StepAlone(kind, s);
      EXPECT_EQ(r.done, s == last) << "kind " << kind << " step " << s;
      for (char *p = covered.data(), *c = copied_.data(); p != covered.data() + kW * kH;) {
        *p++ |= *c++;
      }
      int wrong = 0;
      const char* c = copied_.data();
      for (int y = 0; y < kH && HasReference(kind); ++y) {
        for (int x = 0; x < kW; ++x) wrong += Reference(kind, s, x, y) != (*c++ != 0);
      }
      ASSERT_EQ(wrong, 0) << "kind " << kind << " step " << s;
      const Rect box{320 - 4 * s, 240 - 3 * s, 320 + 4 * s, 240 + 3 * s};
      const bool whole = kind == 5 || kind >= 10 || kind < 1;
      const int l = (s * 800) >> 6, h = l >> 1;
      const Rect square{320 - h, 240 - h, 320 - h + l, 240 - h + l};
      const Rect expected = whole ? kWhole : kind == 9 ? box : kind == 6 ? square : CopiedBounds();
      EXPECT_EQ(r.changed, expected) << "kind " << kind << " step " << s;
    }
    EXPECT_EQ(std::count(covered.begin(), covered.end(), 1), kW * kH) << "kind " << kind;
    // Past the last step: nothing drawn, done again so a caller that overshoots still stops.
    for (int s : {last + 1, 1 << 30}) {
      r = StepAlone(kind, s);
      EXPECT_TRUE(r.done && r.changed.Empty() && CopiedBounds().Empty()) << "kind " << kind;
    }
  }
}

TEST_F(TransitionTest, IrisRuns) {
  // Step 32: L = 400, r = 200, rows 40..439; row 41 has 40000 - 199^2 = 399, w = 39, x = 301.
  StepAlone(6, 32);
  const int rows[][3] = {{39, 0, 0},      {40, 0, 0},     {41, 301, 39},
                         {240, 120, 400}, {439, 301, 39}, {440, 0, 0}};
  for (const auto& [y, x, w] : rows) {
    for (int i = 0; i < kW; ++i) EXPECT_EQ(Copied(i, y), i >= x && i < x + w) << i << "," << y;
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
          count[y * kW + x] += Copied(x, y);
          // Away from the sides, the rounding of the corners cannot matter.
          if (DistanceToLine(x, y, from) < 2 || DistanceToLine(x, y, to) < 2) continue;
          const double a = PixelAngle(x, y);
          wrong += Copied(x, y) !=
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
  EXPECT_EQ(ClockRadius(), 440);
  EXPECT_EQ(WrapAngle(-128), 384);
  // 440 * 46340 / 65536 = 311.1: up-right floors to 311, down-left to -312.
  const int points[][3] = {{0, 320, -200}, {128, 760, 240}, {256, 320, 680}, {-128, -120, 240},
                           {64, 631, -71}, {320, 8, 552},   {576, 631, -71}};
  for (const auto& [a, x, y] : points) EXPECT_EQ(PointOnCircle(a, 440), (GridPoint{x, y})) << a;
}

}  // namespace
}  // namespace adv
