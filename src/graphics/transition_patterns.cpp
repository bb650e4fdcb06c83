// The dissolves: pixels revealed through a 4 x 4 cell grid in fixed orders.
#include <algorithm>

#include "graphics/transition_steps.h"

namespace adv::transition {

namespace {

// Cell positions as (cx, cy) pairs, in the order the dissolves reveal them.
constexpr int kOrderA[16][2] = {{0, 0}, {2, 2}, {2, 0}, {0, 2}, {1, 1}, {3, 3}, {3, 1}, {1, 3},
                                {1, 0}, {3, 2}, {3, 0}, {1, 2}, {0, 1}, {2, 3}, {2, 1}, {0, 3}};
constexpr int kOrderB[16][2] = {{3, 0}, {1, 2}, {3, 2}, {1, 0}, {2, 1}, {0, 3}, {2, 3}, {0, 1},
                                {3, 1}, {1, 3}, {3, 3}, {1, 1}, {2, 0}, {0, 2}, {2, 2}, {0, 0}};

constexpr unsigned CellBit(int cx, int cy) {
  return 1u << (cy * 4 + cx);
}
constexpr unsigned CellBit(const int (&cell)[2]) {
  return CellBit(cell[0], cell[1]);
}

// Kind 12's four steps: x odd and y even, x even and y odd, both odd, both even.
constexpr unsigned kCoarseCells[4] = {
    CellBit(1, 0) | CellBit(3, 0) | CellBit(1, 2) | CellBit(3, 2),
    CellBit(0, 1) | CellBit(2, 1) | CellBit(0, 3) | CellBit(2, 3),
    CellBit(1, 1) | CellBit(3, 1) | CellBit(1, 3) | CellBit(3, 3),
    CellBit(0, 0) | CellBit(2, 0) | CellBit(0, 2) | CellBit(2, 2),
};

constexpr int kStrip = 16;
constexpr int kBlock = 32;

// A pattern over a band of rows: for each y mod 4, the column ranges to copy and, for each, which
// x mod 4 lanes (bit cx).
struct RowPattern {
  struct Segment {
    int left;
    int right;
    unsigned lanes;
  };
  static constexpr int kMaxSegments = kScreenWidth / kStrip;  // one per strip at most
  Segment segments[4][kMaxSegments];
  int count[4] = {};

  void Add(int left, int right, int cx, int cy) {
    Segment* last = count[cy] > 0 ? &segments[cy][count[cy] - 1] : nullptr;
    if (last != nullptr && last->left == left && last->right == right) {
      last->lanes |= 1u << cx;
    } else if (count[cy] < kMaxSegments) {
      segments[cy][count[cy]++] = Segment{left, right, 1u << cx};
    }
  }
};

// Copies the pixels of [left, right) whose x mod 4 is in `lanes`. A plain strided copy: the
// patterns are sparse, and measured against a masked blend of whole rows it is as fast and it
// never rewrites a pixel it does not copy.
void CopyLanes(Pixel* to, const Pixel* from, int left, int right, unsigned lanes) {
  for (int cx = 0; cx < 4; ++cx) {
    if ((lanes & (1u << cx)) == 0) continue;
    for (int x = left + ((cx - left) & 3); x < right; x += 4) to[x] = from[x];
  }
}

// Copies the pattern's pixels inside `area`, clipped to both surfaces.
void CopyPattern(CDrawImage& back, const CDrawImage& spare, const Rect& area,
                 const RowPattern& pattern) {
  const Rect r = IntersectRect(area, CommonArea(back, spare));
  for (int y = r.top; y < r.bottom; ++y) {
    const int c = y & 3;
    for (int i = 0; i < pattern.count[c]; ++i) {
      const RowPattern::Segment& seg = pattern.segments[c][i];
      const int left = std::max(seg.left, r.left);
      const int right = std::min(seg.right, r.right);
      if (left < right) CopyLanes(back.Row(y), spare.Row(y), left, right, seg.lanes);
    }
  }
}

// First and last coordinates in [begin, end) congruent to c mod 4; false when there is none.
bool CellRange(int begin, int end, int c, int& first, int& last) {
  first = begin + ((c - begin) & 3);
  last = end - 1 - ((end - 1 - c) & 3);
  return first <= last;
}

// The bounding box of the pixels of `cells` inside `area` (clipped to both surfaces).
Rect CellBounds(const CDrawImage& back, const CDrawImage& spare, const Rect& area, unsigned cells) {
  const Rect r = IntersectRect(area, CommonArea(back, spare));
  Rect bounds;
  if (r.Empty()) return bounds;
  for (int bit = 0; bit < 16; ++bit) {
    if ((cells & (1u << bit)) == 0) continue;
    int x0, x1, y0, y1;
    if (CellRange(r.left, r.right, bit & 3, x0, x1) &&
        CellRange(r.top, r.bottom, bit >> 2, y0, y1)) {
      bounds = UnionRect(bounds, Rect{x0, y0, x1 + 1, y1 + 1});
    }
  }
  return bounds;
}

// Kind 7: strip k begins one step after strip k - 1 and takes 16 steps.
Rect DrawStripDissolve(CDrawImage& back, const CDrawImage& spare, int m) {
  RowPattern pattern;
  Rect changed;
  for (int k = std::max(0, m - 15); k <= std::min(m, kScreenWidth / kStrip - 1); ++k) {
    const int(&cell)[2] = kOrderB[m - k];
    pattern.Add(kStrip * k, kStrip * (k + 1), cell[0], cell[1]);
    const Rect strip{kStrip * k, 0, kStrip * (k + 1), kScreenHeight};
    changed = UnionRect(changed, CellBounds(back, spare, strip, CellBit(cell)));
  }
  CopyPattern(back, spare, kScreen, pattern);
  return changed;
}

// Kind 8: 32 x 32 blocks begin along diagonals from the top-left corner.
Rect DrawBlockDissolve(CDrawImage& back, const CDrawImage& spare, int m) {
  Rect changed;
  for (int by = 0; by < kScreenHeight / kBlock; ++by) {
    RowPattern pattern;
    bool any = false;
    for (int bx = 0; bx < kScreenWidth / kBlock; ++bx) {
      const int d = m - bx - by;
      if (d < 0 || d > 15) continue;
      pattern.Add(kBlock * bx, kBlock * (bx + 1), kOrderB[d][0], kOrderB[d][1]);
      const Rect block = Rect::FromSize(kBlock * bx, kBlock * by, kBlock, kBlock);
      changed = UnionRect(changed, CellBounds(back, spare, block, CellBit(kOrderB[d])));
      any = true;
    }
    if (any) {
      CopyPattern(back, spare, Rect{0, kBlock * by, kScreenWidth, kBlock * (by + 1)}, pattern);
    }
  }
  return changed;
}

}  // namespace

Rect CopyCells(CDrawImage& back, const CDrawImage& spare, const Rect& area, unsigned cells) {
  const Rect r = IntersectRect(area, CommonArea(back, spare));
  if (r.Empty() || (cells & 0xFFFF) == 0) return Rect{};
  RowPattern pattern;
  for (int bit = 0; bit < 16; ++bit) {
    if (cells & (1u << bit)) pattern.Add(r.left, r.right, bit & 3, bit >> 2);
  }
  CopyPattern(back, spare, r, pattern);
  return CellBounds(back, spare, r, cells);
}

Rect DrawDissolveStep(CDrawImage& back, const CDrawImage& spare, int kind, int s) {
  const int m = s - 1;
  switch (kind) {
    case 5:
      CopyCells(back, spare, kScreen, CellBit(kOrderA[m & 15]));
      return kScreen;
    case 7:
      return DrawStripDissolve(back, spare, m);
    case 8:
      return DrawBlockDissolve(back, spare, m);
    case 12:
      CopyCells(back, spare, kScreen, kCoarseCells[m & 3]);
      return kScreen;
    case 13:
      CopyCells(back, spare, kScreen,
                CellBit(kOrderB[(2 * m) & 15]) | CellBit(kOrderB[(2 * m + 1) & 15]));
      return kScreen;
    default:
      return Rect{};
  }
}

}  // namespace adv::transition
