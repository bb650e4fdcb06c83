#include "text/message_display.h"

#include "engine.h"

namespace adv {

// The message layer does not draw text yet: a text line is passed over in one step, so scripts
// with text run through. Click waits cannot be written without text, the wait mark cannot be
// enabled without .mst, and the message window cannot be shown without .tsw, so the mark, page
// and layer operations have nothing to act on.

bool MessageDisplayStep(Engine& engine) {
  engine.interp.line.Set("");
  engine.interp.state = kStateIdle;
  return true;
}

void FlushPendingText(Engine&) {}

void ClickWaitSetup(Engine& engine, bool) {
  engine.interp.state = kStateText;
}

void AnimateMark(Engine&, int) {}

void EraseMark(Engine&, int) {}

void ClearPage(Engine&) {}

void ComposeMessageLayer(Engine&, CDrawImage&, const Rect&) {}

}  // namespace adv
