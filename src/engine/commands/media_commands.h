// The media commands: .wav sounds, .mid music through the sequencer, .mp3 music, .cda CD-audio
// tracks, .avi movies, and .mcm, which glides the mouse cursor.
#pragma once

#include "engine/interpreter_state.h"

namespace adv {

class Engine;

State WavCommand(Engine& engine);
State MidCommand(Engine& engine);
State Mp3Command(Engine& engine);
State CdaCommand(Engine& engine);
State AviCommand(Engine& engine);
State McmCommand(Engine& engine);

// The two waits the original made inside a step, made a frame at a time so the window answers:
// a mode-1 sound playing to its end, and the cursor's glide.
State SoundWaitStep(Engine& engine);
State CursorGlideStep(Engine& engine);

}  // namespace adv
