// The check of each command's arguments, one for every entry of the engine's command table.
#pragma once

#include <string_view>

#include "check/line_check.h"

namespace adv {

struct CommandCheck {
  std::string_view name;
  void (*check)(LineCheck& at);  // reads the arguments after the command word
};

// The check of a command word, or null for a word that is no command.
const CommandCheck* FindCommandCheck(std::string_view word);

}  // namespace adv
