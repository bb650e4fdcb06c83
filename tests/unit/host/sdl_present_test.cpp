#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "host/rgb555_convert.h"

namespace adv {
namespace {

constexpr std::uint32_t kSentinel = 0x12345678u;

// Channel expansion written out per pixel: 5-bit v becomes 8 * v + v / 4.
std::uint32_t Expand(std::uint16_t s) {
  auto e = [](unsigned v) { return v % 32 * 8 + v % 32 / 4; };
  return 0xFF000000u + e(s / 1024) * 65536 + e(s / 32) * 256 + e(s);
}

// Only the rectangle is converted, with pitches of the picture's width and wider.
TEST(SdlPresentTest, ConvertsOnlyTheRectangleAgainstPerPixelReference) {
  std::mt19937 rng(12345);
  const Rect rects[] = {{0, 0, 640, 480},  {3, 5, 640, 479}, {0, 0, 1, 1},   {639, 479, 640, 480},
                        {17, 33, 18, 300}, {101, 7, 333, 8}, {5, 5, 5, 100}, {250, 0, 263, 480}};
  for (auto [src_pitch, dst_pitch] : {std::pair{640, 640}, {648, 701}}) {
    std::vector<std::uint16_t> src(static_cast<std::size_t>(src_pitch) * 480);
    for (auto& p : src) p = static_cast<std::uint16_t>(rng());  // bit 15 is not part of the colour
    for (const Rect& r : rects) {
      std::vector<std::uint32_t> dst(static_cast<std::size_t>(dst_pitch) * 480, kSentinel);
      ConvertRgb555ToXrgb8888(src.data(), src_pitch, dst.data(), dst_pitch, r);
      int wrong = 0;
      for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < dst_pitch; ++x) {
          const bool inside = x >= r.left && x < r.right && y >= r.top && y < r.bottom;
          wrong += dst[y * dst_pitch + x] != (inside ? Expand(src[y * src_pitch + x]) : kSentinel);
        }
      }
      EXPECT_EQ(wrong, 0) << r.left << "," << r.top << "," << r.right << "," << r.bottom
                          << " pitches " << src_pitch << "/" << dst_pitch;
    }
  }
}

}  // namespace
}  // namespace adv
