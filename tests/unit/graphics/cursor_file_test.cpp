#include "graphics/cursor_file.h"

#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "support/bmp_writer.h"

namespace adv {
namespace {

using test::PutLe;
using test::WithLe;

// A cursor picture described top-down: value is a palette index (1 to 8 bits) or 0xAARRGGBB.
struct Picture {
  int width = 0;
  int height = 0;
  int bits = 0;
  std::vector<std::uint32_t> palette;  // 0xRRGGBB
  std::vector<std::uint32_t> value;
  std::vector<int> mask;  // AND bits
};

// The colour picture and the AND mask below it, both bottom-up, under one doubled height.
std::string Dib(const Picture& p) {
  std::string palette;
  for (std::uint32_t c : p.palette) PutLe(palette, c);
  auto value = [&](int x, int y) { return p.value[y * p.width + x]; };
  auto mask = [&](int x, int y) { return static_cast<std::uint32_t>(p.mask[y * p.width + x]); };
  return test::InfoHeader(p.width, 2 * p.height, p.bits, 0, p.palette.size()) + palette +
         test::DibRows(p.width, p.height, p.bits, value) +
         test::DibRows(p.width, p.height, 1, mask);
}

struct Entry {
  std::string image;
  int hotspot_x = 0;
  int hotspot_y = 0;
};

std::string CursorFile(const std::vector<Entry>& entries) {
  std::string b;
  for (std::size_t v : {std::size_t{0}, std::size_t{2}, entries.size()}) PutLe(b, v, 2);
  std::size_t offset = 6 + 16 * entries.size();
  for (const Entry& e : entries) {
    b += std::string("\x20\x20\0\0", 4);
    PutLe(b, e.hotspot_x, 2);
    PutLe(b, e.hotspot_y, 2);
    PutLe(b, e.image.size());
    PutLe(b, offset);
    offset += e.image.size();
  }
  for (const Entry& e : entries) b += e.image;
  return b;
}

// Indices run a little past a short palette; the first pixel is black under the mask.
Picture Random(int width, int height, int bits, std::size_t palette_size, std::mt19937& rng) {
  Picture p{width, height, bits, {}, {}, {}};
  for (std::size_t i = 0; i < palette_size; ++i) p.palette.push_back(i ? rng() & 0xFFFFFF : 0);
  const auto indices = bits <= 8 ? std::min<std::uint32_t>(palette_size + 3, 1u << bits) : 0;
  for (int i = 0; i < width * height; ++i) {
    const std::uint32_t v = rng();
    p.value.push_back(i == 0 ? 0 : bits <= 8 ? v % indices : bits == 24 ? v & 0xFFFFFF : v);
    p.mask.push_back(i == 0 || (rng() & 1));
  }
  return p;
}

// What the screen shows. With any alpha in a 32-bit picture, the alpha; otherwise AND 1 over
// black is transparent and everything else the opaque colour (indices past the palette black).
std::vector<std::uint32_t> Expected(const Picture& p) {
  const bool alpha =
      p.bits == 32 && std::any_of(p.value.begin(), p.value.end(), [](auto v) { return v >> 24; });
  std::vector<std::uint32_t> out;
  for (int i = 0; i < p.width * p.height; ++i) {
    const std::uint32_t v = p.value[i];
    const std::uint32_t rgb = p.bits > 8 ? v & 0xFFFFFF : v < p.palette.size() ? p.palette[v] : 0;
    out.push_back(alpha ? v : p.mask[i] && rgb == 0 ? 0 : 0xFF000000u | rgb);
  }
  return out;
}

using Cursor = std::tuple<int, int, int, int, std::vector<std::uint32_t>>;

// Size, hotspot and pixels of the decoded cursor, or nothing when refused.
std::optional<Cursor> Decode(const std::string& file) {
  // An exactly sized heap copy, so that a read past the end is caught by the address sanitizer.
  auto copy = std::make_unique<std::uint8_t[]>(file.size());
  std::memcpy(copy.get(), file.data(), file.size());
  CursorImage c;
  if (!ParseCursorFile(std::span<const std::uint8_t>(copy.get(), file.size()), c)) return {};
  return Cursor{c.width, c.height, c.hotspot_x, c.hotspot_y, c.argb};
}

TEST(CursorFileTest, DecodesDibDepthsWithMaskAndHotspot) {
  std::mt19937 rng(7);
  struct Case {
    int width, height, bits;
    std::size_t palette;
    bool no_alpha;  // 32 bits with every alpha byte zero: the mask decides
  };
  const Case cases[] = {{17, 32, 1, 2, false}, {7, 9, 4, 16, false}, {13, 11, 8, 256, false},
                        {9, 4, 8, 20, false},  {5, 6, 24, 0, false}, {20, 13, 32, 0, false},
                        {20, 13, 32, 0, true}};
  for (const Case& c : cases) {
    Picture p = Random(c.width, c.height, c.bits, c.palette, rng);
    if (c.bits == 1) p.palette = {0x000000, 0xFFFFFF};
    for (auto& v : p.value) v &= c.no_alpha ? 0xFFFFFF : 0xFFFFFFFF;
    EXPECT_EQ(Decode(CursorFile({{Dib(p), c.width - 1, c.height - 2}})),
              Cursor(c.width, c.height, c.width - 1, c.height - 2, Expected(p)))
        << c.bits << " bits, palette " << c.palette;
  }
}

std::string Png(int width, int height, const std::vector<std::uint32_t>& argb) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = width;
  image.height = height;
  image.format = PNG_FORMAT_BGRA;  // 0xAARRGGBB stored little-endian
  std::string bgra;
  for (std::uint32_t v : argb) PutLe(bgra, v);
  png_alloc_size_t size = 1 << 16;
  std::string out(size, '\0');
  EXPECT_TRUE(png_image_write_to_memory(&image, out.data(), &size, 0, bgra.data(), 0, nullptr));
  out.resize(size);
  return out;
}

TEST(CursorFileTest, EmbeddedPng) {
  std::mt19937 rng(10);
  std::vector<std::uint32_t> argb(24 * 30);
  // Fully opaque or fully clear pixels survive PNG's straight alpha exactly.
  for (auto& v : argb) v = (rng() & 1) ? (0xFF000000u | (rng() & 0xFFFFFF)) : 0u;
  EXPECT_EQ(Decode(CursorFile({{Png(24, 30, argb), 11, 29}})), Cursor(24, 30, 11, 29, argb));
}

TEST(CursorFileTest, PicksPictureNearestThirtyTwoThenDeepest) {
  std::mt19937 rng(11);
  const Picture small = Random(16, 16, 8, 256, rng);
  const Picture mono = Random(32, 32, 1, 2, rng);
  const Picture deep = Random(32, 32, 24, 0, rng);
  EXPECT_EQ(Decode(CursorFile({{Dib(deep), 3, 5}, {Dib(small), 1, 1}, {Dib(mono), 2, 2}})),
            Cursor(32, 32, 3, 5, Expected(deep)));
  // A broken picture is passed over for one that decodes.
  std::string broken = Dib(deep);
  broken[14] = 16;  // 16 bits per pixel is not a cursor depth
  EXPECT_EQ(Decode(CursorFile({{broken, 3, 5}, {Dib(small), 1, 1}})),
            Cursor(16, 16, 1, 1, Expected(small)));
}

TEST(CursorFileTest, RefusesMalformedFiles) {
  std::mt19937 rng(12);
  const std::string good = CursorFile({{Dib(Random(32, 32, 32, 0, rng))}});
  ASSERT_TRUE(Decode(good));
  // Every truncation, with the directory as it was and with its length made to agree.
  for (std::size_t n = 0; n < good.size(); ++n) {
    EXPECT_FALSE(Decode(good.substr(0, n))) << n;
    if (n < 22) continue;
    EXPECT_FALSE(Decode(WithLe(good.substr(0, n), 6 + 8, n - 22))) << n;
  }
  const std::size_t dib = 22;
  const std::string png = Png(8, 8, std::vector<std::uint32_t>(64, 0xFF123456));
  const std::pair<const char*, std::string> cases[] = {
      {"an icon, not a cursor", WithLe(good, 2, 1, 2)},
      {"no pictures", WithLe(good, 4, 0, 2)},
      {"directory past the end", WithLe(good, 4, 500, 2)},
      {"offset past the end", WithLe(good, 6 + 12, 0xFFFFFFF0u)},
      {"length past the end", WithLe(good, 6 + 8, 0xFFFFFFFFu)},
      {"header size past the end", WithLe(good, dib, 0x7FFFFFFF)},
      {"no width", WithLe(good, dib + 4, 0)},
      {"absurd width", WithLe(good, dib + 4, 100000)},
      {"odd doubled height", WithLe(good, dib + 8, 63)},
      {"negative height", WithLe(good, dib + 8, 0xFFFFFFC0u)},
      {"compressed", WithLe(good, dib + 16, 1)},
      {"palette past the end", WithLe(good, dib + 32, 0x40000000)},
      {"more colours than 4 bits index",
       WithLe(CursorFile({{Dib(Random(8, 8, 4, 16, rng)) + std::string(4, '\0')}}), dib + 32, 17)},
      {"truncated PNG", CursorFile({{png.substr(0, png.size() - 20)}})},
  };
  for (const auto& [what, file] : cases) EXPECT_FALSE(Decode(file)) << what;
}

}  // namespace
}  // namespace adv
