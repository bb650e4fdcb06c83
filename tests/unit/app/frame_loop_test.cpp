#include <gtest/gtest.h>

#include "app/display_mode.h"
#include "app/frame_loop.h"
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
    for (CDrawImage* s : {&engine.surfaces.back, &engine.surfaces.spare}) s->Create(640, 480);
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

}  // namespace
}  // namespace adv
