#include "engine/click_waits.h"

#include "engine/engine.h"
#include "engine/message_display.h"
#include "script/arguments.h"

namespace adv {

namespace {

bool MarkShown(const Engine& engine) {
  return engine.mark.enabled() && engine.text.message_window_shown;
}

void SetAccepted(bool& accepted, WaitMode mode) {
  if (mode == WaitMode::kClickEnds || mode == WaitMode::kHeldPasses) accepted = true;
  if (mode == WaitMode::kClickIgnored) accepted = false;
}

}  // namespace

State SetUpClickWait(Engine& engine, State setup) {
  const bool from_text = setup == State::kTextWaitSetup || setup == State::kTextClearWaitSetup;
  const bool clear = setup == State::kTextClearWaitSetup || setup == State::kTclCommand;
  TextState& text = engine.text;
  WaitModes modes = clear ? text.text_clear_wait_modes : text.text_wait_modes;
  if (!from_text) {
    modes.left = static_cast<WaitMode>(ReadIntArg(engine.script));
    modes.right = static_cast<WaitMode>(ReadIntArg(engine.script));
  }
  const Mouse& mouse = engine.mouse;
  if ((modes.left == WaitMode::kHeldPasses && mouse.left_down) ||
      (modes.right == WaitMode::kHeldPasses && mouse.right_down) ||
      modes.left == WaitMode::kPasses || modes.right == WaitMode::kPasses) {
    if (clear) ClearPage(engine);
    return from_text ? State::kText : State::kReadLine;
  }
  SetAccepted(text.left_click_accepted, modes.left);
  SetAccepted(text.right_click_accepted, modes.right);
  FlushPendingText(engine);
  text.instant = false;
  if (MarkShown(engine)) {
    const int kind = static_cast<int>(clear ? MarkKind::kClearWait : MarkKind::kWait);
    engine.frame.MarkDirty(engine.mark.Place(kind, engine.message_layer, engine.surfaces.back,
                                             engine.surfaces.spare, engine.host.Now()));
  }
  if (from_text) return clear ? State::kTextClearWait : State::kTextWait;
  return clear ? State::kTclWait : State::kClkWait;
}

void AnimateMark(Engine& engine) {
  if (!MarkShown(engine)) return;
  engine.frame.MarkDirty(
      engine.mark.Animate(engine.surfaces.back, engine.surfaces.spare, engine.host.Now()));
}

void EraseMark(Engine& engine) {
  if (!MarkShown(engine)) return;
  engine.frame.MarkDirty(engine.mark.Erase(engine.surfaces.back, engine.surfaces.spare));
}

std::optional<std::uint32_t> NextMarkChange(Engine& engine) {
  if (!MarkShown(engine)) return std::nullopt;
  const std::uint32_t now = engine.host.Now();
  const auto left = engine.mark.MsUntilNextChange(now);
  if (!left) return std::nullopt;
  return now + *left;
}

}  // namespace adv
