#include "engine/media_waits.h"

#include "engine/engine.h"
#include "engine/interpreter.h"

namespace adv {

namespace {
// 32 steps, 5 ms apart; each goes a 32nd of the way further from where the glide began.
constexpr int kGlideSteps = 32;
constexpr int kGlideStepMs = 5;
// A mode-1 sound is looked at again this often.
constexpr std::uint32_t kSoundWaitSleepMs = 2;
}  // namespace

State StartCursorGlide(Engine& engine, int x, int y) {
  CursorGlide& glide = engine.glide;
  glide.to_x = x;
  glide.to_y = y;
  engine.host.GetCursorPos(glide.from_x, glide.from_y);
  glide.step = 0;
  return CursorGlideStep(engine);
}

State CursorGlideStep(Engine& engine) {
  CursorGlide& glide = engine.glide;
  ++glide.step;
  engine.host.SetCursorPos(glide.from_x + ((glide.step * (glide.to_x - glide.from_x)) >> 5),
                           glide.from_y + ((glide.step * (glide.to_y - glide.from_y)) >> 5));
  // The cursor moves at once, not when the frame is shown: each position is held 5 ms before
  // the next, and the last 5 ms before the script goes on.
  AddWait(engine, kGlideStepMs);
  Yield(engine);
  return glide.step < kGlideSteps ? State::kCursorGlide : State::kReadLine;
}

State SoundWaitStep(Engine& engine) {
  if (!engine.media.sound.Busy()) return State::kReadLine;
  engine.host.Sleep(kSoundWaitSleepMs);
  return State::kSoundWait;
}

}  // namespace adv
