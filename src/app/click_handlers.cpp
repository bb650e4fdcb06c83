#include "app/click_handlers.h"

#include "engine.h"
#include "flow/choices.h"
#include "flow/jumps.h"
#include "text/message_display.h"

namespace adv {

namespace {

// The two buttons differ only in which label, modes and acceptance they read.
struct Button {
  std::string& label;
  int any_state;
  int text_click_mode;
  bool accepted;
  bool takes_choices;
  // For step 3: the other button is down and its text-click mode is 2.
  bool other_down_with_mode_2;
};

bool MarkShown(const Engine& engine) {
  return engine.text.mark_enabled && engine.text.message_window_shown;
}

bool IsClearingWait(int state) {
  return state == kStateTextClearWait || state == kStateTclWait;
}

// Erases the wait mark of the wait the interpreter is in, when it is shown.
void EraseMarkOfWait(Engine& engine, int state) {
  if (IsClickWait(state) && MarkShown(engine)) EraseMark(engine, IsClearingWait(state) ? 2 : 1);
}

void OnClick(Engine& engine, const Button& button, int x, int y) {
  InterpreterState& in = engine.interp;
  const int state = in.state;

  // Click jump: fires once, from any state when its flag says so, else only in the waits.
  if (!button.label.empty() &&
      (button.any_state != 0 || IsClickWait(state) || state == kStateChoices)) {
    EraseMarkOfWait(engine, state);
    engine.flow.call_stack.clear();
    in.line.Set("\"" + button.label + "\"");
    button.label.clear();
    engine.shell.click_x = x;
    engine.shell.click_y = y;
    in.state = JumpCommand(engine) ? kStateIdle : kStateEnd;
    return;
  }

  if (state == kStateText) {
    if ((button.text_click_mode == 1 || button.text_click_mode == 2) &&
        engine.text.fast_display == 0) {
      engine.text.instant = true;
    }
    return;
  }
  if (IsClickWait(state)) {
    if (!button.accepted) return;
    EraseMarkOfWait(engine, state);
    if (IsClearingWait(state)) ClearPage(engine);
    engine.shell.click_x = x;
    engine.shell.click_y = y;
    // Waits written in text go back to the text; .clk and .tcl to the next line.
    in.state = state == kStateTextWait || state == kStateTextClearWait ? kStateText : kStateIdle;
  } else if (state == kStateChoices) {
    if (!button.takes_choices || !ChooseOnClick(engine, x, y)) return;
  } else {
    return;
  }
  // A click that ended a wait or took a choice can make the following text instant.
  if (engine.text.fast_display == 0 &&
      (button.text_click_mode == 2 || button.other_down_with_mode_2)) {
    engine.text.instant = true;
  }
}

}  // namespace

void OnLeftClick(Engine& engine, int x, int y) {
  const TextState& text = engine.text;
  Button button{engine.flow.left_click_label,
                engine.flow.left_click_any_state,
                text.text_click_mode_left,
                text.left_click_accepted,
                true,
                engine.shell.right_down && text.text_click_mode_right == 2};
  OnClick(engine, button, x, y);
}

void OnRightClick(Engine& engine, int x, int y) {
  const TextState& text = engine.text;
  Button button{engine.flow.right_click_label,
                engine.flow.right_click_any_state,
                text.text_click_mode_right,
                text.right_click_accepted,
                false,
                engine.shell.left_down && text.text_click_mode_left == 2};
  OnClick(engine, button, x, y);
}

}  // namespace adv
