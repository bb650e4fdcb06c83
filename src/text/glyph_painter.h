// Paints a glyph's ink onto a surface in one pixel value.
#pragma once

#include "base/rect.h"
#include "graphics/draw_image.h"
#include "host/glyph.h"

namespace adv {

// Paints glyph with the top-left corner of its cell at (x, y), touching only pixels inside clip.
// clip must lie inside the surface; x and y may be anything.
void PaintGlyph(CDrawImage& surface, const Glyph& glyph, long long x, long long y, Pixel pixel,
                const Rect& clip);

}  // namespace adv
