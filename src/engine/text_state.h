// Engine-wide values of the text display that the click handlers and system variables read.
// The message display, click waits and text windows keep their state here.
#pragma once

#include <string>
#include <vector>

namespace adv {

// What a button does while text is shown (.tct).
enum class TextClickMode : int {
  kNothing = 0,         // clicks do nothing during display
  kShowAll = 1,         // a click shows the rest of the page at once; holding it speeds text up
  kShowAllAndNext = 2,  // as kShowAll, and a click that ends a wait makes the next text instant
};

// Which wait mark picture a wait shows.
enum class MarkKind { kWait = 1, kClearWait = 2 };

struct TextState {
  int text_speed = 100;
  int fast_display = 0;  // second argument of .tsp
  TextClickMode left_click_mode = TextClickMode::kShowAll;
  TextClickMode right_click_mode = TextClickMode::kShowAll;
  bool instant = false;
  bool message_window_shown = false;
  // Whether a click of each button ends the current wait.
  bool left_click_accepted = true;
  bool right_click_accepted = true;
  bool mark_enabled = false;
};

// Where the message layer stands, for the text system variables.
struct MessageLayerPosition {
  int x = 0, y = 0;  // layer position on the screen
  int cursor_x = 0, cursor_y = 0;
  int last_x = 0, last_y = 0;  // right after the last character drawn
  int current_line = 1;
  std::vector<std::string> lines;  // text of lines 1 to the current line
};

}  // namespace adv
