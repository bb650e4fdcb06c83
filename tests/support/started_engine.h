// A TestEngine started as a run starts it: back and spare buffers, the base surface, both text
// layers with their defaults, and an empty start script open, so text and wait code can be
// driven step by step. A start-up that fails (no fonts found) fails the test.
#pragma once

#include "support/test_engine.h"

namespace adv::test {

class StartedEngine : public TestEngine {
 public:
  StartedEngine();
};

}  // namespace adv::test
