#include "graphics/cursor_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "fixture.h"
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

// One colour (palette index 1 up to 8 bits) under a clear mask.
Picture Uniform(int width, int height, int bits, std::uint32_t rgb) {
  const std::vector<std::uint32_t> palette = {0, rgb};
  return {width,
          height,
          bits,
          bits <= 8 ? palette : std::vector<std::uint32_t>{},
          std::vector<std::uint32_t>(width * height, bits <= 8 ? 1 : rgb),
          std::vector<int>(width * height, 0)};
}
std::vector<std::uint32_t> Opaque(int width, int height, std::uint32_t rgb) {
  return std::vector<std::uint32_t>(width * height, 0xFF000000u | rgb);
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

// With any alpha in a 32-bit picture, the alpha; otherwise AND 1 over black is transparent and
// everything else the opaque colour, indices past a short palette black. Rows of several bytes.
TEST(CursorFileTest, DecodesDibDepthsWithMaskAndHotspot) {
  constexpr std::uint32_t W = 0xFFFFFFFF, B = 0xFF000000, C = 0xFF123456, D = 0xFFABCDEF;
  const std::vector<std::uint32_t> grey = [] {
    std::vector<std::uint32_t> p;
    for (std::uint32_t i = 0; i < 256; ++i) p.push_back(i * 0x010101);
    return p;
  }();
  const struct {
    Picture p;
    std::vector<std::uint32_t> want;
  } cases[] = {
      // clang-format off
      {{9, 2, 1, {0, 0xFFFFFF},
        {1, 0, 1, 1, 0, 0, 1, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 1},
        {0, 0, 0, 0, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
       {W, B, W, W, 0, 0, W, 0, W, B, B, B, B, B, B, B, B, W}},
      // clang-format on
      {{4, 1, 4, {0, 0x123456, 0xABCDEF}, {1, 2, 5, 5}, {0, 0, 1, 0}}, {C, D, 0, B}},
      {{2, 1, 8, grey, {200, 7}, {0, 1}}, {0xFFC8C8C8, 0xFF070707}},
      {{2, 2, 24, {}, {0x102030, 0, 0xFFFFFF, 0}, {1, 1, 0, 0}}, {0xFF102030, 0, W, B}},
      {{3, 1, 32, {}, {0x80102030, 0, 0x00FFFFFF}, {1, 1, 0}}, {0x80102030, 0, 0x00FFFFFF}},
      {{2, 1, 32, {}, {0x102030, 0}, {0, 1}}, {0xFF102030, 0}}};
  for (const auto& c : cases) {
    const int w = c.p.width, h = c.p.height;
    EXPECT_EQ(Decode(CursorFile({{Dib(c.p), w - 1, h - 1}})), Cursor(w, h, w - 1, h - 1, c.want))
        << c.p.bits << " bits";
  }
}

TEST(CursorFileTest, EmbeddedPng) {
  EXPECT_EQ(Decode(CursorFile({{test::Fixture("bgra.png"), 1, 1}})),
            Cursor(2, 2, 1, 1, {0xFF563412, 0, 0, 0xFFABCDEF}));
}

TEST(CursorFileTest, PicksPictureNearestThirtyTwoThenDeepest) {
  const Picture small = Uniform(16, 16, 8, 0x112233);
  const Picture mono = Uniform(32, 32, 1, 0xFFFFFF);
  const Picture deep = Uniform(32, 32, 24, 0x445566);
  EXPECT_EQ(Decode(CursorFile({{Dib(deep), 3, 5}, {Dib(small), 1, 1}, {Dib(mono), 2, 2}})),
            Cursor(32, 32, 3, 5, Opaque(32, 32, 0x445566)));
  // A broken picture is passed over for one that decodes.
  std::string broken = Dib(deep);
  broken[14] = 16;  // 16 bits per pixel is not a cursor depth
  EXPECT_EQ(Decode(CursorFile({{broken, 3, 5}, {Dib(small), 1, 1}})),
            Cursor(16, 16, 1, 1, Opaque(16, 16, 0x112233)));
}

TEST(CursorFileTest, RefusesMalformedFiles) {
  const std::string good = CursorFile({{Dib(Uniform(32, 32, 32, 0x80123456))}});
  ASSERT_TRUE(Decode(good));
  // Every truncation, with the directory as it was and with its length made to agree.
  for (std::size_t n = 0; n < good.size(); ++n) {
    EXPECT_FALSE(Decode(good.substr(0, n))) << n;
    if (n < 22) continue;
    EXPECT_FALSE(Decode(WithLe(good.substr(0, n), 6 + 8, n - 22))) << n;
  }
  const std::size_t dib = 22;
  const std::string png = test::Fixture("bgra.png");
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
       WithLe(CursorFile({{Dib(Uniform(8, 8, 4, 0x123456)) + std::string(60, '\0')}}), dib + 32,
              17)},
      {"truncated PNG", CursorFile({{png.substr(0, png.size() - 20)}})},
  };
  for (const auto& [what, file] : cases) EXPECT_FALSE(Decode(file)) << what;
}

}  // namespace
}  // namespace adv
