// Bitmaps as image plug-ins hand them over: a BITMAPINFO and pixel bits of any content, drawn
// onto a surface of any size. Input: surface width and height (one byte each), the length of
// the BITMAPINFO (two bytes), the BITMAPINFO, the bits.
#include <cstddef>
#include <cstdint>
#include <span>

#include "graphics/dib_convert.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 4) return 0;
  const std::size_t info_size = data[2] | (data[3] << 8);
  if (info_size > size - 4) return 0;
  adv::CDrawImage surface;
  if (!surface.Create(data[0] + 1, data[1] + 1)) return 0;
  adv::DrawDib(surface, std::span(data + 4, info_size),
               std::span(data + 4 + info_size, size - 4 - info_size));
  return 0;
}
