#include "engine/commands/save_commands.h"

#include "base/messages.h"
#include "engine/engine.h"
#include "script/arguments.h"
#include "script/error_report.h"

namespace adv {

namespace {

// Runs the line of the save file that assigns `variable`, read with a reader of its own so the
// current script keeps its place.
void LoadOneVariable(Engine& engine, const std::string& file, const std::string& variable) {
  ScriptContext& script = engine.script;
  ScriptFile reader;
  if (!reader.Open(engine.files, file)) {
    ReportScriptError(script, kMsgLoadOpen, file);
    return;
  }
  // Compared over the pattern's length only, as the file was always read.
  const std::string pattern = ".let " + variable;
  std::string line;
  while (reader.ReadLine(line)) {
    if (line.compare(0, pattern.size(), pattern) != 0) continue;
    script.line.Set(line);
    ReadWord(script);
    AssignVariable(script);
    return;
  }
  ReportScriptError(script, kMsgLoadNoVariable, variable);
}

}  // namespace

State SavCommand(Engine& engine) {
  ScriptContext& script = engine.script;
  const std::string name = AddDefaultExtension(ReadStringArg(script), script.extension);
  // The old save survives any failure: the new one replaces it only once it is on disk whole.
  if (!engine.files.ReplaceFile(name, SerializeVariables(script.vars))) {
    ReportScriptError(script, kMsgSaveOpen, name);
  }
  return State::kReadLine;
}

State LodCommand(Engine& engine) {
  ScriptContext& script = engine.script;
  const std::string file = AddDefaultExtension(ReadStringArg(script), script.extension);
  const std::string variable = ReadStringArg(script);
  if (!engine.files.Exists(file)) return State::kReadLine;
  if (!variable.empty()) {
    LoadOneVariable(engine, file, variable);
    return State::kReadLine;
  }
  // The whole file runs as a subroutine; its end returns after the .lod line. A file that
  // cannot be opened leaves none open, so that return comes at once.
  engine.flow.call_stack.push_back(
      ReturnFrame{script.file.name(), script.file.line_number(), false, {}});
  if (!script.file.Open(engine.files, file)) ReportScriptError(script, kMsgLoadOpen, file);
  return State::kReadLine;
}

}  // namespace adv
