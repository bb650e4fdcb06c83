// The main window's messages: display-mode switches, close requests, keys standing in for the
// mouse buttons, and clicks handed to the click handlers.
#pragma once

#include "host/host.h"

namespace adv {

struct App;

void HandleWindowEvent(App& app, const HostEvent& event);
// Destroys the main window; the frame loop ends.
void DestroyWindow(App& app);

}  // namespace adv
