// The 35 commands in the order their names are compared. A command runs in the step that reads
// its line, or, when it names a deferred state, in the next step (after the accumulated wait).
// The table is constexpr so that adv --check can hold its own table to it at compile time.
#pragma once

#include <array>
#include <span>

#include "engine/command.h"
#include "engine/commands/block_commands.h"
#include "engine/commands/choice_commands.h"
#include "engine/commands/clock_commands.h"
#include "engine/commands/jump_commands.h"
#include "engine/commands/media_commands.h"
#include "engine/commands/picture_commands.h"
#include "engine/commands/save_commands.h"
#include "engine/commands/text_commands.h"
#include "engine/commands/variable_commands.h"
#include "engine/commands/wait_commands.h"
#include "engine/commands/window_commands.h"

namespace adv {

inline constexpr std::array<Command, 35> kCommands{{
    {".wat", std::nullopt, WaitCommand},         {".def", std::nullopt, DefCommand},
    {".sav", std::nullopt, SavCommand},          {".lod", std::nullopt, LodCommand},
    {".txt", std::nullopt, TxtCommand},          {".let", std::nullopt, LetCommand},
    {".rnd", std::nullopt, RandomCommand},       {".now", std::nullopt, NowCommand},
    {".mst", std::nullopt, MstCommand},          {".tps", std::nullopt, TpsCommand},
    {".tsw", std::nullopt, TswCommand},          {".thd", std::nullopt, ThdCommand},
    {".tpr", std::nullopt, TprCommand},          {".pic", std::nullopt, PicCommand},
    {".spr", std::nullopt, SprCommand},          {".cap", State::kCapCommand, CaptionCommand},
    {".cur", State::kCurCommand, CursorCommand}, {".tct", State::kTctCommand, TctCommand},
    {".tsp", State::kTspCommand, TspCommand},    {".mcm", State::kMcmCommand, McmCommand},
    {".avi", State::kAviCommand, AviCommand},    {".wav", State::kWavCommand, WavCommand},
    {".mid", State::kMidCommand, MidCommand},    {".mp3", State::kMp3Command, Mp3Command},
    {".cda", State::kCdaCommand, CdaCommand},    {".lcl", State::kLclCommand, LclCommand},
    {".rcl", State::kRclCommand, RclCommand},    {".end", std::nullopt, EndCommand},
    {".clk", State::kClkCommand, ClkCommand},    {".tcl", State::kTclCommand, TclCommand},
    {".jmp", std::nullopt, JmpCommand},          {".sub", std::nullopt, SubCommand},
    {".cas", std::nullopt, CasCommand},          {".skp", std::nullopt, SkpCommand},
    {".slt", std::nullopt, SltCommand},
}};

inline std::span<const Command> CommandTable() {
  return kCommands;
}

}  // namespace adv
