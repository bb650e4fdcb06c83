#include "engine/system_variables.h"

#include "engine/engine.h"

namespace adv {

std::optional<std::int32_t> EngineSystemVariables::Int(std::string_view name) {
  const MessageLayerPosition& layer = engine_.message_layer;
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
  if (name == "CurTextX") return layer.x + layer.cursor_x;
  if (name == "CurTextY") return layer.y + layer.cursor_y;
  if (name == "LastTextX") return layer.x + layer.last_x;
  if (name == "LastTextY") return layer.y + layer.last_y;
  if (name == "CurTextLine") return layer.current_line;
  return std::nullopt;
}

std::optional<std::string> EngineSystemVariables::String(std::string_view name) {
  const auto& stack = engine_.flow.call_stack;
  if (name == "CurFile") return engine_.script.file.name();
  if (name == "LastFile") return stack.empty() ? std::string() : stack.back().file;
  if (name == "CurText") {
    // Backslashes doubled inside each line, lines joined by "\N".
    std::string text;
    const auto& lines = engine_.message_layer.lines;
    for (std::size_t i = 0; i < lines.size(); ++i) {
      if (i > 0) text += "\\N";
      for (char c : lines[i]) {
        text.push_back(c);
        if (c == '\\') text.push_back(c);
      }
    }
    return text;
  }
  return std::nullopt;
}

}  // namespace adv
