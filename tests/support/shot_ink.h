// Where ink of one script colour lies in a screenshot: text tests check where characters of a
// known colour landed, not the exact pixels of their glyphs.
#pragma once

#include <cstdint>

#include "base/rect.h"
#include "support/ink.h"
#include "support/run_adv.h"

namespace adv::test {

struct ShotInk {
  Rect bounds;  // empty when there is none
  int count = 0;
};

// Pixels of the script colour #RRGGBB (given as 0xRRGGBB) inside `within`.
ShotInk FindInk(const Picture& shot, std::uint32_t rrggbb,
                const Rect& within = Rect{0, 0, 640, 480});

}  // namespace adv::test
