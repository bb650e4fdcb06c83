// Little-endian fields and BMP files for tests that build pictures byte by byte.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace adv::test {

// Appends the low `bytes` bytes of v, least significant first.
void PutLe(std::string& s, std::uint32_t v, int bytes = 4);

// s with the `bytes`-byte little-endian field at `at` set to v.
std::string WithLe(std::string s, std::size_t at, std::uint32_t v, int bytes = 4);

// A 40-byte BITMAPINFOHEADER.
std::string InfoHeader(int width, int height, int bits, std::uint32_t compression = 0,
                       std::uint32_t colours_used = 0, std::uint32_t image_size = 0);

// Pixel rows stored bottom-up (top-down for a negative height), each padded to 4 bytes.
// value(x, y), y counted from the top, is an index packed from the high bits (below 8 bits) or
// a value stored in bits / 8 little-endian bytes.
std::string DibRows(int width, int height, int bits,
                    const std::function<std::uint32_t(int, int)>& value);

// A BMP file: file header, info header, `table` (bit-field masks, colour table), pixels.
std::string BmpFile(int width, int height, int bits, const std::string& pixels,
                    std::uint32_t compression = 0, const std::string& table = {},
                    std::uint32_t colours_used = 0);

// A bottom-up 24-bit BMP; rgb(x, y) gives 0xRRGGBB.
std::string Bmp24(int width, int height, const std::function<std::uint32_t(int, int)>& rgb);
// A 32-bit BMP with alpha; argb(x, y) gives 0xAARRGGBB.
std::string Bmp32(int width, int height, const std::function<std::uint32_t(int, int)>& argb);

}  // namespace adv::test
