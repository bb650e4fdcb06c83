#include "check/game_check.h"

#include <algorithm>

#include "base/messages.h"
#include "check/check_context.h"
#include "check/config_check.h"
#include "check/flow_check.h"
#include "check/jump_check.h"
#include "check/line_check.h"
#include "check/script_check.h"
#include "host/file_system.h"
#include "host/sjis_convert.h"

namespace adv {

namespace {

std::string Counted(int n, const char* thing) {
  return Cat(std::to_string(n), " ", thing, n == 1 ? "" : "s");
}

// The start script, which the interpreter opens first.
void FindStart(CheckContext& game) {
  const std::string name = Cat("start", game.extension);
  const ScriptSpot whole{1, SjisToUtf8(name), 0};
  if (game.scripts.Get(name) != nullptr) {
    const std::string warning = NameWarning(name, game.probe.Find(name));
    if (!warning.empty()) game.report.Warning(whole, warning);
  } else if (game.probe.Find(name).match == NameMatch::kMissing) {
    game.report.Fault(whole, Cat(SjisToUtf8(kMsgStartNotFound), " (the scenario folder ",
                                 game.files.Base(), " has no start script)"));
  } else {
    game.report.Fault(whole, Cat(SjisToUtf8(kMsgStartOpen), " (cannot read the start script)"));
  }
}

// Script files of the scenario folder that no jump names: checked all the same. Save files
// that .sav writes are data, not scripts.
void AddUnreachedScripts(CheckContext& game) {
  std::vector<std::string> names = game.files.List("", Cat("*", game.extension));
  std::sort(names.begin(), names.end());
  const std::string config = FoldedSaveName(Cat("config", game.extension));
  for (const std::string& name : names) {
    const std::string folded = FoldedSaveName(name);
    if (folded == config || game.saved.contains(folded)) continue;
    game.scripts.Get(name, true);
  }
}

LineCheck At(CheckContext& game, const ScriptLines* script, int line) {
  return LineCheck(game, *script, line, "");
}

// A text hook calls the target its digit's .def set, resolved in the script whose text calls
// it; a digit no .def sets has an empty target, which opens no file.
void CheckHookUses(CheckContext& game) {
  for (const HookUse& use : game.hook_uses) {
    const std::vector<HookDef>& defs = game.hook_defs[static_cast<std::size_t>(use.digit)];
    std::string target;
    if (!defs.empty()) {
      const bool one_target = std::all_of(defs.begin(), defs.end(), [&](const HookDef& d) {
        return d.known && d.target == defs.front().target;
      });
      target = defs.front().target;
      // Targets naming their file were checked at their .def.
      if (!one_target || (!target.empty() && target[0] != ':' && target[0] != ';')) continue;
    }
    LineCheck at = At(game, use.script, use.line);
    CheckJumpTargetIn(at, Arg{target}, *use.script);
  }
}

// .lod of a file that does not exist loads nothing, without a word; a file that some .sav
// writes will exist by then.
void CheckLoads(CheckContext& game) {
  for (const LoadUse& load : game.loads) {
    if (game.saved.contains(FoldedSaveName(load.file))) continue;
    LineCheck at = At(game, load.script, load.line);
    if (!at.FileFound(load.file, false)) {
      at.Fault(Cat("there is no save file ", Quoted(load.file),
                   " and no .sav writes it: .lod loads nothing"));
    }
  }
}

// A .slt exec with no choice added before it, unless a "file;N" jump can enter in between.
void CheckChoiceExecs(CheckContext& game) {
  for (const ChoiceExec& exec : game.choice_execs) {
    const auto targets = game.line_targets.find(exec.script);
    if (targets != game.line_targets.end()) {
      const auto entry = targets->second.lower_bound(std::max(1, exec.since));
      if (entry != targets->second.end() && *entry < exec.line) continue;
    }
    At(game, exec.script, exec.line).Error(kMsgNoChoices);
  }
}

}  // namespace

std::string CheckResult::Summary() const {
  return Cat("adv --check: ", Counted(errors, "error"), ", ", Counted(warnings, "warning"), " in ",
             Counted(scripts, "script"));
}

CheckResult CheckGame(const CheckOptions& options) {
  FileSystem files;
  files.SetBase(options.scenario_folder);
  files.SetRoot(options.game_folder);
  CheckContext game(files, options.extension);
  const bool has_config = CheckConfigScript(game);
  FindStart(game);
  std::size_t next = 0;
  for (const bool listed : {false, true}) {
    if (listed) AddUnreachedScripts(game);
    // Checking a script brings the scripts it jumps to into the index, behind it.
    for (; next < game.scripts.size(); ++next) CheckScenarioScript(game, game.scripts.at(next));
  }
  CheckHookUses(game);
  CheckLoads(game);
  CheckChoiceExecs(game);

  CheckResult result;
  result.lines = game.report.Lines();
  result.errors = game.report.errors();
  result.warnings = game.report.warnings();
  result.scripts = static_cast<int>(game.scripts.size()) + (has_config ? 1 : 0);
  return result;
}

}  // namespace adv
