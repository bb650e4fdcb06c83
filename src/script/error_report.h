// Script errors: a box naming the file and line, and a FILE:LINE: message line on stderr.
#pragma once

#include <string_view>

namespace adv {

struct ScriptContext;

void ReportScriptError(ScriptContext& script, std::string_view message);

}  // namespace adv
