#include <gtest/gtest.h>
#include <png.h>

#include <cstdint>
#include <string>
#include <vector>

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

TEST_F(LoaderTest, Bmp32KeepsAlpha) {
  const std::uint32_t argb[2][2] = {{0x800000FF, 0xFF181008}, {0x10FF0000, 0x2000FF00}};
  EXPECT_EQ(Load(LoadBmp, "p.bmp", test::Bmp32(2, 2, [&](int x, int y) { return argb[y][x]; })),
            (Rows{{0x001F, Ref555(0x181008)}, {0x7C00, 0x03E0}}));
  EXPECT_EQ(AlphaPlane(), (std::vector<int>{0x80, 0xFF, 0x10, 0x20}));
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

TEST_F(LoaderTest, TopDownBmpIsLeftToTheDecoder) {
  const std::uint32_t rgb[2][2] = {{0xFF0000, 0x00FF00}, {0x0000FF, 0xFFFFFF}};
  dir_.Write("p.bmp",
             BmpFile(2, -2, 24, DibRows(2, -2, 24, [&](int x, int y) { return rgb[y][x]; })));
  EXPECT_FALSE(LoadBmp(surface_, "p.bmp", context_));
  ASSERT_TRUE(LoadPicture(surface_, "p.bmp", context_));
  EXPECT_EQ(Pixels(), (Rows{{0x7C00, 0x03E0}, {0x001F, 0x7FFF}}));
}

TEST_F(LoaderTest, BrokenBmpsAreRefused) {
  auto with = [](std::string s, std::size_t at, char v) { return s.replace(at, 1, 1, v); };
  const std::string one = BmpFile(1, 1, 24, "abcd");
  const std::pair<const char*, std::string> cases[] = {
      {"53 bytes", "BM" + std::string(51, '\0')},
      {"rows missing", BmpFile(4, 100, 24, std::string(24, '\x40'))},
      {"absurd width", BmpFile(1 << 30, 1, 24, std::string(64, '\0'))},
      {"colour table cut short", BmpFile(1, 1, 8, "", 0, Table({0xFF0000, 0x00FF00}))},
      {"pixel offset past the end", with(one, 10, '\x70')},
      {"32-bit rows missing", BmpFile(3, 3, 32, std::string(35, '\0'))},
      {"12-byte header", with(one, 14, 12)},
      {"RLE8 at 24 bits", BmpFile(1, 1, 24, Bin({1, 0, 0, 1}), 1)},
  };
  for (const auto& [what, bytes] : cases)
    EXPECT_TRUE(Load(LoadBmp, "b.bmp", bytes).empty()) << what;
}

// --- K16 ---

std::string K16(int width, int height, int depth, const std::string& palette,
                const std::string& pixels) {
  std::string s = "K16";
  s.append(5, '\0');
  for (int v : {28 + static_cast<int>(palette.size()), 0, width, height, depth}) PutLe(s, v);
  return s + palette + pixels;
}

TEST_F(LoaderTest, K16Depths) {
  std::string palette;
  for (int i = 0; i < 256; ++i) PutLe(palette, 0x8000u | (i * 131), 2);  // top bit dropped
  // Width 3: depth-8 rows are 4 bytes, depth-16 rows 8 bytes.
  auto p = [](int i) { return static_cast<std::uint32_t>((i * 131) & 0x7FFF); };
  EXPECT_EQ(Load(LoadK16, "a.k16", K16(3, 2, 8, palette, Bin({0, 1, 255, 238, 128, 127, 2, 238}))),
            (Rows{{p(0), p(1), p(255)}, {p(128), p(127), p(2)}}));
  std::string direct;
  for (std::uint32_t v : {0x7C00u, 0x03E0u, 0x801Fu, 0xEEEEu, 0x1234u, 0x0001u, 0x4321u, 0xEEEEu}) {
    PutLe(direct, v, 2);
  }
  // Files are at least 52 bytes long: pad this one.
  EXPECT_EQ(Load(LoadK16, "b.k16", K16(3, 2, 16, "", direct + std::string(8, '\0'))),
            (Rows{{0x7C00, 0x03E0, 0x001F}, {0x1234, 0x0001, 0x4321}}));
  // Other depths: the size and nothing more.
  EXPECT_EQ(Load(LoadK16, "c.k16", K16(2, 1, 24, std::string(24, '\x77'), "")), (Rows{{0, 0}}));
  EXPECT_TRUE(Load(LoadK16, "d.k16", K16(3, 1000, 16, "", direct + std::string(20, '\0'))).empty());
  EXPECT_TRUE(Load(LoadK16, "e.k16", K16(3, 1, 8, std::string(40, '\0'), "")).empty());
}

// --- PNG, written with libpng ---

struct Png {
  int width = 0;
  int height = 0;
  int colour_type = PNG_COLOR_TYPE_RGB;
  int depth = 8;
  std::vector<std::string> rows{};  // packed as stored
  std::vector<png_color> palette{};
  std::vector<png_byte> palette_alpha{};
  bool rgb_key = false;
  bool interlaced = false;
};

std::string PngFile(const Png& p) {
  std::string out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_set_write_fn(
      png, &out,
      [](png_structp s, png_bytep d, png_size_t n) {
        static_cast<std::string*>(png_get_io_ptr(s))->append(reinterpret_cast<char*>(d), n);
      },
      nullptr);
  png_set_IHDR(png, info, p.width, p.height, p.depth, p.colour_type,
               p.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (!p.palette.empty()) png_set_PLTE(png, info, p.palette.data(), p.palette.size());
  if (!p.palette_alpha.empty()) {
    png_set_tRNS(png, info, p.palette_alpha.data(), p.palette_alpha.size(), nullptr);
  }
  png_color_16 key{};
  if (p.rgb_key) png_set_tRNS(png, info, nullptr, 0, &key);
  png_write_info(png, info);
  std::vector<png_bytep> rows;
  for (const auto& r : p.rows)
    rows.push_back(reinterpret_cast<png_bytep>(const_cast<char*>(r.data())));
  png_write_image(png, rows.data());
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return out;
}

// An RGB picture of varied pixels.
Png Varied(int width, int height) {
  Png p{width, height, PNG_COLOR_TYPE_RGB, 8};
  for (int y = 0; y < height; ++y) {
    p.rows.emplace_back();
    for (int i = 0; i < width * 3; ++i) p.rows.back().push_back(static_cast<char>(y * 7 + i * i));
  }
  return p;
}

TEST_F(LoaderTest, PngColourTypesAccepted) {
  struct Case {
    const char* what;
    Png png;
    Rows expected;
    std::vector<int> alpha{};
  };
  std::vector<Case> cases = {
      {"rgb 8",
       {2, 2, PNG_COLOR_TYPE_RGB, 8, {"\xFF\x80\x40\x08\x10\x18", "\x10\x20\x30\x40\x50\x60"}},
       {{Ref555(0xFF8040), Ref555(0x081018)}, {Ref555(0x102030), Ref555(0x405060)}}},
      {"rgb 16",
       {1, 1, PNG_COLOR_TYPE_RGB, 16, {Bin({0xAB, 0xCD, 7, 0xFF, 0xF8, 0})}},
       {{Ref555(0xAB07F8)}}},
      {"grey 1", {3, 1, PNG_COLOR_TYPE_GRAY, 1, {"\xA0"}}, {{0x7FFF, 0, 0x7FFF}}},
      {"grey 8", {1, 1, PNG_COLOR_TYPE_GRAY, 8, {"\x80"}}, {{Ref555(0x808080)}}},
      {"palette",
       {3, 1, PNG_COLOR_TYPE_PALETTE, 2, {"\x24"}},
       {{0x7C00, Ref555(0x0A14FA), 0x03E0}}},
      {"rgba",
       {2, 1, PNG_COLOR_TYPE_RGB_ALPHA, 8, {Bin({255, 0, 0, 128, 16, 32, 48, 255})}},
       {{0x7C00, Ref555(0x102030)}},
       {128, 255}},
  };
  cases[4].png.palette = {{255, 0, 0}, {0, 255, 0}, {10, 20, 250}};  // indices 0, 2, 1
  for (const auto& c : cases) {
    EXPECT_EQ(Load(LoadPng, "p.png", PngFile(c.png)), c.expected) << c.what;
    EXPECT_EQ(AlphaPlane(), c.alpha) << c.what;
  }
  Png interlaced = Varied(9, 9);
  const Rows progressive = Load(LoadPng, "p.png", PngFile(interlaced));
  interlaced.interlaced = true;
  EXPECT_EQ(Load(LoadPng, "p.png", PngFile(interlaced)), progressive);
}

TEST_F(LoaderTest, PngsRefused) {
  Png keyed{1, 1, PNG_COLOR_TYPE_PALETTE, 8, {Bin({0})}, {{1, 2, 3}}, {0}};
  Png rgb_key{1, 1, PNG_COLOR_TYPE_RGB, 8, {Bin({0, 0, 0})}};
  rgb_key.rgb_key = true;
  const std::string bytes = PngFile(Varied(64, 64));
  std::vector<std::pair<std::string, std::string>> cases = {
      {"transparent palette entry", PngFile(keyed)},
      {"grey with alpha", PngFile({1, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 8, {"\x80\x80"}})},
      {"rgb key", PngFile(rgb_key)},
  };
  for (std::size_t cut :
       {std::size_t{8}, std::size_t{20}, std::size_t{40}, bytes.size() / 2, bytes.size() - 13}) {
    cases.emplace_back("cut at " + std::to_string(cut), bytes.substr(0, cut));
  }
  for (const auto& [what, png] : cases) EXPECT_TRUE(Load(LoadPng, "p.png", png).empty()) << what;
}

// --- Through the decoder and the file reader ---

TEST_F(LoaderTest, OtherFormatsGoThroughTheDecoder) {
  // GIF: 2 x 1, global palette red and blue, LZW codes clear, 0, 1, end. PNM: the same pixels.
  const std::string gif(
      "GIF89a\x02\x00\x01\x00\x80\x00\x00"
      "\xFF\x00\x00\x00\x00\xFF"
      "\x2C\x00\x00\x00\x00\x02\x00\x01\x00\x00"
      "\x02\x02\x44\x0A\x00\x3B",
      35);
  const std::string pnm = "P6\n2 1\n255\n" + Bin({255, 0, 0, 0, 0, 255});
  EXPECT_EQ(Load(LoadGif, "a.gif", gif), (Rows{{0x7C00, 0x001F}}));
  EXPECT_TRUE(Load(LoadGif, "b.ppm", pnm).empty());
  EXPECT_EQ(Load(LoadPicture, "b.ppm", pnm), (Rows{{0x7C00, 0x001F}}));
  const LoadContext no_decoder{files_, nullptr, {}};
  EXPECT_FALSE(LoadGif(surface_, "a.gif", no_decoder) ||
               LoadPicture(surface_, "b.ppm", no_decoder));
}

// A few bytes declaring billions of pixels: refused from the header by every loader, the
// decoder's included, before anything is allocated for them.
TEST_F(LoaderTest, PictureBombsAreRefusedFromTheirHeaders) {
  std::string png = PngFile({1, 1, PNG_COLOR_TYPE_RGB, 8, {Bin({255, 0, 0})}});
  png.replace(16, 8, Bin({0, 1, 0x86, 0xA0, 0, 1, 0x86, 0xA0}));  // 100000 x 100000
  std::uint32_t crc = 0xFFFFFFFF;  // the header's CRC-32, so that only its size is a lie
  for (unsigned char b : png.substr(12, 17)) {
    crc ^= b;
    for (int k = 0; k < 8; ++k) crc = (crc & 1) ? 0xEDB88320 ^ (crc >> 1) : crc >> 1;
  }
  crc = ~crc;
  png.replace(29, 4,
              Bin({int(crc >> 24), int(crc >> 16 & 255), int(crc >> 8 & 255), int(crc & 255)}));
  std::string gif(
      "GIF89a\x30\x75\x30\x75\x80\x00\x00\xFF\x00\x00\x00\x00\xFF"
      "\x2C\x00\x00\x00\x00\x30\x75\x30\x75\x00\x02\x02\x44\x0A\x00\x3B",
      35);
  const std::string bmp = BmpFile(100000, 100000, 8, std::string(900, '\0'), 1, Table({0xFF0000}));
  for (const auto& [name, bytes] : {std::pair{"p.png", png}, {"g.gif", gif}, {"b.bmp", bmp}}) {
    EXPECT_TRUE(Load(LoadPicture, name, bytes).empty()) << name;
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
