#include "engine/message_display.h"

#include "engine/engine.h"
#include "engine/interpreter.h"
#include "engine/jumps.h"
#include "text/layout_math.h"
#include "text/screen_update.h"

namespace adv {

namespace {

bool Skips(TextClickMode mode) {
  return mode == TextClickMode::kShowAll || mode == TextClickMode::kShowAllAndNext;
}

// The delay after this step's character; a text speed of 0 makes the text instant instead.
int ChooseDelay(Engine& engine) {
  TextState& text = engine.text;
  if (text.instant) return 0;
  const Mouse& mouse = engine.mouse;
  if (text.fast_display != 0 && ((mouse.right_down && Skips(text.right_click_mode)) ||
                                 (mouse.left_down && Skips(text.left_click_mode)))) {
    return text.fast_display;
  }
  if (text.text_speed == 0) text.instant = true;
  return text.text_speed;
}

// "\" and a digit: a subroutine call from inside the text. The rest of the line comes back when
// it returns.
State CallTextHook(Engine& engine, int digit) {
  ScriptContext& script = engine.script;
  ReturnFrame frame{script.file.name(), script.file.line_number(), true,
                    std::string(script.line.Rest())};
  const std::string target = engine.text.hook_targets[static_cast<std::size_t>(digit)];
  return CallSubroutine(engine, std::move(frame), target) ? State::kReadLine : State::kEnd;
}

// Draws one character of the line and shows it, unless the text is instant.
State ShowCharacter(Engine& engine, std::string_view character, int delay) {
  TextState& text = engine.text;
  Rect rect;
  // A character below the last line is consumed and not shown.
  engine.message_layer.PutChar(character, false, &rect);
  text.pending = UnionRect(text.pending, engine.message_layer.OnTarget(rect));
  if (text.instant) return State::kText;
  if (text.message_window_shown) {
    UpdateScreen(engine, engine.message_layer.OnTarget(rect), true);
    engine.frame.MarkDirty(text.pending);
    text.pending = Rect{};
  }
  Yield(engine);
  AddWait(engine, delay);
  return State::kText;
}

// A line feed right after an escape is eaten with it ("\N", "\C", "\T", hooks).
std::size_t WithLineFeed(std::string_view rest, std::size_t n) {
  return rest.size() > n && rest[n] == '\n' ? n + 1 : n;
}

}  // namespace

State MessageDisplayStep(Engine& engine) {
  const int delay = ChooseDelay(engine);
  LineBuffer& line = engine.script.line;
  TextLayer& layer = engine.message_layer;
  const std::string_view rest = line.Rest();
  if (rest.empty()) return State::kReadLine;
  if (rest[0] == '\n') {
    line.Consume(1);
    layer.NewLine();
    return State::kText;
  }
  if (rest[0] != '\\') {
    const std::string character(rest.substr(0, TextLayer::CharacterLength(rest)));
    line.Consume(character.size());
    return ShowCharacter(engine, character, delay);
  }
  if (rest.size() == 1) {
    line.Set("");
    return State::kReadLine;
  }
  const char escape = rest[1];
  switch (escape) {
    case 'd':
    case 'D':
      // The rest, its line feed included, is dropped: the next text goes on on this line.
      line.Set("");
      return State::kReadLine;
    case '\n':
    case 'n':
      line.Consume(2);
      layer.NewLine();
      return State::kText;
    case 'N':
      line.Consume(WithLineFeed(rest, 2));
      layer.NewLine();
      return State::kText;
    case 'c':
    case 'C':
    case 't':
    case 'T':
      line.Consume(escape == 'c' || escape == 't' ? 2 : WithLineFeed(rest, 2));
      Yield(engine);
      return escape == 'c' || escape == 'C' ? State::kTextWaitSetup : State::kTextClearWaitSetup;
    default:
      break;
  }
  if (escape >= '0' && escape <= '9') {
    line.Consume(WithLineFeed(rest, 2));
    return CallTextHook(engine, escape - '0');
  }
  // Any other escape shows the character after the backslash once, consumed with it.
  const std::string character(rest.substr(1, TextLayer::CharacterLength(rest.substr(1))));
  line.Consume(1 + character.size());
  return ShowCharacter(engine, character, delay);
}

void UpdateScreen(Engine& engine, const Rect& rect, bool layer_shown) {
  Surfaces& s = engine.surfaces;
  const Rect clipped = IntersectRect(rect, Rect{0, 0, kScreenWidth, kScreenHeight});
  if (clipped.Empty()) return;
  if (UpdateScreenRect(layer_shown ? &engine.message_layer : nullptr, s.base, s.back, s.spare,
                       clipped, RemainingWait(engine))) {
    engine.frame.RequestSwap();
  }
  engine.frame.MarkDirty(clipped);
}

void FlushPendingText(Engine& engine) {
  TextState& text = engine.text;
  if (!text.message_window_shown) return;
  const Rect pending = IntersectRect(text.pending, Rect{0, 0, kScreenWidth, kScreenHeight});
  if (!pending.Empty()) {
    RestoreRect(&engine.message_layer, engine.surfaces.base, engine.surfaces.back, pending);
    engine.frame.MarkDirty(pending);
  }
  text.pending = Rect{};
}

void ComposeMessageLayer(Engine& engine, CDrawImage& target, const Rect& rect) {
  if (!engine.text.message_window_shown) return;
  TextLayer& layer = engine.message_layer;
  CDrawImage* before = layer.target();
  layer.SetTarget(&target);
  // Into layer coordinates; a position of INT_MIN has no int negation.
  const long long x = layer.position_x();
  const long long y = layer.position_y();
  layer.ComposeRect(Rect{Saturate(rect.left - x), Saturate(rect.top - y), Saturate(rect.right - x),
                         Saturate(rect.bottom - y)});
  layer.SetTarget(before);
}

void ClearPage(Engine& engine) {
  engine.text.pending = Rect{};
  engine.frame.MarkDirty(
      ClearLayerPage(engine.message_layer, engine.surfaces.base, engine.surfaces.back));
}

}  // namespace adv
