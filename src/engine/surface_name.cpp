#include "engine/surface_name.h"

namespace adv {

SurfaceName ParseSurfaceName(std::string_view name) {
  if (name == "screen") return {SurfaceName::Kind::kScreen, 0};
  if (name.substr(0, 3) != "off") return {SurfaceName::Kind::kOther, 0};
  // The rest as atoi reads it: leading blanks, one sign, digits up to the first other byte.
  std::string_view rest = name.substr(3);
  std::size_t i = 0;
  while (i < rest.size() && (rest[i] == ' ' || rest[i] == '\t')) ++i;
  bool negative = false;
  if (i < rest.size() && (rest[i] == '+' || rest[i] == '-')) negative = rest[i++] == '-';
  long long value = 0;
  for (; i < rest.size() && rest[i] >= '0' && rest[i] <= '9'; ++i) {
    if (value < (1LL << 40)) value = value * 10 + (rest[i] - '0');
  }
  return {SurfaceName::Kind::kOffscreen, negative ? -value : value};
}

CDrawImage* FindSurface(Surfaces& surfaces, const SurfaceName& name) {
  switch (name.kind) {
    case SurfaceName::Kind::kScreen:
      return &surfaces.base;
    case SurfaceName::Kind::kOffscreen:
      return surfaces.Offscreen(name.index);
    case SurfaceName::Kind::kOther:
      break;
  }
  return nullptr;
}

}  // namespace adv
