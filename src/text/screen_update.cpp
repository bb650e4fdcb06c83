#include "text/screen_update.h"

#include "text/layout_math.h"
#include "text/text_layer.h"

namespace adv {

void RestoreRect(TextLayer* layer, const CDrawImage& base, CDrawImage& dest, const Rect& rect) {
  const Rect r = IntersectRect(rect, Rect{0, 0, dest.Width(), dest.Height()});
  if (r.Empty()) return;
  dest.Copy(r.left, r.top, r.Width(), r.Height(), base, r.left, r.top);
  if (layer == nullptr) return;
  CDrawImage* const saved = layer->target();
  layer->SetTarget(&dest);
  const long long x = layer->position_x();
  const long long y = layer->position_y();
  layer->ComposeRect(Rect{Saturate(r.left - x), Saturate(r.top - y), Saturate(r.right - x),
                          Saturate(r.bottom - y)});
  layer->SetTarget(saved);
}

void ComposeLayerOnto(TextLayer& layer, CDrawImage& dest) {
  CDrawImage* const saved = layer.target();
  layer.SetTarget(&dest);
  layer.ComposeAll();
  layer.SetTarget(saved);
}

Rect ClearLayerPage(TextLayer& layer, const CDrawImage& base, CDrawImage& dest) {
  // The page's rectangle must be taken before the lines are emptied.
  const Rect page =
      IntersectRect(layer.OnTarget(layer.PageRect()), Rect{0, 0, dest.Width(), dest.Height()});
  layer.ClearAll();
  RestoreRect(nullptr, base, dest, page);
  return page;
}

bool UpdateScreenRect(TextLayer* layer, const CDrawImage& base, CDrawImage& back, CDrawImage& spare,
                      const Rect& rect, std::uint32_t remaining_wait) {
  if (remaining_wait < kStagingWaitMs) {
    RestoreRect(layer, base, back, rect);
    return false;
  }
  spare.Copy(0, 0, back.Width(), back.Height(), back, 0, 0);
  RestoreRect(layer, base, spare, rect);
  return true;
}

}  // namespace adv
