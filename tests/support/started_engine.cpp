#include "support/started_engine.h"

#include "engine/interpreter.h"

namespace adv::test {

StartedEngine::StartedEngine() {
  started = engine.surfaces.back.Create(640, 480) && engine.surfaces.spare.Create(640, 480);
  WriteFile("start.txt", "");
  started = started && StartInterpreter(engine) && engine.message_layer.font() != nullptr;
}

}  // namespace adv::test
