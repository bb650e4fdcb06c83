// The clock wipes: wedges of the screen swept around its centre.
#include <vector>

#include "graphics/cosine_table.h"
#include "graphics/polygon_fill.h"
#include "graphics/transition_steps.h"

namespace adv::transition {

bool CopyThroughPolygon(CDrawImage& back, const CDrawImage& spare,
                        std::span<const GridPoint> points) {
  std::vector<PixelSpan> spans;
  if (!FillPolygon(points, PolygonFillMode::kWinding, CommonArea(back, spare), spans)) {
    return false;
  }
  for (const PixelSpan& span : spans) {
    back.Blt(span.left, span.y, span.right - span.left, 1, spare, span.left, span.y);
  }
  return true;
}

Rect DrawClockStep(CDrawImage& back, const CDrawImage& spare, int kind, int s) {
  const int radius = ClockRadius();
  if (kind == 10) {
    // One sixteenth of a turn per step, clockwise from straight up.
    const GridPoint wedge[] = {GridPoint{kScreenCentreX, kScreenCentreY},
                               PointOnCircle(32 * (s - 1), radius), PointOnCircle(32 * s, radius)};
    CopyThroughPolygon(back, spare, wedge);
  } else {
    // Two opposite wedges of one thirty-second of a turn each, moving counter-clockwise. The
    // outline crosses itself near the centre; the winding rule fills both halves of the bow tie.
    const int a = 16 * (20 - s);
    const int b = 16 * (21 - s);
    const GridPoint bow_tie[] = {PointOnCircle(a, radius), PointOnCircle(b, radius),
                                 PointOnCircle(b + 256, radius), PointOnCircle(a + 256, radius)};
    CopyThroughPolygon(back, spare, bow_tie);
  }
  // A polygon that could not be filled copies nothing, but the step still counts and still
  // reports the whole screen, so the transition ends on time.
  return kScreen;
}

}  // namespace adv::transition
