#include "engine/choices.h"

#include "engine/engine.h"

namespace adv {

// No choice can be registered before .slt exists, so nothing is hovered or hit.
void ChoiceHoverStep(Engine&) {}

bool ChooseOnClick(Engine&, int, int) {
  return false;
}

}  // namespace adv
