#include "support/started_engine.h"

#include <gtest/gtest.h>

#include "engine/interpreter.h"

namespace adv::test {

StartedEngine::StartedEngine() {
  EXPECT_TRUE(engine.surfaces.back.Create(640, 480) && engine.surfaces.spare.Create(640, 480));
  WriteFile("start.txt", "");
  EXPECT_TRUE(StartInterpreter(engine) && engine.message_layer.font() != nullptr)
      << "the engine did not start: are the IPA fonts installed?";
}

}  // namespace adv::test
