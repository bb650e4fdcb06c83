#include "graphics/cursor_file.h"

#include <gtest/gtest.h>

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

using test::Fixture;
using test::WithLe;

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
