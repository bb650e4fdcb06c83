// Jumps, subroutines, click labels, choices, blocks and save files.
#pragma once

#include "check/line_check.h"

namespace adv {

void CheckJmp(LineCheck& at);
void CheckSub(LineCheck& at);
void CheckClickLabel(LineCheck& at);  // .lcl and .rcl
void CheckSlt(LineCheck& at);
void CheckCas(LineCheck& at);
void CheckSkp(LineCheck& at);
void CheckSav(LineCheck& at);
void CheckLod(LineCheck& at);

// Save file names as .sav writes and .lod looks for them: letter case does not tell them apart.
std::string FoldedSaveName(std::string_view name);

}  // namespace adv
