// What a click (or Enter / Space) does to the interpreter: click-jump labels, finishing text,
// ending click waits, picking choices.
#pragma once

#include <vector>

namespace adv {

class Engine;

// The mouse buttons as the engine sees them (keyboard-made presses included), and where the
// last click that ended a wait or took a choice was.
struct Mouse {
  bool left_down = false;
  bool right_down = false;
  int click_x = 0;
  int click_y = 0;
  // Clicks that came while a mode-1 sound or a cursor glide held the script, in order.
  struct HeldClick {
    bool right;
    int x, y;
  };
  std::vector<HeldClick> held;
};

void OnLeftClick(Engine& engine, int x, int y);
void OnRightClick(Engine& engine, int x, int y);
// Hands the held clicks to the handlers, once the wait that held them has ended.
void DeliverHeldClicks(Engine& engine);

}  // namespace adv
