// A text layer over the real IPA fonts, its screen update onto the back or the spare buffer, and
// the wait mark: its blink cadence, steady marks, the background it keeps, and clipping (where
// each mode places it is in the text scenario tests).
#include <gtest/gtest.h>

#include <climits>
#include <optional>
#include <string>
#include <tuple>

#include "host/font.h"
#include "host/font_library.h"
#include "host/sjis_convert.h"
#include "support/ink.h"
#include "text/screen_update.h"
#include "text/text_layer.h"
#include "text/wait_mark.h"

namespace adv {
namespace {

using test::BoundsOfOther;
using test::InkBounds;

constexpr Colour kBlue = 0xFF0000, kRed = 0x0000FF;
const Pixel kWhitePixel = ColorToPixel(0xFFFFFF);
const std::string kA = Utf8ToSjis("あ");

class TextLayerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(target_.Create(640, 480));
    target_.FillRect(nullptr, kBlue);
    ASSERT_TRUE(layer_.Create(&target_, kMessageLayerShape));
  }

  Rect Put(std::string_view text) {
    Rect rect;
    EXPECT_TRUE(layer_.PutChar(text, false, &rect));
    return rect;
  }

  static FontLibrary& Fonts() {
    static FontLibrary fonts;  // fontconfig takes long to start: one for all tests
    return fonts;
  }

  CDrawImage target_;
  TextLayer layer_{Fonts()};
};

TEST_F(TextLayerTest, CellsWrapAndHangingCharacters) {
  layer_.SetSpacing(2);
  EXPECT_EQ(layer_.MeasureLine(kA + "A\n" + kA), 32 + 2 + 16);
  EXPECT_EQ(TextLayer::CharacterLength("\x82"), 1u);  // a lead byte at the end stands alone
  EXPECT_EQ(Put(kA), (Rect{0, 0, 32, 32}));
  EXPECT_EQ(Put("A"), (Rect{34, 0, 50, 32}));
  layer_.SetSpacing(0);

  // After 18 full-width characters (576 pixels) only a hanging character stands out past 600, and
  // only up to 640.
  const std::string comma = Utf8ToSjis("、");
  const struct {
    std::string next;
    int commas;  // of them, then one more character
    Rect rect;
  } cases[] = {{kA, 0, {0, 32, 32, 64}},
               {"A", 0, {576, 0, 592, 32}},
               {Utf8ToSjis("ぁ"), 0, {576, 0, 608, 32}},
               {comma, 1, {608, 0, 640, 32}},
               {comma, 2, {0, 32, 32, 64}}};
  for (const auto& c : cases) {
    layer_.ClearAll();
    for (int i = 0; i < 18; ++i) Put(kA);
    for (int i = 0; i < c.commas; ++i) Put(comma);
    EXPECT_EQ(Put(c.next), c.rect) << c.next << " after " << c.commas;
  }
  EXPECT_FALSE(TextLayer::IsHangingChar("\x81"));  // a lead byte alone
}

// The rectangle holds the text, its shadow (the text moved by the offset) and its edge (the text
// moved a pixel each way), so clearing it clears them all.
TEST_F(TextLayerTest, CharacterRectangleHoldsShadowAndEdge) {
  const struct {
    int offset;
    bool edge;
    Rect rect;
  } cases[] = {{3, false, {100, 100, 135, 135}}, {3, true, {99, 99, 135, 135}},
               {0, false, {100, 100, 132, 132}}, {0, true, {99, 99, 133, 133}},
               {-3, false, {97, 97, 132, 132}},  {-3, true, {97, 97, 133, 133}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "offset " << c.offset << " edge " << c.edge);
    target_.FillRect(nullptr, kBlue);
    layer_.ClearAll();
    layer_.SetShadowOffset(c.offset);
    layer_.SetEdge(c.edge);
    layer_.SetShadowColour(kRed);
    ASSERT_TRUE(layer_.MoveTo(100, 100));
    Rect rect;
    ASSERT_TRUE(layer_.PutChar(kA, true, &rect));
    EXPECT_EQ(rect, c.rect);
    const Rect t = InkBounds(target_, kWhitePixel);
    Rect expected = UnionRect(
        t, Rect{t.left + c.offset, t.top + c.offset, t.right + c.offset, t.bottom + c.offset});
    if (c.edge)
      expected = UnionRect(expected, Rect{t.left - 1, t.top - 1, t.right + 1, t.bottom + 1});
    EXPECT_EQ(BoundsOfOther(target_, ColorToPixel(kBlue)), expected);
    EXPECT_EQ(IntersectRect(expected, c.rect), expected);
  }
}

// The top of an italic reaches past its cell: it is on the layer and shows where the next
// character's rectangle is composed, and clearing the page takes it away with the rest.
TEST_F(TextLayerTest, InkPastTheCellShowsUnderTheNextCharacter) {
  ASSERT_TRUE(layer_.SetItalic(true));
  ASSERT_TRUE(layer_.DrawString("W ", true));
  EXPECT_GT(BoundsOfOther(target_, ColorToPixel(kBlue)).right, layer_.MeasureLine("W"));
  layer_.ClearAll();
  ASSERT_TRUE(layer_.DrawString("W", false));  // a page that ends in the overhang
  layer_.ClearAll();
  target_.FillRect(nullptr, kBlue);
  ASSERT_TRUE(layer_.DrawString("  ", true));
  EXPECT_EQ(BoundsOfOther(target_, ColorToPixel(kBlue)), Rect{});
}

TEST_F(TextLayerTest, SizeSpacingAndLeadingChangeMidLine) {
  ASSERT_TRUE(layer_.MoveTo(0, 100));
  Put(kA);  // 100 to 132
  ASSERT_TRUE(layer_.SetSize(48));
  EXPECT_EQ(Put(kA), (Rect{32, 84, 80, 132}));  // on the bottom edge of the small one
  ASSERT_TRUE(layer_.SetSize(32));
  layer_.SetSpacing(10);  // the gap after the last character grows at once
  EXPECT_EQ(Put("A").left, 90);
  layer_.SetLeading(4);
  ASSERT_TRUE(layer_.NewLine());
  EXPECT_EQ(layer_.cursor_y(), 100 + 32 + 4);
  layer_.ClearAll();
  layer_.SetSpacing(0);  // an empty line has no gap to change
  EXPECT_EQ(layer_.cursor_x(), 0);
}

TEST_F(TextLayerTest, CursorMovesAndTheEndsOfTheIntRange) {
  EXPECT_TRUE(layer_.MoveTo(10, 20));
  Put(kA);
  // Moves that go nowhere start no new line.
  EXPECT_TRUE(layer_.MoveTo(42, 20));
  EXPECT_TRUE(layer_.MoveBy(0, 0));
  EXPECT_EQ(layer_.current_line(), 1);
  TextLine line;
  EXPECT_FALSE(layer_.GetLine(&line, 0) || layer_.GetLine(&line, 21) || layer_.GetLine(nullptr, 1));
  // Extreme positions clamp instead of overflowing.
  EXPECT_TRUE(layer_.MoveTo(INT_MAX - 5, INT_MAX - 5));
  layer_.SetSpacing(INT_MAX);
  EXPECT_TRUE(Put(kA).Empty());
  EXPECT_TRUE(layer_.MoveBy(INT_MAX, INT_MAX));
  EXPECT_EQ(layer_.cursor_x(), INT_MAX);
  EXPECT_TRUE(layer_.MoveAfterLast(1, 1));
  EXPECT_EQ(layer_.cursor_y(), INT_MAX);
}

// Magnified text (the plain case is in every text scenario): cells stay logical on the target,
// the key lets the target through between the strokes, and the edges are blended.
TEST_F(TextLayerTest, ComposesMagnifiedAtTheLayerPositionThroughTheKey) {
  ASSERT_TRUE(layer_.SetArea(600, 640, 480, 2));
  ASSERT_TRUE(layer_.SetPosition(50, 60));
  ASSERT_TRUE(layer_.DrawString(kA + kA + "\n" + kA, false));
  EXPECT_EQ(BoundsOfOther(target_, ColorToPixel(kBlue)), Rect{});  // not composed yet
  layer_.ComposeAll();
  const Rect page = layer_.OnTarget(layer_.PageRect());
  EXPECT_EQ(page, (Rect{50, 60, 114, 124}));
  const Rect changed = BoundsOfOther(target_, ColorToPixel(kBlue));
  EXPECT_EQ(IntersectRect(changed, page), changed);
  const int white = test::CountPixels(target_, kWhitePixel);
  const int blue = test::CountPixels(target_, ColorToPixel(kBlue));
  EXPECT_GT(white, 100);
  EXPECT_GT(blue, 640 * 480 - 64 * 64);
  EXPECT_LT(white + blue, 640 * 480);
}

TEST_F(TextLayerTest, RefusedValuesChangeNothing) {
  const std::size_t fonts_kept = Fonts().kept();
  // A width above the maximum width, magnifications 0 and 5, a surface beyond the limits, and
  // line counts, sizes and weights out of range.
  EXPECT_FALSE(layer_.SetArea(640, 600, 480, 1) || layer_.SetArea(600, 640, 480, 0) ||
               layer_.SetArea(600, 640, 480, 5) || layer_.SetArea(600, 20000, 480, 2) ||
               layer_.SetMaxLines(0) || layer_.SetMaxLines(kMaxLines + 1) || layer_.SetSize(0) ||
               layer_.SetSize(-5) || layer_.SetSize(kMaxFontSize + 1) || layer_.SetWeight(1200) ||
               layer_.SetWeight(-1));
  EXPECT_EQ(std::tuple(layer_.surface().Width(), layer_.magnification(), layer_.max_lines(),
                       layer_.size(), layer_.weight()),
            std::tuple(640, 1, 20, 32, 400));
  EXPECT_EQ(Fonts().kept(), fonts_kept);
  // A size the font library refuses once magnified keeps the font too.
  ASSERT_TRUE(layer_.SetArea(600, 640, 480, 4));
  EXPECT_FALSE(layer_.SetSize(300));
  EXPECT_EQ(layer_.font()->height(), 128);
}

// A layer makes its font and its surface when a character first needs them, with the settings
// made by then: a game that shows no text starts no fonts.
TEST(TextLayerFontTest, FontAndSurfaceAreMadeAtTheFirstCharacter) {
  FontLibrary fonts;
  CDrawImage target;
  TextLayer layer(fonts);
  ASSERT_TRUE(target.Create(640, 480) && layer.Create(&target, kMessageLayerShape));
  ASSERT_TRUE(layer.SetSize(24) && layer.SetArea(600, 640, 480, 2) &&
              layer.SetTransparentColor(0x00FF00));
  EXPECT_EQ(fonts.kept(), 0u);
  EXPECT_EQ(layer.MeasureLine(kA), 24);
  EXPECT_EQ(fonts.kept(), 1u);
  EXPECT_EQ(layer.font()->height(), 48);
  ASSERT_TRUE(layer.PutChar(kA, false, nullptr));
  const Rect ink = BoundsOfOther(layer.surface(), ColorToPixel(0x00FF00));
  EXPECT_FALSE(ink.Empty());
  EXPECT_EQ(IntersectRect(ink, Rect{0, 0, 48, 48}), ink);
}

// The text reports scenario shows .txt space pos and .txt maxline refused on a page with text.
TEST_F(TextLayerTest, BlankOnlySettingsWaitForAnEmptyPage) {
  ASSERT_TRUE(layer_.PutChar(kA, false, nullptr));
  EXPECT_FALSE(layer_.SetArea(600, 640, 480, 2) || layer_.SetTransparentColor(0x00FF00));
  EXPECT_EQ(layer_.magnification(), 1);
  EXPECT_EQ(layer_.transparent_colour(), 0xFF00FFu);
  EXPECT_TRUE(layer_.SetWeight(700));  // style settings do not wait
  layer_.ClearAll();
  EXPECT_TRUE(layer_.SetTransparentColor(0x00FF00));
  EXPECT_EQ(BoundsOfOther(layer_.surface(), ColorToPixel(0x00FF00)), Rect{});
  // A new wrap width alone takes effect.
  EXPECT_TRUE(layer_.SetArea(300, 640, 480, 1));
  EXPECT_EQ(layer_.width(), 300);
}

TEST_F(TextLayerTest, ScreenUpdateOnTheBackBufferOrStagedOnTheSpare) {
  constexpr Colour kStale = 0x00FF00;
  CDrawImage base, spare;
  ASSERT_TRUE(base.Create(640, 480) && spare.Create(640, 480));
  base.FillRect(nullptr, kRed);
  ASSERT_TRUE(layer_.SetPosition(100, 200));
  const Rect screen = layer_.OnTarget(Put("A"));
  for (std::uint32_t wait : {kStagingWaitMs - 1, kStagingWaitMs}) {
    SCOPED_TRACE(wait);
    target_.FillRect(nullptr, kStale);
    const bool staged = UpdateScreenRect(&layer_, base, target_, spare, screen, wait);
    EXPECT_EQ(staged, wait == kStagingWaitMs);
    const CDrawImage& drawn = staged ? spare : target_;
    // Only the rectangle changed, to the picture with the character over it.
    EXPECT_EQ(BoundsOfOther(drawn, ColorToPixel(kStale)), screen);
    EXPECT_GT(test::CountPixels(drawn, kWhitePixel), 10);
    EXPECT_GT(test::CountPixels(drawn, ColorToPixel(kRed)), 10);
    EXPECT_EQ(BoundsOfOther(target_, ColorToPixel(kStale)), staged ? Rect{} : screen);
    EXPECT_EQ(layer_.target(), &target_);
  }
}

constexpr Colour kGrey = 0x808080;
const Pixel kRedPixel = ColorToPixel(kRed);

class WaitMarkTest : public TextLayerTest {
 protected:
  void SetUp() override {
    TextLayerTest::SetUp();
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
    p.FillRect(nullptr, kRed);
    p.Fill(0, 0, 1, 1, 0xFF00FF);
  }
  // The back buffer is as it was before the mark.
  void ExpectUntouched() { EXPECT_EQ(BoundsOfOther(back_, ColorToPixel(kGrey)), Rect{}); }

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

// A negative interval is a steady mark, as 0 is; the next wait takes away what it left showing.
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
    mark_.Set(WaitMark::kFixed, c.x, c.y, -20);
    mark_.Place(c.kind, layer_, back_, spare_, 0);
    EXPECT_EQ(mark_.Animate(back_, spare_, 0), c.rect);
    EXPECT_EQ(InkBounds(back_, kRedPixel), IntersectRect(InkBounds(back_, kRedPixel), c.rect));
    EXPECT_EQ(mark_.Place(c.kind, layer_, back_, spare_, 0), c.rect);  // the next wait clears it
    ExpectUntouched();
  }
}

}  // namespace
}  // namespace adv
