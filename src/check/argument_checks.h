// Argument kinds several commands share: colours, surface names, cursor files, and keywords that
// select nothing.
#pragma once

#include <string_view>

#include "check/line_check.h"

namespace adv {

// "#" and six hexadecimal digits. Any other word still reads as some colour, without a word
// from the engine; it is reported with the colour it gives.
void CheckColour(LineCheck& at, const Arg& word);

// A surface name as the picture and text commands resolve it.
enum class SurfaceKind {
  kScreen,
  kOffscreen,
  kOther,    // not a surface: a colour or a file, as the command takes it
  kUnknown,  // built from a variable before anything tells
};
SurfaceKind ClassifySurface(const Arg& name);
// False when the name is a known offscreen number that the configuration script's .scr does not
// make.
bool OffscreenExists(LineCheck& at, const Arg& name);

// .cur's argument (scenario and configuration scripts): "show", "hide", "normal" or a cursor
// file that loads.
void CheckCursorArgument(LineCheck& at);

// A keyword that matches nothing: the command does nothing, silently.
void ReportNoEffect(LineCheck& at, std::string_view command, const Arg& word,
                    std::string_view expected);

}  // namespace adv
