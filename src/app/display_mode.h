// The main window in its two display modes, and the switch between them.
#pragma once

namespace adv {

struct App;

// Creates the main window in the current display mode; a full screen that cannot be reached
// falls back to the window after a box naming the reason. False when no window can be made.
[[nodiscard]] bool CreateMainWindow(App& app);
// F4, Alt+Enter, and deactivation while full screen.
void ToggleDisplayMode(App& app);

}  // namespace adv
