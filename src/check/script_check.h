// One scenario script read top to bottom without running it: commands and their arguments,
// structural lines of .cas blocks, text lines with their references and text hooks, and bytes
// that are not Shift-JIS.
#pragma once

#include "check/check_context.h"
#include "check/line_check.h"

namespace adv {

void CheckScenarioScript(CheckContext& game, const ScriptLines& script);

// Bytes that are not Shift-JIS, and lines saved as UTF-8.
void CheckEncoding(LineCheck& at, std::string_view text, bool valid_sjis);

}  // namespace adv
