// The engine's kept surfaces and the names scripts give them.
#pragma once

#include <memory>
#include <string_view>
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
  CDrawImage base;        // "screen": the composed picture without message text
  std::vector<std::unique_ptr<CDrawImage>> offscreens;  // "off0", "off1", ...

  // Makes surface a screen-sized picture filled with the background colour.
  void CreateFilled(CDrawImage& surface) const;
};

// What a script's surface name means: the base surface, a numbered offscreen (index possibly out
// of range), or no surface name at all.
struct SurfaceName {
  enum class Kind { kScreen, kOffscreen, kOther };
  Kind kind = Kind::kOther;
  long long index = 0;
};

SurfaceName ParseSurfaceName(std::string_view name);
// The surface a name stands for, or null (not a surface name, or an offscreen out of range).
CDrawImage* FindSurface(Surfaces& surfaces, const SurfaceName& name);

}  // namespace adv
