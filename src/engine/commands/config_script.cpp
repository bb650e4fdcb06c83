#include "engine/commands/config_script.h"

#include <memory>

#include "base/messages.h"
#include "engine/commands/window_commands.h"
#include "engine/engine.h"
#include "script/arguments.h"
#include "script/error_report.h"

namespace adv {

namespace {

void SetOffscreenCount(Engine& engine) {
  int count = ReadIntArg(engine.script);
  // A negative count would be taken as a huge unsigned one, and a huge one cannot be allocated:
  // both are refused and the offscreens stay as they were.
  if (count < 0 || count > kMaxOffscreens) {
    ReportScriptError(engine.script, kMsgBadOffscreenCount);
    return;
  }
  auto& offscreens = engine.surfaces.offscreens;
  offscreens.resize(static_cast<std::size_t>(count));
  for (auto& surface : offscreens) {
    if (!surface) surface = std::make_unique<CDrawImage>();
  }
}

}  // namespace

bool RunConfigScript(Engine& engine) {
  ScriptContext& script = engine.script;
  const std::string name = "config" + script.extension;
  if (!engine.files.Exists(name)) return true;
  if (!script.file.Open(engine.files, name)) {
    engine.host.ShowMessageBox(std::string(kMsgConfigOpen), "", MessageBoxKind::kOk);
    return false;
  }
  std::string line;
  while (script.file.ReadLine(line)) {
    script.line.Set(line);
    ReadWord(script);
    const std::string word = script.arg;
    if (word == ".scr") {
      SetOffscreenCount(engine);
    } else if (word == ".bgc") {
      engine.surfaces.background = ParseColour(ReadStringArg(script));
    } else if (word == ".cap") {
      CaptionCommand(engine);
    } else if (word == ".cur") {
      CursorCommand(engine);
    } else if (word == ".int") {
      DeclareVariables(script, VariableKind::kInt);
    } else if (word == ".str") {
      DeclareVariables(script, VariableKind::kString);
    }
  }
  return true;
}

}  // namespace adv
