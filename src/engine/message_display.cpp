#include "engine/message_display.h"

#include "engine/engine.h"

namespace adv {

// The message layer does not draw text yet: a text line is passed over in one step, so scripts
// with text run through. Click waits cannot be written without text, the wait mark cannot be
// enabled without .mst, and the message window cannot be shown without .tsw, so the mark, page
// and layer operations have nothing to act on.

State MessageDisplayStep(Engine& engine) {
  engine.script.line.Set("");
  return State::kReadLine;
}

void FlushPendingText(Engine&) {}

State SetUpTextWait(Engine&, bool) {
  return State::kText;
}

void AnimateMark(Engine&, MarkKind) {}

void EraseMark(Engine&, MarkKind) {}

std::optional<std::uint32_t> NextMarkChange(Engine&) {
  return std::nullopt;
}

void ClearPage(Engine&) {}

void ComposeMessageLayer(Engine&, CDrawImage&, const Rect&) {}

}  // namespace adv
