#include "engine/commands/choice_commands.h"

#include "base/messages.h"
#include "engine/choices.h"
#include "engine/engine.h"
#include "script/arguments.h"
#include "script/error_report.h"

namespace adv {

State SltCommand(Engine& engine) {
  ScriptContext& script = engine.script;
  const std::string word = ReadStringArg(script);
  if (word == "add") {
    // Brackets in the text and target take their values now, when the choice is added.
    std::string text = ReadStringArg(script);
    std::string target = ReadStringArg(script);
    if (!engine.choices.Add(text, std::move(target))) {
      ReportScriptError(script, kMsgTooManyChoices, text);
    }
  } else if (word == "delete") {
    engine.choices.Clear();
  } else if (word == "exec" && ShowChoices(engine)) {
    return State::kChoices;
  }
  return State::kReadLine;
}

}  // namespace adv
