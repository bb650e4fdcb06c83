#include "engine/choices.h"

#include "base/messages.h"
#include "engine/engine.h"
#include "engine/interpreter.h"
#include "engine/jumps.h"
#include "script/error_report.h"
#include "text/screen_update.h"

namespace adv {

bool ChoiceTable::Add(std::string text, std::string target) {
  if (count >= kMaxChoices) return false;
  ChoiceEntry& entry = entries[static_cast<std::size_t>(++count)];
  entry.text = std::move(text);
  entry.target = std::move(target);
  return true;
}

void ChoiceTable::Clear() {
  for (int i = 1; i <= count; ++i) entries[static_cast<std::size_t>(i)] = ChoiceEntry{};
  count = 0;
}

bool ShowChoices(Engine& engine) {
  ChoiceTable& choices = engine.choices;
  if (choices.count == 0) {
    ReportScriptError(engine.script, kMsgNoChoices);
    return false;
  }
  TextLayer& layer = engine.message_layer;
  TextLine current;
  // Choices start on a fresh line.
  if (layer.GetLine(&current, layer.current_line()) && current.HasText()) layer.NewLine();
  for (int i = 1; i <= choices.count; ++i) {
    ChoiceEntry& entry = choices.entries[static_cast<std::size_t>(i)];
    entry.first_line = layer.current_line();
    layer.DrawString(entry.text, false);
    entry.last_line = layer.current_line();
    layer.NewLine();
  }
  return true;
}

namespace {

// Calls visit(choice, line number, rectangle on the screen) for every line of every choice.
template <class Visit>
void ForEachChoiceLine(Engine& engine, Visit visit) {
  const ChoiceTable& choices = engine.choices;
  for (int i = 1; i <= choices.count; ++i) {
    const ChoiceEntry& entry = choices.entries[static_cast<std::size_t>(i)];
    for (int j = entry.first_line; j <= entry.last_line; ++j) {
      TextLine line;
      if (engine.message_layer.GetLine(&line, j)) {
        visit(i, j, engine.message_layer.OnTarget(line.rect));
      }
    }
  }
}

}  // namespace

void ChoiceHoverStep(Engine& engine) {
  ChoiceTable& choices = engine.choices;
  TextLayer& layer = engine.message_layer;
  int x = 0, y = 0;
  engine.host.GetCursorPos(x, y);
  // The choice under the mouse is found before any line is drawn, so every line of a choice
  // that wraps lights up, not only those from the one under the mouse on.
  choices.hovered = 0;
  ForEachChoiceLine(engine, [&](int i, int, const Rect& rect) {
    // The lowest-numbered choice under the mouse wins.
    if (choices.hovered == 0 && x >= rect.left && x < rect.right && y >= rect.top &&
        y < rect.bottom) {
      choices.hovered = i;
    }
  });
  if (!engine.text.message_window_shown) return;
  layer.SetTarget(&engine.surfaces.back);
  ForEachChoiceLine(engine, [&](int i, int j, const Rect& rect) {
    const Rect shown = IntersectRect(rect, Rect{0, 0, kScreenWidth, kScreenHeight});
    // The old drawing of the line goes, so the new colours are not blended over it.
    engine.surfaces.back.Blt(shown.left, shown.top, shown.Width(), shown.Height(),
                             engine.surfaces.base, shown.left, shown.top);
    engine.choice_colours.RedrawChoice(layer, j, choices.hovered == i, true);
    engine.frame.MarkDirty(shown);
  });
}

bool ChooseOnClick(Engine& engine, int x, int y) {
  ChoiceTable& choices = engine.choices;
  if (choices.hovered == 0) return false;
  const std::string target = choices.entries[static_cast<std::size_t>(choices.hovered)].target;
  if (target.empty()) return false;
  choices.Clear();
  engine.mouse.click_x = x;
  engine.mouse.click_y = y;
  AfterClickJump(engine, Jump(engine, target));
  return true;
}

}  // namespace adv
