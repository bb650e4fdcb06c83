// Choices: registered one by one with .slt add, shown as lines of the message layer by .slt
// exec, lit up under the mouse in the choice state, and taken by a left click.
#pragma once

#include <array>
#include <string>

#include "engine/interpreter_state.h"

namespace adv {

class Engine;

struct ChoiceEntry {
  std::string text;
  std::string target;  // jump target word; "" makes a choice that cannot be taken
  int first_line = 0;  // message layer lines the text was drawn on
  int last_line = 0;
};

struct ChoiceTable {
  static constexpr int kMaxChoices = 19;
  std::array<ChoiceEntry, kMaxChoices + 1> entries;  // from 1; entry 0 is never used
  int count = 0;
  int hovered = 0;  // the choice under the mouse at the last hover step, 0 for none

  // False when the table is full.
  [[nodiscard]] bool Add(std::string text, std::string target);
  void Clear();
};

// Draws the registered choices on fresh lines of the message layer; false (after its report)
// when none is registered.
bool ShowChoices(Engine& engine);
// Every step of the choice state: finds the choice under the mouse and draws every choice line
// again, that one in the selected colours and the others in the not-selected ones.
void ChoiceHoverStep(Engine& engine);
// Takes the hovered choice: sets the click position and jumps to its target. False when no
// choice with a target is hovered.
bool ChooseOnClick(Engine& engine, int x, int y);

}  // namespace adv
