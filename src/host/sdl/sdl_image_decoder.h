// Pictures in the formats SDL2_image reads (GIF, JPEG, TGA, TIFF, WebP, ...).
#pragma once

#include "host/picture_decoder.h"

namespace adv {

class SdlImageDecoder : public PictureDecoder {
 public:
  bool Decode(const std::uint8_t* data, std::size_t size, std::int64_t max_pixels,
              DecodedPicture& out) override;
};

}  // namespace adv
