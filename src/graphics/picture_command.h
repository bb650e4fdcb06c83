// .pic and .spr: compose a picture file, a surface or a colour onto "screen" or an offscreen, and
// carry the changed rectangle to the window at once, by a buffer swap, or by a transition.
#pragma once

namespace adv {

class Engine;

bool PictureCommand(Engine& engine, bool sprite);
inline bool PicCommand(Engine& engine) {
  return PictureCommand(engine, false);
}
inline bool SprCommand(Engine& engine) {
  return PictureCommand(engine, true);
}

}  // namespace adv
