// The engine's kept surfaces: the window's buffers, the base surface and the numbered offscreens.
#pragma once

#include <memory>
#include <vector>

#include "graphics/draw_image.h"

namespace adv {

// Every kept surface has the window's logical size.
inline constexpr int kScreenWidth = 640;
inline constexpr int kScreenHeight = 480;

struct Surfaces {
  Colour background = 0;  // what new surfaces are filled with (.bgc)
  CDrawImage back;        // what the window shows
  CDrawImage spare;       // the next picture, swapped in by the frame loop on request
  CDrawImage base;        // the composed picture without message text
  std::vector<std::unique_ptr<CDrawImage>> offscreens;  // numbered from 0

  // Makes surface a screen-sized picture filled with the background colour.
  void CreateFilled(CDrawImage& surface) const;
  // The offscreen of an index, or null when there is none (any index is safe).
  CDrawImage* Offscreen(long long index);
};

}  // namespace adv
