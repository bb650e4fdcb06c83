#include "app/frame_loop.h"

#include <cstdio>

#include "app/app.h"
#include "app/window_events.h"
#include "engine/engine.h"

namespace adv {

namespace {
// Sleep in slices of this many ms while at least kSleepMargin ms remain; spin on the message
// queue for the rest, so the frame ends within about a millisecond of its deadline.
constexpr std::uint32_t kSleepSlice = 4;
constexpr std::uint32_t kSleepMargin = 8;

bool WaitsForInput(State state) {
  return IsClickWait(state) || state == State::kChoices;
}

// Wrap-safe: whether the clock has reached t.
bool Reached(std::uint32_t now, std::uint32_t t) {
  return now - t < 0x80000000u;
}

}  // namespace

void PumpMessages(App& app) {
  Host& host = app.engine.host;
  if (app.close_at && Reached(host.Now(), *app.close_at)) {
    app.close_at.reset();
    host.PostClose();
  }
  HostEvent event;
  while (!app.quit && host.PollEvent(event)) HandleWindowEvent(app, event);
}

void RunFrameLoop(App& app) {
  Engine& engine = app.engine;
  Frame& frame = engine.frame;
  Host& host = engine.host;
  frame.last_end = host.Now();
  while (!app.quit) {
    Step(engine);
    ++app.frames;
    if (app.end_when_input_exhausted && WaitsForInput(engine.interp.state()) &&
        !host.InputPending() && !app.close_at) {
      std::fprintf(stderr,
                   "adv: the script waits for input that the input script does not give; "
                   "ending the run\n");
      DestroyWindow(app);
      return;
    }
    const std::uint32_t deadline = frame.last_end + frame.interval;
    while (true) {
      PumpMessages(app);
      if (app.quit) return;
      const std::uint32_t now = host.Now();
      // Differences, not plain comparisons, so the hold stays right across the clock's wrap.
      const std::uint32_t left = deadline - now;
      if (left == 0 || left > 0x80000000u) break;
      if (left >= kSleepMargin) {
        // Nor past the time the window is to close.
        std::uint32_t slice = kSleepSlice;
        if (app.close_at && *app.close_at - now < slice) slice = *app.close_at - now;
        host.Sleep(slice);
      } else {
        host.Spin();
      }
    }
    if (frame.swap_request) {
      frame.swap_request = false;
      engine.surfaces.back.Swap(engine.surfaces.spare);
    }
    host.EndFrame();
    frame.last_end = host.Now();
    if (!frame.dirty.Empty()) {
      PresentRect(engine, frame.dirty);
      frame.dirty = Rect{};
    }
  }
}

void PresentRect(Engine& engine, const Rect& rect) {
  const CDrawImage& back = engine.surfaces.back;
  if (!engine.host.HasWindow() || !back.Is16()) return;
  Rect clipped = IntersectRect(rect, Rect{0, 0, back.Width(), back.Height()});
  if (clipped.Empty()) return;
  FrameView view{back.Pixels(), back.Width(), back.Height(), back.PitchPixels()};
  engine.host.Present(view, clipped);
}

}  // namespace adv
