#include "engine/commands/jump_commands.h"

#include "engine/engine.h"
#include "engine/jumps.h"
#include "script/arguments.h"

namespace adv {

namespace {

State SetClickLabel(Engine& engine, ClickLabel& click) {
  const std::string word = ReadStringArg(engine.script);
  if (word == "delete") {
    click.label.clear();  // the any-state flag stays as it was
  } else {
    click.label = word;
    click.any_state = ReadIntArg(engine.script) != 0;
  }
  return State::kReadLine;
}

}  // namespace

State JmpCommand(Engine& engine) {
  return Jump(engine, ReadStringArg(engine.script)) ? State::kReadLine : State::kEnd;
}

State SubCommand(Engine& engine) {
  ScriptContext& script = engine.script;
  const std::string word = ReadStringArg(script);
  if (word == "exit") return ReturnFromSubroutine(engine);
  if (word == "delete") {
    engine.flow.call_stack.clear();
    return State::kReadLine;
  }
  ReturnFrame frame{script.file.name(), script.file.line_number(), false, {}};
  return CallSubroutine(engine, std::move(frame), word) ? State::kReadLine : State::kEnd;
}

State LclCommand(Engine& engine) {
  return SetClickLabel(engine, engine.flow.left_click);
}

State RclCommand(Engine& engine) {
  return SetClickLabel(engine, engine.flow.right_click);
}

State EndCommand(Engine&) {
  return State::kEnd;
}

}  // namespace adv
