#include "app/app.h"

#include "engine/commands/command_table.h"
#include "engine/engine.h"

namespace adv {

App::App(Engine& engine) : engine(engine), comforts(engine) {
  engine.interp.commands = CommandTable();
}

}  // namespace adv
