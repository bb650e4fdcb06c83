#include "graphics/surfaces.h"

namespace adv {

void Surfaces::CreateFilled(CDrawImage& surface) const {
  // New pixels are zero: a black background leaves them untouched until drawn on.
  if (surface.Create(kScreenWidth, kScreenHeight) && ColorToPixel(background) != 0) {
    surface.FillRect(nullptr, background);
  }
}

CDrawImage* Surfaces::Offscreen(long long index) {
  if (index < 0 || index >= static_cast<long long>(offscreens.size())) return nullptr;
  return offscreens[static_cast<std::size_t>(index)].get();
}

}  // namespace adv
