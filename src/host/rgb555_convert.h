// Conversion of the back buffer's RGB555 pixels to 32-bit XRGB: the texture the window shows,
// and the headless host's screenshots, so both show the same colours. Done by our own loop
// because SDL's generic RGB555 path costs several times more per frame.
#pragma once

#include <cstdint>

#include "base/rect.h"

namespace adv {

// Converts the rectangle r of src (RGB555, bit 15 ignored) into the same rectangle of dst
// (0xFFRRGGBB), expanding each 5-bit channel v to (v << 3) | (v >> 2). Pitches are in pixels;
// r must lie inside both pictures. Pixels outside r are not touched.
void ConvertRgb555ToXrgb8888(const std::uint16_t* src, int src_pitch, std::uint32_t* dst,
                             int dst_pitch, const Rect& r);

}  // namespace adv
