// The choice table through .slt: its 19 entries and the lines the choices are drawn on.
#include <gtest/gtest.h>

#include "base/messages.h"
#include "engine/choices.h"
#include "host/sjis_convert.h"
#include "support/ink.h"
#include "support/started_engine.h"

namespace adv {
namespace {

TEST(ChoicesTest, TwentiethChoiceIsRefusedWithItsReport) {
  test::StartedEngine t;
  ASSERT_TRUE(t.started);
  for (int i = 1; i <= 20; ++i) {
    t.Execute(".slt add c" + std::to_string(i) + " :t" + std::to_string(i));
  }
  const ChoiceTable& choices = t.engine.choices;
  EXPECT_EQ(choices.count, ChoiceTable::kMaxChoices);
  EXPECT_EQ(choices.entries[19].text, "c19");
  EXPECT_EQ(choices.entries[19].target, ":t19");
  ASSERT_EQ(t.boxes().size(), 1u);
  EXPECT_NE(t.boxes()[0].find(SjisToUtf8(std::string(kMsgTooManyChoices))), std::string::npos);
  EXPECT_NE(t.boxes()[0].find("LINE : 1"), std::string::npos);

  t.Execute(".slt delete");
  EXPECT_EQ(choices.count, 0);
  EXPECT_TRUE(choices.entries[19].text.empty());
  t.Execute(".slt add again :x");
  EXPECT_EQ(choices.count, 1);
  EXPECT_EQ(t.boxes().size(), 1u);
}

TEST(ChoicesTest, ChoicesStartOnAFreshLineAndSpanTheirWrappedLines) {
  // 40 half-width characters are 640 pixels: one wrap in the 600 of the message layer.
  const std::string long_text(40, 'W');
  const struct {
    const char* before;  // text on the page before .slt exec
    int first;           // the lines of the first choice
    int last;
  } cases[] = {{"", 1, 1}, {"Q", 2, 2}, {"Q\n", 2, 2}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.before);
    test::StartedEngine t;
    ASSERT_TRUE(t.started);
    TextLayer& layer = t.engine.message_layer;
    ASSERT_TRUE(layer.DrawString(c.before, false));
    t.Execute(".slt add one :a");
    t.Execute(".slt add " + long_text + " :b");
    t.Execute(".slt exec");
    EXPECT_EQ(t.engine.interp.state(), State::kChoices);
    const ChoiceTable& choices = t.engine.choices;
    EXPECT_EQ(choices.entries[1].first_line, c.first);
    EXPECT_EQ(choices.entries[1].last_line, c.last);
    EXPECT_EQ(choices.entries[2].first_line, c.last + 1);
    EXPECT_EQ(choices.entries[2].last_line, c.last + 2);
    EXPECT_EQ(layer.current_line(), c.last + 3);
  }
}

// Every line of a choice that wraps lights up when the mouse is over any of them.
TEST(ChoicesTest, WrappedChoiceLightsUpWholeFromItsSecondLine) {
  test::StartedEngine t;
  ASSERT_TRUE(t.started);
  t.Execute(".tsw");
  t.Execute(".txt font color selected #FFFF00");
  t.Execute(".slt add " + std::string(40, 'W') + " :b");
  t.Execute(".slt exec");
  TextLayer& layer = t.engine.message_layer;
  TextLine first, second;
  ASSERT_TRUE(layer.GetLine(&first, 1) && layer.GetLine(&second, 2));
  const Rect on_second = layer.OnTarget(second.rect);
  t.host.SetCursorPos(on_second.left + 2, on_second.top + 2);
  Step(t.engine);  // the hover step
  EXPECT_EQ(t.engine.choices.hovered, 1);
  const Pixel yellow = ColorToPixel(0x00FFFF);
  const Rect ink = test::InkBounds(t.engine.surfaces.back, yellow);
  EXPECT_FALSE(IntersectRect(ink, layer.OnTarget(first.rect)).Empty()) << "first line not lit";
}

}  // namespace
}  // namespace adv
