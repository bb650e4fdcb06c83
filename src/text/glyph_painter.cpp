#include "text/glyph_painter.h"

#include <algorithm>

namespace adv {

void PaintGlyph(CDrawImage& surface, const Glyph& glyph, long long x, long long y, Pixel pixel,
                const Rect& clip) {
  if (!surface.Is16() || clip.Empty()) return;
  // Whole glyph outside the clip: nothing to look at.
  if (x + glyph.ink.right <= clip.left || x + glyph.ink.left >= clip.right ||
      y + glyph.ink.bottom <= clip.top || y + glyph.ink.top >= clip.bottom) {
    return;
  }
  for (const GlyphRun& run : glyph.runs) {
    const long long row = y + run.y;
    if (row < clip.top || row >= clip.bottom) continue;
    const long long left = std::max<long long>(x + run.x, clip.left);
    const long long right = std::min<long long>(x + run.x + run.length, clip.right);
    if (left >= right) continue;
    std::fill_n(surface.Row(static_cast<int>(row)) + left, right - left, pixel);
  }
}

}  // namespace adv
