// Integer and string variables, and the read-only system variables computed on reading.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace adv {

class Engine;

// Names are compared as unsigned bytes (std::string's ordering), which is also save-file order.
struct VariableTables {
  std::map<std::string, std::int32_t, std::less<>> ints;
  std::map<std::string, std::string, std::less<>> strings;
};

enum class VariableKind { kInt, kString };

// Creates the variable if needed and resets it to 0 or "".
void DeclareVariable(VariableTables& tables, VariableKind kind, std::string_view name);

// The integer value of a name: an integer system variable, else the integer table.
std::optional<std::int32_t> LookupIntVariable(Engine& engine, std::string_view name);
// The string value of a name: a string system variable, else the string table.
std::optional<std::string> LookupStringVariable(Engine& engine, std::string_view name);

// ".let name filler value...": assigns from the rest of the current line.
bool AssignVariable(Engine& engine);
// Runs AssignVariable on a line of its own making ("name = value"), as .rnd and .now do.
void AssignFromText(Engine& engine, std::string_view name, std::string_view value);

// Every variable as a save file holds it: one ".let" line each, integers first, then strings,
// each table in name order, lines ended by CR LF.
std::string SerializeVariables(const VariableTables& tables);

}  // namespace adv
