// Integer and string variables, and the read-only system variables computed on reading.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace adv {

struct ScriptContext;

// Names are compared as unsigned bytes (std::string's ordering), which is also save-file order.
struct VariableTables {
  std::map<std::string, std::int32_t, std::less<>> ints;
  std::map<std::string, std::string, std::less<>> strings;
};

// Variables whose value is computed when read (the line, the cursor, the text position...). The
// engine answers them; nullopt for a name that is not one of them.
class SystemVariables {
 public:
  virtual ~SystemVariables() = default;
  virtual std::optional<std::int32_t> Int(std::string_view name) = 0;
  virtual std::optional<std::string> String(std::string_view name) = 0;
};

enum class VariableKind { kInt, kString };

// Creates the variable if needed and resets it to 0 or "".
void DeclareVariable(VariableTables& tables, VariableKind kind, std::string_view name);

// Most elements one array declaration may make.
inline constexpr int kMaxArrayElements = 65536;
// Most variables, integers and strings together, that declarations may make: about 13 MB of
// tables and a few MB of save file at most, whatever config.txt asks for.
inline constexpr std::size_t kMaxVariables = 131072;
// Declares every name left on the line: plain names, and arrays written "name[count]" (the count
// may use variables), which make name0 to name(count - 1). A name or an array that would take the
// tables past kMaxVariables is reported and ends the line: nothing more is declared.
void DeclareVariables(ScriptContext& script, VariableKind kind);

// The integer value of a name: an integer system variable, else the integer table.
std::optional<std::int32_t> LookupIntVariable(ScriptContext& script, std::string_view name);
// The string value of a name: a string system variable, else the string table.
std::optional<std::string> LookupStringVariable(ScriptContext& script, std::string_view name);

// "name filler value...": assigns from the rest of the current line; false (after the error
// report) when the name is not declared.
bool AssignVariable(ScriptContext& script);
// Runs AssignVariable on a line of its own making ("name = value"), as .rnd and .now do.
void AssignFromText(ScriptContext& script, std::string_view name, std::string_view value);

// Every variable as a save file holds it: one ".let" line each, integers first, then strings,
// each table in name order, lines ended by CR LF.
std::string SerializeVariables(const VariableTables& tables);

}  // namespace adv
