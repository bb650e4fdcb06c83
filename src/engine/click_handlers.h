// What a click (or Enter / Space) does to the interpreter: click-jump labels, finishing text,
// ending click waits, picking choices.
#pragma once

namespace adv {

class Engine;

// The mouse buttons as the engine sees them (keyboard-made presses included), and where the
// last click that ended a wait or took a choice was.
struct Mouse {
  bool left_down = false;
  bool right_down = false;
  int click_x = 0;
  int click_y = 0;
};

void OnLeftClick(Engine& engine, int x, int y);
void OnRightClick(Engine& engine, int x, int y);

}  // namespace adv
