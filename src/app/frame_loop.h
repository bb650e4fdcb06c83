// The frame loop: one interpreter step per frame, the hold for the frame interval while the
// window's messages are served, the buffer swap and the presentation of the dirty rectangle.
#pragma once

#include "base/rect.h"

namespace adv {

struct App;
class Engine;

void RunFrameLoop(App& app);
// Serves every waiting message (the engine's own posted ones first, then the host's).
void PumpMessages(App& app);
// Copies a rectangle of the back buffer to the window.
void PresentRect(Engine& engine, const Rect& rect);

}  // namespace adv
