// What the picture loaders share: reading a picture file whole, and filling a surface from
// 24-bit RGB.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "graphics/draw_image.h"
#include "graphics/picture_loader.h"
#include "host/picture_decoder.h"

namespace adv {

// Larger picture files are not read.
inline constexpr std::uint64_t kMaxPictureFileBytes = std::uint64_t{512} << 20;

// Opens the name through CFileReader, checks that the file is at least min_length bytes long and
// begins with magic (a short read, then back to the start), and reads it whole.
[[nodiscard]] bool ReadPictureFile(const LoadContext& context, std::string_view name,
                                   std::string_view magic, std::uint64_t min_length,
                                   std::vector<std::uint8_t>& bytes);

// Creates the surface at the picture's size and converts its pixels.
[[nodiscard]] bool SurfaceFromRgb(CDrawImage& surface, const DecodedPicture& picture);

}  // namespace adv
