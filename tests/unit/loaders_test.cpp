#include <SDL.h>
#include <SDL_image.h>
#include <gtest/gtest.h>
#include <png.h>

#include <cstdint>
#include <string>
#include <vector>

#include "graphics/packed_file.h"
#include "graphics/picture_loader.h"
#include "host/sdl/sdl_image_decoder.h"
#include "support/temp_dir.h"

namespace adv {
namespace {

// RGB555 written out from its layout: red in bits 10-14, green 5-9, blue 0-4.
std::uint16_t Ref555(unsigned r, unsigned g, unsigned b) {
  return static_cast<std::uint16_t>(((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3));
}
std::uint16_t Ref555(std::uint32_t rgb) {
  return Ref555(rgb >> 16, (rgb >> 8) & 255, rgb & 255);
}

std::string Bin(std::initializer_list<int> bytes) {
  std::string s;
  for (int b : bytes) s.push_back(static_cast<char>(b));
  return s;
}

void Put16(std::string& s, std::uint32_t v) {
  s.push_back(static_cast<char>(v));
  s.push_back(static_cast<char>(v >> 8));
}
void Put32(std::string& s, std::uint32_t v) {
  Put16(s, v & 0xFFFF);
  Put16(s, v >> 16);
}

// --- BMP files written field by field ---

struct Bmp {
  Bmp(int w, int h, int b, std::uint32_t c = 0, std::uint32_t used = 0)
      : width(w), height(h), bits(b), compression(c), colours_used(used) {}
  int width = 0;
  int height = 0;
  int bits = 24;
  std::uint32_t compression = 0;
  std::uint32_t colours_used = 0;
  std::vector<std::uint32_t> table;  // 0xRRGGBB
  std::vector<std::uint32_t> masks;  // after the header
  std::string pixels;
};

std::string MakeBmp(const Bmp& b) {
  std::string info;
  Put32(info, 40);
  Put32(info, static_cast<std::uint32_t>(b.width));
  Put32(info, static_cast<std::uint32_t>(b.height));
  Put16(info, 1);
  Put16(info, static_cast<std::uint32_t>(b.bits));
  Put32(info, b.compression);
  Put32(info, static_cast<std::uint32_t>(b.pixels.size()));
  Put32(info, 2835);
  Put32(info, 2835);
  Put32(info, b.colours_used);
  Put32(info, 0);
  for (auto m : b.masks) Put32(info, m);
  for (auto c : b.table) Put32(info, c);  // stored blue, green, red, 0
  std::string file = "BM";
  Put32(file, static_cast<std::uint32_t>(14 + info.size() + b.pixels.size()));
  Put32(file, 0);
  Put32(file, static_cast<std::uint32_t>(14 + info.size()));
  return file + info + b.pixels;
}

// Rows given top row first, stored bottom-up and padded to 4 bytes. 24-bit values are 0xRRGGBB.
std::string PackRows(int width, int bits, const std::vector<std::vector<std::uint32_t>>& rows) {
  const std::size_t stride = (static_cast<std::size_t>(width) * bits + 31) / 32 * 4;
  std::string out;
  for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
    std::string r(stride, '\0');
    for (int x = 0; x < width; ++x) {
      std::uint32_t v = (*row)[x];
      if (bits < 8) {
        const int shift = 8 - bits - (x * bits) % 8;
        r[x * bits / 8] = static_cast<char>(r[x * bits / 8] | (v << shift));
      } else {
        for (int i = 0; i < bits / 8; ++i) r[x * bits / 8 + i] = static_cast<char>(v >> (8 * i));
      }
    }
    out += r;
  }
  return out;
}

class LoaderTest : public ::testing::Test {
 protected:
  LoaderTest() { files_.SetBase(dir_.path()); }

  // The surface's pixels, top row first.
  static std::vector<std::vector<std::uint32_t>> Pixels(const CDrawImage& s) {
    std::vector<std::vector<std::uint32_t>> rows(s.Height());
    for (int y = 0; y < s.Height(); ++y) {
      for (int x = 0; x < s.Width(); ++x) rows[y].push_back(s.GetPixel(x, y));
    }
    return rows;
  }

  test::TempDir dir_;
  FileSystem files_;
  SdlImageDecoder decoder_;
  LoadContext context_{files_, &decoder_, dir_.Path("no-plugins")};
  CDrawImage surface_;
};

TEST_F(LoaderTest, BmpPaletteDepths) {
  for (int bits : {1, 4, 8}) {
    const int entries = 1 << bits;
    Bmp b(5, 3, bits);
    for (int i = 0; i < entries; ++i)
      b.table.push_back((0x102030u * (i + 1) + 0x0F0000u * (i & 1)) & 0xFFFFFF);
    std::vector<std::vector<std::uint32_t>> indices(3), expected(3);
    for (int y = 0; y < 3; ++y) {
      for (int x = 0; x < 5; ++x) {
        indices[y].push_back((x * 7 + y * 3) % entries);
        expected[y].push_back(Ref555(b.table[indices[y][x]]));
      }
    }
    b.pixels = PackRows(5, bits, indices);
    dir_.Write("p.bmp", MakeBmp(b));
    ASSERT_TRUE(LoadBmp(surface_, "p.bmp", context_)) << bits;
    EXPECT_EQ(Pixels(surface_), expected) << bits;
  }
}

TEST_F(LoaderTest, BmpIndicesPastTheTableAreBlack) {
  Bmp b(6, 1, 8, 0, 3);
  b.table = {0xFFFFFF, 0xFF0000, 0x00FF00};
  b.pixels = PackRows(6, 8, {{0, 1, 2, 3, 200, 255}});
  dir_.Write("p.bmp", MakeBmp(b));
  ASSERT_TRUE(LoadBmp(surface_, "p.bmp", context_));
  EXPECT_EQ(Pixels(surface_),
            (std::vector<std::vector<std::uint32_t>>{{0x7FFF, 0x7C00, 0x03E0, 0, 0, 0}}));
}

TEST_F(LoaderTest, BmpDirectColourDepths) {
  const std::vector<std::uint32_t> colours = {0xFF8040, 0x00FFFF, 0x123456, 0xF8F8F8, 0x070707};
  std::vector<std::vector<std::uint32_t>> expected(2);
  for (int y = 0; y < 2; ++y) {
    for (auto c : colours) expected[y].push_back(Ref555(y ? c ^ 0xFFFFFF : c));
  }
  auto rows = [&](auto encode) {
    std::vector<std::vector<std::uint32_t>> r(2);
    for (int y = 0; y < 2; ++y) {
      for (auto c : colours) r[y].push_back(encode(y ? c ^ 0xFFFFFF : c));
    }
    return r;
  };
  // 24 bits.
  Bmp b24(5, 2, 24);
  b24.pixels = PackRows(5, 24, rows([](std::uint32_t c) { return c; }));
  dir_.Write("a.bmp", MakeBmp(b24));
  ASSERT_TRUE(LoadBmp(surface_, "a.bmp", context_));
  EXPECT_EQ(Pixels(surface_), expected);

  // 16 bits, plain 5-5-5 (the unused top bit set to show it is dropped).
  Bmp b555(5, 2, 16);
  b555.pixels = PackRows(5, 16, rows([](std::uint32_t c) { return 0x8000u | Ref555(c); }));
  dir_.Write("b.bmp", MakeBmp(b555));
  ASSERT_TRUE(LoadBmp(surface_, "b.bmp", context_));
  EXPECT_EQ(Pixels(surface_), expected);

  // 16 bits, 5-6-5 bit fields: green keeps its top five bits.
  Bmp b565(5, 2, 16, 3);
  b565.masks = {0xF800, 0x07E0, 0x001F};
  b565.pixels = PackRows(5, 16, rows([](std::uint32_t c) {
                           return (((c >> 16) >> 3) << 11) | ((((c >> 8) & 255) >> 2) << 5) |
                                  ((c & 255) >> 3);
                         }));
  dir_.Write("c.bmp", MakeBmp(b565));
  ASSERT_TRUE(LoadBmp(surface_, "c.bmp", context_));
  EXPECT_EQ(Pixels(surface_), expected);
}

TEST_F(LoaderTest, BmpNarrowBitFieldsRepeatTheirBits) {
  // 4-4-4: a 4-bit value v becomes the 5-bit value (v << 1) | (v >> 3).
  Bmp b(3, 1, 16, 3);
  b.masks = {0x0F00, 0x00F0, 0x000F};
  b.pixels = PackRows(3, 16, {{0x0F80, 0x0008, 0x0000}});
  dir_.Write("p.bmp", MakeBmp(b));
  ASSERT_TRUE(LoadBmp(surface_, "p.bmp", context_));
  EXPECT_EQ(surface_.GetPixel(0, 0), (31 << 10) | (17 << 5) | 0);
  EXPECT_EQ(surface_.GetPixel(1, 0), 17);
  EXPECT_EQ(surface_.GetPixel(2, 0), 0);
}

TEST_F(LoaderTest, Bmp32KeepsAlpha) {
  Bmp b(2, 2, 32);
  // B, G, R, A per pixel; the bottom row comes first.
  b.pixels = std::string(
      "\x00\x00\xFF\x10"
      "\x00\xFF\x00\x20"
      "\xFF\x00\x00\x80"
      "\x08\x10\x18\xFF",
      16);
  dir_.Write("p.bmp", MakeBmp(b));
  ASSERT_TRUE(LoadBmp(surface_, "p.bmp", context_));
  ASSERT_NE(surface_.Alpha(), nullptr);
  EXPECT_EQ(Pixels(surface_), (std::vector<std::vector<std::uint32_t>>{{0x001F, Ref555(0x181008)},
                                                                       {0x7C00, 0x03E0}}));
  const std::uint8_t* a = surface_.Alpha();
  EXPECT_EQ((std::vector<int>{a[0], a[1], a[2], a[3]}), (std::vector<int>{0x80, 0xFF, 0x10, 0x20}));
}

TEST_F(LoaderTest, BmpRle8) {
  Bmp b(4, 4, 8, 1, 4);
  b.table = {0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF};
  b.pixels = Bin({
      4, 1, 0, 0,        // bottom row: four of index 1, end of line
      0, 3, 2, 3, 1, 0,  // absolute 2, 3, 1 and a pad byte
      1, 2, 0, 0,        // one of index 2, end of line
      0, 2, 1, 0, 2, 3,  // delta right 1; two of index 3
      0, 2, 0, 1, 1, 1,  // delta up 1 (x stays at 3); one of index 1
      0, 1,              // end of bitmap
  });
  dir_.Write("p.bmp", MakeBmp(b));
  ASSERT_TRUE(LoadBmp(surface_, "p.bmp", context_));
  const std::uint32_t r = 0x7C00, g = 0x03E0, u = 0x001F;
  // Pixels the data skips stay black (index 0 here is white).
  EXPECT_EQ(Pixels(surface_), (std::vector<std::vector<std::uint32_t>>{
                                  {0, 0, 0, r}, {0, u, u, 0}, {g, u, r, g}, {r, r, r, r}}));
}

TEST_F(LoaderTest, BmpRle4) {
  Bmp b(5, 2, 4, 2);
  for (int i = 0; i < 16; ++i) b.table.push_back(0x110000u * i + 0x000011u * (15 - i));
  b.pixels = Bin({
      5, 0x12, 0, 0,              // 1, 2, 1, 2, 1; end of line
      0, 5, 0x34, 0x56, 0x70, 0,  // absolute 3, 4, 5, 6, 7 (three bytes and a pad)
      0, 1,                       // end of bitmap
  });
  dir_.Write("p.bmp", MakeBmp(b));
  ASSERT_TRUE(LoadBmp(surface_, "p.bmp", context_));
  auto c = [&](int i) { return std::uint32_t{Ref555(b.table[i])}; };
  EXPECT_EQ(Pixels(surface_), (std::vector<std::vector<std::uint32_t>>{
                                  {c(3), c(4), c(5), c(6), c(7)}, {c(1), c(2), c(1), c(2), c(1)}}));
}

TEST_F(LoaderTest, TopDownBmpIsLeftToTheDecoder) {
  Bmp b(2, -2, 24);
  // Top-down: the first stored row is the top.
  b.pixels = std::string(
      "\x00\x00\xFF"
      "\x00\xFF\x00"
      "\x00\x00"
      "\xFF\x00\x00"
      "\xFF\xFF\xFF"
      "\x00\x00",
      16);
  dir_.Write("p.bmp", MakeBmp(b));
  EXPECT_FALSE(LoadBmp(surface_, "p.bmp", context_));
  ASSERT_TRUE(LoadPicture(surface_, "p.bmp", context_));
  EXPECT_EQ(Pixels(surface_),
            (std::vector<std::vector<std::uint32_t>>{{0x7C00, 0x03E0}, {0x001F, 0x7FFF}}));
}

TEST_F(LoaderTest, BrokenBmpsAreRefused) {
  std::vector<std::pair<const char*, std::string>> cases;
  cases.emplace_back("53 bytes", "BM" + std::string(51, '\0'));
  Bmp tall(4, 100, 24);
  tall.pixels = std::string(2 * 12, '\x40');
  cases.emplace_back("rows missing", MakeBmp(tall));
  Bmp wide(1 << 30, 1, 24);
  wide.pixels = std::string(64, '\0');
  cases.emplace_back("absurd width", MakeBmp(wide));
  Bmp table(1, 1, 8);
  table.table = {0xFF0000, 0x00FF00};  // 256 entries expected, file ends first
  cases.emplace_back("colour table cut short", MakeBmp(table));
  Bmp offset(1, 1, 24);
  offset.pixels = "abcd";
  std::string moved = MakeBmp(offset);
  moved[10] = '\x70';
  cases.emplace_back("pixel offset past the end", moved);
  Bmp alpha(3, 3, 32);
  alpha.pixels = std::string(35, '\0');
  cases.emplace_back("32-bit rows missing", MakeBmp(alpha));
  Bmp core(1, 1, 24);
  core.pixels = "abcd";
  std::string os2 = MakeBmp(core);
  os2[14] = 12;
  cases.emplace_back("12-byte header", os2);
  Bmp rle24(1, 1, 24, 1);
  rle24.pixels = std::string("\x01\x00\x00\x01", 4);
  cases.emplace_back("RLE8 at 24 bits", MakeBmp(rle24));
  for (const auto& [what, bytes] : cases) {
    dir_.Write("bad.bmp", bytes);
    EXPECT_FALSE(LoadBmp(surface_, "bad.bmp", context_)) << what;
  }
}

// --- K16 ---

std::string MakeK16(int width, int height, int depth, const std::string& palette,
                    const std::string& pixels) {
  std::string s = "K16";
  s.append(5, '\0');
  Put32(s, static_cast<std::uint32_t>(28 + palette.size()));
  Put32(s, 0);
  Put32(s, static_cast<std::uint32_t>(width));
  Put32(s, static_cast<std::uint32_t>(height));
  Put32(s, static_cast<std::uint32_t>(depth));
  return s + palette + pixels;
}

TEST_F(LoaderTest, K16Depths) {
  std::string palette;
  for (int i = 0; i < 256; ++i) Put16(palette, 0x8000u | (i * 131));  // top bit dropped on load
  // Width 3: depth-8 rows are 4 bytes, depth-16 rows 8 bytes.
  std::string indices(
      "\x00\x01\xFF\xEE"
      "\x80\x7F\x02\xEE",
      8);
  dir_.Write("a.k16", MakeK16(3, 2, 8, palette, indices));
  ASSERT_TRUE(LoadK16(surface_, "a.k16", context_));
  auto p = [](int i) { return static_cast<std::uint32_t>((i * 131) & 0x7FFF); };
  EXPECT_EQ(Pixels(surface_), (std::vector<std::vector<std::uint32_t>>{{p(0), p(1), p(255)},
                                                                       {p(128), p(127), p(2)}}));

  std::string direct;
  for (std::uint32_t v : {0x7C00u, 0x03E0u, 0x801Fu, 0xEEEEu, 0x1234u, 0x0001u, 0x4321u, 0xEEEEu}) {
    Put16(direct, v);
  }
  // Files are at least 52 bytes long: pad this one.
  dir_.Write("b.k16", MakeK16(3, 2, 16, "", direct + std::string(8, '\0')));
  ASSERT_TRUE(LoadK16(surface_, "b.k16", context_));
  EXPECT_EQ(Pixels(surface_), (std::vector<std::vector<std::uint32_t>>{{0x7C00, 0x03E0, 0x001F},
                                                                       {0x1234, 0x0001, 0x4321}}));

  dir_.Write("c.k16", MakeK16(7, 5, 24, std::string(24, '\x77'), ""));
  ASSERT_TRUE(LoadK16(surface_, "c.k16", context_));
  EXPECT_EQ(surface_.Width(), 7);
  EXPECT_EQ(surface_.Height(), 5);

  dir_.Write("d.k16", MakeK16(3, 1000, 16, "", direct + std::string(20, '\0')));
  EXPECT_FALSE(LoadK16(surface_, "d.k16", context_));
  dir_.Write("e.k16", MakeK16(3, 1, 8, std::string(40, '\0'), ""));  // palette cut short
  EXPECT_FALSE(LoadK16(surface_, "e.k16", context_));
}

// --- PNG written with libpng ---

struct Png {
  Png(int w, int h, int type, int bit_depth, std::vector<std::string> r = {})
      : width(w), height(h), colour_type(type), depth(bit_depth), rows(std::move(r)) {}
  int width = 0;
  int height = 0;
  int colour_type = PNG_COLOR_TYPE_RGB;
  int depth = 8;
  std::vector<std::string> rows;  // packed as stored
  std::vector<png_color> palette;
  std::vector<png_byte> palette_alpha;
  bool rgb_key = false;
  bool interlaced = false;
};

std::string MakePng(const Png& p) {
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
  if (!p.palette.empty()) {
    png_set_PLTE(png, info, p.palette.data(), static_cast<int>(p.palette.size()));
  }
  if (!p.palette_alpha.empty()) {
    png_set_tRNS(png, info, p.palette_alpha.data(), static_cast<int>(p.palette_alpha.size()),
                 nullptr);
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

TEST_F(LoaderTest, PngColourTypesAccepted) {
  using Rows = std::vector<std::vector<std::uint32_t>>;
  struct Case {
    const char* what;
    Png png;
    Rows expected;
  };
  std::vector<Case> cases;
  cases.push_back({"rgb 8",
                   {2, 1, PNG_COLOR_TYPE_RGB, 8, {std::string("\xFF\x80\x40\x08\x10\x18", 6)}},
                   {{Ref555(255, 128, 64), Ref555(8, 16, 24)}}});
  cases.push_back({"rgb 16",
                   {1, 1, PNG_COLOR_TYPE_RGB, 16, {std::string("\xAB\xCD\x07\xFF\xF8\x00", 6)}},
                   {{Ref555(0xAB, 0x07, 0xF8)}}});
  cases.push_back(
      {"grey 1", {3, 1, PNG_COLOR_TYPE_GRAY, 1, {std::string("\xA0", 1)}}, {{0x7FFF, 0, 0x7FFF}}});
  cases.push_back({"grey 8",
                   {1, 1, PNG_COLOR_TYPE_GRAY, 8, {std::string("\x80", 1)}},
                   {{Ref555(128, 128, 128)}}});
  Png palette{3, 1, PNG_COLOR_TYPE_PALETTE, 2, {std::string("\x24", 1)}};  // indices 0, 2, 1
  palette.palette = {{255, 0, 0}, {0, 255, 0}, {10, 20, 250}};
  cases.push_back({"palette", palette, {{0x7C00, Ref555(10, 20, 250), 0x03E0}}});
  Png interlaced{9, 9, PNG_COLOR_TYPE_RGB, 8};
  Rows grid(9);
  for (int y = 0; y < 9; ++y) {
    std::string row;
    for (int x = 0; x < 9; ++x) {
      unsigned r = x * 28, g = y * 28, b = (x * y * 3) & 255;
      row += {static_cast<char>(r), static_cast<char>(g), static_cast<char>(b)};
      grid[y].push_back(Ref555(r, g, b));
    }
    interlaced.rows.push_back(row);
  }
  interlaced.interlaced = true;
  cases.push_back({"interlaced", interlaced, grid});
  for (const auto& c : cases) {
    dir_.Write("p.png", MakePng(c.png));
    ASSERT_TRUE(LoadPng(surface_, "p.png", context_)) << c.what;
    EXPECT_EQ(Pixels(surface_), c.expected) << c.what;
    EXPECT_EQ(surface_.Alpha(), nullptr) << c.what;
  }
}

TEST_F(LoaderTest, PngWithAlphaChannel) {
  Png rgba{2, 1, PNG_COLOR_TYPE_RGB_ALPHA, 8, {std::string("\xFF\x00\x00\x80\x10\x20\x30\xFF", 8)}};
  dir_.Write("p.png", MakePng(rgba));
  ASSERT_TRUE(LoadPng(surface_, "p.png", context_));
  EXPECT_EQ(surface_.GetPixel(0, 0), 0x7C00);
  EXPECT_EQ(surface_.GetPixel(1, 0), Ref555(0x10, 0x20, 0x30));
  ASSERT_NE(surface_.Alpha(), nullptr);
  EXPECT_EQ(surface_.Alpha()[0], 128);
  EXPECT_EQ(surface_.Alpha()[1], 255);
}

TEST_F(LoaderTest, PngTransparencyFormsRefused) {
  Png keyed{1, 1, PNG_COLOR_TYPE_PALETTE, 8, {std::string("\x00", 1)}};
  keyed.palette = {{1, 2, 3}};
  keyed.palette_alpha = {0};
  Png grey_alpha{1, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 8, {std::string("\x80\x80", 2)}};
  Png rgb_key{1, 1, PNG_COLOR_TYPE_RGB, 8, {std::string("\x00\x00\x00", 3)}};
  rgb_key.rgb_key = true;
  for (const Png* p : {&keyed, &grey_alpha, &rgb_key}) {
    dir_.Write("p.png", MakePng(*p));
    EXPECT_FALSE(LoadPng(surface_, "p.png", context_)) << p->colour_type;
  }
}

TEST_F(LoaderTest, BrokenPngsAreRefused) {
  Png big{64, 64, PNG_COLOR_TYPE_RGB, 8};
  for (int y = 0; y < 64; ++y) {
    std::string row;
    for (int i = 0; i < 64 * 3; ++i) row.push_back(static_cast<char>(y * 7 + i * i));
    big.rows.push_back(row);
  }
  std::string bytes = MakePng(big);
  for (std::size_t cut :
       {std::size_t{8}, std::size_t{20}, std::size_t{40}, bytes.size() / 2, bytes.size() - 13}) {
    dir_.Write("p.png", bytes.substr(0, cut));
    EXPECT_FALSE(LoadPng(surface_, "p.png", context_)) << cut;
  }
  // A header claiming 30000 x 30000 pixels over a few bytes of data.
  std::string lying = bytes;
  lying[16] = lying[20] = 0;
  lying[17] = lying[21] = 0;
  lying[18] = lying[22] = 0x75;
  lying[19] = lying[23] = 0x30;
  dir_.Write("p.png", lying);
  EXPECT_FALSE(LoadPng(surface_, "p.png", context_));
}

// --- Through the decoder ---

TEST_F(LoaderTest, GifAndJpegGoThroughTheDecoder) {
  // 2 x 1, global palette red and blue, LZW codes clear, 0, 1, end.
  const std::string gif(
      "GIF89a\x02\x00\x01\x00\x80\x00\x00"
      "\xFF\x00\x00\x00\x00\xFF"
      "\x2C\x00\x00\x00\x00\x02\x00\x01\x00\x00"
      "\x02\x02\x44\x0A\x00\x3B",
      35);
  dir_.Write("a.gif", gif);
  ASSERT_TRUE(LoadGif(surface_, "a.gif", context_));
  EXPECT_EQ(Pixels(surface_), (std::vector<std::vector<std::uint32_t>>{{0x7C00, 0x001F}}));
  LoadContext no_decoder{files_, nullptr, {}};
  EXPECT_FALSE(LoadGif(surface_, "a.gif", no_decoder));

  SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, 16, 8, 24, SDL_PIXELFORMAT_RGB24);
  ASSERT_NE(s, nullptr);
  SDL_FillRect(s, nullptr, SDL_MapRGB(s->format, 200, 100, 48));
  ASSERT_EQ(IMG_SaveJPG(s, dir_.Path("b.jpg").c_str(), 95), 0) << IMG_GetError();
  SDL_FreeSurface(s);
  EXPECT_FALSE(LoadGif(surface_, "b.jpg", context_));
  ASSERT_TRUE(LoadPicture(surface_, "b.jpg", context_));
  ASSERT_EQ(surface_.Width(), 16);
  ASSERT_EQ(surface_.Height(), 8);
  // Lossy: each five-bit channel within one step of the original.
  const std::uint16_t want = Ref555(200, 100, 48);
  const std::uint16_t got = surface_.GetPixel(7, 3);
  for (int shift : {0, 5, 10}) {
    EXPECT_NEAR((got >> shift) & 31, (want >> shift) & 31, 1) << shift;
  }
}

TEST_F(LoaderTest, PackedPicturesLoadThroughTheReader) {
  Bmp b(1, 2, 24);
  b.pixels = PackRows(1, 24, {{0x00FF00}, {0xFF0000}});
  std::string bmp = MakeBmp(b);
  dir_.Write("pic.dpa", PackFile("pic.bmp", std::vector<std::uint8_t>(bmp.begin(), bmp.end())));
  ASSERT_TRUE(LoadBmp(surface_, "pic.bmp", context_));
  EXPECT_EQ(Pixels(surface_), (std::vector<std::vector<std::uint32_t>>{{0x03E0}, {0x7C00}}));

  std::string png =
      MakePng({1, 1, PNG_COLOR_TYPE_RGB_ALPHA, 8, {std::string("\x00\x00\xFF\x40", 4)}});
  dir_.Write("sub/img.dpa", PackFile("img.png", std::vector<std::uint8_t>(png.begin(), png.end())));
  ASSERT_TRUE(LoadPng(surface_, "sub\\img.png", context_));
  EXPECT_EQ(surface_.GetPixel(0, 0), 0x001F);
  EXPECT_EQ(surface_.Alpha()[0], 0x40);

  EXPECT_FALSE(LoadPicture(surface_, "missing.bmp", context_));
}

}  // namespace
}  // namespace adv
