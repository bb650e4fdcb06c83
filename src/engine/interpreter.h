// The interpreter: one Step per frame, the wait accounting that paces frames, and the
// transitions of its state that the click handlers make.
#pragma once

#include <cstdint>
#include <span>

#include "engine/command.h"
#include "engine/interpreter_state.h"

namespace adv {

class Engine;

class Interpreter {
 public:
  State state() const { return state_; }

  // The commands a line may name. The App hands in the command table; without it every command
  // line is reported as no command.
  std::span<const Command> commands;

  // Wait accounting: milliseconds added since the last Yield, counted from the wait start.
  std::int32_t accumulated_wait = 0;
  std::uint32_t wait_start = 0;
  bool wait_pending = true;  // the next step restarts the wait clock

 private:
  friend void Step(Engine& engine);
  friend void EnterState(Engine& engine, State next);
  friend void EndClickWait(Engine& engine);
  friend void AfterClickJump(Engine& engine, bool succeeded);

  State state_ = State::kReadLine;
};

// Creates the base surface and the numbered offscreens and opens the start script; false (after
// its message box) when the start script is missing or cannot be opened.
[[nodiscard]] bool StartInterpreter(Engine& engine);
void Step(Engine& engine);

void AddWait(Engine& engine, int ms);
// What is left of the accumulated wait, counted from the wait start time.
std::uint32_t RemainingWait(Engine& engine);
// Makes the frame loop hold this frame for the rest of the accumulated wait, which restarts.
void Yield(Engine& engine);

// Goes to the state a handler returned, with what entering it takes: the end and the choices
// first let the accumulated wait pass.
void EnterState(Engine& engine, State next);
// A click ended a click wait: waits written in text go back to the text; .clk and .tcl to the
// next line.
void EndClickWait(Engine& engine);
// A click-jump label or a choice jumped: the next line, or the end when the jump failed.
void AfterClickJump(Engine& engine, bool succeeded);

}  // namespace adv
