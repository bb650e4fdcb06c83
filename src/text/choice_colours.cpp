#include "text/choice_colours.h"

#include "text/text_layer.h"

namespace adv {

bool ChoiceColours::RedrawChoice(TextLayer& layer, int line, bool is_selected,
                                 bool compose_now) const {
  layer.SetTextColour(is_selected ? selected : not_selected);
  layer.SetShadowColour(is_selected ? selected_shadow : not_selected_shadow);
  const bool ok = layer.RedrawLine(line, compose_now);
  ApplyUsual(layer);
  return ok;
}

void ChoiceColours::ApplyUsual(TextLayer& layer) const {
  layer.SetTextColour(usual);
  layer.SetShadowColour(usual_shadow);
}

}  // namespace adv
