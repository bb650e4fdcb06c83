// Fonts over the real IPA faces: cell sizes, the fallback face, the refused sizes, styles and the
// glyph cache.
#include <gtest/gtest.h>

#include <string>

#include "host/font_library.h"
#include "host/sjis_convert.h"

namespace adv {
namespace {

const std::string kGothic = Utf8ToSjis("ＭＳ ゴシック");
const std::string kA = Utf8ToSjis("あ");

// Cells of the default face, in Shift-JIS; a character that maps to nothing, or that the face
// lacks, is the missing glyph in a cell of its byte length. Other ink stays inside its cell.
TEST(FontLibraryTest, CellsOfTheDefaultFace) {
  FontLibrary fonts;
  auto font = fonts.Open({kGothic, 32, 400});
  ASSERT_NE(font, nullptr);
  const struct {
    std::string text;
    int width;
    bool missing;
  } cases[] = {{"A", 16, false},
               {"\xB1", 16, false} /* ｱ */,
               {kA, 32, false},
               {Utf8ToSjis("①"), 32, false} /* NEC row 13 */,
               {Utf8ToSjis("ⅰ"), 32, false} /* IBM */,
               {Utf8ToSjis("纊"), 32, false} /* NEC-selected IBM */,
               {"\x80", 16, true},
               {"\x82", 16, true} /* lone lead byte */,
               {"\xF0\x40", 32, true} /* user-defined */,
               {"\x85\x40", 32, true} /* unassigned */};
  for (const auto& c : cases) {
    const Glyph& glyph = font->GlyphOf(c.text);
    EXPECT_EQ(glyph.advance, c.width) << c.text;
    EXPECT_EQ(glyph.missing, c.missing) << c.text;
    EXPECT_TRUE(c.missing || IntersectRect(glyph.ink, Rect{0, 0, c.width, 32}) == glyph.ink)
        << c.text;
  }
  EXPECT_FALSE(font->GlyphOf(kA).ink.Empty());
}

TEST(FontLibraryTest, CharactersALatinFaceLacksComeFromAJapaneseFace) {
  FontLibrary fonts;
  auto font = fonts.Open({"DejaVu Sans", 32, 400});
  ASSERT_NE(font, nullptr);
  if (font->face_file().family != "DejaVu Sans") GTEST_SKIP() << "DejaVu Sans is not installed";
  const Glyph& a = font->GlyphOf(kA);
  EXPECT_FALSE(a.missing);
  EXPECT_EQ(a.advance, 32);
  EXPECT_EQ(IntersectRect(a.ink, Rect{0, 0, 32, 32}), a.ink);
  EXPECT_TRUE(font->GlyphOf("\x80").missing);
}

// Refused requests allocate nothing; a request made before gives the same font, and glyphs it
// rasterised before come from its cache.
TEST(FontLibraryTest, RefusedOrSharedRequests) {
  FontLibrary fonts;
  for (int height : {0, -32, FontLibrary::kMaxHeight + 1}) {
    EXPECT_EQ(fonts.Open({kGothic, height, 400}), nullptr) << height;
  }
  EXPECT_EQ(fonts.Open({kGothic, 32, 1001}), nullptr);
  EXPECT_EQ(fonts.kept(), 0u);
  EXPECT_NE(fonts.Open({kGothic, FontLibrary::kMaxHeight, 400}), nullptr);

  auto font = fonts.Open({kGothic, 32, 400});
  ASSERT_NE(font, nullptr);
  for (int pass = 0; pass < 3; ++pass) {
    for (const char* c : {"あ", "あ", "い", "A"}) font->GlyphOf(Utf8ToSjis(c));
  }
  EXPECT_EQ(font->rasterised(), 3u);
  EXPECT_EQ(fonts.Open({kGothic, 32, 400}), font);
}

TEST(FontLibraryTest, StylesChangeInk) {
  FontLibrary fonts;
  const Glyph plain = fonts.Open({kGothic, 32, 400})->GlyphOf(kA);
  // The IPA faces have no bold: it is synthesised.
  const Glyph bold = fonts.Open({kGothic, 32, 700})->GlyphOf(kA);
  EXPECT_EQ(bold.advance, plain.advance + 1);
  EXPECT_EQ(bold.ink.right, plain.ink.right + 1);
  // Underline and strike-out run the whole cell: a space gets two bars.
  const Glyph space = fonts.Open({kGothic, 32, 400, false, true, true})->GlyphOf(" ");
  EXPECT_EQ(space.ink.left, 0);
  EXPECT_EQ(space.ink.right, 16);
  EXPECT_LE(space.ink.bottom, 32);
  EXPECT_TRUE(fonts.Open({kGothic, 32, 400})->GlyphOf(" ").runs.empty());
}

}  // namespace
}  // namespace adv
