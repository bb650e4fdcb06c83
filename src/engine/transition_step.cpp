#include "engine/transition_step.h"

#include "engine/engine.h"
#include "engine/interpreter.h"
#include "graphics/transitions.h"

namespace adv {

State TransitionStep(Engine& engine) {
  PendingTransition& t = engine.transition;
  TransitionStepResult result =
      DrawTransitionStep(engine.surfaces.back, engine.surfaces.spare, t.kind, t.step);
  // The spare buffer differs from the back buffer only inside the command's rectangle.
  engine.frame.MarkDirty(IntersectRect(result.changed, t.rect));
  Yield(engine);
  AddWait(engine, t.step_time);
  if (result.done) return State::kReadLine;
  ++t.step;
  return State::kTransition;
}

}  // namespace adv
