// Jump targets ("file", "file:label", "file;N", ":label", ";N") as .jmp, .sub, choices, click
// labels and text hooks name them: the file must open, the label exist, the line be reached.
#pragma once

#include "check/line_check.h"

namespace adv {

// Checks a target word against the scripts it names, relative to the line's own script, and
// brings the script it reaches into the check. What depends on a variable is skipped.
void CheckJumpTarget(LineCheck& at, const Arg& word);

// The same for a target resolved against another script than the line's own (a text hook's
// ":label" is looked for in the script whose text calls it).
void CheckJumpTargetIn(LineCheck& at, const Arg& word, const ScriptLines& current);

}  // namespace adv
