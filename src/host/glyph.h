// A rasterised character as the text layers draw it: its cell width and its ink as horizontal
// runs. Runs rather than a bitmap, because drawing a run is one fill, so a glyph costs the same
// whatever its size, and big glyphs take little memory in the cache.
#pragma once

#include <cstdint>
#include <vector>

#include "base/rect.h"

namespace adv {

// `length` pixels of ink starting at (x, y), relative to the top-left corner of the cell.
struct GlyphRun {
  std::int16_t x = 0;
  std::int16_t y = 0;
  std::int16_t length = 0;
  bool operator==(const GlyphRun&) const = default;
};

struct Glyph {
  int advance = 0;  // cell width in pixels, what GetTextExtentPoint32 measures for the character
  bool missing = false;  // drawn as the face's missing glyph
  std::vector<GlyphRun> runs;
  Rect ink;  // bounds of the runs, relative to the cell; empty for a blank glyph
};

}  // namespace adv
