#include "script/config_script.h"

#include <memory>

#include "app/caption_cursor.h"
#include "base/sjis_string.h"
#include "engine.h"
#include "script/arguments.h"
#include "script/error_report.h"
#include "base/messages.h"

namespace adv {

namespace {

void SetOffscreenCount(Engine& engine) {
  int count = ReadIntArg(engine);
  // A negative count would be taken as a huge unsigned one, and a huge one cannot be allocated:
  // both are refused and the offscreens stay as they were.
  if (count < 0 || count > kMaxOffscreens) {
    ReportScriptError(engine, kMsgBadOffscreenCount);
    return;
  }
  auto& offscreens = engine.surfaces.offscreens;
  offscreens.resize(static_cast<std::size_t>(count));
  for (auto& surface : offscreens) {
    if (!surface) surface = std::make_unique<CDrawImage>();
  }
}

void Declare(Engine& engine, VariableKind kind) {
  std::string& word = engine.interp.arg;
  while (true) {
    ReadWord(engine);
    if (word.empty()) break;
    std::size_t bracket = SjisFind(word, '[');
    if (bracket == std::string::npos) {
      DeclareVariable(engine.vars, kind, word);
      continue;
    }
    std::string base = word.substr(0, bracket);
    std::string count_word = word.substr(bracket);
    ExpandVariables(engine, count_word);
    const int count = WordToInt(engine, count_word);
    if (count > kMaxArrayElements) {
      ReportScriptError(engine, kMsgArrayTooLarge);
      continue;
    }
    for (int i = 0; i < count; ++i) {
      DeclareVariable(engine.vars, kind, base + std::to_string(i));
    }
  }
}

}  // namespace

bool RunConfigScript(Engine& engine) {
  const std::string name = "config" + engine.shell.scenario_extension;
  if (!engine.files.Exists(name)) return true;
  if (!engine.script.Open(engine.files, name)) {
    engine.host.ShowMessageBox(std::string(kMsgConfigOpen), "", MessageBoxKind::kOk);
    return false;
  }
  std::string line;
  while (engine.script.ReadLine(line)) {
    engine.interp.line.Set(line);
    ReadWord(engine);
    const std::string word = engine.interp.arg;
    if (word == ".scr") {
      SetOffscreenCount(engine);
    } else if (word == ".bgc") {
      engine.shell.background = ParseColour(ReadStringArg(engine));
    } else if (word == ".cap") {
      CaptionCommand(engine);
    } else if (word == ".cur") {
      CursorCommand(engine);
    } else if (word == ".int") {
      Declare(engine, VariableKind::kInt);
    } else if (word == ".str") {
      Declare(engine, VariableKind::kString);
    }
  }
  return true;
}

}  // namespace adv
