#include <gtest/gtest.h>

#include "app/window_events.h"
#include "support/test_engine.h"

namespace adv {
namespace {

class WindowEventsTest : public ::testing::Test {
 protected:
  void Key(HostEvent::Type type, HostKey key, bool repeat = false, bool alt = false) {
    HostEvent e;
    e.type = type;
    e.key = key;
    e.repeat = repeat;
    e.alt = alt;
    HandleWindowEvent(t.app, e);
  }
  void Press(HostKey key, bool repeat = false) { Key(HostEvent::Type::kKeyDown, key, repeat); }
  test::TestEngine t;
};

TEST_F(WindowEventsTest, EnterAndSpaceActAsButtonsWithoutRepeat) {
  t.host.SetCursorPos(100, 50);
  EnterState(t.engine, State::kClkWait);
  Press(HostKey::kEnter, true);
  t.Drain();
  EXPECT_EQ(t.engine.interp.state(), State::kClkWait);  // an auto-repeat press is not a click
  Press(HostKey::kEnter);
  t.Drain();
  EXPECT_EQ(t.engine.interp.state(), State::kReadLine);
  EXPECT_TRUE(t.engine.mouse.left_down);
  EXPECT_EQ(t.engine.mouse.click_x, 100);
  Key(HostEvent::Type::kKeyUp, HostKey::kEnter);
  t.Drain();
  EXPECT_FALSE(t.engine.mouse.left_down);
  EnterState(t.engine, State::kClkWait);
  Press(HostKey::kSpace);
  t.Drain();
  EXPECT_TRUE(t.engine.mouse.right_down);
  EXPECT_EQ(t.engine.interp.state(), State::kReadLine);
}

TEST_F(WindowEventsTest, ArrowsMoveTheCursorAndEscapeCloses) {
  t.host.SetCursorPos(100, 100);
  Press(HostKey::kLeft);
  Press(HostKey::kLeft, true);
  Press(HostKey::kDown);
  int x = 0, y = 0;
  t.host.GetCursorPos(x, y);
  EXPECT_EQ(x, 68);
  EXPECT_EQ(y, 116);
  Press(HostKey::kF12);
  EXPECT_FALSE(t.app.quit);  // posted, not yet served
  t.Drain();
  EXPECT_TRUE(t.app.quit);
}

TEST_F(WindowEventsTest, FullScreenTogglesAndDeactivationReturnsToTheWindow) {
  Press(HostKey::kF4);
  EXPECT_EQ(t.app.display_mode, DisplayMode::kFullScreen);
  EXPECT_TRUE(t.host.full_screen());
  HostEvent deactivate;
  deactivate.type = HostEvent::Type::kDeactivate;
  HandleWindowEvent(t.app, deactivate);
  EXPECT_EQ(t.app.display_mode, DisplayMode::kWindowed);
  EnterState(t.engine, State::kClkWait);
  Key(HostEvent::Type::kKeyDown, HostKey::kEnter, false, true);
  t.Drain();
  EXPECT_EQ(t.app.display_mode, DisplayMode::kFullScreen);
  EXPECT_EQ(t.engine.interp.state(), State::kClkWait);  // Alt+Enter is not a click
}

}  // namespace
}  // namespace adv
