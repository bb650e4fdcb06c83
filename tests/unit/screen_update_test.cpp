// The screen update of text: a rectangle restored from the base surface with the message layer
// over it, on the back buffer when the wait is short, staged on the spare buffer when it is not.
#include <gtest/gtest.h>

#include "host/font_library.h"
#include "support/ink.h"
#include "text/screen_update.h"
#include "text/text_layer.h"

namespace adv {
namespace {

constexpr Colour kBase = 0x204060;
constexpr Colour kStale = 0x00FF00;

TEST(ScreenUpdateTest, BackBufferOrSpareBuffer) {
  FontLibrary fonts;
  CDrawImage base, back, spare;
  for (CDrawImage* s : {&base, &back, &spare}) ASSERT_TRUE(s->Create(640, 480));
  base.FillRect(nullptr, kBase);
  TextLayer layer(fonts);
  ASSERT_TRUE(layer.Create(&back, kMessageLayerShape));
  ASSERT_TRUE(layer.SetPosition(100, 200));
  Rect rect;
  ASSERT_TRUE(layer.PutChar("A", false, &rect));
  const Rect screen = layer.OnTarget(rect);
  const Pixel white = ColorToPixel(0xFFFFFF);

  for (std::uint32_t wait : {0u, 99u, 100u, 5000u}) {
    SCOPED_TRACE(wait);
    back.FillRect(nullptr, kStale);
    spare.FillRect(nullptr, 0);
    const bool staged = UpdateScreenRect(&layer, base, back, spare, screen, wait);
    EXPECT_EQ(staged, wait >= kStagingWaitMs);
    CDrawImage& drawn = staged ? spare : back;
    // Outside the rectangle the drawn surface is the back buffer as it was.
    EXPECT_EQ(test::BoundsOfOther(drawn, ColorToPixel(kStale)), screen);
    EXPECT_EQ(test::InkBounds(drawn, white), IntersectRect(test::InkBounds(drawn, white), screen));
    EXPECT_GT(test::CountPixels(drawn, white), 10);
    EXPECT_GT(test::CountPixels(drawn, ColorToPixel(kBase)), 10);
    if (staged) {
      EXPECT_EQ(test::BoundsOfOther(back, ColorToPixel(kStale)), Rect{});
    }
    EXPECT_EQ(layer.target(), &back);
  }
  // Without the layer (a hidden window) only the picture comes back.
  RestoreRect(nullptr, base, back, screen);
  EXPECT_EQ(test::CountPixels(back, white), 0);

  UpdateScreenRect(&layer, base, back, spare, screen, 0);
  EXPECT_EQ(ClearLayerPage(layer, base, back), screen);
  EXPECT_TRUE(layer.IsBlank());
  EXPECT_EQ(test::CountPixels(back, white), 0);
  EXPECT_TRUE(ClearLayerPage(layer, base, back).Empty());
}

}  // namespace
}  // namespace adv
