#include <gtest/gtest.h>

#include "engine/click_handlers.h"
#include "support/test_engine.h"

namespace adv {
namespace {

enum class Click { kLeft, kRight };

struct ClickCase {
  const char* name;
  State before;
  Click button;
  State after;
  bool instant;          // the instant flag afterwards
  bool recorded;         // the click position was taken
  bool accepted = true;  // the clicking button's wait acceptance
  TextClickMode mode = TextClickMode::kShowAll;
  int fast_display = 0;
  bool other_down_showing_next = false;
};

const ClickCase kClickCases[] = {
    {"clk wait ends on the next line", State::kClkWait, Click::kLeft, State::kReadLine, false,
     true},
    {"text wait goes back to the text", State::kTextWait, Click::kRight, State::kText, false, true},
    {"clearing text wait goes back to the text", State::kTextClearWait, Click::kLeft, State::kText,
     false, true},
    {"tcl wait ends on the next line", State::kTclWait, Click::kRight, State::kReadLine, false,
     true},
    {"a button the wait refuses does nothing", State::kTclWait, Click::kLeft, State::kTclWait,
     false, false, false},
    {"a click during text shows it at once", State::kText, Click::kLeft, State::kText, true, false},
    {"not with a fast-display value", State::kText, Click::kLeft, State::kText, false, false, true,
     TextClickMode::kShowAll, 20},
    {"not in text-click mode 0", State::kText, Click::kRight, State::kText, false, false, true,
     TextClickMode::kNothing},
    {"mode 2 makes the text after a wait instant", State::kClkWait, Click::kLeft, State::kReadLine,
     true, true, true, TextClickMode::kShowAllAndNext},
    {"so does the other button held in mode 2", State::kClkWait, Click::kLeft, State::kReadLine,
     true, true, true, TextClickMode::kShowAll, 0, true},
    {"but not with a fast-display value", State::kClkWait, Click::kRight, State::kReadLine, false,
     true, true, TextClickMode::kShowAllAndNext, 5},
    {"other states ignore clicks", State::kReadLine, Click::kLeft, State::kReadLine, false, false},
};

TEST(ClickTest, WaitsTextAndInstantFlag) {
  for (const ClickCase& c : kClickCases) {
    SCOPED_TRACE(c.name);
    test::TestEngine t;
    TextState& text = t.engine.text;
    const bool left = c.button == Click::kLeft;
    (left ? text.left_click_accepted : text.right_click_accepted) = c.accepted;
    (left ? text.left_click_mode : text.right_click_mode) = c.mode;
    if (c.other_down_showing_next) {
      (left ? text.right_click_mode : text.left_click_mode) = TextClickMode::kShowAllAndNext;
      (left ? t.engine.mouse.right_down : t.engine.mouse.left_down) = true;
    }
    text.fast_display = c.fast_display;
    EnterState(t.engine, c.before);
    left ? OnLeftClick(t.engine, 30, 40) : OnRightClick(t.engine, 30, 40);
    EXPECT_EQ(t.engine.interp.state(), c.after);
    EXPECT_EQ(text.instant, c.instant);
    EXPECT_EQ(t.engine.mouse.click_x == 30 && t.engine.mouse.click_y == 40, c.recorded);
  }
}

TEST(ClickTest, ClickLabelFiresOnceInWaitsOrEverywhereWithItsFlag) {
  test::TestEngine t;
  ClickLabel& jump = t.engine.flow.left_click;
  jump.label = "target";
  t.engine.flow.call_stack.push_back({"a.txt", 3, false, ""});
  EnterState(t.engine, State::kText);
  OnLeftClick(t.engine, 0, 0);
  EXPECT_EQ(t.engine.interp.state(), State::kText);  // not in text without its flag
  EXPECT_EQ(jump.label, "target");
  EnterState(t.engine, State::kClkWait);
  OnLeftClick(t.engine, 7, 8);
  EXPECT_TRUE(jump.label.empty());
  EXPECT_TRUE(t.engine.flow.call_stack.empty());
  EXPECT_EQ(t.engine.mouse.click_x, 7);
  EXPECT_NE(t.engine.interp.state(), State::kClkWait);

  jump = {"target", true};
  EnterState(t.engine, State::kText);
  OnLeftClick(t.engine, 0, 0);
  EXPECT_TRUE(jump.label.empty());
  EXPECT_NE(t.engine.interp.state(), State::kText);
}

}  // namespace
}  // namespace adv
