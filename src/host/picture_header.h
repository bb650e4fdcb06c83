// The size a picture file declares, read from its header before anything is decoded: a few
// bytes can claim a picture of billions of pixels, and a decoder allocates what they claim.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace adv {

struct PictureSize {
  std::int64_t width = 0;
  std::int64_t height = 0;
};

// The largest size the file's header declares, for PNG, GIF (its screen and first image), JPEG,
// BMP, WebP, QOI and PNM; nullopt for any other format or a header cut short.
std::optional<PictureSize> ReadPictureSize(std::span<const std::uint8_t> file);

}  // namespace adv
