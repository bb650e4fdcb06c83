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

}  // namespace adv
