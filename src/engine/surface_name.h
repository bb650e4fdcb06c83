// The names scripts give the kept surfaces: "screen" for the base surface, "off" and a number for
// a numbered offscreen.
#pragma once

#include <string_view>

#include "graphics/surfaces.h"

namespace adv {

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
