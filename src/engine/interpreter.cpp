#include "engine/interpreter.h"

#include "base/messages.h"
#include "base/tick_time.h"
#include "engine/choices.h"
#include "engine/click_handlers.h"
#include "engine/click_waits.h"
#include "engine/engine.h"
#include "engine/media_waits.h"
#include "engine/message_display.h"
#include "engine/transition_step.h"
#include "script/arguments.h"
#include "script/error_report.h"

namespace adv {

namespace {

// The waiting states sleep this long a step to keep the processor load low.
constexpr std::uint32_t kWaitSleepMs = 2;

const Command* FindCommand(std::span<const Command> commands, std::string_view word) {
  for (const Command& command : commands) {
    if (command.name == word) return &command;
  }
  return nullptr;
}

// The deferred command that runs in a state, or null.
const Command* FindDeferredCommand(std::span<const Command> commands, State state) {
  for (const Command& command : commands) {
    if (command.deferred == state) return &command;
  }
  return nullptr;
}

State Dispatch(Engine& engine) {
  ReadWord(engine.script);
  const Command* command = FindCommand(engine.interp.commands, engine.script.arg);
  if (command == nullptr) {
    ReportScriptError(engine.script, kMsgNoCommand, engine.script.arg);
    return State::kReadLine;
  }
  if (command->deferred) {
    // The handler reads the rest of the line in the next step, once the wait has passed.
    Yield(engine);
    return *command->deferred;
  }
  return command->handler != nullptr ? command->handler(engine) : State::kReadLine;
}

State ReadLineStep(Engine& engine) {
  ScriptContext& script = engine.script;
  std::string line;
  if (!script.file.ReadLine(line)) {
    // The end of a called file returns from it.
    if (engine.flow.call_stack.empty()) return State::kEnd;
    line = ".sub exit";
  }
  script.line.Set(line);
  std::string_view rest = script.line.Rest();
  if (rest.empty() || rest[0] == '\n' || rest[0] == '#' || rest[0] == ':') return State::kReadLine;
  if (rest[0] == '.') return Dispatch(engine);
  std::string text = script.line.TakeRest();
  ExpandVariables(script, text);
  script.line.Set(text);
  return State::kText;
}

void WaitStep(Engine& engine) {
  engine.host.Sleep(kWaitSleepMs);
  AnimateMark(engine);
}

}  // namespace

bool StartInterpreter(Engine& engine) {
  engine.surfaces.CreateFilled(engine.surfaces.base);
  for (auto& offscreen : engine.surfaces.offscreens) engine.surfaces.CreateFilled(*offscreen);
  // The shapes are valid, so only memory can fail them; a layer without its surface, like one
  // without a font, draws nothing, and the game still runs.
  (void)engine.message_layer.Create(&engine.surfaces.back, kMessageLayerShape);
  (void)engine.parts_layer.Create(&engine.surfaces.base, kPartsLayerShape);
  std::string name = "start" + engine.script.extension;
  if (!engine.files.Exists(name)) {
    engine.host.ShowMessageBox(std::string(kMsgStartNotFound), "", MessageBoxKind::kOk);
    return false;
  }
  if (!engine.script.file.Open(engine.files, name)) {
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
  return TicksUntil(engine.host.Now(), engine.interp.wait_start + static_cast<std::uint32_t>(wait));
}

void Yield(Engine& engine) {
  engine.interp.wait_pending = true;
  engine.frame.interval = RemainingWait(engine);
  engine.interp.accumulated_wait = 0;
}

void EnterState(Engine& engine, State next) {
  if (next == State::kEnd) {
    Yield(engine);
  } else if (next == State::kChoices) {
    FlushPendingText(engine);
    engine.text.instant = false;
    Yield(engine);
  }
  engine.interp.state_ = next;
}

void EndClickWait(Engine& engine) {
  const State state = engine.interp.state_;
  if (!IsClickWait(state)) return;
  engine.interp.state_ =
      state == State::kTextWait || state == State::kTextClearWait ? State::kText : State::kReadLine;
}

void AfterClickJump(Engine& engine, bool succeeded) {
  engine.interp.state_ = succeeded ? State::kReadLine : State::kEnd;
}

void Step(Engine& engine) {
  Interpreter& in = engine.interp;
  if (in.wait_pending) {
    in.wait_pending = false;
    engine.frame.interval = 0;
    in.wait_start = engine.frame.last_end;
  }
  switch (in.state_) {
    case State::kReadLine:
      EnterState(engine, ReadLineStep(engine));
      break;
    case State::kText:
      EnterState(engine, MessageDisplayStep(engine));
      break;
    case State::kTransition:
      EnterState(engine, TransitionStep(engine));
      break;
    case State::kTextWaitSetup:
    case State::kTextClearWaitSetup:
      EnterState(engine, SetUpClickWait(engine, in.state_));
      break;
    case State::kTextWait:
    case State::kClkWait:
    case State::kTextClearWait:
    case State::kTclWait:
      WaitStep(engine);
      break;
    case State::kChoices:
      engine.host.Sleep(kWaitSleepMs);
      ChoiceHoverStep(engine);
      break;
    case State::kEnd:
      engine.host.PostClose();
      break;
    case State::kSoundWait:
    case State::kCursorGlide:
      EnterState(engine,
                 in.state_ == State::kSoundWait ? SoundWaitStep(engine) : CursorGlideStep(engine));
      // Clicks held meanwhile take effect now, in the state the wait has left.
      if (!HoldsClicks(in.state_)) DeliverHeldClicks(engine);
      break;
    default: {
      const Command* command = FindDeferredCommand(in.commands, in.state_);
      const bool runs = command != nullptr && command->handler != nullptr;
      EnterState(engine, runs ? command->handler(engine) : State::kReadLine);
      break;
    }
  }
}

}  // namespace adv
