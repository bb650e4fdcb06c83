// State 2: one transition step per interpreter step.
#pragma once

namespace adv {

class Engine;

void TransitionStateStep(Engine& engine);

}  // namespace adv
