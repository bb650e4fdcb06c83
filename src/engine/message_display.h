// The message display: script text lines shown on the message layer a character per step, the
// escapes in them, and how text changes reach the screen.
#pragma once

#include "base/rect.h"
#include "engine/interpreter_state.h"

namespace adv {

class CDrawImage;
class Engine;

// One step of showing the current text line; returns the state to go to.
State MessageDisplayStep(Engine& engine);
// Presents characters drawn but not yet shown (when the message window is shown).
void FlushPendingText(Engine& engine);
// Restores rect (screen coordinates) from the base surface and composes the message layer over
// it: on the back buffer, or on the spare buffer with a swap when 100 ms or more of wait remain.
// layer_shown false leaves the message text out. The rectangle is marked dirty.
void UpdateScreen(Engine& engine, const Rect& rect, bool layer_shown);
// With the message window shown, composes the message layer's lines that meet rect (screen
// coordinates) onto target.
void ComposeMessageLayer(Engine& engine, CDrawImage& target, const Rect& rect);
// Empties the message page and shows the picture again where its text was.
void ClearPage(Engine& engine);

}  // namespace adv
