#include "graphics/cursor_file.h"

#include <png.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "base/byte_reader.h"
#include "graphics/dib_convert.h"

namespace adv {
namespace {

// Larger pictures do not exist in cursor files; the limit also bounds every allocation here.
constexpr int kMaxSide = 256;
constexpr std::size_t kDirHeader = 6;
constexpr std::size_t kDirEntry = 16;

struct Decoded {
  int width = 0;
  int height = 0;
  int bits = 0;
  std::vector<std::uint32_t> argb;
};

bool IsPng(std::span<const std::uint8_t> bytes) {
  static constexpr std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  return bytes.size() >= sizeof(kSignature) &&
         std::memcmp(bytes.data(), kSignature, sizeof(kSignature)) == 0;
}

[[nodiscard]] bool DecodePng(std::span<const std::uint8_t> bytes, Decoded& out) {
  png_image image;
  std::memset(&image, 0, sizeof(image));
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) return false;
  if (image.width == 0 || image.height == 0 || image.width > kMaxSide || image.height > kMaxSide) {
    png_image_free(&image);
    return false;
  }
  image.format = PNG_FORMAT_ARGB;
  std::vector<std::uint8_t> argb(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, argb.data(), 0, nullptr)) {
    png_image_free(&image);
    return false;
  }
  out.width = static_cast<int>(image.width);
  out.height = static_cast<int>(image.height);
  out.bits = 32;
  out.argb.resize(static_cast<std::size_t>(out.width) * out.height);
  for (std::size_t i = 0; i < out.argb.size(); ++i) {
    const std::uint8_t* p = &argb[i * 4];
    out.argb[i] = static_cast<std::uint32_t>(p[0]) << 24 | static_cast<std::uint32_t>(p[1]) << 16 |
                  static_cast<std::uint32_t>(p[2]) << 8 | p[3];
  }
  png_image_free(&image);
  return true;
}

// A DIB whose height counts the colour (XOR) picture and the AND mask below it, both bottom-up.
[[nodiscard]] bool DecodeDib(std::span<const std::uint8_t> bytes, Decoded& out) {
  DibHeader h;
  if (!ReadDibHeader(bytes, h)) return false;
  const int bits = h.bits;
  if (h.width <= 0 || h.width > kMaxSide || h.height <= 0 || h.height % 2 != 0 ||
      h.height / 2 > kMaxSide || h.compression != kDibRgb) {
    return false;
  }
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return false;
  const int width = h.width;
  const int height = h.height / 2;

  std::size_t palette_size = 0;
  if (bits <= 8) {
    const std::uint32_t full = 1u << bits;
    if (h.colours_used > full) return false;
    palette_size = h.colours_used == 0 ? full : h.colours_used;
  } else {
    // Deep DIBs may still carry an (unused) palette; it is skipped.
    if (h.colours_used > 256) return false;
    palette_size = h.colours_used;
  }
  const std::size_t xor_at = h.header_size + palette_size * 4;
  DibHeader colour_picture = h;
  colour_picture.height = height;
  const auto xor_stride = static_cast<std::size_t>(DibRowBytes(colour_picture));
  DibHeader mask_picture = colour_picture;
  mask_picture.bits = 1;
  const auto and_stride = static_cast<std::size_t>(DibRowBytes(mask_picture));
  const std::size_t and_at = xor_at + xor_stride * height;
  ByteReader reader(bytes);
  if (!reader.Has(and_at, and_stride * height)) return false;
  const auto palette =
      bits <= 8 ? ReadDibColourTable(bytes, h.header_size, static_cast<std::uint32_t>(palette_size))
                : std::array<Colour, 256>{};
  const std::uint8_t* data = bytes.data();

  // As 0x00RRGGBB.
  auto colour_at = [&](const std::uint8_t* row, int x) -> std::uint32_t {
    if (bits >= 24) {
      const std::uint8_t* p = row + static_cast<std::size_t>(x) * (bits / 8);
      return static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[1]) << 8 | p[0];
    }
    const int bit = x * bits;
    const int shift = 8 - bits - bit % 8;
    // An index beyond a short palette shows black: the table reads black there.
    const Colour c = palette[(row[bit / 8] >> shift) & ((1u << bits) - 1)];
    return ColourRed(c) << 16 | ColourGreen(c) << 8 | ColourBlue(c);
  };

  // A 32-bit picture whose alpha bytes are all zero predates alpha and uses its AND mask.
  bool has_alpha = false;
  if (bits == 32) {
    for (int y = 0; y < height && !has_alpha; ++y) {
      const std::uint8_t* row = data + xor_at + xor_stride * y;
      for (int x = 0; x < width; ++x) {
        if (row[x * 4 + 3] != 0) {
          has_alpha = true;
          break;
        }
      }
    }
  }

  out.width = width;
  out.height = height;
  out.bits = bits;
  out.argb.resize(static_cast<std::size_t>(width) * height);
  for (int y = 0; y < height; ++y) {
    const int source_row = height - 1 - y;
    const std::uint8_t* xor_row = data + xor_at + xor_stride * source_row;
    const std::uint8_t* and_row = data + and_at + and_stride * source_row;
    std::uint32_t* dst = &out.argb[static_cast<std::size_t>(y) * width];
    for (int x = 0; x < width; ++x) {
      const std::uint32_t rgb = colour_at(xor_row, x);
      if (has_alpha) {
        dst[x] = static_cast<std::uint32_t>(xor_row[x * 4 + 3]) << 24 | rgb;
        continue;
      }
      const bool masked = (and_row[x / 8] >> (7 - x % 8)) & 1;
      // AND 1 with colour 0 leaves the screen as it is. AND 1 with a colour asks to invert the
      // screen under it; a colour cursor cannot do that, so the colour is shown instead.
      dst[x] = masked && rgb == 0 ? 0u : 0xFF000000u | rgb;
    }
  }
  return true;
}

bool Better(const Decoded& a, const Decoded& b) {
  const int da = std::abs(a.width - 32) + std::abs(a.height - 32);
  const int db = std::abs(b.width - 32) + std::abs(b.height - 32);
  if (da != db) return da < db;
  return a.bits > b.bits;
}

}  // namespace

bool ParseCursorFile(std::span<const std::uint8_t> file, CursorImage& out) {
  ByteReader reader(file);
  if (reader.U16Le() != 0 || reader.U16Le() != 2) return false;
  const std::size_t count = reader.U16Le();
  if (!reader.ok() || count == 0 || !reader.Has(kDirHeader, count * kDirEntry)) return false;

  Decoded best;
  int best_hotspot_x = 0;
  int best_hotspot_y = 0;
  bool found = false;
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t entry = kDirHeader + i * kDirEntry;
    const std::size_t length = reader.U32LeAt(entry + 8);
    const std::size_t offset = reader.U32LeAt(entry + 12);
    if (length == 0 || !reader.Has(offset, length)) continue;
    Decoded picture;
    const auto bytes = file.subspan(offset, length);
    const bool ok = IsPng(bytes) ? DecodePng(bytes, picture) : DecodeDib(bytes, picture);
    if (!ok || (found && !Better(picture, best))) continue;
    best = std::move(picture);
    best_hotspot_x = reader.U16LeAt(entry + 4);
    best_hotspot_y = reader.U16LeAt(entry + 6);
    found = true;
  }
  if (!found) return false;
  out.width = best.width;
  out.height = best.height;
  out.hotspot_x = best_hotspot_x;
  out.hotspot_y = best_hotspot_y;
  out.argb = std::move(best.argb);
  return true;
}

}  // namespace adv
