// Darkening and whitening by a level (methods 4 and 5). Level 0 is black (darken) or the picture
// itself (whiten); 31 and above the picture itself (darken) or white (whiten).
#include "graphics/compose_ops.h"

namespace adv {

namespace compose {
namespace {

constexpr Colour kBlack = 0;
constexpr Colour kWhite = MakeColour(255, 255, 255);

std::uint16_t DarkFactor(int level) {
  return static_cast<std::uint16_t>(LevelValue(level) * 256 / 31);
}
std::uint16_t LightRemaining(int level) {
  return static_cast<std::uint16_t>(31 - LevelValue(level));
}

// The colour forms scale the 8-bit channels, then fill.
Colour DarkColour(Colour colour, int level) {
  const unsigned l = LevelValue(level);
  return MakeColour(ColourRed(colour) * l / 31, ColourGreen(colour) * l / 31,
                    ColourBlue(colour) * l / 31);
}
Colour LightColour(Colour colour, int level) {
  const unsigned keep = 31 - LevelValue(level);
  auto whiten = [keep](unsigned v) { return 255 - (255 - v) * keep / 31; };
  return MakeColour(whiten(ColourRed(colour)), whiten(ColourGreen(colour)),
                    whiten(ColourBlue(colour)));
}

template <class Op>
bool ComposePair(CDrawImage& dst, int x, int y, int width, int height, const CDrawImage& src,
                 int src_x, int src_y, const Op& op) {
  PairSpan span;
  if (!PreparePair(dst, src, x, y, width, height, src_x, src_y, span)) return false;
  RunPairs(span, op);
  return true;
}

}  // namespace
}  // namespace compose

using compose::LevelRange;

bool CDrawImage::CopyDark(int x, int y, int width, int height, const CDrawImage& src, int src_x,
                          int src_y, int level) {
  if (!Is16() || !src.Is16()) return false;
  switch (compose::RangeOf(level)) {
    case LevelRange::kZero:
      return Fill(x, y, width, height, compose::kBlack);
    case LevelRange::kOther:
      return Copy(x, y, width, height, src, src_x, src_y);
    case LevelRange::kPartial:
      break;
  }
  return compose::ComposePair(*this, x, y, width, height, src, src_x, src_y,
                              compose::DarkOp{compose::DarkFactor(level)});
}

bool CDrawImage::FillDark(int x, int y, int width, int height, Colour colour, int level) {
  if (!Is16()) return false;
  switch (compose::RangeOf(level)) {
    case LevelRange::kZero:
      return Fill(x, y, width, height, compose::kBlack);
    case LevelRange::kOther:
      return Fill(x, y, width, height, colour);
    case LevelRange::kPartial:
      break;
  }
  return Fill(x, y, width, height, compose::DarkColour(colour, level));
}

bool CDrawImage::CopyDarkKeyed(int x, int y, int width, int height, const CDrawImage& src,
                               int src_x, int src_y, Pixel key, int level) {
  if (!Is16() || !src.Is16()) return false;
  switch (compose::RangeOf(level)) {
    case LevelRange::kZero:
      // Black over the whole rectangle, transparent pixels included.
      return Fill(x, y, width, height, compose::kBlack);
    case LevelRange::kOther:
      return CopyKeyed(x, y, width, height, src, src_x, src_y, key);
    case LevelRange::kPartial:
      break;
  }
  return compose::ComposePair(*this, x, y, width, height, src, src_x, src_y,
                              compose::KeyedOp<compose::DarkOp>{{compose::DarkFactor(level)}, key});
}

bool CDrawImage::CopyLight(int x, int y, int width, int height, const CDrawImage& src, int src_x,
                           int src_y, int level) {
  if (!Is16() || !src.Is16()) return false;
  switch (compose::RangeOf(level)) {
    case LevelRange::kZero:
      return Copy(x, y, width, height, src, src_x, src_y);
    case LevelRange::kOther:
      return Fill(x, y, width, height, compose::kWhite);
    case LevelRange::kPartial:
      break;
  }
  return compose::ComposePair(*this, x, y, width, height, src, src_x, src_y,
                              compose::LightOp{compose::LightRemaining(level)});
}

bool CDrawImage::FillLight(int x, int y, int width, int height, Colour colour, int level) {
  if (!Is16()) return false;
  switch (compose::RangeOf(level)) {
    case LevelRange::kZero:
      return Fill(x, y, width, height, colour);
    case LevelRange::kOther:
      return Fill(x, y, width, height, compose::kWhite);
    case LevelRange::kPartial:
      break;
  }
  return Fill(x, y, width, height, compose::LightColour(colour, level));
}

bool CDrawImage::CopyLightKeyed(int x, int y, int width, int height, const CDrawImage& src,
                                int src_x, int src_y, Pixel key, int level) {
  if (!Is16() || !src.Is16()) return false;
  switch (compose::RangeOf(level)) {
    case LevelRange::kZero:
      return CopyKeyed(x, y, width, height, src, src_x, src_y, key);
    case LevelRange::kOther:
      // White over the whole rectangle, transparent pixels included.
      return Fill(x, y, width, height, compose::kWhite);
    case LevelRange::kPartial:
      break;
  }
  return compose::ComposePair(
      *this, x, y, width, height, src, src_x, src_y,
      compose::KeyedOp<compose::LightOp>{{compose::LightRemaining(level)}, key});
}

}  // namespace adv
