// The frame loop: one interpreter step per frame, the hold for the frame interval while the
// window's messages are served, the buffer swap and the presentation of the dirty rectangle.
#pragma once

#include "base/rect.h"

namespace adv {

class Engine;

void RunFrameLoop(Engine& engine);
// Serves every waiting message (the engine's own posted ones first, then the host's).
void PumpMessages(Engine& engine);

void MarkDirty(Engine& engine, const Rect& rect);
void MarkDirtyArea(Engine& engine, int x, int y, int width, int height);
void RequestSwap(Engine& engine);
// immediate: the window goes now; otherwise a close request is posted to it.
void RequestClose(Engine& engine, bool immediate);
// Copies a rectangle of the back buffer to the window.
void PresentRect(Engine& engine, const Rect& rect);

}  // namespace adv
