#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "files/packed_file.h"
#include "fixture.h"
#include "graphics/cursor_file.h"
#include "graphics/picture_loader.h"
#include "host/picture_header.h"
#include "host/sdl/sdl_image_decoder.h"
#include "support/bmp_writer.h"
#include "support/temp_dir.h"

namespace adv {
namespace {

using test::Fixture;
using test::WithLe;
using Rows = std::vector<std::vector<std::uint32_t>>;

// RGB555 written out from its layout: red in bits 10-14, green 5-9, blue 0-4.
std::uint32_t F(std::uint32_t rgb) {
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
  auto c = [](int i) { return F(0x111111u * i); };
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
      {LoadBmp, "argb.bmp", "", {{U, F(0x181008)}, {R, G}}, {0x80, 0xFF, 0x10, 0x20}},
      {LoadPicture, "topdown.bmp", "", {{R, G}, {U, W}}},
      {LoadK16, "pal8.k16", "", {{p(0), p(1), p(255)}, {p(128), p(127), p(2)}}},
      {LoadK16, "rgb16.k16", "", {{R, G, U}, {0x1234, 0x0001, 0x4321}}},
      {LoadK16, "size_only.k16", "", {{0, 0}}},
      {LoadPng, "rgb8.png", "", {{F(0xFF8040), F(0x081018)}, {F(0x102030), F(0x405060)}}},
      {LoadPng, "rgb16.png", "", {{F(0xAB07F8)}}},
      {LoadPng, "grey1.png", "", {{W, 0, W}}},
      {LoadPng, "grey8.png", "", {{F(0x808080)}}},
      {LoadPng, "palette2.png", "", {{R, F(0x0A14FA), G}}},
      {LoadPng, "rgba.png", "", {{R, F(0x102030)}}, {128, 255}},
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
  const std::pair<Loader, std::vector<const char*>> cases[] = {
      {LoadBmp,
       {"short.bmp", "rows_missing.bmp", "absurd_width.bmp", "table_short.bmp",
        "rows32_missing.bmp", "rle8_24bit.bmp", "topdown1.bmp", "offset_past_end.bmp",
        "header12.bmp"}},
      {LoadK16, {"rows_missing.k16", "palette_short.k16"}},
      {LoadPng, {"palette_key.png", "grey_alpha.png", "rgb_key.png"}},
      {LoadPicture, {"huge.bmp", "huge.png", "huge.gif"}}};
  for (const auto& [load, names] : cases) {
    for (const char* name : names) EXPECT_TRUE(Load(load, name, Fixture(name)).empty()) << name;
  }
  EXPECT_TRUE(Load(LoadGif, "a.ppm", "P6\n2 1\n255\n" + Bin({255, 0, 0, 0, 0, 255})).empty());
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
// The pictures of several-picture files: the one nearest 32 x 32, then the deepest, passing over
// one that does not decode (16 bits per pixel is not a cursor depth). A PNG picture.
TEST(CursorFileTest, DecodesPicturesWithMaskAndHotspot) {
  constexpr std::uint32_t W = 0xFFFFFFFF, B = 0xFF000000, C = 0xFF123456, D = 0xFFABCDEF;
  using Pixels = std::vector<std::uint32_t>;
  const std::pair<const char*, Cursor> cases[] = {
      {"cur1.cur", {9, 2, 8, 1, {W, B, W, W, 0, 0, W, 0, W, B, B, B, B, B, B, B, B, W}}},
      {"cur4.cur", {4, 1, 3, 0, {C, D, 0, B}}},
      {"cur8.cur", {2, 1, 1, 0, {0xFFC8C8C8, 0xFF070707}}},
      {"cur24.cur", {2, 2, 1, 1, {0xFF102030, 0, W, B}}},
      {"cur32a.cur", {3, 1, 2, 0, {0x80102030, 0, 0x00FFFFFF}}},
      {"cur32.cur", {2, 1, 1, 0, {0xFF102030, 0}}},
      {"pick.cur", {32, 32, 3, 5, Pixels(32 * 32, 0xFF445566)}},
      {"pick_broken.cur", {16, 16, 1, 1, Pixels(16 * 16, 0xFF112233)}},
      {"png.cur", {2, 2, 1, 1, {0xFF563412, 0, 0, 0xFFABCDEF}}}};
  for (const auto& [name, want] : cases) EXPECT_EQ(Decode(Fixture(name)), want) << name;
}

TEST(CursorFileTest, RefusesMalformedFiles) {
  const std::string good = Fixture("good.cur");
  ASSERT_TRUE(Decode(good));
  // Every truncation, with the directory as it was and with its length made to agree.
  for (std::size_t n = 0; n < good.size(); ++n) {
    EXPECT_FALSE(Decode(good.substr(0, n))) << n;
    if (n < 22) continue;
    EXPECT_FALSE(Decode(WithLe(good.substr(0, n), 6 + 8, n - 22))) << n;
  }
  const std::size_t dib = 22;
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
      {"more colours than 4 bits index", Fixture("colours17.cur")},
      {"truncated PNG", Fixture("png_cut.cur")},
  };
  for (const auto& [what, file] : cases) EXPECT_FALSE(Decode(file)) << what;
}

}  // namespace
}  // namespace adv
