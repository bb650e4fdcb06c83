// .pic and .spr: destination, source (surface, colour or picture file), composition method and
// transition, in the order the picture command reads and refuses them.
#pragma once

#include "check/line_check.h"

namespace adv {

void CheckPic(LineCheck& at);
void CheckSpr(LineCheck& at);

}  // namespace adv
