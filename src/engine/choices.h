// Choices shown in the message area (the choice state).
#pragma once

namespace adv {

class Engine;

// Highlights the choice under the cursor.
void ChoiceHoverStep(Engine& engine);
// Takes the choice at (x, y): sets the click position and jumps to its target. False when the
// click hits no choice.
bool ChooseOnClick(Engine& engine, int x, int y);

}  // namespace adv
