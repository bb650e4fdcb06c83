// RGB555 pixels and colour values.
#pragma once

#include <cstdint>

namespace adv {

// Red in bits 10-14, green in 5-9, blue in 0-4, bit 15 always 0.
using Pixel = std::uint16_t;
// Red in the low byte, then green, then blue (a Windows COLORREF).
using Colour = std::uint32_t;

constexpr Colour MakeColour(unsigned r, unsigned g, unsigned b) {
  return (r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16);
}
constexpr unsigned ColourRed(Colour c) {
  return c & 0xFF;
}
constexpr unsigned ColourGreen(Colour c) {
  return (c >> 8) & 0xFF;
}
constexpr unsigned ColourBlue(Colour c) {
  return (c >> 16) & 0xFF;
}

// Keeps the top five bits of each channel.
constexpr Pixel ColorToPixel(Colour c) {
  return static_cast<Pixel>(((ColourRed(c) >> 3) << 10) | ((ColourGreen(c) >> 3) << 5) |
                            (ColourBlue(c) >> 3));
}

constexpr Pixel MakePixel(unsigned r5, unsigned g5, unsigned b5) {
  return static_cast<Pixel>(((r5 & 31) << 10) | ((g5 & 31) << 5) | (b5 & 31));
}
constexpr unsigned PixelRed(Pixel p) {
  return (p >> 10) & 31;
}
constexpr unsigned PixelGreen(Pixel p) {
  return (p >> 5) & 31;
}
constexpr unsigned PixelBlue(Pixel p) {
  return p & 31;
}

}  // namespace adv
