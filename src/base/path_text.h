// Paths as text, Windows style or Linux style: the engine cuts and joins them as text, as games'
// own names expect, before the host resolves them on disk.
#pragma once

#include <string>
#include <string_view>

namespace adv {

// Position of the last "\" or "/" (Shift-JIS-aware), or npos.
std::size_t LastPathSeparator(std::string_view path);

// The folder of a path: cut at its last "\" or "/" (without it), or just after its first ":"
// when there is neither; "" when there is nothing to cut.
std::string ExecutableFolderOf(std::string_view exe_path);

}  // namespace adv
