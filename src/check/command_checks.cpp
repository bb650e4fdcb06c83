#include "check/command_checks.h"

#include <algorithm>
#include <array>

#include "base/messages.h"
#include "check/argument_checks.h"
#include "check/flow_check.h"
#include "check/jump_check.h"
#include "check/media_check.h"
#include "check/picture_check.h"
#include "check/text_check.h"
#include "engine/commands/command_table.h"
#include "script/script_file.h"

namespace adv {

namespace {

void CheckInts(LineCheck& at, int count) {
  for (int i = 0; i < count; ++i) at.Int();
}

// .let, .rnd and .now assign to variables the configuration script declared; system variables
// cannot be assigned.
void CheckAssignedName(LineCheck& at, const Arg& name) {
  if (name.Known() && !at.IsDeclared(name.text)) at.Error(kMsgAssignUndeclared, name.text);
}

void CheckLet(LineCheck& at) {
  const Arg name = at.String();
  at.String();  // the filler word ("=")
  if (!name.Known()) {
    // Integer or string is not known: the references in the value are still checked.
    while (!at.String().text.empty()) {
    }
  } else if (at.game.facts.ints.contains(name.text)) {
    at.IntExpr();
  } else if (at.game.facts.strings.contains(name.text)) {
    at.String();
  } else {
    at.Error(kMsgAssignUndeclared, name.text);
  }
}

void CheckRnd(LineCheck& at) {
  const Arg name = at.String();
  at.String();
  at.Int();
  at.String();
  at.Int();
  CheckAssignedName(at, name);
}

void CheckNow(LineCheck& at) {
  static constexpr std::array<std::string_view, 9> kFields{
      "year", "month", "day", "weekday", "hour", "minute", "second", "millisecond", "systemtime"};
  const Arg name = at.String();
  at.String();
  const Arg field = at.String();
  if (field.Known() && std::find(kFields.begin(), kFields.end(), field.text) == kFields.end()) {
    at.Fault(Cat(".now has no field ", Quoted(field.text),
                 ": it assigns 0 (fields: year, month, day, weekday, hour, minute, second, "
                 "millisecond, systemtime)"));
  }
  CheckAssignedName(at, name);
}

void CheckDef(LineCheck& at) {
  const Arg escape = at.String();
  if (!escape.Known()) return;
  const std::string& e = escape.text;
  const char c = e.size() == 2 && e[0] == '\\' ? e[1] : '\0';
  if (c == 'c' || c == 'C' || c == 't' || c == 'T') {
    CheckInts(at, 2);
  } else if (c >= '0' && c <= '9') {
    const Arg target = at.String();
    at.game.hook_defs[static_cast<std::size_t>(c - '0')].push_back(
        HookDef{target.text, target.Known()});
    // A target in the current file means the file whose text calls the hook: checked there.
    const std::string_view known = target.KnownPrefix();
    if (!known.empty() && known[0] != ':' && known[0] != ';') CheckJumpTarget(at, target);
  } else {
    ReportNoEffect(at, ".def", escape, "\\c, \\C, \\t, \\T or \\0 to \\9");
  }
}

void CheckMst(LineCheck& at) {
  const Arg first = at.String();
  if (first.text == "delete") return;
  const Arg second = at.String();
  for (const Arg* picture : {&first, &second}) {
    if (!picture->Known()) continue;
    const std::string file = AddDefaultExtension(picture->text, ".bmp");
    // The loader fails without a word and the wait shows no mark.
    if (!at.FileFound(file, true)) {
      at.Fault(Cat("cannot open the wait-mark picture ", Quoted(file), ": no mark is shown"));
    }
  }
  CheckInts(at, 4);
}

void CheckTps(LineCheck& at) {
  const std::optional<int> mode = at.Int();
  CheckInts(at, 2);
  if (mode && (*mode < 0 || *mode > 2)) {
    at.Fault(Cat(".tps mode ", std::to_string(*mode), " does nothing (it takes 0, 1 or 2)"));
  }
}

void CheckNothing(LineCheck&) {}

// In the engine's order: a command added to the engine without its check here, or a check out of
// place, fails the static_assert below.
constexpr std::array<CommandCheck, kCommands.size()> kChecks{{
    {".wat", [](LineCheck& at) { at.Int(); }},
    {".def", CheckDef},
    {".sav", CheckSav},
    {".lod", CheckLod},
    {".txt", CheckTxt},
    {".let", CheckLet},
    {".rnd", CheckRnd},
    {".now", CheckNow},
    {".mst", CheckMst},
    {".tps", CheckTps},
    {".tsw", CheckNothing},
    {".thd", CheckNothing},
    {".tpr", CheckTpr},
    {".pic", CheckPic},
    {".spr", CheckSpr},
    {".cap", [](LineCheck& at) { at.String(); }},
    {".cur", CheckCursorArgument},
    {".tct", [](LineCheck& at) { CheckInts(at, 2); }},
    {".tsp", [](LineCheck& at) { CheckInts(at, 2); }},
    {".mcm", [](LineCheck& at) { CheckInts(at, 2); }},
    {".avi", CheckAvi},
    {".wav", CheckWav},
    {".mid", CheckMid},
    {".mp3", CheckMp3},
    {".cda", CheckCda},
    {".lcl", CheckClickLabel},
    {".rcl", CheckClickLabel},
    {".end", CheckNothing},
    {".clk", [](LineCheck& at) { CheckInts(at, 2); }},
    {".tcl", [](LineCheck& at) { CheckInts(at, 2); }},
    {".jmp", CheckJmp},
    {".sub", CheckSub},
    {".cas", CheckCas},
    {".skp", CheckSkp},
    {".slt", CheckSlt},
}};

constexpr bool ChecksFollowCommands() {
  for (std::size_t i = 0; i < kCommands.size(); ++i) {
    if (kChecks[i].name != kCommands[i].name) return false;
  }
  return true;
}
static_assert(ChecksFollowCommands(), "every command of the engine needs its check, in order");

}  // namespace

const CommandCheck* FindCommandCheck(std::string_view word) {
  for (const CommandCheck& c : kChecks) {
    if (c.name == word) return &c;
  }
  return nullptr;
}

}  // namespace adv
