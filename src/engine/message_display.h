// The message display: text lines shown character by character, and the click waits in them.
#pragma once

#include <cstdint>
#include <optional>

#include "base/rect.h"
#include "engine/interpreter_state.h"
#include "engine/text_state.h"

namespace adv {

class CDrawImage;
class Engine;

// One step of showing the current text line; returns the state to go to.
State MessageDisplayStep(Engine& engine);
// Presents characters drawn but not yet shown.
void FlushPendingText(Engine& engine);
// Sets up the click wait written in the text ("\c", or "\t" with clear).
State SetUpTextWait(Engine& engine, bool clear);
void AnimateMark(Engine& engine, MarkKind kind);
void EraseMark(Engine& engine, MarkKind kind);
// When the wait mark next blinks, while a click wait shows a blinking mark.
std::optional<std::uint32_t> NextMarkChange(Engine& engine);
// Empties the message page after a wait with clear.
void ClearPage(Engine& engine);
// With the message window shown, composes the message layer's lines that meet rect (screen
// coordinates) onto target, which becomes the layer's target.
void ComposeMessageLayer(Engine& engine, CDrawImage& target, const Rect& rect);

}  // namespace adv
