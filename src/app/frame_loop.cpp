#include "app/frame_loop.h"

#include <algorithm>
#include <cstdio>

#include "app/app.h"
#include "app/window_events.h"
#include "base/tick_time.h"
#include "engine/click_waits.h"
#include "engine/engine.h"

namespace adv {

namespace {

bool WaitsForInput(State state) {
  return IsClickWait(state) || state == State::kChoices;
}

// The next time something is due while the interpreter waits for input.
std::optional<std::uint32_t> NextWake(App& app) {
  std::optional<std::uint32_t> until = NextMarkChange(app.engine);
  const std::uint32_t now = app.engine.host.Now();
  for (const auto& at : {app.close_at, ComfortWake(app)}) {
    if (at && (!until || TicksUntil(now, *at) < TicksUntil(now, *until))) until = at;
  }
  return until;
}

// Holds the frame until its deadline, serving messages as they come. The host blocks on its
// event queue meanwhile, so a held frame wakes only for input or when it ends.
void Hold(App& app, std::uint32_t deadline) {
  Host& host = app.engine.host;
  while (true) {
    PumpMessages(app);
    if (app.quit) return;
    const std::uint32_t now = host.Now();
    std::uint32_t wait = TicksUntil(now, deadline);
    if (wait == 0) return;
    // Nor past the time the window is to close.
    if (app.close_at)
      wait = std::min(wait, std::max<std::uint32_t>(TicksUntil(now, *app.close_at), 1));
    HostEvent event;
    if (host.WaitEvent(event, wait)) HandleWindowEvent(app, event);
  }
}

void EndForLackOfInput(App& app) {
  std::fprintf(stderr,
               "adv: the script waits for input that the input script does not give; "
               "ending the run\n");
  DestroyWindow(app);
}

// The backlog holds the game still: no steps, only events, until it closes.
void HoldBacklog(App& app) {
  constexpr std::uint32_t kBacklogFrameMs = 100;
  Host& host = app.engine.host;
  Hold(app, host.Now() + kBacklogFrameMs);
  if (app.quit) return;
  host.EndFrame();
  app.engine.frame.last_end = host.Now();
  if (app.end_when_input_exhausted && app.comforts.backlog.is_open() && !host.InputPending() &&
      !app.close_at) {
    EndForLackOfInput(app);
  }
}

}  // namespace

void PumpMessages(App& app) {
  Host& host = app.engine.host;
  if (app.close_at && TickReached(host.Now(), *app.close_at)) {
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
    if (app.comforts.backlog.is_open()) {
      HoldBacklog(app);
      continue;
    }
    // The first step of a waiting state may still draw (the choices, a steady wait mark): the
    // loop idles only after a step that ran in the state it waits in, once that step's
    // picture is on screen.
    const State stepped_in = engine.interp.state();
    BeforeStep(app);
    Step(engine);
    AfterStep(app);
    ++app.frames;
    Hold(app, frame.last_end + frame.interval);
    if (app.quit) return;
    if (frame.swap_request) {
      frame.swap_request = false;
      engine.surfaces.back.Swap(engine.surfaces.spare);
    }
    host.EndFrame();
    frame.last_end = host.Now();
    // The backlog covers the picture until it closes, and then shows it whole.
    if (!frame.dirty.Empty() && !app.comforts.backlog.is_open()) {
      PresentRect(engine, frame.dirty);
      frame.dirty = Rect{};
    }
    // A headless run ends once the script waits for input its input file will not give, with
    // this frame shown, so an end screenshot has what the player would be looking at.
    const State state = engine.interp.state();
    const bool settled = state == stepped_in;
    if (app.end_when_input_exhausted && settled && WaitsForInput(state) && !host.InputPending() &&
        !app.close_at && !ComfortWake(app)) {
      EndForLackOfInput(app);
      return;
    }
    // Waiting for a click or a sound, the steps change nothing until input or a media event
    // comes or the mark blinks.
    if (settled && IsIdleWait(state)) host.WaitIdle(NextWake(app));
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
