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

FontSpec Spec(int height, std::string face = kGothic) {
  FontSpec spec;
  spec.face = std::move(face);
  spec.height = height;
  spec.weight = 400;
  return spec;
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
    auto font = fonts.Open(Spec(32, Utf8ToSjis(c.face)));
    ASSERT_NE(font, nullptr) << c.face;
    EXPECT_EQ(font->face_file().family, c.family) << c.face;
  }
  EXPECT_EQ(SubstituteFamily("DejaVu Sans"), "DejaVu Sans");
}

TEST(FontLibraryTest, CellsOfTheDefaultFace) {
  FontLibrary fonts;
  auto font = fonts.Open(Spec(32));
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(font->height(), 32);
  const struct {
    const char* text;
    int width;
  } cases[] = {{"A", 16},
               {" ", 16},
               {"ｱ", 16},
               {"あ", 32},
               {"漢", 32},
               {"①", 32} /* NEC row 13 */,
               {"ⅰ", 32} /* IBM extension */,
               {"纊", 32} /* NEC-selected IBM extension */};
  for (const auto& c : cases) {
    const Glyph& glyph = font->GlyphOf(Utf8ToSjis(c.text));
    EXPECT_EQ(glyph.advance, c.width) << c.text;
    EXPECT_FALSE(glyph.missing) << c.text;
  }
  // Ink of a full-width character stays inside its cell.
  const Glyph& a = font->GlyphOf(Utf8ToSjis("あ"));
  ASSERT_FALSE(a.ink.Empty());
  EXPECT_GE(a.ink.left, 0);
  EXPECT_GE(a.ink.top, 0);
  EXPECT_LE(a.ink.right, 32);
  EXPECT_LE(a.ink.bottom, 32);
}

TEST(FontLibraryTest, UnmappedCharactersTakeACellOfTheirByteLength) {
  FontLibrary fonts;
  auto font = fonts.Open(Spec(32));
  ASSERT_NE(font, nullptr);
  const struct {
    std::string text;
    int width;
  } cases[] = {{"\x80", 16},
               {"\xA0", 16},
               {"\xFD", 16},
               {"\xF0\x40", 32} /* user-defined */,
               {"\x85\x40", 32} /* unassigned row */};
  for (const auto& c : cases) {
    const Glyph& glyph = font->GlyphOf(c.text);
    EXPECT_TRUE(glyph.missing) << c.text;
    EXPECT_EQ(glyph.advance, c.width) << c.text;
  }
  // A lead byte without its second byte is a one-byte character.
  EXPECT_EQ(font->GlyphOf("\x82").advance, 16);
}

TEST(FontLibraryTest, RefusedSpecsAllocateNothing) {
  FontLibrary fonts;
  for (int height : {0, -32, FontLibrary::kMaxHeight + 1}) {
    EXPECT_EQ(fonts.Open(Spec(height)), nullptr) << height;
  }
  FontSpec heavy = Spec(32);
  heavy.weight = 1001;
  EXPECT_EQ(fonts.Open(heavy), nullptr);
  EXPECT_EQ(fonts.kept(), 0u);
  EXPECT_NE(fonts.Open(Spec(FontLibrary::kMaxHeight)), nullptr);
}

TEST(FontLibraryTest, StylesChangeInk) {
  FontLibrary fonts;
  const std::string a = Utf8ToSjis("あ");
  auto plain = fonts.Open(Spec(32));
  FontSpec bold_spec = Spec(32);
  bold_spec.weight = 700;
  auto bold = fonts.Open(bold_spec);
  FontSpec italic_spec = Spec(32);
  italic_spec.italic = true;
  auto italic = fonts.Open(italic_spec);
  FontSpec lined_spec = Spec(32);
  lined_spec.underline = lined_spec.strike_out = true;
  auto lined = fonts.Open(lined_spec);
  ASSERT_TRUE(plain && bold && italic && lined);

  // The IPA faces have no bold or italic: both are synthesised.
  EXPECT_TRUE(bold->face_file().synthetic_bold);
  EXPECT_TRUE(italic->face_file().synthetic_italic);
  const Glyph p = plain->GlyphOf(a);
  const Glyph& b = bold->GlyphOf(a);
  EXPECT_EQ(b.advance, p.advance + 1);
  EXPECT_EQ(b.ink.right, p.ink.right + 1);
  const Glyph& i = italic->GlyphOf(a);
  EXPECT_EQ(i.advance, p.advance);
  EXPECT_NE(i.runs, p.runs);

  // Underline and strike-out run the whole cell width: a space gets two bars.
  const Glyph& space = lined->GlyphOf(" ");
  EXPECT_TRUE(plain->GlyphOf(" ").runs.empty());
  ASSERT_FALSE(space.runs.empty());
  EXPECT_EQ(space.ink.left, 0);
  EXPECT_EQ(space.ink.right, 16);
  EXPECT_LE(space.ink.bottom, 32);
}

TEST(FontLibraryTest, GlyphsAreRasterisedOnce) {
  FontLibrary fonts;
  auto font = fonts.Open(Spec(32));
  ASSERT_NE(font, nullptr);
  const std::string text = Utf8ToSjis("ああいA");
  for (int pass = 0; pass < 3; ++pass) {
    for (std::size_t i = 0; i < text.size(); i += text[i] & 0x80 ? 2 : 1) {
      font->GlyphOf(text.substr(i));
    }
  }
  EXPECT_EQ(font->rasterised(), 3u);
  // The same spec gives the same font, with its cache.
  EXPECT_EQ(fonts.Open(Spec(32)), font);
}

}  // namespace
}  // namespace adv
