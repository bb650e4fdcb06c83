// Rectangles as the engine's scripts and pixel routines see them: right and bottom exclusive.
#pragma once

#include <algorithm>
#include <climits>

namespace adv {

struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  // Sums saturate: scripts can pass any 32-bit values.
  static Rect FromSize(int x, int y, int width, int height) {
    return Rect{x, y, SaturatedAdd(x, width), SaturatedAdd(y, height)};
  }
  static int SaturatedAdd(int a, int b) {
    long long s = static_cast<long long>(a) + b;
    return static_cast<int>(std::clamp<long long>(s, INT_MIN, INT_MAX));
  }
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool Empty() const { return right <= left || bottom <= top; }
  bool operator==(const Rect&) const = default;
};

// Union of two rectangles; an empty one does not count.
inline Rect UnionRect(const Rect& a, const Rect& b) {
  if (a.Empty()) return b.Empty() ? Rect{} : b;
  if (b.Empty()) return a;
  return Rect{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
              std::max(a.bottom, b.bottom)};
}

// The rectangle moved by (dx, dy), saturating like FromSize.
inline Rect OffsetRect(const Rect& r, int dx, int dy) {
  return Rect{Rect::SaturatedAdd(r.left, dx), Rect::SaturatedAdd(r.top, dy),
              Rect::SaturatedAdd(r.right, dx), Rect::SaturatedAdd(r.bottom, dy)};
}

// Intersection; empty (all zero) when they do not meet.
inline Rect IntersectRect(const Rect& a, const Rect& b) {
  Rect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
         std::min(a.bottom, b.bottom)};
  return r.Empty() ? Rect{} : r;
}

}  // namespace adv
