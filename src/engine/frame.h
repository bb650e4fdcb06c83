// The frame being prepared, as the engine and the frame loop share it: how long the loop holds
// it (set by Yield), when the previous hold ended (where waits count from), the rectangle of the
// back buffer to present, and whether the back and spare buffers swap first.
#pragma once

#include <cstdint>

#include "base/rect.h"

namespace adv {

struct Frame {
  std::uint32_t interval = 0;
  std::uint32_t last_end = 0;
  Rect dirty;
  bool swap_request = false;

  void MarkDirty(const Rect& rect) { dirty = UnionRect(dirty, rect); }
  void MarkDirtyArea(int x, int y, int width, int height) {
    MarkDirty(Rect::FromSize(x, y, width, height));
  }
  void RequestSwap() { swap_request = true; }
};

}  // namespace adv
