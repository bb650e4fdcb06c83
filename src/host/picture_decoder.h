// Decoding of picture formats through a library (GIF, JPEG, TGA, ...).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace adv {

struct DecodedPicture {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgb;  // width x height x 3, top row first
};

class PictureDecoder {
 public:
  virtual ~PictureDecoder() = default;
  // Decodes bytes into 24-bit RGB; false when the format is unknown or the data is broken.
  // Pictures larger than max_pixels are refused from their header, before anything is decoded;
  // so are formats whose header does not tell their size.
  [[nodiscard]] virtual bool Decode(const std::uint8_t* data, std::size_t size,
                                    std::int64_t max_pixels, DecodedPicture& out) = 0;
};

}  // namespace adv
