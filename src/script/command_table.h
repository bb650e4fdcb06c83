// The 35 commands in the order their names are compared.
#pragma once

#include <span>
#include <string_view>

namespace adv {

class Engine;

enum class Dispatch {
  kWait,     // .wat: adds to the accumulated wait
  kNow,      // the handler runs in the dispatching step
  kDefer,    // state := state, Yield; the handler runs in the next step
  kJump,     // the handler runs now; false ends the script
  kChoices,  // .slt: true enters the choice state
  kEnd,      // .end
};

using CommandHandler = bool (*)(Engine&);

struct CommandEntry {
  std::string_view name;
  Dispatch dispatch;
  int state;               // for kDefer
  CommandHandler handler;  // null: the command reads its arguments and does nothing yet
};

std::span<const CommandEntry> CommandTable();
// The entry of a word, or null.
const CommandEntry* FindCommand(std::string_view word);
// The deferred command that runs in a state, or null.
const CommandEntry* FindDeferredCommand(int state);

}  // namespace adv
