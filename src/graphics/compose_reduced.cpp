// The reduced keyed copy the text layers use: each destination pixel becomes the mean of a
// factor x factor block of their magnified glyph surface, the key colour standing for the
// destination pixel, so glyph edges are smoothed against the picture beneath.
#include "graphics/compose_ops.h"

namespace adv {

bool CDrawImage::CopyReducedKeyed(int x, int y, int width, int height, const CDrawImage& src,
                                  int src_x, int src_y, Colour key, int factor) {
  if (!Is16() || !src.Is16()) return false;
  const Pixel key_pixel = ColorToPixel(key);
  if (factor == 1) return CopyKeyed(x, y, width, height, src, src_x, src_y, key_pixel);
  if (factor < 2 || factor > 4) return false;
  // Source coordinates are in reduced units; no overlap test.
  if (!ClipRectPair(width, height, x, y, width_, height_, src_x, src_y, src.Width() / factor,
                    src.Height() / factor)) {
    return false;
  }
  const compose::ReducedSpan span{this, &src, x, y, width, height, src_x, src_y, factor, key_pixel};
  if (&src == this) {
    compose::ReducePlain(span);
  } else {
    compose::Dispatch(compose::ReduceJob{span});
  }
  return true;
}

}  // namespace adv
