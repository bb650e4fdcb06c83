// The Engine: one object per run owning every piece of engine-wide state. Subsystems take it
// (or the narrower pieces they need) as a parameter; several engines can live in one process.
#pragma once

#include <string>

#include "app/settings.h"
#include "app/shell.h"
#include "flow/call_stack.h"
#include "flow/random_generator.h"
#include "flow/variables.h"
#include "graphics/surfaces.h"
#include "host/file_system.h"
#include "host/host.h"
#include "host/internal_error_log.h"
#include "script/interpreter_state.h"
#include "script/script_file.h"
#include "text/text_state.h"

namespace adv {

class Engine {
 public:
  explicit Engine(Host& host) : host(host), internal_errors(host) {}
  Engine(const Engine&) = delete;
  Engine& operator=(const Engine&) = delete;

  Host& host;
  FileSystem files;  // names relative to the scenario folder
  Settings settings;
  std::string exe_folder;     // the folder standing for the executable's (GAMEDIR)
  std::string plugin_folder;  // image plug-ins
  Shell shell;
  InterpreterState interp;
  ScriptFile script;
  VariableTables vars;
  FlowState flow;
  RandomGenerator random;
  Surfaces surfaces;
  TextState text;
  MessageLayerPosition message_layer;
  InternalErrorLog internal_errors;
};

}  // namespace adv
