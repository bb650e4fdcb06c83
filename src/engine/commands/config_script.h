// The configuration script "config": offscreen count, background colour, caption, cursor and the
// declarations of variables, read to its end before the window exists.
#pragma once

namespace adv {

class Engine;

// False only when the file exists but cannot be opened.
[[nodiscard]] bool RunConfigScript(Engine& engine);

// Most numbered offscreens a game may ask for: each is a 640 x 480 surface of its own.
inline constexpr int kMaxOffscreens = 256;

}  // namespace adv
