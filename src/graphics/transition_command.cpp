#include "graphics/transition_command.h"

#include "engine.h"

namespace adv {

void TransitionStateStep(Engine& engine) { engine.interp.state = kStateIdle; }

}  // namespace adv
