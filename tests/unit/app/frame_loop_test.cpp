#include <gtest/gtest.h>

#include "app/display_mode.h"
#include "app/frame_loop.h"
#include "app/window_events.h"
#include "support/test_engine.h"

namespace adv {
namespace {

// Records how the frame loop holds its frames.
class CountingHost : public HeadlessHost {
 public:
  using HeadlessHost::HeadlessHost;
  bool WaitEvent(HostEvent& event, std::uint32_t timeout_ms) override {
    waits.push_back(timeout_ms);
    return HeadlessHost::WaitEvent(event, timeout_ms);
  }
  void Present(const FrameView& frame, const Rect& rect) override {
    presented.push_back(rect);
    HeadlessHost::Present(frame, rect);
  }
  std::vector<std::uint32_t> waits;
  std::vector<Rect> presented;  // rectangles, in order
};

class FrameLoopTest : public ::testing::Test {
 protected:
  FrameLoopTest() : engine(host), app(engine) { engine.files.SetBase(dir.path()); }
  void Start(std::string_view script) {
    dir.Write("start.txt", script);
    ASSERT_TRUE(CreateMainWindow(app));
    for (CDrawImage* s : {&engine.surfaces.back, &engine.surfaces.spare})
      ASSERT_TRUE(s->Create(640, 480));
    ASSERT_TRUE(StartInterpreter(engine));
  }
  void Run(std::string_view script) {
    Start(script);
    RunFrameLoop(app);
  }
  test::TempDir dir;
  CountingHost host;
  Engine engine;
  App app;
};

TEST_F(FrameLoopTest, HoldWaitsForEventsOnceUntilItsDeadline) {
  Run(".wat 21\n.end\n");
  // The hold of frame 2 starts at 1 ms with 20 ms to go: one wait, woken by nothing.
  EXPECT_EQ(host.waits, (std::vector<std::uint32_t>{20}));
  EXPECT_EQ(host.Now(), 21u);
}

TEST_F(FrameLoopTest, SwapOnceAndPresentOnlyDirtyFrames) {
  Start(".wat 10\n.end\n");
  engine.surfaces.spare.Fill(0, 0, 640, 480, 0xFFFFFF);
  engine.frame.RequestSwap();
  engine.frame.RequestSwap();
  engine.frame.MarkDirtyArea(10, 10, 5, 5);
  engine.frame.MarkDirty(Rect{0, 0, 2, 2});
  RunFrameLoop(app);
  EXPECT_EQ(engine.surfaces.back.GetPixel(0, 0), 0x7FFF);
  // The expose after window creation, then the one dirty rectangle of the first frame.
  ASSERT_EQ(host.presented.size(), 2u);
  EXPECT_EQ(host.presented[1], (Rect{0, 0, 15, 15}));
  EXPECT_EQ(host.HeadlessHost::presented()[0], 0x7FFF);
}

// A frame's hold ends at the closing time even where the host's own sleep would go on.
TEST_F(FrameLoopTest, UntilClosesTheWindowOnTime) {
  app.close_at = 499;
  Run(".wat 100000\n.end\n");
  EXPECT_EQ(host.Now(), 499u);
}

// Waits add up and may wrap below zero: a negative total holds nothing. (How long a wait holds is
// played in the pacing and docs-timing scenarios.)
TEST(RemainingWaitTest, NegativeTotalsHoldNothing) {
  test::TestEngine t;
  AddWait(t.engine, -1000);
  EXPECT_EQ(RemainingWait(t.engine), 0u);
}

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
