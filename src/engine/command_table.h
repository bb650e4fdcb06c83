// The 35 commands in the order their names are compared. A command runs in the step that reads
// its line, or, when it names a deferred state, in the next step (after the accumulated wait).
#pragma once

#include <optional>
#include <span>
#include <string_view>

#include "engine/interpreter_state.h"

namespace adv {

class Engine;

// Reads the command's arguments from the current line, acts, and returns the state to go to.
using CommandHandler = State (*)(Engine&);

struct Command {
  std::string_view name;
  std::optional<State> deferred;  // the state the handler waits in for the next step
  CommandHandler handler;         // null: the line is accepted and does nothing yet
};

std::span<const Command> CommandTable();
// The command of a word, or null.
const Command* FindCommand(std::string_view word);
// The deferred command that runs in a state, or null.
const Command* FindDeferredCommand(State state);

}  // namespace adv
