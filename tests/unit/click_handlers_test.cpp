#include <gtest/gtest.h>

#include "app/click_handlers.h"
#include "app/window_proc.h"
#include "support/test_engine.h"

namespace adv {
namespace {

class ClickTest : public ::testing::Test {
 protected:
  void Event(HostEvent::Type type, HostKey key = HostKey::kOther, bool repeat = false) {
    HostEvent e;
    e.type = type;
    e.key = key;
    e.repeat = repeat;
    HandleWindowEvent(t.engine, e);
  }
  void Drain() {
    while (!t.engine.shell.posted.empty()) {
      HostEvent e = t.engine.shell.posted.front();
      t.engine.shell.posted.pop_front();
      HandleWindowEvent(t.engine, e);
    }
  }
  test::TestEngine t;
  InterpreterState& in = t.engine.interp;
  TextState& text = t.engine.text;
};

TEST_F(ClickTest, AcceptedClicksEndWaits) {
  in.state = kStateClkWait;
  OnLeftClick(t.engine, 30, 40);
  EXPECT_EQ(in.state, kStateIdle);
  EXPECT_EQ(t.engine.shell.click_x, 30);
  in.state = kStateTextWait;
  OnRightClick(t.engine, 5, 6);
  EXPECT_EQ(in.state, kStateText);
  EXPECT_EQ(t.engine.shell.click_y, 6);
  text.left_click_accepted = false;
  in.state = kStateTclWait;
  OnLeftClick(t.engine, 1, 1);
  EXPECT_EQ(in.state, kStateTclWait);
  EXPECT_EQ(t.engine.shell.click_x, 5);
}

TEST_F(ClickTest, ClicksDuringTextMakeItInstantUnlessFastDisplayIsSet) {
  in.state = kStateText;
  OnLeftClick(t.engine, 0, 0);
  EXPECT_TRUE(text.instant);
  text.instant = false;
  text.fast_display = 20;
  OnLeftClick(t.engine, 0, 0);
  EXPECT_FALSE(text.instant);
  text.fast_display = 0;
  text.text_click_mode_right = 0;
  OnRightClick(t.engine, 0, 0);
  EXPECT_FALSE(text.instant);
}

TEST_F(ClickTest, ModeTwoMakesTheTextAfterAWaitInstant) {
  in.state = kStateClkWait;
  text.text_click_mode_left = 2;
  OnLeftClick(t.engine, 0, 0);
  EXPECT_TRUE(text.instant);
  // The other button held down with mode 2 does the same.
  text.instant = false;
  text.text_click_mode_left = 1;
  text.text_click_mode_right = 2;
  t.engine.shell.right_down = true;
  in.state = kStateClkWait;
  OnLeftClick(t.engine, 0, 0);
  EXPECT_TRUE(text.instant);
}

TEST_F(ClickTest, ChoicesIgnoreMissesAndTheRightButton) {
  in.state = kStateChoices;
  OnLeftClick(t.engine, 10, 10);
  OnRightClick(t.engine, 10, 10);
  EXPECT_EQ(in.state, kStateChoices);
  EXPECT_EQ(t.engine.shell.click_x, 0);
}

TEST_F(ClickTest, ClickLabelFiresInWaitsOrEverywhereWithItsFlag) {
  t.engine.flow.left_click_label = "target";
  t.engine.flow.call_stack.push_back({"a.txt", 3, false, ""});
  in.state = kStateText;
  OnLeftClick(t.engine, 0, 0);
  EXPECT_EQ(in.state, kStateText);  // flag 0: text goes on as usual
  EXPECT_TRUE(text.instant);
  in.state = kStateClkWait;
  OnLeftClick(t.engine, 7, 8);
  EXPECT_TRUE(t.engine.flow.left_click_label.empty());  // it fires once
  EXPECT_TRUE(t.engine.flow.call_stack.empty());
  EXPECT_EQ(t.engine.shell.click_x, 7);
  EXPECT_NE(in.state, kStateClkWait);
}

TEST_F(ClickTest, EnterAndSpaceActAsButtonsWithoutRepeat) {
  t.host.SetCursorPos(100, 50);
  in.state = kStateClkWait;
  Event(HostEvent::Type::kKeyDown, HostKey::kEnter, true);
  Drain();
  EXPECT_EQ(in.state, kStateClkWait);  // an auto-repeat press is not a click
  Event(HostEvent::Type::kKeyDown, HostKey::kEnter);
  Drain();
  EXPECT_EQ(in.state, kStateIdle);
  EXPECT_TRUE(t.engine.shell.left_down);
  EXPECT_EQ(t.engine.shell.click_x, 100);
  Event(HostEvent::Type::kKeyUp, HostKey::kEnter);
  Drain();
  EXPECT_FALSE(t.engine.shell.left_down);
  in.state = kStateClkWait;
  Event(HostEvent::Type::kKeyDown, HostKey::kSpace);
  Drain();
  EXPECT_TRUE(t.engine.shell.right_down);
  EXPECT_EQ(in.state, kStateIdle);
}

TEST_F(ClickTest, ArrowsMoveTheCursorAndEscapeCloses) {
  t.host.SetCursorPos(100, 100);
  Event(HostEvent::Type::kKeyDown, HostKey::kLeft);
  Event(HostEvent::Type::kKeyDown, HostKey::kLeft, true);
  Event(HostEvent::Type::kKeyDown, HostKey::kDown);
  int x = 0, y = 0;
  t.host.GetCursorPos(x, y);
  EXPECT_EQ(x, 68);
  EXPECT_EQ(y, 116);
  Event(HostEvent::Type::kKeyDown, HostKey::kF12);
  EXPECT_FALSE(t.engine.shell.quit);  // posted, not yet served
  Drain();
  EXPECT_TRUE(t.engine.shell.quit);
}

TEST_F(ClickTest, FullScreenTogglesAndDeactivationReturnsToTheWindow) {
  Event(HostEvent::Type::kKeyDown, HostKey::kF4);
  EXPECT_EQ(t.engine.shell.display_mode, DisplayMode::kFullScreen);
  EXPECT_TRUE(t.host.full_screen());
  Event(HostEvent::Type::kDeactivate);
  EXPECT_EQ(t.engine.shell.display_mode, DisplayMode::kWindowed);
  HostEvent alt_enter;
  alt_enter.type = HostEvent::Type::kKeyDown;
  alt_enter.key = HostKey::kEnter;
  alt_enter.alt = true;
  HandleWindowEvent(t.engine, alt_enter);
  EXPECT_EQ(t.engine.shell.display_mode, DisplayMode::kFullScreen);
  EXPECT_TRUE(t.engine.shell.posted.empty());  // Alt+Enter is not a click
}

}  // namespace
}  // namespace adv
