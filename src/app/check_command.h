// adv --check [GAMEDIR]: the game's settings give the scenario folder and extension; every script
// is checked and the report goes to stderr. No window, no sound.
#pragma once

#include <optional>
#include <string>

namespace adv {

// The exit status: 1 when an error was found (or the folder is none), 0 otherwise.
int RunCheckCommand(const std::optional<std::string>& game_dir);

}  // namespace adv
