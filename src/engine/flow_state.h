// Subroutine stack and click-jump labels. Jumps and subroutine calls push and pop frames here.
#pragma once

#include <string>
#include <vector>

namespace adv {

struct ReturnFrame {
  std::string file;  // the calling script, as it was opened
  int line = 0;      // line number of the call
  bool from_text = false;
  std::string text;  // rest of the text line when called from inside text
};

// A click-jump label set by .lcl or .rcl; it fires once.
struct ClickLabel {
  std::string label;
  bool any_state = false;  // fires in every state, not only in the waits and the choices
};

struct FlowState {
  std::vector<ReturnFrame> call_stack;
  ClickLabel left_click;
  ClickLabel right_click;
};

}  // namespace adv
