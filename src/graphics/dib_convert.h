// Device-independent bitmaps (a BITMAPINFO and its pixel bits) converted onto a surface, the
// colours a game's pictures were drawn to show: 1, 4 and 8 bits through the colour table, 16 bits as
// 5-5-5 or bit fields, 24 bits, 32 bits as 8-8-8 or bit fields, and RLE8 / RLE4.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "graphics/draw_image.h"

namespace adv {

inline constexpr std::uint32_t kDibRgb = 0;
inline constexpr std::uint32_t kDibRle8 = 1;
inline constexpr std::uint32_t kDibRle4 = 2;
inline constexpr std::uint32_t kDibBitFields = 3;
// Headers shorter than this (the 12-byte OS/2 one) are not read.
inline constexpr std::uint32_t kDibMinHeaderSize = 40;

struct DibHeader {
  std::uint32_t header_size = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;  // negative: rows stored top-down
  int bits = 0;
  std::uint32_t compression = 0;
  std::uint32_t image_size = 0;
  std::uint32_t colours_used = 0;
};

// Reads the header at the start of a BITMAPINFO; false when it is too short for its own size
// field or shorter than kDibMinHeaderSize.
[[nodiscard]] bool ReadDibHeader(std::span<const std::uint8_t> info, DibHeader& out);

// Bytes the BITMAPINFO occupies: header, bit-field masks that follow a 40-byte header, and the
// colour table. nullopt for a combination of depth and compression that is not drawn.
std::optional<std::uint64_t> DibInfoSize(const DibHeader& h);

// Bytes of one stored row of an uncompressed bitmap: padded to 4 bytes.
std::uint64_t DibRowBytes(const DibHeader& h);

// The colour table of a 1-, 4- or 8-bit bitmap: `count` entries starting at `offset` of the
// BITMAPINFO, as colour values. Entries the table does not hold stay black.
std::array<Colour, 256> ReadDibColourTable(std::span<const std::uint8_t> info, std::size_t offset,
                                           std::uint32_t count);

// Bytes of pixel data the bitmap needs: rows padded to 4 bytes, or the image size of a
// compressed bitmap. nullopt as above.
std::optional<std::uint64_t> DibBitsSize(const DibHeader& h);

// Draws the bitmap at (0, 0) onto the surface, clipped to it. As with SetDIBitsToDevice, the
// source rectangle has the surface's size and its origin at the bitmap's first stored row, so a
// bottom-up bitmap taller than the surface shows its bottom rows. Pixels the data leaves out
// (RLE skips) keep their colour. Returns the number of surface rows the bitmap covers, 0 when it
// cannot be drawn (unknown format, data shorter than needed, top-down RLE).
int DrawDib(CDrawImage& dst, std::span<const std::uint8_t> info,
            std::span<const std::uint8_t> bits);

}  // namespace adv
