// Fills and colour-keyed copies: the composition routines that only move pixels.
#include "graphics/compose_ops.h"

namespace adv {

namespace compose {

void FillPixels(const Span& span, Pixel pixel) {
  Dispatch(FillJob{span, pixel});
}

}  // namespace compose

bool CDrawImage::CopyKeyed(int x, int y, int width, int height, const CDrawImage& src, int src_x,
                           int src_y, Pixel key) {
  if (!Is16() || !src.Is16()) return false;
  compose::PairSpan span;
  if (!compose::PreparePair(*this, src, x, y, width, height, src_x, src_y, span)) return false;
  compose::RunPairs(span, compose::KeyedCopyOp{key});
  return true;
}

}  // namespace adv
