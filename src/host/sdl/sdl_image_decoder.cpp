#include "host/sdl/sdl_image_decoder.h"

#include <SDL.h>
#include <SDL_image.h>

#include <climits>
#include <cstdio>

#include "host/picture_header.h"

namespace adv {

namespace {

// SDL_image allocates the whole picture its header declares before it decodes a pixel, so only
// formats whose header we can read first are handed to it, and only when they fit.
bool DeclaredSizeFits(const std::uint8_t* data, std::size_t size, std::int64_t max_pixels) {
  const std::optional<PictureSize> declared = ReadPictureSize(std::span(data, size));
  return declared && declared->width > 0 && declared->height > 0 &&
         declared->width <= max_pixels / declared->height;
}

// The run-time name of SDL2_image 2.x, which Debian's libsdl2-image-2.0-0 installs.
constexpr const char* kSdlImageLibrary = "libSDL2_image-2.0.so.0";

}  // namespace

SdlImageDecoder::~SdlImageDecoder() {
  if (library_ != nullptr) SDL_UnloadObject(library_);
}

SdlImageDecoder::LoadFunction SdlImageDecoder::Loader() {
  if (tried_) return load_;
  tried_ = true;
  library_ = SDL_LoadObject(kSdlImageLibrary);
  if (library_ != nullptr) {
    // The pointer type comes from SDL_image.h, so a changed signature fails to compile.
    decltype(&IMG_Load_RW) load =
        reinterpret_cast<decltype(&IMG_Load_RW)>(SDL_LoadFunction(library_, "IMG_Load_RW"));
    load_ = load;
  }
  if (load_ == nullptr) {
    std::fprintf(stderr,
                 "adv: %s cannot be loaded; pictures other than BMP, K16 and PNG do not show\n",
                 kSdlImageLibrary);
  }
  return load_;
}

bool SdlImageDecoder::Decode(const std::uint8_t* data, std::size_t size, std::int64_t max_pixels,
                             DecodedPicture& out) {
  if (data == nullptr || size == 0 || size > static_cast<std::size_t>(INT_MAX)) return false;
  if (!DeclaredSizeFits(data, size, max_pixels)) return false;
  const LoadFunction load = Loader();
  if (load == nullptr) return false;
  SDL_RWops* rw = SDL_RWFromConstMem(data, static_cast<int>(size));
  if (rw == nullptr) return false;
  SDL_Surface* loaded = load(rw, 1);
  if (loaded == nullptr) return false;
  bool ok = false;
  if (loaded->w > 0 && loaded->h > 0 &&
      static_cast<std::int64_t>(loaded->w) * loaded->h <= max_pixels) {
    SDL_Surface* rgb = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGB24, 0);
    if (rgb != nullptr) {
      out.width = rgb->w;
      out.height = rgb->h;
      out.rgb.resize(static_cast<std::size_t>(rgb->w) * rgb->h * 3);
      SDL_LockSurface(rgb);
      for (int y = 0; y < rgb->h; ++y) {
        const auto* row = static_cast<const std::uint8_t*>(rgb->pixels) + y * rgb->pitch;
        std::copy(row, row + rgb->w * 3,
                  out.rgb.begin() + static_cast<std::ptrdiff_t>(y) * rgb->w * 3);
      }
      SDL_UnlockSurface(rgb);
      SDL_FreeSurface(rgb);
      ok = true;
    }
  }
  SDL_FreeSurface(loaded);
  return ok;
}

}  // namespace adv
