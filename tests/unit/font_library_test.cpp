// Fonts over the real IPA faces: the classic face names, cell sizes, the refused sizes, styles
// and the glyph cache.
#include <gtest/gtest.h>

#include <string>

#include "host/face_matcher.h"
#include "host/font_library.h"
#include "host/sjis_convert.h"

namespace adv {
namespace {

const std::string kGothic = Utf8ToSjis("ＭＳ ゴシック");

FontRequest Request(int height, std::string face = kGothic) {
  FontRequest request;
  request.face = std::move(face);
  request.height = height;
  request.weight = 400;
  return request;
}

TEST(FontLibraryTest, ClassicFacesMapToIpaFamilies) {
  FontLibrary fonts;
  const struct {
    const char* face;
    const char* family;
  } cases[] = {{"ＭＳ ゴシック", "IPAGothic"},
               {"ＭＳ 明朝", "IPAMincho"},
               {"ＭＳ Ｐゴシック", "IPAPGothic"},
               {"ＭＳ Ｐ明朝", "IPAPMincho"}};
  for (const auto& c : cases) {
    auto font = fonts.Open(Request(32, Utf8ToSjis(c.face)));
    ASSERT_NE(font, nullptr) << c.face;
    EXPECT_EQ(font->face_file().family, c.family) << c.face;
  }
  EXPECT_EQ(SubstituteFamily("DejaVu Sans"), "DejaVu Sans");
}

// Cells of the default face, in Shift-JIS; a character that maps to nothing, or that the face
// lacks, is the missing glyph in a cell of its byte length.
TEST(FontLibraryTest, CellsOfTheDefaultFace) {
  FontLibrary fonts;
  auto font = fonts.Open(Request(32));
  ASSERT_NE(font, nullptr);
  const struct {
    std::string text;
    int width;
    bool missing;
  } cases[] = {{"A", 16, false},
               {" ", 16, false},
               {"\xB1", 16, false} /* ｱ */,
               {Utf8ToSjis("あ"), 32, false},
               {Utf8ToSjis("①"), 32, false} /* NEC row 13 */,
               {Utf8ToSjis("ⅰ"), 32, false} /* IBM */,
               {Utf8ToSjis("纊"), 32, false} /* NEC-selected IBM */,
               {"\x80", 16, true},
               {"\xFD", 16, true},
               {"\x82", 16, true} /* lone lead byte */,
               {"\xF0\x40", 32, true} /* user-defined */,
               {"\x85\x40", 32, true} /* unassigned */};
  for (const auto& c : cases) {
    const Glyph& glyph = font->GlyphOf(c.text);
    EXPECT_EQ(glyph.advance, c.width) << c.text;
    EXPECT_EQ(glyph.missing, c.missing) << c.text;
  }
  // Ink of a full-width character stays inside its cell.
  const Rect ink = font->GlyphOf(Utf8ToSjis("あ")).ink;
  EXPECT_FALSE(ink.Empty());
  EXPECT_EQ(IntersectRect(ink, Rect{0, 0, 32, 32}), ink);
}

TEST(FontLibraryTest, CharactersALatinFaceLacksComeFromAJapaneseFace) {
  FontLibrary fonts;
  auto font = fonts.Open(Request(32, "DejaVu Sans"));
  ASSERT_NE(font, nullptr);
  if (font->face_file().family != "DejaVu Sans") GTEST_SKIP() << "DejaVu Sans is not installed";
  const Glyph& a = font->GlyphOf(Utf8ToSjis("あ"));
  EXPECT_FALSE(a.missing);
  EXPECT_EQ(a.advance, 32);
  EXPECT_EQ(IntersectRect(a.ink, Rect{0, 0, 32, 32}), a.ink);
  EXPECT_TRUE(font->GlyphOf("\x80").missing);
}

TEST(FontLibraryTest, RefusedRequestsAllocateNothing) {
  FontLibrary fonts;
  for (int height : {0, -32, FontLibrary::kMaxHeight + 1}) {
    EXPECT_EQ(fonts.Open(Request(height)), nullptr) << height;
  }
  FontRequest heavy = Request(32);
  heavy.weight = 1001;
  EXPECT_EQ(fonts.Open(heavy), nullptr);
  EXPECT_EQ(fonts.kept(), 0u);
  EXPECT_NE(fonts.Open(Request(FontLibrary::kMaxHeight)), nullptr);
}

TEST(FontLibraryTest, StylesChangeInk) {
  FontLibrary fonts;
  FontRequest bold = Request(32), italic = Request(32), lined = Request(32);
  bold.weight = 700;
  italic.italic = true;
  lined.underline = lined.strike_out = true;
  const std::string a = Utf8ToSjis("あ");
  const Glyph p = fonts.Open(Request(32))->GlyphOf(a);
  // The IPA faces have no bold or italic: both are synthesised.
  const Glyph b = fonts.Open(bold)->GlyphOf(a);
  EXPECT_EQ(b.advance, p.advance + 1);
  EXPECT_EQ(b.ink.right, p.ink.right + 1);
  const Glyph i = fonts.Open(italic)->GlyphOf(a);
  EXPECT_EQ(i.advance, p.advance);
  EXPECT_NE(i.runs, p.runs);
  // Underline and strike-out run the whole cell: a space gets two bars.
  const Glyph space = fonts.Open(lined)->GlyphOf(" ");
  EXPECT_EQ(space.ink.left, 0);
  EXPECT_EQ(space.ink.right, 16);
  EXPECT_LE(space.ink.bottom, 32);
  EXPECT_TRUE(fonts.Open(Request(32))->GlyphOf(" ").runs.empty());
}

TEST(FontLibraryTest, GlyphsAreRasterisedOnce) {
  FontLibrary fonts;
  auto font = fonts.Open(Request(32));
  ASSERT_NE(font, nullptr);
  const std::string text = Utf8ToSjis("ああいA");
  for (int pass = 0; pass < 3; ++pass) {
    for (std::size_t i = 0; i < text.size(); i += text[i] & 0x80 ? 2 : 1) {
      font->GlyphOf(text.substr(i));
    }
  }
  EXPECT_EQ(font->rasterised(), 3u);
  // The same request gives the same font, with its cache.
  EXPECT_EQ(fonts.Open(Request(32)), font);
}

}  // namespace
}  // namespace adv
