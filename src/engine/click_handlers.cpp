#include "engine/click_handlers.h"

#include "engine/choices.h"
#include "engine/click_waits.h"
#include "engine/engine.h"
#include "engine/interpreter.h"
#include "engine/jumps.h"
#include "engine/message_display.h"

namespace adv {

namespace {

// The two buttons differ only in which label, modes and acceptance they read.
struct Button {
  ClickLabel& jump;
  TextClickMode text_click_mode;
  bool accepted;
  bool takes_choices;
  // The other button is down and its text-click mode is kShowAllAndNext.
  bool other_down_showing_next;
};

// Erases the wait mark of the wait the interpreter is in, when it is shown.
void EraseMarkOfWait(Engine& engine, State state) {
  if (IsClickWait(state)) EraseMark(engine);
}

bool Skips(TextClickMode mode) {
  return mode == TextClickMode::kShowAll || mode == TextClickMode::kShowAllAndNext;
}

void SetClickPosition(Engine& engine, int x, int y) {
  engine.mouse.click_x = x;
  engine.mouse.click_y = y;
}

void OnClick(Engine& engine, const Button& button, int x, int y) {
  const State state = engine.interp.state();

  // Click jump: fires once, from any state when its flag says so, else only in the waits.
  if (!button.jump.label.empty() &&
      (button.jump.any_state || IsClickWait(state) || state == State::kChoices)) {
    EraseMarkOfWait(engine, state);
    engine.flow.call_stack.clear();
    const std::string target = std::move(button.jump.label);
    button.jump.label.clear();
    SetClickPosition(engine, x, y);
    AfterClickJump(engine, Jump(engine, target));
    return;
  }

  if (state == State::kText) {
    if (Skips(button.text_click_mode) && engine.text.fast_display == 0) {
      engine.text.instant = true;
    }
    return;
  }
  if (IsClickWait(state)) {
    if (!button.accepted) return;
    EraseMarkOfWait(engine, state);
    if (IsClearingWait(state)) ClearPage(engine);
    SetClickPosition(engine, x, y);
    EndClickWait(engine);
  } else if (state == State::kChoices) {
    if (!button.takes_choices || !ChooseOnClick(engine, x, y)) return;
  } else {
    return;
  }
  // A click that ended a wait or took a choice can make the following text instant.
  if (engine.text.fast_display == 0 && (button.text_click_mode == TextClickMode::kShowAllAndNext ||
                                        button.other_down_showing_next)) {
    engine.text.instant = true;
  }
}

}  // namespace

void OnLeftClick(Engine& engine, int x, int y) {
  if (HoldsClicks(engine.interp.state())) {
    engine.mouse.held.push_back({false, x, y});
    return;
  }
  const TextState& text = engine.text;
  Button button{engine.flow.left_click, text.left_click_mode, text.left_click_accepted, true,
                engine.mouse.right_down && text.right_click_mode == TextClickMode::kShowAllAndNext};
  OnClick(engine, button, x, y);
}

void OnRightClick(Engine& engine, int x, int y) {
  if (HoldsClicks(engine.interp.state())) {
    engine.mouse.held.push_back({true, x, y});
    return;
  }
  const TextState& text = engine.text;
  Button button{engine.flow.right_click, text.right_click_mode, text.right_click_accepted, false,
                engine.mouse.left_down && text.left_click_mode == TextClickMode::kShowAllAndNext};
  OnClick(engine, button, x, y);
}

void DeliverHeldClicks(Engine& engine) {
  const std::vector<Mouse::HeldClick> held = std::move(engine.mouse.held);
  engine.mouse.held.clear();
  for (const Mouse::HeldClick& click : held) {
    if (click.right) {
      OnRightClick(engine, click.x, click.y);
    } else {
      OnLeftClick(engine, click.x, click.y);
    }
  }
}

}  // namespace adv
