#include <gtest/gtest.h>

#include "graphics/draw_image.h"
#include "graphics/surfaces.h"

namespace adv {
namespace {

TEST(DrawImageTest, CreateSizes) {
  CDrawImage s;
  EXPECT_TRUE(s.Create(0, 0));
  EXPECT_FALSE(s.Is16());
  EXPECT_FALSE(s.Create(0, 5));
  EXPECT_FALSE(s.Create(5, 0));
  EXPECT_FALSE(s.Create(-1, 5));
  EXPECT_FALSE(s.Create(100000, 100000));
  ASSERT_TRUE(s.Create(101, 3));
  EXPECT_EQ(s.Stride(), 204);
  EXPECT_FALSE(s.Create(-5, 5));
  EXPECT_EQ(s.Width(), 101);  // a failed Create keeps what was there
}

TEST(DrawImageTest, FillClipsAndKeepsRowsApart) {
  CDrawImage s;
  ASSERT_TRUE(s.Create(101, 3));
  s.Fill(0, 0, 101, 3, 0);
  EXPECT_TRUE(s.Fill(-10, 0, 20, 1, MakeColour(255, 128, 0)));
  EXPECT_EQ(s.GetPixel(9, 0), 0x7E00);
  EXPECT_EQ(s.GetPixel(10, 0), 0);
  EXPECT_FALSE(s.Fill(101, 0, 5, 1, 0x123456));
  EXPECT_TRUE(s.Fill(100, 1, 50, 1, 0xFFFFFF));
  EXPECT_EQ(s.Row(1)[100], 0x7FFF);
  EXPECT_EQ(s.Row(1)[101], 0);  // the padding pixel of the row
  EXPECT_EQ(s.GetPixel(0, 2), 0);
}

TEST(DrawImageTest, SwapNeedsEqualSizes) {
  CDrawImage a, b, c;
  ASSERT_TRUE(a.Create(640, 480) && b.Create(640, 480) && c.Create(320, 240));
  a.Fill(0, 0, 640, 480, 0xFFFFFF);
  EXPECT_FALSE(a.Swap(c));
  EXPECT_EQ(a.GetPixel(0, 0), 0x7FFF);
  EXPECT_TRUE(a.Swap(b));
  EXPECT_EQ(a.GetPixel(0, 0), 0);
  EXPECT_EQ(b.GetPixel(0, 0), 0x7FFF);
}

TEST(ClipTest, ClipRectFollowsItsSteps) {
  int w = 20, h = 5, x = -10, y = 0;
  EXPECT_TRUE(ClipRect(w, h, x, y, 640, 480));
  EXPECT_EQ(w, 10);
  EXPECT_EQ(x, 0);
  w = 20, x = 630;
  EXPECT_TRUE(ClipRect(w, h, x, y, 640, 480));
  EXPECT_EQ(w, 10);
  w = 10, x = -10;
  EXPECT_FALSE(ClipRect(w, h, x, y, 640, 480));
  w = 10, x = 640;
  EXPECT_FALSE(ClipRect(w, h, x, y, 640, 480));
  w = 2000, x = -100;
  EXPECT_TRUE(ClipRect(w, h, x, y, 640, 480));
  EXPECT_EQ(w, 640);
  w = 2147483647, x = 5;
  EXPECT_TRUE(ClipRect(w, h, x, y, 640, 480));
  EXPECT_EQ(w, 635);
}

TEST(ClipTest, ClipRectPairMovesTheOtherSide) {
  int w = 100, h = 100, dx = 10, dy = 20, sx = -30, sy = 0;
  EXPECT_TRUE(ClipRectPair(w, h, dx, dy, 640, 480, sx, sy, 50, 50));
  EXPECT_EQ(sx, 0);
  EXPECT_EQ(dx, 40);
  EXPECT_EQ(w, 50);
  EXPECT_EQ(h, 50);
  w = 100, h = 10, dx = -20, dy = 0, sx = 0, sy = 0;
  EXPECT_TRUE(ClipRectPair(w, h, dx, dy, 640, 480, sx, sy, 640, 480));
  EXPECT_EQ(dx, 0);
  EXPECT_EQ(sx, 20);
  EXPECT_EQ(w, 80);
  w = 10, h = 10, dx = 0, dy = 0, sx = 50, sy = 0;
  EXPECT_FALSE(ClipRectPair(w, h, dx, dy, 640, 480, sx, sy, 50, 50));
  w = 10, h = 10, dx = 640, dy = 0, sx = 0, sy = 0;
  EXPECT_FALSE(ClipRectPair(w, h, dx, dy, 640, 480, sx, sy, 50, 50));
}

TEST(SurfaceNameTest, ScreenAndOffscreens) {
  Surfaces s;
  s.offscreens.push_back(std::make_unique<CDrawImage>());
  s.offscreens.push_back(std::make_unique<CDrawImage>());
  EXPECT_EQ(FindSurface(s, ParseSurfaceName("screen")), &s.base);
  EXPECT_EQ(FindSurface(s, ParseSurfaceName("off0")), s.offscreens[0].get());
  EXPECT_EQ(FindSurface(s, ParseSurfaceName("off")), s.offscreens[0].get());
  EXPECT_EQ(FindSurface(s, ParseSurfaceName("off1abc")), s.offscreens[1].get());
  EXPECT_EQ(FindSurface(s, ParseSurfaceName("off +1")), s.offscreens[1].get());
  for (const char* name : {"Screen", "OFF1", "off2", "off-1", "off99999999999999999"}) {
    EXPECT_EQ(FindSurface(s, ParseSurfaceName(name)), nullptr) << name;
  }
  EXPECT_EQ(ParseSurfaceName("OFF1").kind, SurfaceName::Kind::kOther);
  EXPECT_EQ(ParseSurfaceName("off2").kind, SurfaceName::Kind::kOffscreen);
}

}  // namespace
}  // namespace adv
