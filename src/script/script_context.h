// What the readers of a script line work on: the open script (for error reports), the line being
// executed and the last word read from it, the variable tables, the system variables that are
// computed on reading, and the host that shows error boxes.
#pragma once

#include <string>

#include "script/line_buffer.h"
#include "script/script_file.h"
#include "script/variables.h"

namespace adv {

class Host;

struct ScriptContext {
  ScriptContext(Host& host, SystemVariables& system) : host(host), system(system) {}
  ScriptContext(const ScriptContext&) = delete;
  ScriptContext& operator=(const ScriptContext&) = delete;

  Host& host;
  SystemVariables& system;
  ScriptFile file;
  std::string extension = ".txt";  // of scripts and save files
  LineBuffer line;
  std::string arg;  // the last word read
  VariableTables vars;
};

}  // namespace adv
