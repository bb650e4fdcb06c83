#include "host/cursor_file.h"

#include <png.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace adv {
namespace {

// Larger pictures do not exist in cursor files; the limit also bounds every allocation here.
constexpr int kMaxSide = 256;
constexpr std::size_t kDirHeader = 6;
constexpr std::size_t kDirEntry = 16;
constexpr std::size_t kInfoHeader = 40;

std::uint16_t Le16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

std::uint32_t Le32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

struct Decoded {
  int width = 0;
  int height = 0;
  int bits = 0;
  std::vector<std::uint32_t> argb;
};

bool IsPng(const std::uint8_t* data, std::size_t size) {
  static constexpr std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  return size >= sizeof(kSignature) && std::memcmp(data, kSignature, sizeof(kSignature)) == 0;
}

bool DecodePng(const std::uint8_t* data, std::size_t size, Decoded& out) {
  png_image image;
  std::memset(&image, 0, sizeof(image));
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, data, size)) return false;
  if (image.width == 0 || image.height == 0 || image.width > kMaxSide || image.height > kMaxSide) {
    png_image_free(&image);
    return false;
  }
  image.format = PNG_FORMAT_ARGB;
  std::vector<std::uint8_t> bytes(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, bytes.data(), 0, nullptr)) {
    png_image_free(&image);
    return false;
  }
  out.width = static_cast<int>(image.width);
  out.height = static_cast<int>(image.height);
  out.bits = 32;
  out.argb.resize(static_cast<std::size_t>(out.width) * out.height);
  for (std::size_t i = 0; i < out.argb.size(); ++i) {
    const std::uint8_t* p = &bytes[i * 4];
    out.argb[i] = static_cast<std::uint32_t>(p[0]) << 24 | static_cast<std::uint32_t>(p[1]) << 16 |
                  static_cast<std::uint32_t>(p[2]) << 8 | p[3];
  }
  png_image_free(&image);
  return true;
}

// A DIB whose height counts the colour (XOR) picture and the AND mask below it, both bottom-up.
bool DecodeDib(const std::uint8_t* data, std::size_t size, Decoded& out) {
  if (size < kInfoHeader) return false;
  const std::uint32_t header_size = Le32(data);
  if (header_size < kInfoHeader || header_size > size) return false;
  const auto width = static_cast<std::int32_t>(Le32(data + 4));
  const auto double_height = static_cast<std::int32_t>(Le32(data + 8));
  const int bits = Le16(data + 14);
  const std::uint32_t compression = Le32(data + 16);
  const std::uint32_t colours_used = Le32(data + 32);
  if (width <= 0 || width > kMaxSide || double_height <= 0 || double_height % 2 != 0 ||
      double_height / 2 > kMaxSide || compression != 0) {
    return false;
  }
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return false;
  const int height = double_height / 2;

  std::size_t palette_size = 0;
  if (bits <= 8) {
    const std::uint32_t full = 1u << bits;
    if (colours_used > full) return false;
    palette_size = colours_used == 0 ? full : colours_used;
  } else {
    // Deep DIBs may still carry an (unused) palette; it is skipped.
    if (colours_used > 256) return false;
    palette_size = colours_used;
  }
  const std::size_t palette_at = header_size;
  const std::size_t xor_at = palette_at + palette_size * 4;
  const std::size_t xor_stride = (static_cast<std::size_t>(width) * bits + 31) / 32 * 4;
  const std::size_t and_stride = (static_cast<std::size_t>(width) + 31) / 32 * 4;
  const std::size_t and_at = xor_at + xor_stride * height;
  if (and_at + and_stride * height > size) return false;

  auto colour_at = [&](const std::uint8_t* row, int x) -> std::uint32_t {
    if (bits >= 24) {
      const std::uint8_t* p = row + static_cast<std::size_t>(x) * (bits / 8);
      return static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[1]) << 8 | p[0];
    }
    const int bit = x * bits;
    const int shift = 8 - bits - bit % 8;
    const std::size_t index = (row[bit / 8] >> shift) & ((1u << bits) - 1);
    // An index beyond a short palette shows black rather than reading past the table.
    if (index >= palette_size) return 0;
    const std::uint8_t* q = data + palette_at + index * 4;
    return static_cast<std::uint32_t>(q[2]) << 16 | static_cast<std::uint32_t>(q[1]) << 8 | q[0];
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
      // AND 1 with colour 0 leaves the screen as it is. AND 1 with a colour inverts the screen
      // under it on Windows; a colour cursor cannot do that, so the colour is shown instead.
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

bool ParseCursorFile(const std::uint8_t* data, std::size_t size, CursorImage& out) {
  if (data == nullptr || size < kDirHeader) return false;
  if (Le16(data) != 0 || Le16(data + 2) != 2) return false;
  const std::size_t count = Le16(data + 4);
  if (count == 0 || kDirHeader + count * kDirEntry > size) return false;

  Decoded best;
  int best_hotspot_x = 0;
  int best_hotspot_y = 0;
  bool found = false;
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint8_t* entry = data + kDirHeader + i * kDirEntry;
    const std::size_t length = Le32(entry + 8);
    const std::size_t offset = Le32(entry + 12);
    if (length == 0 || offset > size || length > size - offset) continue;
    Decoded picture;
    const std::uint8_t* bytes = data + offset;
    const bool ok = IsPng(bytes, length) ? DecodePng(bytes, length, picture)
                                         : DecodeDib(bytes, length, picture);
    if (!ok || (found && !Better(picture, best))) continue;
    best = std::move(picture);
    best_hotspot_x = Le16(entry + 4);
    best_hotspot_y = Le16(entry + 6);
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
