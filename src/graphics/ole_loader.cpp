// GIF, and the last resort for every other format: the host's picture decoder (a library that
// reads GIF, JPEG and more). The picture's size is the decoded size.
#include <cstdint>
#include <vector>

#include "graphics/picture_file.h"
#include "graphics/picture_loader.h"

namespace adv {

namespace {

bool IsGif(const std::vector<std::uint8_t>& b) {
  return b.size() >= 6 && b[0] == 'G' && b[1] == 'I' && b[2] == 'F' && b[3] == '8' &&
         (b[4] == '7' || b[4] == '9') && b[5] == 'a';
}

[[nodiscard]] bool DecodeFile(CDrawImage& surface, std::string_view name,
                              const LoadContext& context, bool gif_only) {
  if (context.decoder == nullptr) return false;
  std::vector<std::uint8_t> bytes;
  if (!ReadPictureFile(context, name, gif_only ? "GIF8" : "", 1, bytes)) return false;
  if (gif_only && !IsGif(bytes)) return false;
  DecodedPicture picture;
  if (!context.decoder->Decode(bytes.data(), bytes.size(), CDrawImage::kMaxPixels, picture)) {
    return false;
  }
  return SurfaceFromRgb(surface, picture);
}

}  // namespace

bool LoadGif(CDrawImage& surface, std::string_view name, const LoadContext& context) {
  return DecodeFile(surface, name, context, true);
}

bool LoadOlePicture(CDrawImage& surface, std::string_view name, const LoadContext& context) {
  return DecodeFile(surface, name, context, false);
}

}  // namespace adv
