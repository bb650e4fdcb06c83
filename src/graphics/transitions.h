// Transitions: a new picture staged in the spare buffer replaces the back buffer's one step by
// step (blinds, ordered dissolves, an opening circle or box, clock wipes).
#pragma once

#include "base/rect.h"
#include "graphics/draw_image.h"

namespace adv {

struct TransitionStepResult {
  bool done = false;  // this was the kind's last step
  Rect changed;       // what the step drew, in screen coordinates; not clipped by the caller's rect
};

// The number of the last drawing step of a transition kind (1 to 13; any other kind is a cut,
// whose one step is 1).
int TransitionLastStep(int kind);

// Draws step `step` of transition `kind` by copying pixels from `spare` onto the same positions of
// `back` (both normally 640 x 480; anything else is clipped to the smaller surface). Step 0 (and
// any negative step) draws nothing and is not done; drawing begins with step 1 and `done` is set
// on the last step. Steps past the last draw nothing and report done, so a caller that somehow
// overshoots still stops.
TransitionStepResult DrawTransitionStep(CDrawImage& back, const CDrawImage& spare, int kind,
                                        int step);

}  // namespace adv
