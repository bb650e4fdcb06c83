// Blending by the source's alpha plane (method 6).
#include "graphics/compose_ops.h"

namespace adv {

bool CDrawImage::CopyAlpha(int x, int y, int width, int height, const CDrawImage& src, int src_x,
                           int src_y) {
  if (!Is16() || !src.Is16()) return false;
  if (src.Alpha() == nullptr) return Copy(x, y, width, height, src, src_x, src_y);
  compose::PairSpan span;
  if (!compose::PreparePair(*this, src, x, y, width, height, src_x, src_y, span)) return false;
  const std::ptrdiff_t pitch = src.Width();
  const std::uint8_t* alpha = src.Alpha() + span.src_y * pitch + span.src_x;
  compose::Dispatch(compose::AlphaJob{span, alpha, pitch});
  return true;
}

}  // namespace adv
