// Script errors: a box naming the file and line, and a FILE:LINE: message line on stderr.
#pragma once

#include <string_view>

namespace adv {

class Engine;

void ReportScriptError(Engine& engine, std::string_view message);

}  // namespace adv
