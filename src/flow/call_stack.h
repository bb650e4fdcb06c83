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

struct FlowState {
  std::vector<ReturnFrame> call_stack;
  // Click-jump labels set by .lcl and .rcl, and whether they fire in any state.
  std::string left_click_label;
  std::string right_click_label;
  int left_click_any_state = 0;
  int right_click_any_state = 0;
};

}  // namespace adv
