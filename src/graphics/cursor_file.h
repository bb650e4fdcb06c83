// Windows cursor files (.cur) decoded into a straight-alpha ARGB picture with its hotspot.
#pragma once

#include <cstdint>
#include <span>

#include "host/host.h"

namespace adv {

// Cursor files are small; longer files are not opened.
inline constexpr std::uint64_t kMaxCursorFileBytes = std::uint64_t{16} << 20;

// Decodes the bytes of a .cur file. Of several pictures in the file the one closest to the usual
// 32 x 32 cursor size is taken (then the deepest colour, then the first). Pictures are DIBs of 1,
// 4, 8, 24 or 32 bits with their AND mask, or embedded PNGs. False when the file is not a cursor
// or no picture in it decodes.
[[nodiscard]] bool ParseCursorFile(std::span<const std::uint8_t> file, CursorImage& out);

}  // namespace adv
