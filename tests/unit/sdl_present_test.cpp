#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "host/sdl/sdl_present.h"

namespace adv {
namespace {

constexpr std::uint32_t kSentinel = 0x12345678u;

// Channel expansion written out per pixel: 5-bit v becomes 8 * v + v / 4.
std::uint32_t Expand(std::uint16_t s) {
  const unsigned r = (s / 1024) % 32, g = (s / 32) % 32, b = s % 32;
  auto e = [](unsigned v) { return v * 8 + v / 4; };
  return 0xFF000000u + e(r) * 65536 + e(g) * 256 + e(b);
}

TEST(SdlPresentTest, ChannelExpansionEndpoints) {
  std::uint16_t src[3] = {0x0000, 0x7FFF, static_cast<std::uint16_t>(16 << 10 | 1 << 5 | 30)};
  std::uint32_t dst[3] = {};
  ConvertRgb555ToXrgb8888(src, 3, dst, 3, Rect{0, 0, 3, 1});
  EXPECT_EQ(dst[0], 0xFF000000u);
  EXPECT_EQ(dst[1], 0xFFFFFFFFu);
  EXPECT_EQ(dst[2], 0xFF8408F7u);  // 16 -> 132, 1 -> 8, 30 -> 247
}

TEST(SdlPresentTest, ConvertsOnlyTheRectangleAgainstPerPixelReference) {
  constexpr int kWidth = 640, kHeight = 480;
  std::mt19937 rng(12345);
  struct Layout {
    int src_pitch;
    int dst_pitch;
  };
  const Layout layouts[] = {{640, 640}, {648, 701}};
  const Rect rects[] = {{0, 0, 640, 480},  {3, 5, 640, 479}, {0, 0, 1, 1},   {639, 479, 640, 480},
                        {17, 33, 18, 300}, {101, 7, 333, 8}, {5, 5, 5, 100}, {250, 0, 263, 480}};
  for (const Layout& layout : layouts) {
    std::vector<std::uint16_t> src(static_cast<std::size_t>(layout.src_pitch) * kHeight);
    // Bit 15 is set at random too: it is not part of the colour.
    for (auto& p : src) p = static_cast<std::uint16_t>(rng());
    for (const Rect& r : rects) {
      std::vector<std::uint32_t> dst(static_cast<std::size_t>(layout.dst_pitch) * kHeight,
                                     kSentinel);
      ConvertRgb555ToXrgb8888(src.data(), layout.src_pitch, dst.data(), layout.dst_pitch, r);
      int wrong = 0;
      for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < layout.dst_pitch; ++x) {
          const bool inside = x >= r.left && x < r.right && y >= r.top && y < r.bottom;
          const std::uint32_t want =
              inside && x < kWidth ? Expand(src[static_cast<std::size_t>(y) * layout.src_pitch + x])
                                   : kSentinel;
          if (dst[static_cast<std::size_t>(y) * layout.dst_pitch + x] != want) ++wrong;
        }
      }
      EXPECT_EQ(wrong, 0) << "rect " << r.left << "," << r.top << "," << r.right << "," << r.bottom
                          << " pitches " << layout.src_pitch << "/" << layout.dst_pitch;
    }
  }
}

}  // namespace
}  // namespace adv
