// .txt and .tpr: the text layers' settings and printing into pictures.
#pragma once

#include "check/line_check.h"

namespace adv {

void CheckTxt(LineCheck& at);
void CheckTpr(LineCheck& at);

}  // namespace adv
