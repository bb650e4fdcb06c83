// Engine-wide values of the text display: speeds, click modes, the wait modes of the text
// escapes, the text-hook targets and the message window. The layers themselves live in the
// Engine beside this.
#pragma once

#include <array>
#include <string>

#include "base/rect.h"

namespace adv {

// What a button does while text is shown (.tct).
enum class TextClickMode : int {
  kNothing = 0,         // clicks do nothing during display
  kShowAll = 1,         // a click shows the rest of the page at once; holding it speeds text up
  kShowAllAndNext = 2,  // as kShowAll, and a click that ends a wait makes the next text instant
};

// How one button treats a click wait (.clk, .tcl, and .def for the text escapes). Other values
// leave the button's acceptance as the previous wait left it.
enum class WaitMode : int {
  kClickEnds = 0,     // a click of the button ends the wait
  kHeldPasses = 1,    // as kClickEnds, and the wait passes at once while the button is held
  kClickIgnored = 2,  // a click of the button does not end the wait
  kPasses = 3,        // the wait passes at once
};

// Which wait mark picture a wait shows.
enum class MarkKind : int { kWait = 1, kClearWait = 2 };

// The modes of the two buttons for one kind of wait.
struct WaitModes {
  WaitMode left = WaitMode::kClickEnds;
  WaitMode right = WaitMode::kClickEnds;
};

enum class PartsAlignment : int { kLeft = 0, kCentre = 1, kRight = 2 };

struct TextState {
  int text_speed = 100;
  int fast_display = 0;  // second argument of .tsp
  TextClickMode left_click_mode = TextClickMode::kShowAll;
  TextClickMode right_click_mode = TextClickMode::kShowAll;
  bool instant = false;
  bool message_window_shown = false;
  // Characters drawn but not yet presented, in screen coordinates.
  Rect pending;
  // Whether a click of each button ends the current wait.
  bool left_click_accepted = true;
  bool right_click_accepted = true;
  WaitModes text_wait_modes;                 // "\c"
  WaitModes text_clear_wait_modes;           // "\t"
  std::array<std::string, 10> hook_targets;  // "\0" to "\9"
  PartsAlignment parts_alignment = PartsAlignment::kLeft;
};

}  // namespace adv
