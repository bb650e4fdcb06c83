// The scripted input of a headless run: one event per line, "MS EVENT ARGS".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "host/host.h"

namespace adv {

struct TimedEvent {
  std::uint32_t ms = 0;
  HostEvent event;
};

// Parses the whole file; on the first bad line returns false with error "LINE: reason".
// Events come out in time order (file order among equal times); compound events (click, key)
// are split into their parts.
[[nodiscard]] bool ParseInputScript(std::string_view text, std::vector<TimedEvent>& events,
                                    std::string& error);

}  // namespace adv
