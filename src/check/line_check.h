// One script line under check: its words read as the command handlers read them, with bracket
// references expanded as far as their values are known before the game runs, and the report
// of what would go wrong at this line.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "check/check_context.h"
#include "script/line_buffer.h"

namespace adv {

// A word after expansion. A variable's value is unknown until the game runs, so the text holds
// a NUL byte in its place (no script word can hold one).
struct Arg {
  std::string text;
  bool Known() const { return text.find('\0') == std::string::npos; }
  // What stands before the first unknown part.
  std::string_view KnownPrefix() const { return std::string_view(text).substr(0, text.find('\0')); }
};

// What the lines read so far say about the choice table, for .slt exec.
struct ScriptFlow {
  enum class Choices { kUnknown, kNone, kAdded };
  Choices choices = Choices::kNone;
  int choices_since = 0;  // the line from which no choice is registered (0: the file's start)
};

class LineCheck {
 public:
  LineCheck(CheckContext& game, const ScriptLines& script, int line, std::string_view rest,
            ScriptFlow* flow = nullptr);

  // The next word as it stands (the command word, declarations).
  std::string Word();
  // ReadStringArg: the next word, expanded.
  Arg String();
  // ReadIntArg: none when the value depends on a variable; an invalid word is reported as
  // WordToInt reports it and counts 0.
  std::optional<int> Int();
  std::optional<int> IntOf(const Arg& word);
  // ReadIntExpr over the rest of the line.
  void IntExpr();
  // ExpandVariables: references to undeclared names are reported.
  void Expand(std::string& s);

  void Error(std::string_view message, std::string_view name = {});
  void Fault(std::string_view english);
  void Warn(std::string_view english);
  ScriptSpot Spot() const;

  // Whether a named file exists (or, where the reader takes one, its packed twin); warns when
  // it is found only by case folding or conversion.
  bool FileFound(std::string_view name, bool packed_twin_counts);

  bool IsIntVariable(std::string_view name) const;
  bool IsStringVariable(std::string_view name) const;
  bool IsDeclared(std::string_view name) const;

  CheckContext& game;
  const ScriptLines& script;
  const int line;
  ScriptFlow* const flow;  // null in the configuration script
  // The configuration script runs before anything is assigned: every variable holds its
  // declared value (0 or "") there.
  bool initial_values = false;

 private:
  std::string Replacement(const std::string& name);

  LineBuffer buffer_;
};

}  // namespace adv
