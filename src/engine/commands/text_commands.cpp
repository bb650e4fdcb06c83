#include "engine/commands/text_commands.h"

#include <array>

#include "base/messages.h"
#include "base/sjis_string.h"
#include "engine/engine.h"
#include "engine/interpreter.h"
#include "engine/message_display.h"
#include "engine/surface_name.h"
#include "script/arguments.h"
#include "script/error_report.h"
#include "text/layout_math.h"
#include "text/screen_update.h"

namespace adv {

namespace {

// A font keyword that .txt and .tpr share: it reads its value and sets it on the layer.
struct FontSetting {
  std::string_view keyword;
  void (*apply)(ScriptContext& script, TextLayer& layer);
};

// Values out of range are refused silently; only the magnification is reported, by the caller.
constexpr std::array<FontSetting, 10> kFontSettings{{
    {"name", [](ScriptContext& s, TextLayer& l) { l.SetFaceName(ReadStringArg(s)); }},
    {"weight", [](ScriptContext& s, TextLayer& l) { l.SetWeight(ReadIntArg(s)); }},
    {"italic", [](ScriptContext& s, TextLayer& l) { l.SetItalic(ReadIntArg(s) != 0); }},
    {"underline", [](ScriptContext& s, TextLayer& l) { l.SetUnderline(ReadIntArg(s) != 0); }},
    {"strikeout", [](ScriptContext& s, TextLayer& l) { l.SetStrikeOut(ReadIntArg(s) != 0); }},
    {"edge", [](ScriptContext& s, TextLayer& l) { l.SetEdge(ReadIntArg(s) != 0); }},
    {"spacing", [](ScriptContext& s, TextLayer& l) { l.SetSpacing(ReadIntArg(s)); }},
    {"size", [](ScriptContext& s, TextLayer& l) { l.SetSize(ReadIntArg(s)); }},
    {"leading", [](ScriptContext& s, TextLayer& l) { l.SetLeading(ReadIntArg(s)); }},
    {"offset", [](ScriptContext& s, TextLayer& l) { l.SetShadowOffset(ReadIntArg(s)); }},
}};

// "font KEYWORD ..." for either layer; colours and alignment are each command's own.
void ApplyFontSetting(ScriptContext& script, TextLayer& layer, const std::string& keyword,
                      std::string_view magnification_refused) {
  if (keyword == "magnification") {
    if (!layer.SetArea(layer.width(), layer.max_width(), layer.height(), ReadIntArg(script))) {
      ReportScriptError(script, magnification_refused);
    }
    return;
  }
  for (const FontSetting& setting : kFontSettings) {
    if (setting.keyword == keyword) {
      setting.apply(script, layer);
      return;
    }
  }
}

// .txt font color WHICH C: the message layer's colours and the six choice colours.
void SetMessageColour(Engine& engine, const std::string& which, Colour c) {
  TextLayer& layer = engine.message_layer;
  ChoiceColours& choice = engine.choice_colours;
  if (which == "usual") {
    layer.SetTextColour(c);
    choice.usual = c;
  } else if (which == "usualshadow") {
    layer.SetShadowColour(c);
    choice.usual_shadow = c;
  } else if (which == "selected") {
    choice.selected = c;
  } else if (which == "notselected") {
    choice.not_selected = c;
  } else if (which == "selectedshadow") {
    choice.selected_shadow = c;
  } else if (which == "notselectedshadow") {
    choice.not_selected_shadow = c;
  } else if (which == "shadow") {
    layer.SetShadowColour(c);
    choice.usual_shadow = choice.selected_shadow = choice.not_selected_shadow = c;
  } else if (which == "transparency") {
    layer.SetTransparentColor(c);  // refused silently on a page with text
  }
}

void TxtSpace(ScriptContext& script, TextLayer& layer) {
  const std::string what = ReadStringArg(script);
  if (what == "size") {
    const int width = ReadIntArg(script);
    const int max_width = ReadIntArg(script);
    const int height = ReadIntArg(script);
    if (!layer.SetArea(width, max_width, height, layer.magnification())) {
      ReportScriptError(script, kMsgTxtSpaceSize);
    }
  } else if (what == "pos") {
    const int x = ReadIntArg(script);
    const int y = ReadIntArg(script);
    if (!layer.SetPosition(x, y)) ReportScriptError(script, kMsgTxtSpacePos);
  }
}

// .tpr screen|offN X Y TEXT: prints TEXT with the parts layer into the picture.
void Print(Engine& engine, CDrawImage& target, bool to_screen) {
  ScriptContext& script = engine.script;
  TextLayer& parts = engine.parts_layer;
  const int x = ReadIntArg(script);
  const int y = ReadIntArg(script);
  const std::string text = ReadStringArg(script);
  parts.SetTarget(&target);
  parts.MoveTo(0, y);
  // Lines are cut at each "\n"; each is aligned on x by itself.
  std::size_t from = 0;
  while (true) {
    const std::size_t cut = SjisFindSeq(std::string_view(text).substr(from), "\\n");
    const bool last = cut == std::string::npos;
    std::string line = text.substr(from, last ? std::string::npos : cut);
    const long long width = parts.MeasureLine(line);
    // Any X and any width: the left edge is clamped, not overflowed.
    long long left = x;
    if (engine.text.parts_alignment == PartsAlignment::kCentre) left -= width / 2;
    if (engine.text.parts_alignment == PartsAlignment::kRight) left -= width;
    parts.MoveTo(Saturate(left), parts.cursor_y());
    if (!last) line.push_back('\n');
    parts.DrawString(line, true);
    if (last) break;
    from += cut + 2;
  }
  if (to_screen) {
    // Message text stays above what was printed.
    UpdateScreen(engine, parts.OnTarget(parts.PageRect()), engine.text.message_window_shown);
    Yield(engine);
  }
  parts.ClearAll();
}

void TprFont(Engine& engine) {
  ScriptContext& script = engine.script;
  TextLayer& parts = engine.parts_layer;
  const std::string keyword = ReadStringArg(script);
  if (keyword == "align") {
    const int align = ReadIntArg(script);
    if (align >= 0 && align <= 2) engine.text.parts_alignment = static_cast<PartsAlignment>(align);
  } else if (keyword == "color") {
    const std::string which = ReadStringArg(script);
    const Colour c = ParseColour(ReadStringArg(script));
    if (which == "usual") parts.SetTextColour(c);
    if (which == "shadow") parts.SetShadowColour(c);
    if (which == "transparency") parts.SetTransparentColor(c);
  } else {
    ApplyFontSetting(script, parts, keyword, kMsgTprFontMagnification);
  }
}

}  // namespace

State TxtCommand(Engine& engine) {
  ScriptContext& script = engine.script;
  TextLayer& layer = engine.message_layer;
  const std::string group = ReadStringArg(script);
  if (group == "maxline") {
    if (!layer.SetMaxLines(ReadIntArg(script))) ReportScriptError(script, kMsgTxtMaxline);
  } else if (group == "space") {
    TxtSpace(script, layer);
  } else if (group == "font") {
    const std::string keyword = ReadStringArg(script);
    if (keyword == "color") {
      const std::string which = ReadStringArg(script);
      SetMessageColour(engine, which, ParseColour(ReadStringArg(script)));
    } else {
      ApplyFontSetting(script, layer, keyword, kMsgTxtFontMagnification);
    }
  }
  return State::kReadLine;
}

State TprCommand(Engine& engine) {
  ScriptContext& script = engine.script;
  const std::string first = ReadStringArg(script);
  if (first == "font") {
    TprFont(engine);
    return State::kReadLine;
  }
  const SurfaceName name = ParseSurfaceName(first);
  if (name.kind == SurfaceName::Kind::kOther) return State::kReadLine;
  CDrawImage* target = FindSurface(engine.surfaces, name);
  if (target == nullptr) {
    ReportScriptError(script, kMsgDestNoOffscreen, first);
    return State::kReadLine;
  }
  Print(engine, *target, name.kind == SurfaceName::Kind::kScreen);
  return State::kReadLine;
}

State TswCommand(Engine& engine) {
  TextState& text = engine.text;
  if (text.message_window_shown) {
    FlushPendingText(engine);
  } else {
    text.message_window_shown = true;
    Surfaces& s = engine.surfaces;
    if (RemainingWait(engine) < kStagingWaitMs) {
      ComposeLayerOnto(engine.message_layer, s.back);
    } else {
      s.spare.Blt(0, 0, kScreenWidth, kScreenHeight, s.back, 0, 0);
      ComposeLayerOnto(engine.message_layer, s.spare);
      engine.frame.RequestSwap();
    }
  }
  engine.frame.MarkDirty(IntersectRect(text.pending, Rect{0, 0, kScreenWidth, kScreenHeight}));
  text.pending = Rect{};
  Yield(engine);
  return State::kReadLine;
}

State ThdCommand(Engine& engine) {
  TextState& text = engine.text;
  if (!text.message_window_shown) return State::kReadLine;
  text.message_window_shown = false;
  // The layer keeps its lines; a later .tsw shows exactly this area again.
  text.pending = engine.message_layer.OnTarget(engine.message_layer.PageRect());
  UpdateScreen(engine, text.pending, false);
  Yield(engine);
  return State::kReadLine;
}

State TpsCommand(Engine& engine) {
  ScriptContext& script = engine.script;
  TextLayer& layer = engine.message_layer;
  const int mode = ReadIntArg(script);
  const int x = ReadIntArg(script);
  const int y = ReadIntArg(script);
  if (mode == 0) {
    // Screen point to layer point, for any position the script gave the layer.
    layer.MoveTo(Saturate(static_cast<long long>(x) - layer.position_x()),
                 Saturate(static_cast<long long>(y) - layer.position_y()));
  }
  if (mode == 1) layer.MoveBy(x, y);
  if (mode == 2) layer.MoveAfterLast(x, y);
  return State::kReadLine;
}

}  // namespace adv
