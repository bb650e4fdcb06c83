#include "engine/commands/block_commands.h"

#include <array>
#include <string_view>

#include "base/messages.h"
#include "engine/engine.h"
#include "script/arguments.h"
#include "script/error_report.h"

namespace adv {

namespace {

using Comparison = bool (*)(std::int32_t selector, std::int32_t value);

struct CaseWord {
  std::string_view word;
  Comparison holds;
};

constexpr std::array<CaseWord, 8> kCaseWords{{
    {".==", [](std::int32_t s, std::int32_t v) { return s == v; }},
    {".=", [](std::int32_t s, std::int32_t v) { return s == v; }},
    {".<", [](std::int32_t s, std::int32_t v) { return s < v; }},
    {".>", [](std::int32_t s, std::int32_t v) { return s > v; }},
    {".<=", [](std::int32_t s, std::int32_t v) { return s <= v; }},
    {".>=", [](std::int32_t s, std::int32_t v) { return s >= v; }},
    {".!=", [](std::int32_t s, std::int32_t v) { return s != v; }},
    {".<>", [](std::int32_t s, std::int32_t v) { return s != v; }},
}};

const CaseWord* FindCaseWord(std::string_view word) {
  for (const CaseWord& c : kCaseWords) {
    if (c.word == word) return &c;
  }
  return nullptr;
}

// Reads the next line whose first byte is "." into the current line and its first word into the
// argument buffer (no bracket substitution); false at the end of the file.
bool NextStructuralLine(ScriptContext& script) {
  std::string line;
  while (script.file.ReadLine(line)) {
    if (line.empty() || line[0] != '.') continue;
    script.line.Set(line);
    ReadWord(script);
    return true;
  }
  return false;
}

// Reads past the "." that closes the current block. Nested blocks are counted, not recursed
// into, so no depth of nesting can exhaust the stack.
bool SkipBlock(ScriptContext& script) {
  int open = 1;
  while (NextStructuralLine(script)) {
    if (script.arg == ".") {
      if (--open == 0) return true;
    } else if (script.arg == ".cas") {
      ++open;
    }
  }
  ReportScriptError(script, kMsgSkpEof);
  return false;
}

}  // namespace

State CasCommand(Engine& engine) {
  ScriptContext& script = engine.script;
  const std::int32_t selector = ReadIntExpr(script);
  while (NextStructuralLine(script)) {
    const std::string& word = script.arg;
    if (word == ".cas") {
      if (!SkipBlock(script)) return State::kEnd;
    } else if (word == ".els" || word == ".") {
      return State::kReadLine;
    } else if (const CaseWord* c = FindCaseWord(word)) {
      // Each case is evaluated only when the scan reaches it.
      if (c->holds(selector, ReadIntExpr(script))) return State::kReadLine;
    }
  }
  ReportScriptError(script, kMsgCasEof);
  return State::kEnd;
}

State SkpCommand(Engine& engine) {
  return SkipBlock(engine.script) ? State::kReadLine : State::kEnd;
}

}  // namespace adv
