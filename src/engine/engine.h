// The Engine: one object per run owning every piece of engine-wide state. Subsystems take it
// (or the narrower pieces they need) as a parameter; several engines can live in one process.
#pragma once

#include <string>

#include "engine/choices.h"
#include "engine/click_handlers.h"
#include "engine/flow_state.h"
#include "engine/frame.h"
#include "engine/interpreter.h"
#include "engine/media_waits.h"
#include "engine/random_generator.h"
#include "engine/system_variables.h"
#include "engine/text_state.h"
#include "engine/transition_step.h"
#include "engine/window_state.h"
#include "graphics/surfaces.h"
#include "host/file_system.h"
#include "host/font_library.h"
#include "host/host.h"
#include "host/internal_error_log.h"
#include "media/media_players.h"
#include "script/script_context.h"
#include "text/choice_colours.h"
#include "text/text_layer.h"
#include "text/wait_mark.h"

namespace adv {

class Engine {
 public:
  explicit Engine(Host& host)
      : host(host),
        internal_errors(host),
        system_variables(*this),
        script(host, system_variables) {}
  Engine(const Engine&) = delete;
  Engine& operator=(const Engine&) = delete;

  Host& host;
  InternalErrorLog internal_errors;
  EngineSystemVariables system_variables;  // answers for the script's readers
  FileSystem files;                        // names relative to the scenario folder
  std::string plugin_folder;               // image plug-ins
  ScriptContext script;                    // the open script, its current line, the variables
  Interpreter interp;
  Frame frame;
  Surfaces surfaces;
  PendingTransition transition;
  WindowState window;
  Mouse mouse;
  FlowState flow;
  RandomGenerator random;
  FontLibrary fonts;
  TextLayer message_layer{fonts};  // on the back buffer: the message window
  TextLayer parts_layer{fonts};    // prints .tpr text into pictures
  TextState text;
  ChoiceColours choice_colours;
  ChoiceTable choices;
  WaitMark mark;
  MediaPlayers media{*host.Media(), files, internal_errors};
  CursorGlide glide;  // .mcm
};

}  // namespace adv
