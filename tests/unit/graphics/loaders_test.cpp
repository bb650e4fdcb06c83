#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "files/packed_file.h"
#include "fixture.h"
#include "graphics/picture_loader.h"
#include "host/picture_header.h"
#include "host/sdl/sdl_image_decoder.h"
#include "support/temp_dir.h"

namespace adv {
namespace {

using test::Fixture;
using Rows = std::vector<std::vector<std::uint32_t>>;

// RGB555 written out from its layout: red in bits 10-14, green 5-9, blue 0-4.
std::uint32_t Ref555(std::uint32_t rgb) {
  return ((rgb >> 19) & 31) << 10 | ((rgb >> 11) & 31) << 5 | ((rgb >> 3) & 31);
}

std::string Bin(std::initializer_list<int> bytes) {
  return std::string(bytes.begin(), bytes.end());
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

// Pictures every loader takes, and what the decoder takes for them (a top-down BMP, PNM).
// BMP: palettes at every depth (indices past a short table black), direct colour and bit fields
// (the unused top bit dropped, 5-6-5 green keeps its top five bits, 4-bit channels widened by
// repeating their bits), run-length data (pixels it skips stay black), alpha. K16: palette,
// direct colour (the top bit dropped), and a header alone giving the size. Rows of several bytes.
TEST_F(LoaderTest, PicturesAccepted) {
  constexpr std::uint32_t W = 0x7FFF, R = 0x7C00, G = 0x03E0, U = 0x001F;
  auto c = [](int i) { return Ref555(0x111111u * i); };
  auto p = [](int i) { return static_cast<std::uint32_t>((i * 131) & 0x7FFF); };
  const struct {
    Loader load;
    const char* name;
    std::string bytes;
    Rows rows;
    std::vector<int> alpha{};
  } cases[] = {
      {LoadBmp, "pal1.bmp", "", {{W, U, W, W, U, U, W, U, W}, {U, U, U, U, U, U, U, U, W}}},
      {LoadBmp, "pal4.bmp", "", {{0x0842, 0x4A52, 0}}},
      {LoadBmp, "pal8.bmp", "", {{0x0842, 0x6739}}},
      {LoadBmp, "pal8_200.bmp", "", {{0x6318, 0}}},
      {LoadBmp, "rgb24.bmp", "", {{0x7E08, 0x08CA, 0}}},
      {LoadBmp, "rgb555.bmp", "", {{0x7C10, 0x03FF, 0x0001}}},
      {LoadBmp, "rgb565.bmp", "", {{R, 0x0200, U}}},
      {LoadBmp, "rgb444.bmp", "", {{R, 0x0220, 0x0002}}},
      {LoadBmp, "rle8.bmp", "", {{0, 0, 0, R}, {0, U, U, 0}, {G, U, R, G}, {R, R, R, R}}},
      {LoadBmp, "rle4.bmp", "", {{c(3), c(4), c(5), c(6), c(7)}, {c(1), c(2), c(1), c(2), c(1)}}},
      {LoadBmp, "argb.bmp", "", {{U, Ref555(0x181008)}, {R, G}}, {0x80, 0xFF, 0x10, 0x20}},
      {LoadPicture, "topdown.bmp", "", {{R, G}, {U, W}}},
      {LoadK16, "pal8.k16", "", {{p(0), p(1), p(255)}, {p(128), p(127), p(2)}}},
      {LoadK16, "rgb16.k16", "", {{R, G, U}, {0x1234, 0x0001, 0x4321}}},
      {LoadK16, "size_only.k16", "", {{0, 0}}},
      {LoadPng,
       "rgb8.png",
       "",
       {{Ref555(0xFF8040), Ref555(0x081018)}, {Ref555(0x102030), Ref555(0x405060)}}},
      {LoadPng, "rgb16.png", "", {{Ref555(0xAB07F8)}}},
      {LoadPng, "grey1.png", "", {{W, 0, W}}},
      {LoadPng, "grey8.png", "", {{Ref555(0x808080)}}},
      {LoadPng, "palette2.png", "", {{R, Ref555(0x0A14FA), G}}},
      {LoadPng, "rgba.png", "", {{R, Ref555(0x102030)}}, {128, 255}},
      {LoadGif, "a.gif", "", {{R, U}}},
      {LoadPicture, "a.ppm", "P6\n2 1\n255\n" + Bin({255, 0, 0, 0, 0, 255}), {{R, U}}}};
  for (const auto& c : cases) {
    EXPECT_EQ(Load(c.load, c.name, c.bytes.empty() ? Fixture(c.name) : c.bytes), c.rows) << c.name;
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
  const std::string png = Fixture("progressive.png");
  const struct {
    Loader load;
    std::string name;
    std::string bytes{};
  } cases[] = {{LoadBmp, "short.bmp"},
               {LoadBmp, "rows_missing.bmp"},
               {LoadBmp, "absurd_width.bmp"},
               {LoadBmp, "table_short.bmp"},
               {LoadBmp, "rows32_missing.bmp"},
               {LoadBmp, "rle8_24bit.bmp"},
               {LoadBmp, "topdown1.bmp"},
               {LoadK16, "rows_missing.k16"},
               {LoadK16, "palette_short.k16"},
               {LoadBmp, "offset_past_end.bmp"},
               {LoadBmp, "header12.bmp"},
               {LoadPicture, "huge.bmp"},
               {LoadPng, "palette_key.png"},
               {LoadPng, "grey_alpha.png"},
               {LoadPng, "rgb_key.png"},
               {LoadGif, "not a gif.ppm", "P6\n2 1\n255\n" + Bin({255, 0, 0, 0, 0, 255})},
               {LoadPicture, "huge.png"},
               {LoadPicture, "huge.gif"}};
  for (const auto& c : cases) {
    EXPECT_TRUE(Load(c.load, c.name, c.bytes.empty() ? Fixture(c.name) : c.bytes).empty())
        << c.name;
  }
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
  const std::string bmp = Fixture("rgb24.bmp");
  dir_.Write("sub/pic.dpa", PackFile("pic.x", std::vector<std::uint8_t>(bmp.begin(), bmp.end())));
  ASSERT_TRUE(LoadPicture(surface_, "sub\\pic.x", context_));
  EXPECT_EQ(Pixels(), (Rows{{0x7E08, 0x08CA, 0}}));
}

}  // namespace
}  // namespace adv
