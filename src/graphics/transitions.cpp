#include "graphics/transitions.h"

#include <algorithm>
#include <cmath>

#include "graphics/transition_steps.h"

namespace adv {

namespace transition {

Rect CommonArea(const CDrawImage& back, const CDrawImage& spare) {
  if (!back.Is16() || !spare.Is16()) return Rect{};
  return Rect{0, 0, std::min({kScreenWidth, back.Width(), spare.Width()}),
              std::min({kScreenHeight, back.Height(), spare.Height()})};
}

Rect CopyRect(CDrawImage& back, const CDrawImage& spare, const Rect& rect) {
  const Rect r = IntersectRect(rect, CommonArea(back, spare));
  if (r.Empty()) return Rect{};
  back.Blt(r.left, r.top, r.Width(), r.Height(), spare, r.left, r.top);
  return r;
}

}  // namespace transition

namespace {

using transition::CopyRect;
using transition::kScreen;
using transition::kScreenHeight;
using transition::kScreenWidth;

constexpr int kStrip = 16;  // width of a blind's strip and height of its band
constexpr int kStripCount = kScreenWidth / kStrip;
constexpr int kBandCount = kScreenHeight / kStrip;

Rect Line(int y) {
  return Rect{0, y, kScreenWidth, y + 1};
}

// Copies whole columns of the screen. Done row by row rather than one Blt per column, so every
// row is visited once instead of once per column.
Rect CopyColumns(CDrawImage& back, const CDrawImage& spare, const int* xs, int count) {
  const Rect area = transition::CommonArea(back, spare);
  int kept[kStripCount];
  int n = 0;
  Rect changed;
  for (int i = 0; i < std::min(count, kStripCount); ++i) {
    if (xs[i] < area.left || xs[i] >= area.right) continue;
    kept[n++] = xs[i];
    changed = UnionRect(changed, Rect{xs[i], area.top, xs[i] + 1, area.bottom});
  }
  if (n == 0) return Rect{};
  for (int y = area.top; y < area.bottom; ++y) {
    Pixel* d = back.Row(y);
    const Pixel* src = spare.Row(y);
    for (int i = 0; i < n; ++i) d[kept[i]] = src[kept[i]];
  }
  return changed;
}

// Kinds 1 and 2: column (row) m of every strip (band).
Rect DrawBlinds(CDrawImage& back, const CDrawImage& spare, bool vertical, int m) {
  if (vertical) {
    int xs[kStripCount];
    for (int k = 0; k < kStripCount; ++k) xs[k] = m + kStrip * k;
    return CopyColumns(back, spare, xs, kStripCount);
  }
  Rect changed;
  for (int k = 0; k < kBandCount; ++k) {
    changed = UnionRect(changed, CopyRect(back, spare, Line(m + kStrip * k)));
  }
  return changed;
}

// Kinds 3 and 4: strip k starts one step after strip k - 1, so at step s strips m - 15 .. m are
// under way, each at its own column d = m - k. Strips past the screen's edge do not exist.
Rect DrawStaggeredBlinds(CDrawImage& back, const CDrawImage& spare, bool vertical, int m) {
  const int first = std::max(0, m - (kStrip - 1));
  const int last = std::min(m, (vertical ? kStripCount : kBandCount) - 1);
  if (vertical) {
    int xs[kStrip];
    int n = 0;
    for (int k = first; k <= last; ++k) xs[n++] = kStrip * k + (m - k);
    return CopyColumns(back, spare, xs, n);
  }
  Rect changed;
  for (int k = first; k <= last; ++k) {
    changed = UnionRect(changed, CopyRect(back, spare, Line(kStrip * k + (m - k))));
  }
  return changed;
}

// Kind 6: the whole disc of diameter L, one run per row.
Rect DrawIris(CDrawImage& back, const CDrawImage& spare, int s) {
  const int diameter = (s * 800) >> 6;
  const int r = diameter >> 1;
  const int cx = kScreenWidth / 2;
  const int cy = kScreenHeight / 2;
  const int quarter_square = diameter * diameter / 4;
  for (int i = std::max(cy - r, 0); i < std::min(cy + r, kScreenHeight); ++i) {
    const int dy = i - cy;
    const int w = static_cast<int>(2.0 * std::sqrt(std::max(quarter_square - dy * dy, 0)));
    CopyRect(back, spare, Rect::FromSize(cx - (w >> 1), i, w, 1));
  }
  return Rect{cx - r, cy - r, cx - r + diameter, cy - r + diameter};
}

// Kind 9: the frame between the previous box and this step's box, 4 px wider and 3 px taller on
// each side.
Rect DrawOpeningBox(CDrawImage& back, const CDrawImage& spare, int s) {
  const int left = 320 - 4 * s;
  const int top = 240 - 3 * s;
  CopyRect(back, spare, Rect::FromSize(left, top, 8 * s, 3));
  CopyRect(back, spare, Rect::FromSize(left, 237 + 3 * s, 8 * s, 3));
  CopyRect(back, spare, Rect::FromSize(left, 243 - 3 * s, 4, 6 * s - 6));
  CopyRect(back, spare, Rect::FromSize(316 + 4 * s, 243 - 3 * s, 4, 6 * s - 6));
  return Rect{left, top, 320 + 4 * s, 240 + 3 * s};
}

}  // namespace

int TransitionLastStep(int kind) {
  static constexpr int kLastSteps[] = {16, 16, 55, 45, 16, 64, 55, 49, 80, 16, 16, 4, 8};
  if (kind < 1 || kind > 13) return 1;
  return kLastSteps[kind - 1];
}

TransitionStepResult DrawTransitionStep(CDrawImage& back, const CDrawImage& spare, int kind,
                                        int step) {
  const int last = TransitionLastStep(kind);
  if (step <= 0) return TransitionStepResult{false, Rect{}};
  if (step > last) return TransitionStepResult{true, Rect{}};
  const int m = step - 1;
  Rect changed;
  switch (kind) {
    case 1:
    case 2:
      changed = DrawBlinds(back, spare, kind == 1, m);
      break;
    case 3:
    case 4:
      changed = DrawStaggeredBlinds(back, spare, kind == 3, m);
      break;
    case 6:
      changed = DrawIris(back, spare, step);
      break;
    case 9:
      changed = DrawOpeningBox(back, spare, step);
      break;
    case 5:
    case 7:
    case 8:
    case 12:
    case 13:
      changed = transition::DrawDissolveStep(back, spare, kind, step);
      break;
    case 10:
    case 11:
      changed = transition::DrawClockStep(back, spare, kind, step);
      break;
    default:  // the cut
      CopyRect(back, spare, kScreen);
      changed = kScreen;
      break;
  }
  return TransitionStepResult{step == last, changed};
}

}  // namespace adv
