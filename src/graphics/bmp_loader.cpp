// Windows BMP files. 32-bit files keep their fourth byte as the alpha plane; every other depth
// is converted by dib_convert.h, as every device-independent bitmap is. Only bottom-up files (positive
// height) are read here; top-down ones are left to the later loaders.
#include <cstdint>
#include <span>
#include <vector>

#include "base/byte_reader.h"
#include "graphics/dib_convert.h"
#include "graphics/picture_file.h"
#include "graphics/picture_loader.h"

namespace adv {

namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::uint64_t kMinBmpLength = 54;

[[nodiscard]] bool Load32(CDrawImage& surface, const DibHeader& h,
                          std::span<const std::uint8_t> bits) {
  const std::uint64_t row_bytes = std::uint64_t{4} * static_cast<std::uint32_t>(h.width);
  if (row_bytes * static_cast<std::uint32_t>(h.height) > bits.size()) return false;
  if (!surface.Create(h.width, h.height)) return false;
  std::uint8_t* alpha = surface.AllocateAlpha();
  if (alpha == nullptr) return false;
  for (int y = 0; y < h.height; ++y) {
    // The last stored row is the top of the picture.
    const std::uint8_t* s = bits.data() + (h.height - 1 - y) * row_bytes;
    Pixel* d = surface.Row(y);
    std::uint8_t* a = alpha + static_cast<std::size_t>(y) * h.width;
    for (int x = 0; x < h.width; ++x, s += 4) {
      d[x] = ColorToPixel(MakeColour(s[2], s[1], s[0]));
      a[x] = s[3];
    }
  }
  return true;
}

}  // namespace

bool LoadBmp(CDrawImage& surface, std::string_view name, const LoadContext& context) {
  std::vector<std::uint8_t> bytes;
  if (!ReadPictureFile(context, name, "BM", kMinBmpLength, bytes)) return false;
  const std::span<const std::uint8_t> file(bytes);
  const std::uint32_t bits_offset = ByteReader(file).U32LeAt(10);
  const auto info = file.subspan(kFileHeaderSize);
  DibHeader h;
  if (!ReadDibHeader(info, h) || h.width <= 0 || h.height <= 0) return false;
  if (bits_offset > file.size()) return false;
  const auto bits = file.subspan(bits_offset);
  if (h.bits == 32) return Load32(surface, h, bits);

  // Everything the conversion will read must be in the file before the surface is made.
  const auto info_size = DibInfoSize(h);
  const auto bits_size = DibBitsSize(h);
  if (!info_size || !bits_size || *info_size > info.size()) return false;
  const bool rle = h.compression == kDibRle8 || h.compression == kDibRle4;
  if (!rle && *bits_size > bits.size()) return false;
  if (!surface.Create(h.width, h.height)) return false;
  return DrawDib(surface, info, bits) > 0;
}

}  // namespace adv
