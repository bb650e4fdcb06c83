// Laying text out on a message layer over the real IPA fonts: cells, the character rectangle with
// shadow and edge, wrapping and hanging, line breaks, cursor moves, redrawing, and where the ink
// lands when lines are composed.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "host/font_library.h"
#include "host/sjis_convert.h"
#include "support/ink.h"
#include "text/choice_colours.h"
#include "text/text_layer.h"

namespace adv {
namespace {

using test::BoundsOfOther;
using test::CountPixels;
using test::InkBounds;

constexpr Colour kBlue = 0xFF0000;
constexpr Colour kRed = 0x0000FF;
constexpr Colour kYellow = 0x00FFFF;

const std::string kA = Utf8ToSjis("あ");

class TextLayoutTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { fonts_ = new FontLibrary; }
  static void TearDownTestSuite() { delete fonts_; }

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

  static FontLibrary* fonts_;
  CDrawImage target_;
  TextLayer layer_{*fonts_};
};

FontLibrary* TextLayoutTest::fonts_ = nullptr;

TEST_F(TextLayoutTest, CellsOfFullAndHalfWidthCharacters) {
  EXPECT_EQ(layer_.MeasureLine(kA), 32);
  EXPECT_EQ(layer_.MeasureLine("A"), 16);
  layer_.SetSpacing(2);
  EXPECT_EQ(layer_.MeasureLine(kA + "A\n" + kA), 32 + 2 + 16);
  EXPECT_EQ(layer_.MeasureLine(""), 0);
  EXPECT_EQ(TextLayer::CharacterLength(kA + "A"), 2u);
  EXPECT_EQ(TextLayer::CharacterLength("\x82"), 1u);  // a lead byte at the end stands alone
  EXPECT_EQ(Put(kA), (Rect{0, 0, 32, 32}));
  EXPECT_EQ(Put("A"), (Rect{34, 0, 50, 32}));
  EXPECT_EQ(layer_.cursor_x(), 52);
  EXPECT_EQ(layer_.last_x(), 52);
}

TEST_F(TextLayoutTest, CharacterRectangleWithShadowAndEdge) {
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
    const Rect text = InkBounds(target_, ColorToPixel(0xFFFFFF));
    const Rect shadow = InkBounds(target_, ColorToPixel(kRed));
    EXPECT_EQ(UnionRect(text, shadow), IntersectRect(UnionRect(text, shadow), c.rect));
    if (c.offset == 0 && !c.edge) {
      EXPECT_TRUE(shadow.Empty());  // drawn, and covered by the text
    } else if (!c.edge && c.offset > 0) {
      EXPECT_EQ(shadow.right - text.right, c.offset);
      EXPECT_EQ(shadow.bottom - text.bottom, c.offset);
    } else if (!c.edge) {
      EXPECT_EQ(text.left - shadow.left, -c.offset);
      EXPECT_EQ(text.top - shadow.top, -c.offset);
    } else {
      EXPECT_LT(shadow.left, text.left);
      EXPECT_GT(shadow.bottom, text.bottom);
    }
  }
}

TEST_F(TextLayoutTest, WrapsAtTheWidthAndHangsUpToTheMaximumWidth) {
  const std::string comma = Utf8ToSjis("、");
  const struct {
    std::string next;  // after 18 full-width characters (576 pixels)
    int line;
    int left;
  } cases[] = {{kA, 2, 0}, {comma, 1, 576}, {"A", 1, 576}, {Utf8ToSjis("ぁ"), 1, 576}};
  for (const auto& c : cases) {
    layer_.ClearAll();
    for (int i = 0; i < 18; ++i) Put(kA);
    const Rect rect = Put(c.next);
    EXPECT_EQ(layer_.current_line(), c.line) << c.next;
    EXPECT_EQ(rect.left, c.left) << c.next;
  }
  // Two hanging characters fit in 640; the third goes to the next line.
  layer_.ClearAll();
  for (int i = 0; i < 18; ++i) Put(kA);
  Put(comma);
  Put(comma);
  EXPECT_EQ(layer_.current_line(), 1);
  EXPECT_EQ(Put(comma), (Rect{0, 32, 32, 64}));

  const std::string hanging = Utf8ToSjis("、。？！ー）」』☆♪ぁぃぅぇぉっゃゅょァィゥェォッャュョ");
  ASSERT_EQ(hanging.size(), 56u);
  for (std::size_t i = 0; i < hanging.size(); i += 2) {
    EXPECT_TRUE(TextLayer::IsHangingChar(hanging.substr(i, 2))) << i / 2;
  }
  for (const std::string& s : {kA, std::string("."), std::string("\x81"), Utf8ToSjis("（")}) {
    EXPECT_FALSE(TextLayer::IsHangingChar(s)) << s;
  }
}

TEST_F(TextLayoutTest, LinesEndAtTheLastOne) {
  ASSERT_TRUE(layer_.SetMaxLines(2));
  layer_.SetLeading(4);
  EXPECT_TRUE(layer_.DrawString(kA + "\n" + kA, false));
  EXPECT_EQ(layer_.cursor_y(), 36);
  EXPECT_FALSE(layer_.NewLine());
  // A character that would need a third line is consumed and not drawn.
  for (int i = 0; i < 17; ++i) Put(kA);
  Rect rect{1, 1, 2, 2};
  EXPECT_FALSE(layer_.PutChar(kA, false, &rect));
  EXPECT_TRUE(rect.Empty());
  EXPECT_FALSE(layer_.DrawString("\n", false));
  EXPECT_EQ(layer_.current_line(), 2);
}

TEST_F(TextLayoutTest, SizeAndSpacingChangesMidLine) {
  ASSERT_TRUE(layer_.MoveTo(0, 100));
  const Rect small = Put(kA);
  ASSERT_TRUE(layer_.SetSize(48));
  const Rect big = Put(kA);
  EXPECT_EQ(big.bottom, small.bottom);
  EXPECT_EQ(big, (Rect{32, 84, 80, 132}));

  ASSERT_TRUE(layer_.SetSize(32));
  layer_.SetSpacing(10);  // the gap after the last character grows at once
  EXPECT_EQ(layer_.cursor_x(), 90);
  EXPECT_EQ(Put("A").left, 90);
  layer_.ClearAll();
  layer_.SetSpacing(0);  // an empty line has no gap to change
  EXPECT_EQ(layer_.cursor_x(), 0);
}

TEST_F(TextLayoutTest, CursorMoves) {
  EXPECT_TRUE(layer_.MoveTo(10, 20));
  EXPECT_EQ(layer_.current_line(), 1);  // no text yet: no new line
  Put(kA);
  EXPECT_TRUE(layer_.MoveTo(42, 20));  // where the cursor is already: nothing
  EXPECT_EQ(layer_.current_line(), 1);
  EXPECT_TRUE(layer_.MoveBy(0, 0));
  EXPECT_EQ(layer_.current_line(), 1);
  EXPECT_TRUE(layer_.MoveBy(5, 100));
  EXPECT_EQ(layer_.current_line(), 2);
  EXPECT_EQ(layer_.cursor_x(), 47);
  EXPECT_EQ(layer_.cursor_y(), 120);
  Put(kA);
  EXPECT_TRUE(layer_.MoveAfterLast(1, -2));
  EXPECT_EQ(layer_.current_line(), 3);
  EXPECT_EQ(layer_.cursor_x(), 80);
  EXPECT_EQ(layer_.cursor_y(), 118);
  TextLine line;
  ASSERT_TRUE(layer_.GetLine(&line, 2));
  EXPECT_EQ(line.text, kA);
  EXPECT_EQ(line.rect, (Rect{47, 120, 79, 152}));
  EXPECT_FALSE(layer_.GetLine(&line, 0));
  EXPECT_FALSE(layer_.GetLine(&line, 21));
  EXPECT_FALSE(layer_.GetLine(nullptr, 1));
  // Extreme positions clamp instead of overflowing.
  EXPECT_TRUE(layer_.MoveTo(INT_MAX - 5, INT_MAX - 5));
  layer_.SetSpacing(INT_MAX);
  EXPECT_TRUE(Put(kA).Empty());
  EXPECT_TRUE(layer_.MoveBy(INT_MAX, INT_MAX));
}

TEST_F(TextLayoutTest, ComposesAtTheLayerPositionThroughTheKey) {
  for (int magnification : {1, 2}) {
    SCOPED_TRACE(magnification);
    target_.FillRect(nullptr, kBlue);
    layer_.ClearAll();
    ASSERT_TRUE(layer_.SetArea(600, 640, 480, magnification));
    ASSERT_TRUE(layer_.SetPosition(50, 60));
    ASSERT_TRUE(layer_.DrawString(kA + kA + "\n" + kA, false));
    EXPECT_EQ(BoundsOfOther(target_, ColorToPixel(kBlue)), Rect{});  // not composed yet
    layer_.ComposeAll();
    const Rect page = layer_.OnTarget(layer_.PageRect());
    EXPECT_EQ(page, (Rect{50, 60, 114, 124}));
    const Rect changed = BoundsOfOther(target_, ColorToPixel(kBlue));
    EXPECT_EQ(IntersectRect(changed, page), changed);
    const int white = CountPixels(target_, ColorToPixel(0xFFFFFF));
    const int blue = CountPixels(target_, ColorToPixel(kBlue));
    EXPECT_GT(white, 100);
    // The key lets the target through between the strokes; magnified, edges are blended.
    EXPECT_GT(blue, 640 * 480 - 64 * 64);
    EXPECT_EQ(white + blue == 640 * 480, magnification == 1);
  }
}

TEST_F(TextLayoutTest, ClearingEmptiesThePage) {
  ASSERT_TRUE(layer_.DrawString(kA + "\n" + kA, false));
  EXPECT_FALSE(layer_.IsBlank());
  layer_.ClearAll();
  EXPECT_TRUE(layer_.IsBlank());
  EXPECT_EQ(layer_.current_line(), 1);
  EXPECT_EQ(layer_.cursor_y(), 0);
  EXPECT_EQ(BoundsOfOther(layer_.surface(), ColorToPixel(layer_.transparent_colour())), Rect{});
}

TEST_F(TextLayoutTest, RedrawLineInOtherColours) {
  ASSERT_TRUE(layer_.DrawString(kA + kA + "\n" + kA + "\n", false));
  const int cursor_y = layer_.cursor_y();
  ChoiceColours colours;
  colours.not_selected = kYellow;
  ASSERT_TRUE(colours.RedrawChoice(layer_, 1, false, true));
  EXPECT_EQ(layer_.current_line(), 3);
  EXPECT_EQ(layer_.cursor_y(), cursor_y);
  EXPECT_EQ(layer_.text_colour(), colours.usual);
  const Rect yellow = InkBounds(target_, ColorToPixel(kYellow));
  EXPECT_EQ(IntersectRect(yellow, Rect{0, 0, 64, 32}), yellow);
  EXPECT_FALSE(yellow.Empty());
  // The other line is left alone; a line past the current one cannot be drawn again.
  const Rect white = InkBounds(layer_.surface(), ColorToPixel(0xFFFFFF));
  EXPECT_GE(white.top, 32);
  EXPECT_FALSE(layer_.RedrawLine(4, false));
}

}  // namespace
}  // namespace adv
