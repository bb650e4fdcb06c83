// The message display: text lines shown character by character, and the click waits in them.
#pragma once

#include "base/rect.h"

namespace adv {

class CDrawImage;
class Engine;

// One step of showing the current text line (state 1); false ends the script.
bool MessageDisplayStep(Engine& engine);
// Presents characters drawn but not yet shown.
void FlushPendingText(Engine& engine);
// States 3 and 4: sets up the click wait written in the text.
void ClickWaitSetup(Engine& engine, bool clear);
// The wait mark (1: wait without clear, 2: wait with clear).
void AnimateMark(Engine& engine, int kind);
void EraseMark(Engine& engine, int kind);
// Empties the message page after a wait with clear.
void ClearPage(Engine& engine);
// With the message window shown, composes the message layer's lines that meet rect (screen
// coordinates) onto target, which becomes the layer's target.
void ComposeMessageLayer(Engine& engine, CDrawImage& target, const Rect& rect);

}  // namespace adv
