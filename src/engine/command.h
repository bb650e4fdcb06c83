// A script command as the interpreter runs it. The table of them lives with the handlers, above
// the interpreter; whoever builds a run hands it to the interpreter (Interpreter::commands).
#pragma once

#include <optional>
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

}  // namespace adv
