#include "script/command_table.h"

#include <array>

#include "app/caption_cursor.h"
#include "flow/clock_commands.h"
#include "flow/variables.h"
#include "graphics/picture_command.h"
#include "script/interpreter_state.h"

namespace adv {

namespace {

// Commands whose subsystems are not part of the engine yet have no handler: their lines are
// accepted (not reported as unknown) and do nothing.
constexpr std::array<CommandEntry, 35> kCommands{{
    {".wat", Dispatch::kWait, 0, nullptr},
    {".def", Dispatch::kNow, 0, nullptr},
    {".sav", Dispatch::kNow, 0, nullptr},
    {".lod", Dispatch::kNow, 0, nullptr},
    {".txt", Dispatch::kNow, 0, nullptr},
    {".let", Dispatch::kNow, 0, AssignVariable},
    {".rnd", Dispatch::kNow, 0, RandomCommand},
    {".now", Dispatch::kNow, 0, NowCommand},
    {".mst", Dispatch::kNow, 0, nullptr},
    {".tps", Dispatch::kNow, 0, nullptr},
    {".tsw", Dispatch::kNow, 0, nullptr},
    {".thd", Dispatch::kNow, 0, nullptr},
    {".tpr", Dispatch::kNow, 0, nullptr},
    {".pic", Dispatch::kNow, 0, PicCommand},
    {".spr", Dispatch::kNow, 0, SprCommand},
    {".cap", Dispatch::kDefer, kStateCaption, CaptionCommand},
    {".cur", Dispatch::kDefer, kStateCursor, CursorCommand},
    {".tct", Dispatch::kDefer, kStateTextClickModes, nullptr},
    {".tsp", Dispatch::kDefer, kStateTextSpeed, nullptr},
    {".mcm", Dispatch::kDefer, kStateCursorMove, nullptr},
    {".avi", Dispatch::kDefer, kStateMovie, nullptr},
    {".wav", Dispatch::kDefer, kStateSound, nullptr},
    {".mid", Dispatch::kDefer, kStateMidi, nullptr},
    {".mp3", Dispatch::kDefer, kStateMp3, nullptr},
    {".cda", Dispatch::kDefer, kStateCdAudio, nullptr},
    {".lcl", Dispatch::kDefer, kStateLeftClickLabel, nullptr},
    {".rcl", Dispatch::kDefer, kStateRightClickLabel, nullptr},
    {".end", Dispatch::kEnd, 0, nullptr},
    {".clk", Dispatch::kDefer, kStateClkSetup, nullptr},
    {".tcl", Dispatch::kDefer, kStateTclSetup, nullptr},
    {".jmp", Dispatch::kJump, 0, nullptr},
    {".sub", Dispatch::kJump, 0, nullptr},
    {".cas", Dispatch::kJump, 0, nullptr},
    {".skp", Dispatch::kJump, 0, nullptr},
    {".slt", Dispatch::kChoices, 0, nullptr},
}};

}  // namespace

std::span<const CommandEntry> CommandTable() {
  return kCommands;
}

const CommandEntry* FindCommand(std::string_view word) {
  for (const CommandEntry& entry : kCommands) {
    if (entry.name == word) return &entry;
  }
  return nullptr;
}

const CommandEntry* FindDeferredCommand(int state) {
  for (const CommandEntry& entry : kCommands) {
    if (entry.dispatch == Dispatch::kDefer && entry.state == state) return &entry;
  }
  return nullptr;
}

}  // namespace adv
