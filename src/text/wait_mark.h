// The wait mark: a small picture shown near the text while a click wait lasts, steady or
// blinking. Picture 1 marks waits without clear, picture 2 waits with clear. The back buffer
// under the mark is kept on the spare buffer while the wait lasts, so hiding the mark is a copy
// back. Every operation returns the rectangle of the back buffer it changed (clipped to it), which
// the caller marks dirty.
#pragma once

#include <cstdint>
#include <optional>

#include "base/rect.h"
#include "graphics/draw_image.h"

namespace adv {

class TextLayer;

class WaitMark {
 public:
  // Placement modes of .mst: a fixed screen point, beside the cursor (where the next character
  // would go), or right after the last character drawn; each plus the offset.
  enum Mode { kFixed = 0, kAtCursor = 1, kAfterLast = 2 };

  // The picture for waits without clear (kind 1) or with clear (kind 2); .mst loads into these.
  CDrawImage& picture(int kind) { return pictures_[kind == 2 ? 1 : 0]; }
  const CDrawImage& picture(int kind) const { return pictures_[kind == 2 ? 1 : 0]; }

  // .mst FILE1 FILE2 MODE X Y INTERVAL once the pictures are loaded. An interval of 0 shows a
  // steady mark; a negative one is taken as 0 (it would blink every step).
  void Set(int mode, int x, int y, int interval);
  // .mst delete.
  void Disable() { enabled_ = false; }
  bool enabled() const { return enabled_; }

  // PlaceMark: finds the position for this wait (a mode other than 0 to 2 keeps the last one),
  // keeps the back buffer under the mark on the spare buffer and starts the blink clock. Nothing
  // is drawn yet. A mark still showing from an earlier wait is taken away first.
  Rect Place(int kind, const TextLayer& layer, CDrawImage& back, CDrawImage& spare,
             std::uint32_t now);
  // AnimateMark: a steady mark is drawn on the first call; a blinking one first shows one
  // interval after Place and then toggles every interval, keeping its cadence unless it has
  // fallen more than one interval behind.
  Rect Animate(CDrawImage& back, const CDrawImage& spare, std::uint32_t now);
  // EraseMark: takes the mark away when it shows; the wait is over.
  Rect Erase(CDrawImage& back, const CDrawImage& spare);

  // Milliseconds from now until Animate will change something: 0 when it is due already, none
  // when it never will (no wait, or a steady mark already shown). The host may sleep this long.
  std::optional<std::uint32_t> MsUntilNextChange(std::uint32_t now) const;

  bool visible() const { return visible_; }
  int x() const { return x_; }  // position of the current wait's mark, screen coordinates
  int y() const { return y_; }

 private:
  Rect Draw(CDrawImage& back);
  Rect Hide(CDrawImage& back, const CDrawImage& spare);

  CDrawImage pictures_[2];
  bool enabled_ = false;
  int mode_ = kFixed;
  int offset_x_ = 0, offset_y_ = 0;
  int interval_ = 0;
  int x_ = 0, y_ = 0;
  int kind_ = 1;
  Rect rect_;            // the mark's rectangle on the back buffer, clipped to it
  bool active_ = false;  // placed, and not erased yet
  bool visible_ = false;
  std::uint32_t time_ = 0;  // last blink
};

}  // namespace adv
