// The engine's own 16-bit picture format "K16": rows top-down, padded to 4 bytes, either RGB555
// pixels (depth 16) or indices into a palette of 256 RGB555 pixels (depth 8).
#include <cstdint>
#include <span>
#include <vector>

#include "base/byte_reader.h"
#include "graphics/picture_file.h"
#include "graphics/picture_loader.h"

namespace adv {

namespace {

constexpr std::uint64_t kMinK16Length = 52;
constexpr std::size_t kPaletteOffset = 28;
constexpr std::size_t kPaletteEntries = 256;

// Bit 15 is dropped: surfaces keep it clear.
Pixel Rgb555(const std::uint8_t* p) {
  return static_cast<Pixel>((p[0] | (p[1] << 8)) & 0x7FFF);
}

}  // namespace

bool LoadK16(CDrawImage& surface, std::string_view name, const LoadContext& context) {
  std::vector<std::uint8_t> bytes;
  if (!ReadPictureFile(context, name, "K16", kMinK16Length, bytes)) return false;
  const std::span<const std::uint8_t> file(bytes);
  ByteReader reader(file);
  const std::uint32_t offset = reader.U32LeAt(8);
  const std::int32_t width = reader.I32LeAt(16);
  const std::int32_t height = reader.I32LeAt(20);
  const std::uint32_t depth = reader.U32LeAt(24);
  if (width <= 0 || height <= 0) return false;

  if (depth == 8 || depth == 16) {
    // Rows padded to 4 bytes; the last row need not carry its padding.
    const std::uint64_t pixel_bytes = depth / 8;
    const std::uint64_t stride =
        (std::uint64_t{static_cast<std::uint32_t>(width)} * depth + 31) / 32 * 4;
    const std::uint64_t end = std::uint64_t{offset} + stride * (height - 1) + pixel_bytes * width;
    if (end > file.size()) return false;
    if (depth == 8 && kPaletteOffset + 2 * kPaletteEntries > file.size()) return false;
    if (!surface.Create(width, height)) return false;
    Pixel palette[kPaletteEntries];
    if (depth == 8) {
      for (std::size_t i = 0; i < kPaletteEntries; ++i) {
        palette[i] = Rgb555(file.data() + kPaletteOffset + 2 * i);
      }
    }
    for (int y = 0; y < height; ++y) {
      const std::uint8_t* s = file.data() + offset + y * stride;
      Pixel* d = surface.Row(y);
      if (depth == 8) {
        for (int x = 0; x < width; ++x) d[x] = palette[s[x]];
      } else {
        for (int x = 0; x < width; ++x) d[x] = Rgb555(s + 2 * x);
      }
    }
    return true;
  }
  // Other depths: the picture gets its size and nothing more.
  return surface.Create(width, height);
}

}  // namespace adv
