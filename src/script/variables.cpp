#include "script/variables.h"

#include <algorithm>

#include "base/messages.h"
#include "base/sjis_string.h"
#include "script/arguments.h"
#include "script/error_report.h"
#include "script/script_context.h"

namespace adv {

void DeclareVariable(VariableTables& tables, VariableKind kind, std::string_view name) {
  if (kind == VariableKind::kInt) {
    tables.ints.insert_or_assign(std::string(name), 0);
  } else {
    tables.strings.insert_or_assign(std::string(name), std::string());
  }
}

std::optional<std::int32_t> LookupIntVariable(ScriptContext& script, std::string_view name) {
  if (auto value = script.system.Int(name)) return value;
  auto it = script.vars.ints.find(name);
  if (it == script.vars.ints.end()) return std::nullopt;
  return it->second;
}

std::optional<std::string> LookupStringVariable(ScriptContext& script, std::string_view name) {
  if (auto value = script.system.String(name)) return value;
  auto it = script.vars.strings.find(name);
  if (it == script.vars.strings.end()) return std::nullopt;
  return it->second;
}

namespace {

std::size_t VariableCount(const VariableTables& tables) {
  return tables.ints.size() + tables.strings.size();
}

bool Declared(const VariableTables& tables, VariableKind kind, const std::string& name) {
  return kind == VariableKind::kInt ? tables.ints.contains(name) : tables.strings.contains(name);
}

}  // namespace

void DeclareVariables(ScriptContext& script, VariableKind kind) {
  std::string& word = script.arg;
  while (true) {
    ReadWord(script);
    if (word.empty()) break;
    std::size_t bracket = SjisFind(word, '[');
    if (bracket == std::string::npos) {
      if (VariableCount(script.vars) >= kMaxVariables && !Declared(script.vars, kind, word)) {
        ReportScriptError(script, kMsgTooManyVariables, word);
        return;
      }
      DeclareVariable(script.vars, kind, word);
      continue;
    }
    std::string base = word.substr(0, bracket);
    std::string count_word = word.substr(bracket);
    ExpandVariables(script, count_word);
    const int count = WordToInt(script, count_word);
    if (count > kMaxArrayElements) {
      ReportScriptError(script, kMsgArrayTooLarge, base);
      continue;
    }
    // Only new names count; the count stops as soon as they are too many.
    const std::size_t room = kMaxVariables - std::min(kMaxVariables, VariableCount(script.vars));
    std::size_t added = 0;
    for (int i = 0; i < count && added <= room; ++i) {
      added += !Declared(script.vars, kind, base + std::to_string(i));
    }
    if (added > room) {
      ReportScriptError(script, kMsgTooManyVariables, base);
      return;
    }
    for (int i = 0; i < count; ++i) {
      DeclareVariable(script.vars, kind, base + std::to_string(i));
    }
  }
}

bool AssignVariable(ScriptContext& script) {
  std::string name = ReadStringArg(script);
  ReadStringArg(script);  // the filler word ("=")
  // The tables themselves, not the lookups: system variables cannot be assigned.
  if (auto it = script.vars.ints.find(name); it != script.vars.ints.end()) {
    std::int32_t value = ReadIntExpr(script);
    // The expression may have shown error boxes, but the table cannot have changed its shape.
    script.vars.ints[name] = value;
    return true;
  }
  if (auto it = script.vars.strings.find(name); it != script.vars.strings.end()) {
    it->second = ReadStringArg(script);
    return true;
  }
  ReportScriptError(script, kMsgAssignUndeclared, name);
  return false;
}

void AssignFromText(ScriptContext& script, std::string_view name, std::string_view value) {
  std::string line(name);
  line += " = ";
  line += value;
  script.line.Set(line);
  AssignVariable(script);
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
