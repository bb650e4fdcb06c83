// How text changes reach the screen. The base surface holds the picture without message text;
// the back buffer is what the window shows. A change restores its rectangle from the base surface
// and composes the message layer over it: straight on the back buffer when the interpreter's
// remaining wait is short, otherwise on the spare buffer, which the frame loop swaps in once the
// wait has run (so the change appears when the wait says, not before).
#pragma once

#include <cstdint>

#include "base/rect.h"
#include "graphics/draw_image.h"

namespace adv {

class TextLayer;

// From this much remaining wait on, changes are staged on the spare buffer.
inline constexpr std::uint32_t kStagingWaitMs = 100;

// Copies rect (screen coordinates) from base to dest and, when layer is not null, composes the
// layer's lines over it. The layer's target is dest meanwhile and is put back afterwards.
void RestoreRect(TextLayer* layer, const CDrawImage& base, CDrawImage& dest, const Rect& rect);

// Composes all of the layer's lines onto dest, putting the layer's target back afterwards.
void ComposeLayerOnto(TextLayer& layer, CDrawImage& dest);

// Empties the layer's page and copies the picture back from base to dest where its text was.
// Returns that rectangle in screen coordinates, clipped to dest, for the dirty rectangle.
Rect ClearLayerPage(TextLayer& layer, const CDrawImage& base, CDrawImage& dest);

// The update of rect by the rule above. Returns true when it was staged on the spare buffer (the
// whole back buffer copied there first): the caller then requests the swap. Either way the caller
// adds rect to the dirty rectangle.
bool UpdateScreenRect(TextLayer* layer, const CDrawImage& base, CDrawImage& back, CDrawImage& spare,
                      const Rect& rect, std::uint32_t remaining_wait);

}  // namespace adv
