// The wait mark: the blink cadence, steady marks, the background it keeps, and clipping. Where
// each mode places it is in the text scenario tests.
#include <gtest/gtest.h>

#include <climits>
#include <optional>

#include "host/font_library.h"
#include "support/ink.h"
#include "text/text_layer.h"
#include "text/wait_mark.h"

namespace adv {
namespace {

constexpr Colour kGrey = 0x808080;
const Pixel kRedPixel = ColorToPixel(0x0000FF);

class WaitMarkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (CDrawImage* s : {&back_, &spare_}) {
      ASSERT_TRUE(s->Create(640, 480));
      s->FillRect(nullptr, kGrey);
    }
    MakePicture(1, 16, 16);
  }
  // Red with a magenta top-left pixel, which is the key.
  void MakePicture(int kind, int w, int h) {
    CDrawImage& p = mark_.picture(kind);
    ASSERT_TRUE(p.Create(w, h));
    p.FillRect(nullptr, 0x0000FF);
    p.Fill(0, 0, 1, 1, 0xFF00FF);
  }
  // The back buffer is as it was before the mark.
  void ExpectUntouched() { EXPECT_EQ(test::BoundsOfOther(back_, ColorToPixel(kGrey)), Rect{}); }

  FontLibrary fonts_;
  TextLayer layer_{fonts_};
  CDrawImage back_, spare_;
  WaitMark mark_;
};

TEST_F(WaitMarkTest, BlinksOnItsCadence) {
  mark_.Set(WaitMark::kFixed, 100, 100, 500);
  EXPECT_TRUE(mark_.Place(1, layer_, back_, spare_, 1000).Empty());
  EXPECT_EQ(mark_.MsUntilNextChange(1000), 501u);
  const Rect rect{100, 100, 116, 116};
  const struct {
    std::uint32_t now;
    bool changed;
    bool visible;
    std::uint32_t next;  // MsUntilNextChange afterwards
  } steps[] = {{1500, false, false, 1},  {1501, true, true, 500}, {1700, false, true, 301},
               {2001, true, false, 500}, {2600, true, true, 401},  // late, still on the beat
               {4000, true, false, 501},                           // too late: a new beat
               {4501, true, true, 500}};
  for (const auto& s : steps) {
    SCOPED_TRACE(s.now);
    EXPECT_EQ(mark_.Animate(back_, spare_, s.now), s.changed ? rect : Rect{});
    EXPECT_EQ(mark_.visible(), s.visible);
    EXPECT_EQ(mark_.MsUntilNextChange(s.now), s.next);
    EXPECT_EQ(test::CountPixels(back_, kRedPixel), s.visible ? 255 : 0);
  }
  EXPECT_EQ(mark_.Erase(back_, spare_), rect);
  ExpectUntouched();
  EXPECT_EQ(mark_.MsUntilNextChange(5000), std::nullopt);
  EXPECT_TRUE(mark_.Animate(back_, spare_, 9000).Empty());
}

TEST_F(WaitMarkTest, NegativeIntervalShowsASteadyMarkOnce) {
  mark_.Set(WaitMark::kFixed, 0, 0, -20);
  mark_.Place(1, layer_, back_, spare_, 0);
  EXPECT_EQ(mark_.MsUntilNextChange(0), 0u);
  EXPECT_EQ(mark_.Animate(back_, spare_, 0), (Rect{0, 0, 16, 16}));
  EXPECT_TRUE(mark_.Animate(back_, spare_, 100000).Empty());
  EXPECT_EQ(mark_.MsUntilNextChange(100000), std::nullopt);
  // The next wait takes away what the last one left showing.
  EXPECT_EQ(mark_.Place(1, layer_, back_, spare_, 0), (Rect{0, 0, 16, 16}));
  ExpectUntouched();
}

TEST_F(WaitMarkTest, ClipsToTheScreen) {
  const struct {
    int kind, w, h, x, y;
    Rect rect;
  } cases[] = {{2, 800, 600, -10, -10, {0, 0, 640, 480}},
               {1, 16, 16, 630, 470, {630, 470, 640, 480}},
               {1, 16, 16, -8, 100, {0, 100, 8, 116}},
               {1, 16, 16, 640, 0, {}},
               {1, 16, 16, INT_MAX, INT_MIN, {}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
    MakePicture(c.kind, c.w, c.h);
    mark_.Set(WaitMark::kFixed, c.x, c.y, 0);
    mark_.Place(c.kind, layer_, back_, spare_, 0);
    EXPECT_EQ(mark_.Animate(back_, spare_, 0), c.rect);
    EXPECT_EQ(test::InkBounds(back_, kRedPixel),
              IntersectRect(test::InkBounds(back_, kRedPixel), c.rect));
    EXPECT_EQ(mark_.Erase(back_, spare_), c.rect);
    ExpectUntouched();
  }
}

}  // namespace
}  // namespace adv
