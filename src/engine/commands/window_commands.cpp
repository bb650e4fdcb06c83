#include "engine/commands/window_commands.h"

#include "base/messages.h"
#include "engine/engine.h"
#include "engine/window_state.h"
#include "script/arguments.h"
#include "script/error_report.h"

namespace adv {

State CaptionCommand(Engine& engine) {
  SetCaption(engine, ReadStringArg(engine.script));
  return State::kReadLine;
}

State CursorCommand(Engine& engine) {
  const std::string arg = ReadStringArg(engine.script);
  if (arg == "show" || arg == "hide") {
    ShowWindowCursor(engine, arg == "show");
  } else {
    std::string file = arg == "normal" ? std::string() : AddDefaultExtension(arg, ".cur");
    if (!SetWindowCursor(engine, file)) ReportScriptError(engine.script, kMsgCursorLoad, file);
  }
  return State::kReadLine;
}

}  // namespace adv
