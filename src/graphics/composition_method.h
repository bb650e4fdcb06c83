// The composition methods pictures are put on a surface with, numbered as scripts give them.
#pragma once

namespace adv {

enum class CompositionMethod : int {
  kCopy = 0,
  kTranslucent = 1,  // level 0..255 of the source over the destination
  kAdd = 2,
  kSubtract = 3,
  kDarken = 4,
  kLighten = 5,
  kAlpha = 6,  // the source's own alpha plane
};

inline constexpr int kCompositionMethodCount = 7;

}  // namespace adv
