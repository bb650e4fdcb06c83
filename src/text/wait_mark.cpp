#include "text/wait_mark.h"

#include <algorithm>

#include "text/layout_math.h"
#include "text/text_layer.h"

namespace adv {

void WaitMark::Set(int mode, int x, int y, int interval) {
  mode_ = mode;
  offset_x_ = x;
  offset_y_ = y;
  interval_ = std::max(interval, 0);
  enabled_ = true;
}

Rect WaitMark::Place(int kind, const TextLayer& layer, CDrawImage& back, CDrawImage& spare,
                     std::uint32_t now) {
  const Rect leftover = Hide(back, spare);
  const long long px = layer.position_x();
  const long long py = layer.position_y();
  switch (mode_) {
    case kFixed:
      x_ = offset_x_;
      y_ = offset_y_;
      break;
    case kAtCursor:
      x_ = Saturate(px + layer.cursor_x() + offset_x_);
      y_ = Saturate(py + layer.cursor_y() + offset_y_);
      break;
    case kAfterLast:
      x_ = Saturate(px + layer.last_x() + offset_x_);
      y_ = Saturate(py + layer.last_y() + offset_y_);
      break;
    default:
      break;  // the position of the last wait
  }
  kind_ = kind;
  const CDrawImage& mark = picture(kind);
  // Clipped here once: a mark bigger than the screen or partly off it touches only the screen.
  rect_ = IntersectRect(Rect::FromSize(x_, y_, mark.Width(), mark.Height()),
                        Rect{0, 0, back.Width(), back.Height()});
  if (!rect_.Empty()) {
    spare.Copy(rect_.left, rect_.top, rect_.Width(), rect_.Height(), back, rect_.left, rect_.top);
  }
  time_ = now;
  active_ = true;
  return leftover;
}

Rect WaitMark::Animate(CDrawImage& back, const CDrawImage& spare, std::uint32_t now) {
  if (!active_) return Rect{};
  if (interval_ == 0) return visible_ ? Rect{} : Draw(back);
  const std::uint32_t interval = static_cast<std::uint32_t>(interval_);
  const std::uint32_t elapsed = now - time_;  // the clock wraps; so does this
  if (elapsed <= interval) return Rect{};
  time_ = elapsed - interval <= interval ? time_ + interval : now;
  return visible_ ? Hide(back, spare) : Draw(back);
}

Rect WaitMark::Erase(CDrawImage& back, const CDrawImage& spare) {
  active_ = false;
  return Hide(back, spare);
}

std::optional<std::uint32_t> WaitMark::MsUntilNextChange(std::uint32_t now) const {
  if (!active_) return std::nullopt;
  if (interval_ == 0) return visible_ ? std::nullopt : std::optional<std::uint32_t>(0);
  const std::uint32_t interval = static_cast<std::uint32_t>(interval_);
  const std::uint32_t elapsed = now - time_;
  return elapsed > interval ? 0 : interval + 1 - elapsed;
}

Rect WaitMark::Draw(CDrawImage& back) {
  visible_ = true;
  if (rect_.Empty()) return Rect{};
  const CDrawImage& mark = picture(kind_);
  // The picture's top-left pixel is its transparent colour.
  const long long src_x = static_cast<long long>(rect_.left) - x_;
  const long long src_y = static_cast<long long>(rect_.top) - y_;
  back.CopyKeyed(rect_.left, rect_.top, rect_.Width(), rect_.Height(), mark,
                 static_cast<int>(src_x), static_cast<int>(src_y), mark.GetPixel(0, 0));
  return rect_;
}

Rect WaitMark::Hide(CDrawImage& back, const CDrawImage& spare) {
  if (!visible_) return Rect{};
  visible_ = false;
  if (rect_.Empty()) return Rect{};
  back.Copy(rect_.left, rect_.top, rect_.Width(), rect_.Height(), spare, rect_.left, rect_.top);
  return rect_;
}

}  // namespace adv
