#include "check/line_check.h"

#include <algorithm>
#include <array>
#include <span>
#include <vector>

#include "base/messages.h"
#include "base/sjis_string.h"
#include "files/file_reader.h"
#include "host/sjis_convert.h"
#include "script/arguments.h"

namespace adv {

namespace {

constexpr char kUnknown = '\0';

constexpr std::array<std::string_view, 11> kIntSystemVariables{
    "CurLine",  "LastLine", "CursorX",   "CursorY",   "ClickX",     "ClickY",
    "CurTextX", "CurTextY", "LastTextX", "LastTextY", "CurTextLine"};
constexpr std::array<std::string_view, 3> kStringSystemVariables{"CurFile", "LastFile", "CurText"};

bool IsOneOf(std::string_view name, std::span<const std::string_view> names) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

bool HasUnknown(std::string_view s) {
  return s.find(kUnknown) != std::string_view::npos;
}

// As the "^" reference writes it: zeros first, also before a minus sign.
std::string PaddedNumber(int value, std::size_t width) {
  std::string digits = std::to_string(value);
  const std::size_t count = digits.size() - (value < 0 ? 1 : 0);
  return count >= width ? digits : Cat(std::string(width - count, '0'), digits);
}

}  // namespace

LineCheck::LineCheck(CheckContext& game, const ScriptLines& script, int line, std::string_view rest,
                     ScriptFlow* flow)
    : game(game), script(script), line(line), flow(flow) {
  buffer_.Set(rest);
}

std::string LineCheck::Word() {
  std::string word;
  ReadWordFrom(buffer_, word);
  return word;
}

Arg LineCheck::String() {
  Arg arg{Word()};
  Expand(arg.text);
  return arg;
}

std::optional<int> LineCheck::Int() {
  return IntOf(String());
}

std::optional<int> LineCheck::IntOf(const Arg& word) {
  const std::string& w = word.text;
  if (!word.Known()) return std::nullopt;
  if (w.empty()) return 0;
  if (IsNumericLiteral(w)) return ParseNumericLiteral(w);
  if (IsIntVariable(w)) {
    if (!initial_values) return std::nullopt;
    if (w == "CurLine") return line;
    return IsOneOf(w, kIntSystemVariables) ? std::nullopt : std::optional<int>(0);
  }
  Error(kMsgNoVariable, w);
  return 0;
}

void LineCheck::IntExpr() {
  Int();
  while (true) {
    const Arg op = String();
    Int();
    if (op.text.empty()) return;
    if (op.Known() && std::string_view("+-*/%").find(op.text[0]) == std::string_view::npos) {
      Fault(Cat(Quoted(op.text),
                " is not an operator (+ - * / %): it and the word after it are ignored"));
    }
  }
}

std::string LineCheck::Replacement(const std::string& name) {
  const std::size_t caret = SjisFind(name, '^');
  if (caret != std::string::npos) {
    const std::optional<int> value = IntOf(Arg{name.substr(0, caret)});
    const std::string_view width = std::string_view(name).substr(caret + 1);
    if (!value || HasUnknown(width)) return std::string(1, kUnknown);
    return PaddedNumber(*value, width.size());
  }
  if (name.empty()) return name;
  if (HasUnknown(name)) return std::string(1, kUnknown);
  if (IsNumericLiteral(name)) return std::to_string(ParseNumericLiteral(name));
  if (IsIntVariable(name)) {
    const std::optional<int> value = IntOf(Arg{name});
    return value ? std::to_string(*value) : std::string(1, kUnknown);
  }
  if (IsStringVariable(name)) {
    return initial_values && !IsOneOf(name, kStringSystemVariables) ? std::string()
                                                                    : std::string(1, kUnknown);
  }
  // The engine puts the bare name in its place without a word: almost always a misspelling.
  Fault(Cat("[", SjisToUtf8(name), "] names no declared variable: it stands for the text ",
            Quoted(name)));
  return name;
}

void LineCheck::Expand(std::string& s) {
  ExpandBracketReferences(s, [this](std::string_view name, std::size_t /*room*/) {
    return Replacement(std::string(name));
  });
}

ScriptSpot LineCheck::Spot() const {
  return ScriptSpot{script.order, script.shown_name, line};
}

void LineCheck::Error(std::string_view message, std::string_view name) {
  game.report.Error(Spot(), message, name);
}

void LineCheck::Fault(std::string_view english) {
  game.report.Fault(Spot(), english);
}

void LineCheck::Warn(std::string_view english) {
  game.report.Warning(Spot(), english);
}

bool LineCheck::FileFound(std::string_view name, bool packed_twin_counts) {
  const NameLookup* found = &game.probe.Find(name);
  if (found->match == NameMatch::kMissing && packed_twin_counts) {
    found = &game.probe.Find(PackedTwinName(name));
  }
  if (found->match == NameMatch::kMissing) return false;
  if (const std::string warning = NameWarning(name, *found); !warning.empty()) Warn(warning);
  return true;
}

bool LineCheck::IsIntVariable(std::string_view name) const {
  return IsOneOf(name, kIntSystemVariables) || game.facts.ints.contains(name);
}

bool LineCheck::IsStringVariable(std::string_view name) const {
  return IsOneOf(name, kStringSystemVariables) || game.facts.strings.contains(name);
}

bool LineCheck::IsDeclared(std::string_view name) const {
  return game.facts.ints.contains(name) || game.facts.strings.contains(name);
}

}  // namespace adv
