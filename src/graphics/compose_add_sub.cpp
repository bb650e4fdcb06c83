// Additive and subtractive composition (methods 2 and 3), saturating per channel.
#include "graphics/compose_ops.h"

namespace adv {

namespace compose {
namespace {

template <class Op>
bool ComposePair(CDrawImage& dst, int x, int y, int width, int height, const CDrawImage& src,
                 int src_x, int src_y) {
  if (!dst.Is16() || !src.Is16()) return false;
  PairSpan span;
  if (!PreparePair(dst, src, x, y, width, height, src_x, src_y, span)) return false;
  RunPairs(span, Op{});
  return true;
}

template <class Op>
bool ComposeColour(CDrawImage& dst, int x, int y, int width, int height, Colour colour) {
  if (!dst.Is16()) return false;
  Span span;
  if (!PrepareColour(dst, x, y, width, height, span)) return false;
  RunColour(span, WithColourOp<Op>{Op{}, ColorToPixel(colour)});
  return true;
}

}  // namespace
}  // namespace compose

bool CDrawImage::CopyAdd(int x, int y, int width, int height, const CDrawImage& src, int src_x,
                         int src_y) {
  return compose::ComposePair<compose::AddOp>(*this, x, y, width, height, src, src_x, src_y);
}

bool CDrawImage::FillAdd(int x, int y, int width, int height, Colour colour) {
  return compose::ComposeColour<compose::AddOp>(*this, x, y, width, height, colour);
}

bool CDrawImage::CopySub(int x, int y, int width, int height, const CDrawImage& src, int src_x,
                         int src_y) {
  return compose::ComposePair<compose::SubOp>(*this, x, y, width, height, src, src_x, src_y);
}

bool CDrawImage::FillSub(int x, int y, int width, int height, Colour colour) {
  return compose::ComposeColour<compose::SubOp>(*this, x, y, width, height, colour);
}

}  // namespace adv
