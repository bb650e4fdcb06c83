#include "app/frame_loop.h"

#include <cstdio>

#include "app/window_proc.h"
#include "engine.h"
#include "script/interpreter.h"

namespace adv {

namespace {
// Sleep in slices of this many ms while at least kSleepMargin ms remain; spin on the message
// queue for the rest, so the frame ends within about a millisecond of its deadline.
constexpr std::uint32_t kSleepSlice = 4;
constexpr std::uint32_t kSleepMargin = 8;

bool WaitsForInput(int state) { return IsClickWait(state) || state == kStateChoices; }

}  // namespace

void PumpMessages(Engine& engine) {
  Shell& shell = engine.shell;
  if (shell.close_at && engine.host.Now() - *shell.close_at < 0x80000000u) {
    shell.close_at.reset();
    HostEvent close;
    close.type = HostEvent::Type::kClose;
    shell.posted.push_back(close);
  }
  HostEvent event;
  while (!shell.quit) {
    if (!shell.posted.empty()) {
      event = shell.posted.front();
      shell.posted.pop_front();
    } else if (!engine.host.PollEvent(event)) {
      break;
    }
    HandleWindowEvent(engine, event);
  }
}

void RunFrameLoop(Engine& engine) {
  Shell& shell = engine.shell;
  Host& host = engine.host;
  shell.last_frame_time = host.Now();
  while (!shell.quit) {
    Step(engine);
    ++shell.frames;
    if (shell.end_when_input_exhausted && WaitsForInput(engine.interp.state) &&
        !host.InputPending() && !shell.close_at) {
      std::fprintf(stderr,
                   "adv: the script waits for input that the input script does not give; "
                   "ending the run\n");
      DestroyWindow(engine);
      return;
    }
    const std::uint32_t deadline = shell.last_frame_time + shell.frame_interval;
    while (true) {
      PumpMessages(engine);
      if (shell.quit) return;
      const std::uint32_t now = host.Now();
      // Differences, not plain comparisons, so the hold stays right across the clock's wrap.
      const std::uint32_t left = deadline - now;
      if (left == 0 || left > 0x80000000u) break;
      if (left >= kSleepMargin) {
        // Nor past the time the window is to close.
        std::uint32_t slice = kSleepSlice;
        if (shell.close_at && *shell.close_at - now < slice) slice = *shell.close_at - now;
        host.Sleep(slice);
      } else {
        host.Spin();
      }
    }
    if (shell.swap_request) {
      shell.swap_request = false;
      engine.surfaces.back.Swap(engine.surfaces.spare);
    }
    host.EndFrame();
    shell.last_frame_time = host.Now();
    if (!shell.dirty.Empty()) {
      PresentRect(engine, shell.dirty);
      shell.dirty = Rect{};
    }
  }
}

void MarkDirty(Engine& engine, const Rect& rect) {
  engine.shell.dirty = UnionRect(engine.shell.dirty, rect);
}

void MarkDirtyArea(Engine& engine, int x, int y, int width, int height) {
  MarkDirty(engine, Rect::FromSize(x, y, width, height));
}

void RequestSwap(Engine& engine) {
  engine.shell.swap_request = true;
}

void RequestClose(Engine& engine, bool immediate) {
  if (immediate) {
    DestroyWindow(engine);
    return;
  }
  HostEvent close;
  close.type = HostEvent::Type::kClose;
  engine.shell.posted.push_back(close);
}

void PresentRect(Engine& engine, const Rect& rect) {
  const CDrawImage& back = engine.surfaces.back;
  if (!engine.host.HasWindow() || !back.Is16()) return;
  Rect clipped = IntersectRect(rect, Rect{0, 0, back.Width(), back.Height()});
  if (clipped.Empty()) return;
  FrameView frame{back.Pixels(), back.Width(), back.Height(), back.PitchPixels()};
  engine.host.Present(frame, clipped);
}

}  // namespace adv
