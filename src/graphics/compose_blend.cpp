// Translucent composition (method 1): the level is the weight, in 31ths, of what the destination
// already shows.
#include "graphics/compose_ops.h"

namespace adv {

bool CDrawImage::CopyTranslucent(int x, int y, int width, int height, const CDrawImage& src,
                                 int src_x, int src_y, int level) {
  if (!Is16() || !src.Is16()) return false;
  switch (compose::RangeOf(level)) {
    case compose::LevelRange::kZero:
      return Copy(x, y, width, height, src, src_x, src_y);
    case compose::LevelRange::kOther:
      return true;  // fully transparent: nothing to draw
    case compose::LevelRange::kPartial:
      break;
  }
  compose::PairSpan span;
  if (!compose::PreparePair(*this, src, x, y, width, height, src_x, src_y, span)) return false;
  const auto l = static_cast<std::uint16_t>(compose::LevelValue(level));
  compose::RunPairs(span, compose::TranslucentOp{l});
  return true;
}

bool CDrawImage::FillTranslucent(int x, int y, int width, int height, Colour colour, int level) {
  if (!Is16()) return false;
  switch (compose::RangeOf(level)) {
    case compose::LevelRange::kZero:
      return Fill(x, y, width, height, colour);
    case compose::LevelRange::kOther:
      return true;
    case compose::LevelRange::kPartial:
      break;
  }
  compose::Span span;
  if (!compose::PrepareColour(*this, x, y, width, height, span)) return false;
  const auto l = static_cast<std::uint16_t>(compose::LevelValue(level));
  compose::RunColour(span,
                     compose::WithColourOp<compose::TranslucentOp>{{l}, ColorToPixel(colour)});
  return true;
}

bool CDrawImage::CopyTranslucentKeyed(int x, int y, int width, int height, const CDrawImage& src,
                                      int src_x, int src_y, Pixel key, int level) {
  if (!Is16() || !src.Is16()) return false;
  switch (compose::RangeOf(level)) {
    case compose::LevelRange::kZero:
      return CopyKeyed(x, y, width, height, src, src_x, src_y, key);
    case compose::LevelRange::kOther:
      return true;
    case compose::LevelRange::kPartial:
      break;
  }
  compose::PairSpan span;
  if (!compose::PreparePair(*this, src, x, y, width, height, src_x, src_y, span)) return false;
  const auto l = static_cast<std::uint16_t>(compose::LevelValue(level));
  compose::RunPairs(span, compose::KeyedOp<compose::TranslucentOp>{{l}, key});
  return true;
}

}  // namespace adv
