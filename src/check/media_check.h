// .avi, .wav, .mid, .mp3 and .cda: the files and CD tracks they play.
#pragma once

#include "check/line_check.h"

namespace adv {

void CheckAvi(LineCheck& at);
void CheckWav(LineCheck& at);
void CheckMid(LineCheck& at);
void CheckMp3(LineCheck& at);
void CheckCda(LineCheck& at);

}  // namespace adv
