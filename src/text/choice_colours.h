// The six colours choices are drawn in. Choices are lines of the message layer: a choice is drawn
// again in the selected or not-selected pair, and the layer then gets the usual pair back.
#pragma once

#include "base/pixel.h"

namespace adv {

class TextLayer;

struct ChoiceColours {
  Colour usual = 0xFFFFFF;
  Colour usual_shadow = 0;
  Colour selected = 0xFFFFFF;
  Colour selected_shadow = 0;
  Colour not_selected = 0x808080;
  Colour not_selected_shadow = 0;

  // Draws line `line` of the layer again in the selected or not-selected colours, then leaves
  // the layer in the usual pair. False when the line cannot be drawn again.
  bool RedrawChoice(TextLayer& layer, int line, bool is_selected, bool compose_now) const;
  // The usual pair into the layer's text and shadow colours.
  void ApplyUsual(TextLayer& layer) const;
};

}  // namespace adv
