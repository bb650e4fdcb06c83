#include "engine/commands/wait_commands.h"

#include "engine/click_waits.h"
#include "engine/engine.h"
#include "engine/interpreter.h"
#include "graphics/picture_loader.h"
#include "script/arguments.h"

namespace adv {

namespace {

WaitModes ReadWaitModes(ScriptContext& script) {
  WaitModes modes;
  modes.left = static_cast<WaitMode>(ReadIntArg(script));
  modes.right = static_cast<WaitMode>(ReadIntArg(script));
  return modes;
}

// A mark picture that cannot be loaded leaves no picture, not a half-read one.
void LoadMarkPicture(Engine& engine, CDrawImage& picture, const std::string& name) {
  LoadContext context{engine.files, engine.host.Decoder(), engine.plugin_folder};
  if (!LoadPicture(picture, AddDefaultExtension(name, ".bmp"), context)) picture.Release();
}

}  // namespace

State WaitCommand(Engine& engine) {
  AddWait(engine, ReadIntArg(engine.script));
  return State::kReadLine;
}

State ClkCommand(Engine& engine) {
  return SetUpClickWait(engine, State::kClkCommand);
}

State TclCommand(Engine& engine) {
  return SetUpClickWait(engine, State::kTclCommand);
}

State TctCommand(Engine& engine) {
  engine.text.left_click_mode = static_cast<TextClickMode>(ReadIntArg(engine.script));
  engine.text.right_click_mode = static_cast<TextClickMode>(ReadIntArg(engine.script));
  return State::kReadLine;
}

State TspCommand(Engine& engine) {
  engine.text.text_speed = ReadIntArg(engine.script);
  engine.text.fast_display = ReadIntArg(engine.script);
  return State::kReadLine;
}

State DefCommand(Engine& engine) {
  ScriptContext& script = engine.script;
  const std::string escape = ReadStringArg(script);
  if (escape.size() != 2 || escape[0] != '\\') return State::kReadLine;
  const char c = escape[1];
  if (c == 'c' || c == 'C') {
    engine.text.text_wait_modes = ReadWaitModes(script);
  } else if (c == 't' || c == 'T') {
    engine.text.text_clear_wait_modes = ReadWaitModes(script);
  } else if (c >= '0' && c <= '9') {
    engine.text.hook_targets[static_cast<std::size_t>(c - '0')] = ReadStringArg(script);
  }
  return State::kReadLine;
}

State MstCommand(Engine& engine) {
  ScriptContext& script = engine.script;
  const std::string first = ReadStringArg(script);
  if (first == "delete") {
    engine.mark.Disable();
    return State::kReadLine;
  }
  const std::string second = ReadStringArg(script);
  LoadMarkPicture(engine, engine.mark.picture(static_cast<int>(MarkKind::kWait)), first);
  LoadMarkPicture(engine, engine.mark.picture(static_cast<int>(MarkKind::kClearWait)), second);
  const int mode = ReadIntArg(script);
  const int x = ReadIntArg(script);
  const int y = ReadIntArg(script);
  engine.mark.Set(mode, x, y, ReadIntArg(script));
  return State::kReadLine;
}

}  // namespace adv
