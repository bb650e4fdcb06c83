#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <tuple>

#include "engine/interpreter.h"
#include "engine/message_display.h"
#include "support/ink.h"
#include "support/test_engine.h"

namespace adv {
namespace {

// Text commands given numbers at the ends of the 32-bit range: positions are computed without
// overflow and land where the clamped arithmetic puts them. The font keywords of .txt and .tpr.
// .tps 0 takes a screen point to the layer; a picture then composes the layer, wherever it is.
TEST(TextCommandsTest, CursorPlacedOnScreenFromAnyLayerPosition) {
  const struct {
    const char* position;
    const char* tps;
    int x, y;  // the cursor afterwards, relative to the layer
  } cases[] = {
      {"10 20", ".tps 0 100 400", 90, 380},
      {"10 -20", ".tps 0 -2147483648 2147483647", INT_MIN, INT_MAX},
      {"-10 20", ".tps 0 2147483647 -2147483648", INT_MAX, INT_MIN},
      {"-2147483648 2147483647", ".tps 0 0 0", INT_MAX, -INT_MAX},
      {"2147483647 -2147483648", ".tps 0 0 0", -INT_MAX, INT_MAX},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.tps);
    test::StartedEngine t;
    t.Execute(std::string(".txt space pos ") + c.position);
    t.Execute(c.tps);
    EXPECT_EQ(t.engine.message_layer.cursor_x(), c.x);
    EXPECT_EQ(t.engine.message_layer.cursor_y(), c.y);
    t.Execute(".tsw");
    t.Execute(".pic screen #FF0000 0 0 0 0 0 0 10 10");
    EXPECT_EQ(t.engine.surfaces.back.GetPixel(5, 5), ColorToPixel(0x0000FF));
  }
}

TEST(TextCommandsTest, PartsAlignedFromAnyPoint) {
  const struct {
    int align;
    const char* x;
    bool on_screen;
  } cases[] = {{1, "-2147483648", false},
               {2, "-2147483648", false},
               {2, "2147483647", true}};  // beyond the width: wrapped to the next line's start
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.align << " " << c.x);
    test::StartedEngine t;
    t.Execute(".tpr font color usual #FFFF00");
    t.Execute(".tpr font align " + std::to_string(c.align));
    t.Execute(std::string(".tpr screen ") + c.x + " 0 ABCD");
    EXPECT_EQ(test::InkBounds(t.engine.surfaces.base, ColorToPixel(0x00FFFF)).Empty(),
              !c.on_screen);
  }
}

// Each font keyword of .txt sets the message layer and each of .tpr the parts layer, that value
// alone (field `field` of the style), leaving the other layer as it was.
TEST(TextCommandsTest, FontKeywordsSetTheirOwnLayerOnly) {
  const auto style = [](const TextLayer& l) {
    return std::vector<std::string>{testing::PrintToString(l.italic()),
                                    testing::PrintToString(l.underline()),
                                    testing::PrintToString(l.strike_out()),
                                    testing::PrintToString(l.edge()),
                                    std::to_string(l.shadow_offset()),
                                    std::to_string(l.leading()),
                                    std::to_string(l.spacing()),
                                    std::to_string(l.weight()),
                                    l.face_name()};
  };
  const std::tuple<const char*, int, const char*> cases[] = {
      {"italic 2", 0, "true"}, {"underline 1", 1, "true"}, {"strikeout -1", 2, "true"},
      {"edge 1", 3, "true"},   {"offset -3", 4, "-3"},     {"leading 7", 5, "7"},
      {"spacing 5", 6, "5"},   {"weight 700", 7, "700"},   {"name IPAMincho", 8, "IPAMincho"}};
  for (const auto& [setting, field, value] : cases) {
    for (const bool parts : {false, true}) {
      SCOPED_TRACE(testing::Message() << parts << " " << setting);
      test::StartedEngine t;
      TextLayer& own = parts ? t.engine.parts_layer : t.engine.message_layer;
      TextLayer& other = parts ? t.engine.message_layer : t.engine.parts_layer;
      auto want = style(own);
      const auto untouched = style(other);
      want[field] = value;
      t.Execute(std::string(parts ? ".tpr" : ".txt") + " font " + setting);
      EXPECT_EQ(style(own), want);
      EXPECT_EQ(style(other), untouched);
    }
  }
}

TEST(TextCommandsTest, TextPositionVariablesSaturate) {
  test::StartedEngine t;
  t.RunConfig(".int x y");
  t.Execute(".txt space pos 2147483647 -2147483648");
  t.Execute("A");
  while (t.engine.interp.state() == State::kText) Step(t.engine);
  t.Execute(".let x = LastTextX");
  t.Execute(".let y = CurTextY");
  EXPECT_EQ(t.Int("x"), INT_MAX);
  EXPECT_EQ(t.Int("y"), INT_MIN + 32);  // the line feed after A: the second line of 32 pixels
}

// One step of the message display for the escapes the text scenario tests do not show on screen:
// which bytes it takes from the line, where it goes next, and what lands on the page.
TEST(MessageDisplayTest, EachEscapeTakesItsBytes) {
  const struct {
    const char* line;
    State next;
    const char* rest;        // what the step leaves in the line buffer
    std::string drawn = "";  // the text of the page's only line afterwards
  } cases[] = {
      {"\\", State::kReadLine, ""},  // a backslash at the very end of the script
      {"\\t\nX", State::kTextClearWaitSetup, "\nX"},
      {"\\TX", State::kTextClearWaitSetup, "X"},
      {"\\\x82\xA0Y", State::kText, "Y", "\x82\xA0"},
      {"\x82\xA0Y", State::kText, "Y", "\x82\xA0"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    test::StartedEngine t;
    t.SetLine(c.line);
    EXPECT_EQ(MessageDisplayStep(t.engine), c.next);
    EXPECT_EQ(t.engine.script.line.Rest(), c.rest);
    TextLine line;
    ASSERT_TRUE(t.engine.message_layer.GetLine(&line, 1));
    EXPECT_EQ(line.text, c.drawn);
  }
}

}  // namespace
}  // namespace adv
