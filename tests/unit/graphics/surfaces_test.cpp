#include <gtest/gtest.h>

#include <array>
#include <limits>

#include "engine/surface_name.h"
#include "graphics/draw_image.h"
#include "graphics/surfaces.h"

namespace adv {
namespace {

TEST(DrawImageTest, CreateFillAndSwap) {
  CDrawImage s;
  EXPECT_TRUE(s.Create(0, 0));
  EXPECT_FALSE(s.Is16());
  for (auto [w, h] : {std::pair{0, 5}, {5, 0}, {-1, 5}, {100000, 100000}, {8193, 8193}}) {
    EXPECT_FALSE(s.Create(w, h)) << w << "x" << h;
  }
  ASSERT_TRUE(s.Create(101, 3));
  EXPECT_FALSE(s.Create(-5, 5));
  EXPECT_EQ(s.Width(), 101);  // a failed Create keeps what was there
  // A row's padding pixel is not part of the picture.
  EXPECT_TRUE(s.Fill(100, 1, 50, 1, 0xFFFFFF));
  EXPECT_EQ(s.Row(1)[100], 0x7FFF);
  EXPECT_EQ(s.Row(1)[101], 0);
  EXPECT_EQ(s.GetPixel(101, 1), 0);

  CDrawImage a, b, c;
  ASSERT_TRUE(a.Create(640, 480) && b.Create(640, 480) && c.Create(320, 240));
  a.Fill(0, 0, 640, 480, 0xFFFFFF);
  EXPECT_FALSE(a.Swap(c));
  EXPECT_EQ(a.GetPixel(0, 0), 0x7FFF);
  EXPECT_TRUE(a.Swap(b));
  EXPECT_EQ(a.GetPixel(0, 0), 0);
  EXPECT_EQ(b.GetPixel(0, 0), 0x7FFF);
}

// Scripts may pass any integer. Ordinary rectangles are covered by the composition tests; these
// are sums near the ends of the int range.
TEST(ClipTest, RectanglesNearTheEndsOfTheIntRange) {
  constexpr int kMax = std::numeric_limits<int>::max(), kMin = std::numeric_limits<int>::min();
  // The clipped length and position on either axis of a 640 x 640 surface; {0, 0}: refused.
  auto clip = [](int length, int at, bool vertical) {
    int side[2][2] = {{5, 0}, {5, 0}};  // length and position of x, then y
    side[vertical][0] = length;
    side[vertical][1] = at;
    const bool ok = ClipRect(side[0][0], side[1][0], side[0][1], side[1][1], 640, 640);
    return ok ? std::pair{side[vertical][0], side[vertical][1]} : std::pair{0, 0};
  };
  const int cases[][4] = {
      {kMax, 5, 635, 5},    {kMax, 639, 1, 639}, {kMax, kMin, 0, 0}, {kMax, -kMax + 10, 10, 0},
      {kMax, -100, 640, 0}, {kMin, 5, 0, 0},     {1, kMax, 0, 0}};
  for (const auto& [length, at, clipped_length, clipped_at] : cases) {
    for (bool vertical : {false, true}) {
      EXPECT_EQ(clip(length, at, vertical), (std::pair{clipped_length, clipped_at}))
          << length << " at " << at << (vertical ? " down" : " across");
    }
  }
  // A pair: clipping the source moves the destination along.
  int w = kMax, h = 5, dx = 5, dy = 0, sx = -10, sy = 0;
  EXPECT_TRUE(ClipRectPair(w, h, dx, dy, 640, 480, sx, sy, 640, 480));
  EXPECT_EQ((std::array{w, dx, sx}), (std::array{625, 15, 0}));
  w = kMax, dx = 0, sx = kMin;
  EXPECT_FALSE(ClipRectPair(w, h, dx, dy, 640, 480, sx, sy, 640, 480));
}

TEST(SurfaceNameTest, ScreenAndOffscreens) {
  Surfaces s;
  s.offscreens.push_back(std::make_unique<CDrawImage>());
  s.offscreens.push_back(std::make_unique<CDrawImage>());
  const std::pair<const char*, CDrawImage*> names[] = {{"screen", &s.base},
                                                       {"off0", s.offscreens[0].get()},
                                                       {"off", s.offscreens[0].get()},
                                                       {"Screen", nullptr},
                                                       {"off1abc", s.offscreens[1].get()},
                                                       {"off +1", s.offscreens[1].get()},
                                                       {"OFF1", nullptr},
                                                       {"off2", nullptr},
                                                       {"off-1", nullptr},
                                                       {"off999999999999999999999", nullptr}};
  for (auto [name, surface] : names)
    EXPECT_EQ(FindSurface(s, ParseSurfaceName(name)), surface) << name;
  // A name in the offscreen form that names no offscreen is told apart from any other word.
  EXPECT_EQ(ParseSurfaceName("OFF1").kind, SurfaceName::Kind::kOther);
  EXPECT_EQ(ParseSurfaceName("off2").kind, SurfaceName::Kind::kOffscreen);
}

}  // namespace
}  // namespace adv
