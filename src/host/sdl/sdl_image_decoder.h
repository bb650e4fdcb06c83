// Pictures in the formats SDL2_image reads (GIF, JPEG, TGA, TIFF, WebP, ...). SDL2_image and the
// format libraries under it are loaded with the first picture that needs them, not at start-up.
#pragma once

#include "host/picture_decoder.h"

struct SDL_Surface;
struct SDL_RWops;

namespace adv {

class SdlImageDecoder : public PictureDecoder {
 public:
  SdlImageDecoder() = default;
  ~SdlImageDecoder() override;
  SdlImageDecoder(const SdlImageDecoder&) = delete;
  SdlImageDecoder& operator=(const SdlImageDecoder&) = delete;

  [[nodiscard]] bool Decode(const std::uint8_t* data, std::size_t size, std::int64_t max_pixels,
                            DecodedPicture& out) override;

 private:
  using LoadFunction = SDL_Surface* (*)(SDL_RWops*, int);
  // IMG_Load_RW, from SDL2_image loaded at the first call; null when it cannot be loaded.
  LoadFunction Loader();

  void* library_ = nullptr;
  LoadFunction load_ = nullptr;
  bool tried_ = false;
};

}  // namespace adv
