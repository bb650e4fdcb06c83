#include "engine/system_variables.h"

#include "base/sjis_string.h"
#include "engine/engine.h"

namespace adv {

std::optional<std::int32_t> EngineSystemVariables::Int(std::string_view name) {
  const TextLayer& layer = engine_.message_layer;
  const auto& stack = engine_.flow.call_stack;
  if (name == "CurLine") return engine_.script.file.line_number();
  if (name == "LastLine") return stack.empty() ? 0 : stack.back().line;
  if (name == "CursorX" || name == "CursorY") {
    int x = 0, y = 0;
    engine_.host.GetCursorPos(x, y);
    return name == "CursorX" ? x : y;
  }
  if (name == "ClickX") return engine_.mouse.click_x;
  if (name == "ClickY") return engine_.mouse.click_y;
  // Screen coordinates; a script may have placed the layer anywhere in the int range.
  if (name == "CurTextX") return Rect::SaturatedAdd(layer.position_x(), layer.cursor_x());
  if (name == "CurTextY") return Rect::SaturatedAdd(layer.position_y(), layer.cursor_y());
  if (name == "LastTextX") return Rect::SaturatedAdd(layer.position_x(), layer.last_x());
  if (name == "LastTextY") return Rect::SaturatedAdd(layer.position_y(), layer.last_y());
  if (name == "CurTextLine") return layer.current_line();
  return std::nullopt;
}

std::optional<std::string> EngineSystemVariables::String(std::string_view name) {
  const auto& stack = engine_.flow.call_stack;
  if (name == "CurFile") return engine_.script.file.name();
  if (name == "LastFile") return stack.empty() ? std::string() : stack.back().file;
  if (name == "CurText") {
    // Single-byte backslashes doubled inside each line (the second byte of 表 or ソ is not
    // one), lines joined by "\N".
    std::string text;
    const TextLayer& layer = engine_.message_layer;
    for (int i = 1; i <= layer.current_line(); ++i) {
      TextLine line;
      if (!layer.GetLine(&line, i)) break;
      if (i > 1) text += "\\N";
      const std::string& bytes = line.text;
      for (std::size_t at = 0; at < bytes.size(); ++at) {
        const char c = bytes[at];
        text.push_back(c);
        if (IsSjisLeadByte(static_cast<unsigned char>(c)) && at + 1 < bytes.size()) {
          text.push_back(bytes[++at]);
        } else if (c == '\\') {
          text.push_back(c);
        }
      }
    }
    return text;
  }
  return std::nullopt;
}

}  // namespace adv
