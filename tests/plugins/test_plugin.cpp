// A test image plug-in for the made-up format "TST1": bytes 0-3 "TST1", 4-7 width, 8-11 height
// (little-endian), then width x height RGB triplets, top row first. Built in variants:
//   NORMAL          24-bit bottom-up bitmap
//   SWAPPED         32-bit top-down bitmap with red and blue exchanged (tells it from NORMAL)
//   REFUSE          says no to every file
//   NO_GET_PICTURE  accepts TST1 files but exports no GetPicture
// GetPictureInfo fails unless a file shorter than 2048 bytes is followed by 2048 zero bytes.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "graphics/susie_api.h"

namespace {

constexpr long kPeekBytes = 2048;

std::uint32_t U32(const unsigned char* p) {
  return p[0] | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) |
         (std::uint32_t{p[3]} << 24);
}

[[maybe_unused]] void Put32(unsigned char* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}

bool Valid(const unsigned char* b, long length, std::uint32_t& w, std::uint32_t& h) {
  if (length < 12 || std::memcmp(b, "TST1", 4) != 0) return false;
  w = U32(b + 4);
  h = U32(b + 8);
  if (w == 0 || h == 0 || w > 1024 || h > 1024) return false;
  return 12 + 3 * static_cast<long>(w * h) <= length;
}

}  // namespace

extern "C" {

int IsSupported(const char*, void* bytes) {
#ifdef TEST_PLUGIN_REFUSE
  (void)bytes;
  return 0;
#else
  return std::memcmp(bytes, "TST1", 4) == 0 ? 1 : 0;
#endif
}

int GetPictureInfo(void* bytes, long length, unsigned flag, SusiePictureInfo* info) {
  const auto* b = static_cast<const unsigned char*>(bytes);
  std::uint32_t w = 0, h = 0;
  if (flag != 1 || !Valid(b, length, w, h)) return 2;
  if (length < kPeekBytes) {
    for (long i = length; i < length + kPeekBytes; ++i) {
      if (b[i] != 0) return 2;
    }
  }
  info->width = static_cast<std::int32_t>(w);
  info->height = static_cast<std::int32_t>(h);
  info->colour_depth = 24;
  return 0;
}

#ifndef TEST_PLUGIN_NO_GET_PICTURE
int GetPicture(void* bytes, long length, unsigned flag, void** bitmap_info, void** bits,
               void* progress, long data) {
  const auto* b = static_cast<const unsigned char*>(bytes);
  std::uint32_t w = 0, h = 0;
  if (flag != 1 || progress != nullptr || data != 0 || !Valid(b, length, w, h)) return 2;
#ifdef TEST_PLUGIN_SWAPPED
  const int depth = 32;
#else
  const int depth = 24;
#endif
  const std::uint32_t stride = (w * depth + 31) / 32 * 4;
  auto* info = static_cast<unsigned char*>(std::calloc(1, 40));
  auto* pixels = static_cast<unsigned char*>(std::calloc(1, stride * h));
  Put32(info, 40);
  Put32(info + 4, w);
  Put32(info + 8, depth == 32 ? static_cast<std::uint32_t>(-static_cast<std::int32_t>(h)) : h);
  info[12] = 1;
  info[14] = static_cast<unsigned char>(depth);
  for (std::uint32_t y = 0; y < h; ++y) {
    const std::uint32_t row = depth == 32 ? y : h - 1 - y;
    for (std::uint32_t x = 0; x < w; ++x) {
      const unsigned char* s = b + 12 + 3 * (y * w + x);
      unsigned char* d = pixels + row * stride + x * (depth / 8);
      // Stored blue, green, red; the swapped variant stores red first.
      d[0] = depth == 32 ? s[0] : s[2];
      d[1] = s[1];
      d[2] = depth == 32 ? s[2] : s[0];
    }
  }
  *bitmap_info = info;
  *bits = pixels;
  return 0;
}
#endif

}  // extern "C"
