// Script errors: a box naming the file and line, and a FILE:LINE: message line on stderr with the
// message's English meaning and the name it is about.
#pragma once

#include <string>
#include <string_view>

namespace adv {

struct ScriptContext;

// name: the file, label, variable or word the error is about (Shift-JIS), or "".
void ReportScriptError(ScriptContext& script, std::string_view message, std::string_view name = {});

// The message's English meaning with the name put in, quoted; "" for a message without one.
std::string ExplainScriptError(std::string_view message, std::string_view name);

}  // namespace adv
