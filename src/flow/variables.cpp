#include "flow/variables.h"

#include "engine.h"
#include "script/arguments.h"
#include "script/error_report.h"
#include "base/messages.h"

namespace adv {

namespace {

std::optional<std::int32_t> SystemInt(Engine& engine, std::string_view name) {
  const MessageLayerPosition& layer = engine.message_layer;
  if (name == "CurLine") return engine.script.line_number();
  if (name == "LastLine") {
    return engine.flow.call_stack.empty() ? 0 : engine.flow.call_stack.back().line;
  }
  if (name == "CursorX" || name == "CursorY") {
    int x = 0, y = 0;
    engine.host.GetCursorPos(x, y);
    return name == "CursorX" ? x : y;
  }
  if (name == "ClickX") return engine.shell.click_x;
  if (name == "ClickY") return engine.shell.click_y;
  if (name == "CurTextX") return layer.x + layer.cursor_x;
  if (name == "CurTextY") return layer.y + layer.cursor_y;
  if (name == "LastTextX") return layer.x + layer.last_x;
  if (name == "LastTextY") return layer.y + layer.last_y;
  if (name == "CurTextLine") return layer.current_line;
  return std::nullopt;
}

std::optional<std::string> SystemString(Engine& engine, std::string_view name) {
  if (name == "CurFile") return engine.script.name();
  if (name == "LastFile") {
    return engine.flow.call_stack.empty() ? std::string() : engine.flow.call_stack.back().file;
  }
  if (name == "CurText") {
    // Backslashes doubled inside each line, lines joined by "\N".
    std::string text;
    const auto& lines = engine.message_layer.lines;
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

}  // namespace

void DeclareVariable(VariableTables& tables, VariableKind kind, std::string_view name) {
  if (kind == VariableKind::kInt) {
    tables.ints.insert_or_assign(std::string(name), 0);
  } else {
    tables.strings.insert_or_assign(std::string(name), std::string());
  }
}

std::optional<std::int32_t> LookupIntVariable(Engine& engine, std::string_view name) {
  if (auto value = SystemInt(engine, name)) return value;
  auto it = engine.vars.ints.find(name);
  if (it == engine.vars.ints.end()) return std::nullopt;
  return it->second;
}

std::optional<std::string> LookupStringVariable(Engine& engine, std::string_view name) {
  if (auto value = SystemString(engine, name)) return value;
  auto it = engine.vars.strings.find(name);
  if (it == engine.vars.strings.end()) return std::nullopt;
  return it->second;
}

bool AssignVariable(Engine& engine) {
  std::string name = ReadStringArg(engine);
  ReadStringArg(engine);  // the filler word ("=")
  // The tables themselves, not the lookups: system variables cannot be assigned.
  if (auto it = engine.vars.ints.find(name); it != engine.vars.ints.end()) {
    std::int32_t value = ReadIntExpr(engine);
    // The expression may have shown error boxes, but the table cannot have changed its shape.
    engine.vars.ints[name] = value;
    return true;
  }
  if (auto it = engine.vars.strings.find(name); it != engine.vars.strings.end()) {
    it->second = ReadStringArg(engine);
    return true;
  }
  ReportScriptError(engine, kMsgAssignUndeclared);
  return false;
}

void AssignFromText(Engine& engine, std::string_view name, std::string_view value) {
  std::string line(name);
  line += " = ";
  line += value;
  engine.interp.line.Set(line);
  AssignVariable(engine);
}

std::string SerializeVariables(const VariableTables& tables) {
  std::string out;
  for (const auto& [name, value] : tables.ints) {
    out += ".let " + name + " = " + std::to_string(value) + "\r\n";
  }
  for (const auto& [name, value] : tables.strings) {
    out += ".let " + name + " = \"" + value + "\"\r\n";
  }
  return out;
}

}  // namespace adv
