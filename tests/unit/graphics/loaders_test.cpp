#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "fixture.h"
#include "graphics/packed_file.h"
#include "graphics/picture_loader.h"
#include "host/picture_header.h"
#include "host/sdl/sdl_image_decoder.h"
#include "support/bmp_writer.h"
#include "support/temp_dir.h"

namespace adv {
namespace {

using test::BmpFile;
using test::DibRows;
using test::Fixture;
using test::PutLe;
using Rows = std::vector<std::vector<std::uint32_t>>;

// RGB555 written out from its layout: red in bits 10-14, green 5-9, blue 0-4.
std::uint32_t Ref555(std::uint32_t rgb) {
  return ((rgb >> 19) & 31) << 10 | ((rgb >> 11) & 31) << 5 | ((rgb >> 3) & 31);
}

std::string Bin(std::initializer_list<int> bytes) {
  return std::string(bytes.begin(), bytes.end());
}

// A colour table: 0x00RRGGBB little-endian is the stored blue, green, red, 0.
std::string Table(const std::vector<std::uint32_t>& rgb) {
  std::string s;
  for (std::uint32_t c : rgb) PutLe(s, c);
  return s;
}

using Loader = bool (*)(CDrawImage&, std::string_view, const LoadContext&);

class LoaderTest : public ::testing::Test {
 protected:
  LoaderTest() { files_.SetBase(dir_.path()); }

  // Writes the file and loads it: the picture's pixels, top row first, or nothing if refused.
  Rows Load(Loader load, const std::string& name, const std::string& bytes) {
    dir_.Write(name, bytes);
    return load(surface_, name, context_) ? Pixels() : Rows{};
  }
  Rows Pixels() const {
    Rows rows(surface_.Height());
    for (int y = 0; y < surface_.Height(); ++y) {
      for (int x = 0; x < surface_.Width(); ++x) rows[y].push_back(surface_.GetPixel(x, y));
    }
    return rows;
  }
  std::vector<int> AlphaPlane() const {
    const std::uint8_t* a = surface_.Alpha();
    return a ? std::vector<int>(a, a + surface_.Width() * surface_.Height()) : std::vector<int>{};
  }

  test::TempDir dir_;
  FileSystem files_;
  SdlImageDecoder decoder_;
  LoadContext context_{files_, &decoder_, dir_.Path("no-plugins")};
  CDrawImage surface_;
};

// --- BMP ---

TEST_F(LoaderTest, BmpPaletteDepths) {
  // With fewer colours listed than the depth can index, the indices past them are black.
  for (auto [bits, used] : {std::pair{1, 0}, {4, 10}, {8, 0}, {8, 200}}) {
    const int entries = used ? used : 1 << bits;
    std::vector<std::uint32_t> table;
    for (int i = 0; i < entries; ++i) {
      table.push_back((0x102030u * (i + 1) + 0x0F0000u * (i & 1)) & 0xFFFFFF);
    }
    auto index = [&](int x, int y) { return (255u - x * 29u - y * 101u) % (1u << bits); };
    Rows expected(3);
    for (int y = 0; y < 3; ++y) {
      for (int x = 0; x < 9; ++x) {
        expected[y].push_back(index(x, y) < table.size() ? Ref555(table[index(x, y)]) : 0);
      }
    }
    const std::string file = BmpFile(9, 3, bits, DibRows(9, 3, bits, index), 0, Table(table), used);
    EXPECT_EQ(Load(LoadBmp, "p.bmp", file), expected) << bits;
  }
}

// 4-bit channels of a 4-4-4 bit-field picture, widened by repeating their bits.
std::uint32_t Ref444(std::uint32_t rgb) {
  auto five = [rgb](int shift) {
    return (rgb >> (shift + 4) & 15) << 1 | (rgb >> (shift + 7) & 1);
  };
  return five(16) << 10 | five(8) << 5 | five(0);
}

TEST_F(LoaderTest, BmpDirectColourAndBitFields) {
  const std::uint32_t colours[] = {0xFF8040, 0x00FFFF, 0x123456, 0xF8F8F8, 0x070707};
  auto colour = [&](int x, int y) { return y ? colours[x] ^ 0xFFFFFF : colours[x]; };
  struct Case {
    int bits;
    std::vector<std::uint32_t> masks;
    std::uint32_t (*encode)(std::uint32_t rgb);
    std::uint32_t (*expected)(std::uint32_t rgb);
  };
  const Case cases[] = {
      {24, {}, [](std::uint32_t c) { return c; }, Ref555},
      // The unused top bit set, to show it is dropped.
      {16, {}, [](std::uint32_t c) { return 0x8000 | Ref555(c); }, Ref555},
      // 5-6-5: green keeps its top five bits.
      {16,
       {0xF800, 0x07E0, 0x001F},
       [](std::uint32_t c) { return (c >> 19) << 11 | (c >> 10 & 63) << 5 | (c & 255) >> 3; },
       Ref555},
      {16,
       {0x0F00, 0x00F0, 0x000F},
       [](std::uint32_t c) { return (c >> 20) << 8 | (c >> 12 & 15) << 4 | (c & 255) >> 4; },
       Ref444},
  };
  for (const Case& c : cases) {
    Rows expected(2);
    for (int y = 0; y < 2; ++y) {
      for (int x = 0; x < 5; ++x) expected[y].push_back(c.expected(colour(x, y)));
    }
    const std::string pixels =
        DibRows(5, 2, c.bits, [&](int x, int y) { return c.encode(colour(x, y)); });
    const std::string file = BmpFile(5, 2, c.bits, pixels, c.masks.empty() ? 0 : 3, Table(c.masks));
    EXPECT_EQ(Load(LoadBmp, "p.bmp", file), expected)
        << c.bits << " bits, masks " << c.masks.size();
  }
}

TEST_F(LoaderTest, BmpRunLengthEncodings) {
  const std::uint32_t r = 0x7C00, g = 0x03E0, u = 0x001F;
  const std::string rle8 = Bin({
      4, 1, 0, 0,        // bottom row: four of index 1, end of line
      0, 3, 2, 3, 1, 0,  // absolute 2, 3, 1 and a pad byte
      1, 2, 0, 0,        // one of index 2, end of line
      0, 2, 1, 0, 2, 3,  // delta right 1; two of index 3
      0, 2, 0, 1, 1, 1,  // delta up 1 (x stays at 3); one of index 1
      0, 1,              // end of bitmap
  });
  const std::string table = Table({0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF});
  // Pixels the data skips stay black (index 0 here is white).
  EXPECT_EQ(Load(LoadBmp, "a.bmp", BmpFile(4, 4, 8, rle8, 1, table, 4)),
            (Rows{{0, 0, 0, r}, {0, u, u, 0}, {g, u, r, g}, {r, r, r, r}}));

  std::vector<std::uint32_t> colours;
  for (std::uint32_t i = 0; i < 16; ++i) colours.push_back(0x110000u * i + 0x000011u * (15 - i));
  const std::string rle4 = Bin({
      5, 0x12, 0, 0,              // 1, 2, 1, 2, 1; end of line
      0, 5, 0x34, 0x56, 0x70, 0,  // absolute 3, 4, 5, 6, 7 (three bytes and a pad)
      0, 1,                       // end of bitmap
  });
  auto c = [&](int i) { return Ref555(colours[i]); };
  EXPECT_EQ(Load(LoadBmp, "b.bmp", BmpFile(5, 2, 4, rle4, 2, Table(colours))),
            (Rows{{c(3), c(4), c(5), c(6), c(7)}, {c(1), c(2), c(1), c(2), c(1)}}));
}

// --- K16 ---

std::string K16(int width, int height, int depth, const std::string& palette,
                const std::string& pixels) {
  std::string s = "K16";
  s.append(5, '\0');
  for (int v : {28 + static_cast<int>(palette.size()), 0, width, height, depth}) PutLe(s, v);
  return s + palette + pixels;
}

// Pictures every loader takes, and what the decoder takes for them (a top-down BMP, PNM).
TEST_F(LoaderTest, PicturesAccepted) {
  const std::uint32_t argb[2][2] = {{0x800000FF, 0xFF181008}, {0x10FF0000, 0x2000FF00}};
  const std::uint32_t rgb[2][2] = {{0xFF0000, 0x00FF00}, {0x0000FF, 0xFFFFFF}};
  std::string palette, direct;
  for (int i = 0; i < 256; ++i) PutLe(palette, 0x8000u | (i * 131), 2);  // top bit dropped
  auto p = [](int i) { return static_cast<std::uint32_t>((i * 131) & 0x7FFF); };
  for (std::uint32_t v : {0x7C00u, 0x03E0u, 0x801Fu, 0xEEEEu, 0x1234u, 0x0001u, 0x4321u, 0xEEEEu}) {
    PutLe(direct, v, 2);
  }
  // GIF: 2 x 1, global palette red and blue, LZW codes clear, 0, 1, end. PNM: the same pixels.
  const std::string gif(
      "GIF89a\x02\x00\x01\x00\x80\x00\x00\xFF\x00\x00\x00\x00\xFF"
      "\x2C\x00\x00\x00\x00\x02\x00\x01\x00\x00\x02\x02\x44\x0A\x00\x3B",
      35);
  const struct {
    Loader load;
    const char* name;
    std::string bytes;
    Rows rows;
    std::vector<int> alpha{};
  } cases[] = {
      {LoadBmp,
       "a.bmp",
       test::Bmp32(2, 2, [&](int x, int y) { return argb[y][x]; }),
       {{0x001F, Ref555(0x181008)}, {0x7C00, 0x03E0}},
       {0x80, 0xFF, 0x10, 0x20}},
      {LoadPicture,
       "b.bmp",
       BmpFile(2, -2, 24, DibRows(2, -2, 24, [&](int x, int y) { return rgb[y][x]; })),
       {{0x7C00, 0x03E0}, {0x001F, 0x7FFF}}},
      // Width 3: depth-8 rows are 4 bytes, depth-16 rows 8 (and files at least 52 bytes long).
      {LoadK16,
       "a.k16",
       K16(3, 2, 8, palette, Bin({0, 1, 255, 238, 128, 127, 2, 238})),
       {{p(0), p(1), p(255)}, {p(128), p(127), p(2)}}},
      {LoadK16,
       "b.k16",
       K16(3, 2, 16, "", direct + std::string(8, '\0')),
       {{0x7C00, 0x03E0, 0x001F}, {0x1234, 0x0001, 0x4321}}},
      {LoadK16, "c.k16", K16(2, 1, 24, std::string(24, '\x77'), ""), {{0, 0}}},  // the size only
      {LoadPng,
       "rgb8.png",
       Fixture("rgb8.png"),
       {{Ref555(0xFF8040), Ref555(0x081018)}, {Ref555(0x102030), Ref555(0x405060)}}},
      {LoadPng, "rgb16.png", Fixture("rgb16.png"), {{Ref555(0xAB07F8)}}},
      {LoadPng, "grey1.png", Fixture("grey1.png"), {{0x7FFF, 0, 0x7FFF}}},
      {LoadPng, "grey8.png", Fixture("grey8.png"), {{Ref555(0x808080)}}},
      {LoadPng, "palette2.png", Fixture("palette2.png"), {{0x7C00, Ref555(0x0A14FA), 0x03E0}}},
      {LoadPng, "rgba.png", Fixture("rgba.png"), {{0x7C00, Ref555(0x102030)}}, {128, 255}},
      {LoadGif, "a.gif", gif, {{0x7C00, 0x001F}}},
      {LoadPicture, "a.ppm", "P6\n2 1\n255\n" + Bin({255, 0, 0, 0, 0, 255}), {{0x7C00, 0x001F}}}};
  for (const auto& c : cases) {
    EXPECT_EQ(Load(c.load, c.name, c.bytes), c.rows) << c.name;
    EXPECT_EQ(AlphaPlane(), c.alpha) << c.name;
  }
  EXPECT_EQ(Load(LoadPng, "a.png", Fixture("interlaced.png")),
            Load(LoadPng, "b.png", Fixture("progressive.png")));
  const LoadContext no_decoder{files_, nullptr, {}};
  EXPECT_FALSE(LoadGif(surface_, "a.gif", no_decoder) ||
               LoadPicture(surface_, "a.ppm", no_decoder));
}

// Broken files, and a few bytes declaring billions of pixels: refused from the header by every
// loader, the decoder's included, before anything is allocated for them.
TEST_F(LoaderTest, PicturesRefused) {
  auto with = [](std::string s, std::size_t at, char v) { return s.replace(at, 1, 1, v); };
  const std::string one = BmpFile(1, 1, 24, "abcd");
  const std::string png = Fixture("progressive.png");
  const std::string big_gif(
      "GIF89a\x30\x75\x30\x75\x80\x00\x00\xFF\x00\x00\x00\x00\xFF"
      "\x2C\x00\x00\x00\x00\x30\x75\x30\x75\x00\x02\x02\x44\x0A\x00\x3B",
      35);
  const struct {
    Loader load;
    std::string name;
    std::string bytes;
  } cases[] = {
      {LoadBmp, "53 bytes.bmp", "BM" + std::string(51, '\0')},
      {LoadBmp, "rows missing.bmp", BmpFile(4, 100, 24, std::string(24, '\x40'))},
      {LoadBmp, "absurd width.bmp", BmpFile(1 << 30, 1, 24, std::string(64, '\0'))},
      {LoadBmp, "colour table cut short.bmp", BmpFile(1, 1, 8, "", 0, Table({0xFF0000, 0x00FF00}))},
      {LoadBmp, "pixel offset past the end.bmp", with(one, 10, '\x70')},
      {LoadBmp, "32-bit rows missing.bmp", BmpFile(3, 3, 32, std::string(35, '\0'))},
      {LoadBmp, "12-byte header.bmp", with(one, 14, 12)},
      {LoadBmp, "RLE8 at 24 bits.bmp", BmpFile(1, 1, 24, Bin({1, 0, 0, 1}), 1)},
      {LoadBmp, "top-down.bmp", BmpFile(1, -1, 24, "abcd")},
      {LoadK16, "rows missing.k16", K16(3, 1000, 16, "", std::string(36, '\0'))},
      {LoadK16, "palette cut short.k16", K16(3, 1, 8, std::string(40, '\0'), "")},
      {LoadPng, "palette_key.png", Fixture("palette_key.png")},
      {LoadPng, "grey_alpha.png", Fixture("grey_alpha.png")},
      {LoadPng, "rgb_key.png", Fixture("rgb_key.png")},
      {LoadGif, "not a gif.ppm", "P6\n2 1\n255\n" + Bin({255, 0, 0, 0, 0, 255})},
      {LoadPicture, "huge.png", Fixture("huge.png")},
      {LoadPicture, "huge.gif", big_gif},
      {LoadPicture, "huge.bmp",
       BmpFile(100000, 100000, 8, std::string(900, '\0'), 1, Table({0xFF0000}))}};
  for (const auto& c : cases) EXPECT_TRUE(Load(c.load, c.name, c.bytes).empty()) << c.name;
  for (std::size_t cut :
       {std::size_t{8}, std::size_t{20}, std::size_t{40}, png.size() / 2, png.size() - 13}) {
    EXPECT_TRUE(Load(LoadPng, "cut.png", png.substr(0, cut)).empty()) << cut;
  }
  // A JPEG's frame header comes after other segments and fill bytes; height, then width.
  const std::string jpeg = Bin({0xFF, 0xD8, 0xFF, 0xE0, 0,   4, 0,  0, 0xFF, 0xFF, 0xC2,
                                0,    11,   8,    0,    200, 1, 44, 1, 1,    0x11, 0});
  const auto size =
      ReadPictureSize(std::span(reinterpret_cast<const std::uint8_t*>(jpeg.data()), jpeg.size()));
  ASSERT_TRUE(size);
  EXPECT_EQ(size->width, 300);
  EXPECT_EQ(size->height, 200);
}

// Every loader reads its file through the one reader, which finds packed twins too.
TEST_F(LoaderTest, PackedPicturesLoadThroughTheReader) {
  const std::string bmp = test::Bmp24(1, 1, [](int, int) { return 0xFF0000u; });
  dir_.Write("sub/pic.dpa", PackFile("pic.x", std::vector<std::uint8_t>(bmp.begin(), bmp.end())));
  ASSERT_TRUE(LoadPicture(surface_, "sub\\pic.x", context_));
  EXPECT_EQ(Pixels(), (Rows{{0x7C00}}));
}

}  // namespace
}  // namespace adv
