#include "engine/command_table.h"

#include <array>

#include "engine/commands/block_commands.h"
#include "engine/commands/clock_commands.h"
#include "engine/commands/jump_commands.h"
#include "engine/commands/picture_commands.h"
#include "engine/commands/save_commands.h"
#include "engine/commands/script_commands.h"
#include "engine/commands/window_commands.h"

namespace adv {

namespace {

// Commands whose subsystems are not part of the engine yet have no handler: their lines are
// accepted (not reported as unknown) and do nothing.
constexpr std::array<Command, 35> kCommands{{
    {".wat", std::nullopt, WaitCommand},
    {".def", std::nullopt, nullptr},
    {".sav", std::nullopt, SavCommand},
    {".lod", std::nullopt, LodCommand},
    {".txt", std::nullopt, nullptr},
    {".let", std::nullopt, LetCommand},
    {".rnd", std::nullopt, RandomCommand},
    {".now", std::nullopt, NowCommand},
    {".mst", std::nullopt, nullptr},
    {".tps", std::nullopt, nullptr},
    {".tsw", std::nullopt, nullptr},
    {".thd", std::nullopt, nullptr},
    {".tpr", std::nullopt, nullptr},
    {".pic", std::nullopt, PicCommand},
    {".spr", std::nullopt, SprCommand},
    {".cap", State::kCapCommand, CaptionCommand},
    {".cur", State::kCurCommand, CursorCommand},
    {".tct", State::kTctCommand, nullptr},
    {".tsp", State::kTspCommand, nullptr},
    {".mcm", State::kMcmCommand, nullptr},
    {".avi", State::kAviCommand, nullptr},
    {".wav", State::kWavCommand, nullptr},
    {".mid", State::kMidCommand, nullptr},
    {".mp3", State::kMp3Command, nullptr},
    {".cda", State::kCdaCommand, nullptr},
    {".lcl", State::kLclCommand, LclCommand},
    {".rcl", State::kRclCommand, RclCommand},
    {".end", std::nullopt, EndCommand},
    {".clk", State::kClkCommand, nullptr},
    {".tcl", State::kTclCommand, nullptr},
    {".jmp", std::nullopt, JmpCommand},
    {".sub", std::nullopt, SubCommand},
    {".cas", std::nullopt, CasCommand},
    {".skp", std::nullopt, SkpCommand},
    {".slt", std::nullopt, nullptr},
}};

}  // namespace

std::span<const Command> CommandTable() {
  return kCommands;
}

const Command* FindCommand(std::string_view word) {
  for (const Command& command : kCommands) {
    if (command.name == word) return &command;
  }
  return nullptr;
}

const Command* FindDeferredCommand(State state) {
  for (const Command& command : kCommands) {
    if (command.deferred == state) return &command;
  }
  return nullptr;
}

}  // namespace adv
