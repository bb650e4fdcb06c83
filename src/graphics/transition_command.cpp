#include "graphics/transition_command.h"

#include "app/frame_loop.h"
#include "engine.h"
#include "graphics/transitions.h"
#include "script/interpreter.h"

namespace adv {

void TransitionStateStep(Engine& engine) {
  TransitionState& t = engine.interp.transition;
  TransitionStepResult result =
      DrawTransitionStep(engine.surfaces.back, engine.surfaces.spare, t.kind, t.step);
  // The spare buffer differs from the back buffer only inside the command's rectangle.
  MarkDirty(engine, IntersectRect(result.changed, t.rect));
  Yield(engine);
  AddWait(engine, t.step_time);
  if (result.done) {
    engine.interp.state = kStateIdle;
  } else {
    ++t.step;
  }
}

}  // namespace adv
