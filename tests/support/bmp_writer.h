// Small BMP files for tests that need pictures on disk.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace adv::test {

// A bottom-up 24-bit BMP; rgb(x, y) gives 0xRRGGBB.
std::string Bmp24(int width, int height, const std::function<std::uint32_t(int, int)>& rgb);
// A 32-bit BMP with alpha; argb(x, y) gives 0xAARRGGBB.
std::string Bmp32(int width, int height, const std::function<std::uint32_t(int, int)>& argb);

}  // namespace adv::test
