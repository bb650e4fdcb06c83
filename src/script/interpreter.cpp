#include "script/interpreter.h"

#include <memory>

#include "app/frame_loop.h"
#include "engine.h"
#include "flow/choices.h"
#include "graphics/transition_command.h"
#include "script/arguments.h"
#include "script/command_table.h"
#include "script/error_report.h"
#include "base/messages.h"
#include "text/message_display.h"

namespace adv {

namespace {

void CreateFilled(Engine& engine, CDrawImage& surface) {
  surface.Create(engine.shell.screen_width, engine.shell.screen_height);
  surface.FillRect(nullptr, engine.shell.background);
}

void Dispatch(Engine& engine) {
  InterpreterState& in = engine.interp;
  ReadWord(engine);
  const CommandEntry* command = FindCommand(in.arg);
  if (command == nullptr) {
    ReportScriptError(engine, kMsgNoCommand);
    return;
  }
  switch (command->dispatch) {
    case Dispatch::kWait:
      AddWait(engine, ReadIntArg(engine));
      break;
    case Dispatch::kNow:
      if (command->handler != nullptr) command->handler(engine);
      break;
    case Dispatch::kDefer:
      in.state = command->state;
      Yield(engine);
      break;
    case Dispatch::kJump:
      if (command->handler != nullptr && !command->handler(engine)) {
        in.state = kStateEnd;
        Yield(engine);
      }
      break;
    case Dispatch::kChoices:
      if (command->handler != nullptr && command->handler(engine)) {
        in.state = kStateChoices;
        FlushPendingText(engine);
        engine.text.instant = false;
        Yield(engine);
      }
      break;
    case Dispatch::kEnd:
      in.state = kStateEnd;
      Yield(engine);
      break;
  }
}

void IdleStep(Engine& engine) {
  InterpreterState& in = engine.interp;
  std::string line;
  if (!engine.script.ReadLine(line)) {
    if (!engine.flow.call_stack.empty()) {
      line = ".sub exit";
    } else {
      in.state = kStateEnd;
      Yield(engine);
      return;
    }
  }
  in.line.Set(line);
  std::string_view rest = in.line.Rest();
  if (rest.empty() || rest[0] == '\n' || rest[0] == '#' || rest[0] == ':') return;
  if (rest[0] == '.') {
    Dispatch(engine);
    return;
  }
  std::string text = in.line.TakeRest();
  ExpandVariables(engine, text);
  in.line.Set(text);
  in.state = kStateText;
}

}  // namespace

bool StartInterpreter(Engine& engine) {
  CreateFilled(engine, engine.surfaces.base);
  for (auto& offscreen : engine.surfaces.offscreens) CreateFilled(engine, *offscreen);
  std::string name = "start" + engine.shell.scenario_extension;
  if (!engine.files.Exists(name)) {
    engine.host.ShowMessageBox(std::string(kMsgStartNotFound), "", MessageBoxKind::kOk);
    return false;
  }
  if (!engine.script.Open(engine.files, name)) {
    engine.host.ShowMessageBox(std::string(kMsgStartOpen), "", MessageBoxKind::kOk);
    return false;
  }
  return true;
}

void AddWait(Engine& engine, int ms) {
  // Wraps instead of overflowing; a negative total holds nothing.
  engine.interp.accumulated_wait = static_cast<std::int32_t>(
      static_cast<std::uint32_t>(engine.interp.accumulated_wait) + static_cast<std::uint32_t>(ms));
}

std::uint32_t RemainingWait(Engine& engine) {
  const std::int32_t wait = engine.interp.accumulated_wait;
  if (wait <= 0) return 0;
  const std::uint32_t elapsed = engine.host.Now() - engine.interp.wait_start;
  const auto total = static_cast<std::uint32_t>(wait);
  return elapsed < total ? total - elapsed : 0;
}

void Yield(Engine& engine) {
  engine.interp.wait_pending = true;
  engine.shell.frame_interval = RemainingWait(engine);
  engine.interp.accumulated_wait = 0;
}

void Step(Engine& engine) {
  InterpreterState& in = engine.interp;
  if (in.wait_pending) {
    in.wait_pending = false;
    engine.shell.frame_interval = 0;
    in.wait_start = engine.shell.last_frame_time;
  }
  switch (in.state) {
    case kStateIdle:
      IdleStep(engine);
      break;
    case kStateText:
      if (!MessageDisplayStep(engine)) {
        in.state = kStateEnd;
        Yield(engine);
      }
      break;
    case kStateTransition:
      TransitionStateStep(engine);
      break;
    case kStateClickSetup:
    case kStateClearClickSetup:
      ClickWaitSetup(engine, in.state == kStateClearClickSetup);
      break;
    case kStateTextWait:
    case kStateClkWait:
      engine.host.Sleep(2);
      if (engine.text.mark_enabled && engine.text.message_window_shown) AnimateMark(engine, 1);
      break;
    case kStateTextClearWait:
    case kStateTclWait:
      engine.host.Sleep(2);
      if (engine.text.mark_enabled && engine.text.message_window_shown) AnimateMark(engine, 2);
      break;
    case kStateChoices:
      engine.host.Sleep(2);
      ChoiceHoverStep(engine);
      break;
    case kStateEnd:
      RequestClose(engine, false);
      break;
    default:
      if (const CommandEntry* command = FindDeferredCommand(in.state)) {
        if (command->handler != nullptr) command->handler(engine);
        if (in.state == command->state) in.state = kStateIdle;
      } else {
        in.state = kStateIdle;
      }
      break;
  }
}

}  // namespace adv
