#include "graphics/cursor_file.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

namespace adv {
namespace {

using Bytes = std::vector<std::uint8_t>;

void Put16(Bytes& b, unsigned v) {
  b.push_back(v & 0xFF);
  b.push_back((v >> 8) & 0xFF);
}
void Put32(Bytes& b, std::uint32_t v) {
  Put16(b, v & 0xFFFF);
  Put16(b, v >> 16);
}
void Set32(Bytes& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// A cursor picture described top-down: value is a palette index (1 to 8 bits) or 0xAARRGGBB.
struct Picture {
  int width = 0;
  int height = 0;
  int bits = 0;
  std::vector<std::uint32_t> palette;  // 0xRRGGBB
  std::vector<std::uint32_t> value;
  std::vector<int> mask;  // AND bits
};

Bytes Dib(const Picture& p) {
  Bytes b;
  Put32(b, 40);
  Put32(b, p.width);
  Put32(b, p.height * 2);
  Put16(b, 1);
  Put16(b, p.bits);
  Put32(b, 0);
  Put32(b, 0);
  Put32(b, 0);
  Put32(b, 0);
  Put32(b, static_cast<std::uint32_t>(p.palette.size()));
  Put32(b, 0);
  for (std::uint32_t c : p.palette) Put32(b, c);
  const int xor_stride = (p.width * p.bits + 31) / 32 * 4;
  for (int y = p.height - 1; y >= 0; --y) {
    Bytes row(xor_stride, 0);
    for (int x = 0; x < p.width; ++x) {
      const std::uint32_t v = p.value[y * p.width + x];
      if (p.bits >= 24) {
        for (int i = 0; i < p.bits / 8; ++i) row[x * (p.bits / 8) + i] = (v >> (8 * i)) & 0xFF;
      } else {
        const int bit = x * p.bits;
        row[bit / 8] |= static_cast<std::uint8_t>(v << (8 - p.bits - bit % 8));
      }
    }
    b.insert(b.end(), row.begin(), row.end());
  }
  const int and_stride = (p.width + 31) / 32 * 4;
  for (int y = p.height - 1; y >= 0; --y) {
    Bytes row(and_stride, 0);
    for (int x = 0; x < p.width; ++x) {
      if (p.mask[y * p.width + x]) row[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
    }
    b.insert(b.end(), row.begin(), row.end());
  }
  return b;
}

struct Entry {
  Bytes image;
  int hotspot_x = 0;
  int hotspot_y = 0;
};

Bytes CursorFile(const std::vector<Entry>& entries) {
  Bytes b;
  Put16(b, 0);
  Put16(b, 2);
  Put16(b, static_cast<unsigned>(entries.size()));
  std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(entries.size());
  for (const Entry& e : entries) {
    b.insert(b.end(), {32, 32, 0, 0});
    Put16(b, e.hotspot_x);
    Put16(b, e.hotspot_y);
    Put32(b, static_cast<std::uint32_t>(e.image.size()));
    Put32(b, offset);
    offset += static_cast<std::uint32_t>(e.image.size());
  }
  for (const Entry& e : entries) b.insert(b.end(), e.image.begin(), e.image.end());
  return b;
}

Picture Random(int width, int height, int bits, std::size_t palette_size, std::mt19937& rng) {
  Picture p{width, height, bits, {}, {}, {}};
  for (std::size_t i = 0; i < palette_size; ++i) p.palette.push_back(rng() & 0xFFFFFF);
  for (int i = 0; i < width * height; ++i) {
    std::uint32_t v = rng();
    if (bits <= 8) v %= palette_size;
    if (bits == 24) v &= 0xFFFFFF;
    p.value.push_back(v);
    p.mask.push_back(rng() & 1);
  }
  return p;
}

// What the screen shows for a masked picture: AND 1 over black is transparent, everything else
// is the opaque colour.
std::vector<std::uint32_t> Expected(const Picture& p) {
  std::vector<std::uint32_t> out;
  for (int i = 0; i < p.width * p.height; ++i) {
    std::uint32_t rgb = p.bits <= 8 ? (p.value[i] < p.palette.size() ? p.palette[p.value[i]] : 0)
                                    : p.value[i] & 0xFFFFFF;
    out.push_back(p.mask[i] && rgb == 0 ? 0 : 0xFF000000u | rgb);
  }
  return out;
}

bool Parse(const Bytes& file, CursorImage& out) {
  // An exactly sized heap copy, so that a read past the end is caught by the address sanitizer.
  auto copy = std::make_unique<std::uint8_t[]>(file.size());
  if (!file.empty()) std::memcpy(copy.get(), file.data(), file.size());
  return ParseCursorFile(std::span<const std::uint8_t>(copy.get(), file.size()), out);
}

TEST(CursorFileTest, DecodesDibDepthsWithMaskAndHotspot) {
  std::mt19937 rng(7);
  struct Case {
    int width, height, bits;
    std::size_t palette;
  };
  const Case cases[] = {{17, 32, 1, 2}, {7, 9, 4, 16}, {13, 11, 8, 256}, {5, 6, 24, 0}};
  for (const Case& c : cases) {
    Picture p = Random(c.width, c.height, c.bits, c.palette, rng);
    if (c.bits == 1) p.palette = {0x000000, 0xFFFFFF};
    // Make sure every mask/colour combination occurs.
    p.value[0] = 0, p.mask[0] = 1;
    if (c.bits <= 8) p.palette[0] = 0;
    CursorImage image;
    ASSERT_TRUE(Parse(CursorFile({{Dib(p), 3, 4}}), image)) << c.bits;
    EXPECT_EQ(image.width, c.width);
    EXPECT_EQ(image.height, c.height);
    EXPECT_EQ(image.hotspot_x, 3);
    EXPECT_EQ(image.hotspot_y, 4);
    EXPECT_EQ(image.argb, Expected(p)) << c.bits << " bits";
    EXPECT_EQ(image.argb[0], 0u);
  }
}

TEST(CursorFileTest, ShortPaletteAndOutOfRangeIndex) {
  std::mt19937 rng(8);
  Picture p = Random(9, 4, 8, 20, rng);
  p.value[5] = 200;  // beyond the 20 colours: shown black
  p.mask[5] = 0;
  CursorImage image;
  ASSERT_TRUE(Parse(CursorFile({{Dib(p), 0, 0}}), image));
  EXPECT_EQ(image.argb, Expected(p));
  EXPECT_EQ(image.argb[5], 0xFF000000u);
}

TEST(CursorFileTest, ThirtyTwoBitAlphaWinsOverMaskUnlessAllZero) {
  std::mt19937 rng(9);
  Picture p = Random(20, 13, 32, 0, rng);
  CursorImage image;
  ASSERT_TRUE(Parse(CursorFile({{Dib(p), 19, 12}}), image));
  EXPECT_EQ(image.argb, p.value);
  EXPECT_EQ(image.hotspot_x, 19);
  EXPECT_EQ(image.hotspot_y, 12);

  for (auto& v : p.value) v &= 0xFFFFFF;  // no alpha at all: the AND mask decides
  ASSERT_TRUE(Parse(CursorFile({{Dib(p), 0, 0}}), image));
  EXPECT_EQ(image.argb, Expected(p));
}

Bytes Png(int width, int height, const std::vector<std::uint32_t>& argb) {
  png_image img;
  std::memset(&img, 0, sizeof(img));
  img.version = PNG_IMAGE_VERSION;
  img.width = width;
  img.height = height;
  img.format = PNG_FORMAT_BGRA;
  Bytes rgba;
  for (std::uint32_t v : argb) {
    for (int i = 0; i < 4; ++i) rgba.push_back((v >> (8 * i)) & 0xFF);
  }
  png_alloc_size_t size = 0;
  EXPECT_TRUE(png_image_write_to_memory(&img, nullptr, &size, 0, rgba.data(), 0, nullptr));
  Bytes out(size);
  EXPECT_TRUE(png_image_write_to_memory(&img, out.data(), &size, 0, rgba.data(), 0, nullptr));
  out.resize(size);
  return out;
}

TEST(CursorFileTest, EmbeddedPng) {
  std::mt19937 rng(10);
  std::vector<std::uint32_t> argb(24 * 30);
  // Fully opaque or fully clear pixels survive PNG's straight alpha exactly.
  for (auto& v : argb) v = (rng() & 1) ? (0xFF000000u | (rng() & 0xFFFFFF)) : 0u;
  CursorImage image;
  ASSERT_TRUE(Parse(CursorFile({{Png(24, 30, argb), 11, 29}}), image));
  EXPECT_EQ(image.width, 24);
  EXPECT_EQ(image.height, 30);
  EXPECT_EQ(image.hotspot_x, 11);
  EXPECT_EQ(image.hotspot_y, 29);
  EXPECT_EQ(image.argb, argb);

  Bytes truncated = Png(24, 30, argb);
  truncated.resize(truncated.size() - 20);
  EXPECT_FALSE(Parse(CursorFile({{truncated, 0, 0}}), image));
}

TEST(CursorFileTest, PicksPictureNearestThirtyTwoThenDeepest) {
  std::mt19937 rng(11);
  const Picture small = Random(16, 16, 8, 256, rng);
  const Picture mono = Random(32, 32, 1, 2, rng);
  const Picture deep = Random(32, 32, 24, 0, rng);
  CursorImage image;
  ASSERT_TRUE(Parse(CursorFile({{Dib(small), 1, 1}, {Dib(mono), 2, 2}, {Dib(deep), 3, 5}}), image));
  EXPECT_EQ(image.hotspot_x, 3);
  EXPECT_EQ(image.hotspot_y, 5);
  EXPECT_EQ(image.argb, Expected(deep));
  // A broken picture is passed over for one that decodes.
  Bytes broken = Dib(deep);
  broken[14] = 16;  // 16 bits per pixel is not a cursor depth
  ASSERT_TRUE(Parse(CursorFile({{broken, 3, 5}, {Dib(small), 1, 1}}), image));
  EXPECT_EQ(image.argb, Expected(small));
}

TEST(CursorFileTest, RefusesMalformedFiles) {
  std::mt19937 rng(12);
  const Picture p = Random(32, 32, 32, 0, rng);
  const Bytes good = CursorFile({{Dib(p), 0, 0}});
  CursorImage image;
  ASSERT_TRUE(Parse(good, image));

  // Every truncation, with the directory left as it was.
  for (std::size_t n = 0; n < good.size(); ++n) {
    Bytes cut(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(n));
    EXPECT_FALSE(Parse(cut, image)) << n;
  }
  // Every truncation of the picture with a directory that agrees with the file's length.
  for (std::size_t n = 6 + 16; n < good.size(); ++n) {
    Bytes cut(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(n));
    Set32(cut, 6 + 8, static_cast<std::uint32_t>(n - 22));
    EXPECT_FALSE(Parse(cut, image)) << n;
  }

  auto with = [&](std::size_t at, std::uint32_t v, int bytes) {
    Bytes b = good;
    for (int i = 0; i < bytes; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    return b;
  };
  const std::size_t dib = 22;
  EXPECT_FALSE(Parse(with(2, 1, 2), image));                  // an icon, not a cursor
  EXPECT_FALSE(Parse(with(4, 0, 2), image));                  // no pictures
  EXPECT_FALSE(Parse(with(4, 500, 2), image));                // directory past the end
  EXPECT_FALSE(Parse(with(6 + 12, 0xFFFFFFF0u, 4), image));   // offset past the end
  EXPECT_FALSE(Parse(with(6 + 8, 0xFFFFFFFFu, 4), image));    // length past the end
  EXPECT_FALSE(Parse(with(dib, 0x7FFFFFFF, 4), image));       // header size past the end
  EXPECT_FALSE(Parse(with(dib + 4, 0, 4), image));            // no width
  EXPECT_FALSE(Parse(with(dib + 4, 100000, 4), image));       // absurd width
  EXPECT_FALSE(Parse(with(dib + 8, 63, 4), image));           // odd doubled height
  EXPECT_FALSE(Parse(with(dib + 8, 0xFFFFFFC0u, 4), image));  // negative height
  EXPECT_FALSE(Parse(with(dib + 16, 1, 4), image));           // compressed
  EXPECT_FALSE(Parse(with(dib + 32, 0x40000000, 4), image));  // palette past the end

  const Picture q = Random(8, 8, 4, 16, rng);
  Bytes lying = CursorFile({{Dib(q), 0, 0}});
  Set32(lying, dib + 32, 17);  // more colours than 4 bits can index
  EXPECT_FALSE(Parse(lying, image));
}

}  // namespace
}  // namespace adv
