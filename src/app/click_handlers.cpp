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

bool IsWaitOrChoice(int state) {
  return state == kStateTextWait || state == kStateTextClearWait || state == kStateClkWait ||
         state == kStateTclWait || state == kStateChoices;
}

void OnClick(Engine& engine, const Button& button, int x, int y) {
  InterpreterState& in = engine.interp;
  const int state = in.state;

  // Click jump: fires once, from any state when its flag says so, else only in the waits.
  if (!button.label.empty() && (button.any_state != 0 || IsWaitOrChoice(state))) {
    if ((state == kStateTextWait || state == kStateClkWait) && MarkShown(engine)) {
      EraseMark(engine, 1);
    }
    if ((state == kStateTextClearWait || state == kStateTclWait) && MarkShown(engine)) {
      EraseMark(engine, 2);
    }
    engine.flow.call_stack.clear();
    in.line.Set("\"" + button.label + "\"");
    button.label.clear();
    engine.shell.click_x = x;
    engine.shell.click_y = y;
    in.state = JumpCommand(engine) ? kStateIdle : kStateEnd;
    return;
  }

  switch (state) {
    case kStateText:
      if ((button.text_click_mode == 1 || button.text_click_mode == 2) &&
          engine.text.fast_display == 0) {
        engine.text.instant = true;
      }
      return;
    case kStateTextWait:
    case kStateClkWait:
      if (!button.accepted) return;
      if (MarkShown(engine)) EraseMark(engine, 1);
      engine.shell.click_x = x;
      engine.shell.click_y = y;
      in.state = state == kStateTextWait ? kStateText : kStateIdle;
      break;
    case kStateTextClearWait:
    case kStateTclWait:
      if (!button.accepted) return;
      if (MarkShown(engine)) EraseMark(engine, 2);
      ClearPage(engine);
      engine.shell.click_x = x;
      engine.shell.click_y = y;
      in.state = state == kStateTextClearWait ? kStateText : kStateIdle;
      break;
    case kStateChoices:
      if (!button.takes_choices || !ChooseOnClick(engine, x, y)) return;
      break;
    default:
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
