// A text layer's set-up and style settings: the two engine layers, settings refused on a page
// with text, refused values that change nothing, and the font following the settings.
#include <gtest/gtest.h>

#include <string>

#include "host/font.h"
#include "host/font_library.h"
#include "host/sjis_convert.h"
#include "support/ink.h"
#include "text/text_layer.h"

namespace adv {
namespace {

const std::string kA = Utf8ToSjis("あ");

class TextLayerTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { fonts_ = new FontLibrary; }
  static void TearDownTestSuite() { delete fonts_; }
  void SetUp() override { ASSERT_TRUE(target_.Create(640, 480)); }

  static FontLibrary* fonts_;
  CDrawImage target_;
  TextLayer layer_{*fonts_};
};

FontLibrary* TextLayerTest::fonts_ = nullptr;

TEST_F(TextLayerTest, EngineLayersStartWithTheDefaults) {
  for (const TextLayerShape& shape : {kMessageLayerShape, kPartsLayerShape}) {
    TextLayer layer(*fonts_);
    ASSERT_TRUE(layer.Create(&target_, shape));
    EXPECT_EQ(layer.max_lines(), 20);
    EXPECT_EQ(layer.width(), shape.width);
    EXPECT_EQ(layer.face_name(), Utf8ToSjis("ＭＳ ゴシック"));
    EXPECT_EQ(layer.font()->height(), 32);
    EXPECT_EQ(layer.weight(), 400);
    EXPECT_EQ(test::BoundsOfOther(layer.surface(), ColorToPixel(0xFF00FF)), Rect{});
    EXPECT_TRUE(layer.IsBlank());
    EXPECT_EQ(layer.target(), &target_);
  }
}

TEST_F(TextLayerTest, RefusedValuesChangeNothing) {
  ASSERT_TRUE(layer_.Create(&target_, kMessageLayerShape));
  const std::size_t fonts_kept = fonts_->kept();
  const struct {
    const char* what;
    bool ok;
  } cases[] = {
      {"width above maximum width", layer_.SetArea(640, 600, 480, 1)},
      {"magnification 0", layer_.SetArea(600, 640, 480, 0)},
      {"magnification 5", layer_.SetArea(600, 640, 480, 5)},
      {"surface beyond the limits", layer_.SetArea(600, 20000, 480, 2)},
      {"no lines", layer_.SetMaxLines(0)},
      {"1001 lines", layer_.SetMaxLines(kMaxLines + 1)},
      {"size 0", layer_.SetSize(0)},
      {"size -5", layer_.SetSize(-5)},
      {"size 1001", layer_.SetSize(kMaxFontSize + 1)},
      {"weight 1200", layer_.SetWeight(1200)},
      {"weight -1", layer_.SetWeight(-1)},
  };
  for (const auto& c : cases) EXPECT_FALSE(c.ok) << c.what;
  EXPECT_EQ(layer_.surface().Width(), 640);
  EXPECT_EQ(layer_.magnification(), 1);
  EXPECT_EQ(layer_.max_lines(), 20);
  EXPECT_EQ(layer_.size(), 32);
  EXPECT_EQ(layer_.weight(), 400);
  EXPECT_EQ(layer_.font()->height(), 32);
  EXPECT_EQ(fonts_->kept(), fonts_kept);
  // A size the font library refuses once magnified keeps the font too.
  ASSERT_TRUE(layer_.SetArea(600, 640, 480, 4));
  EXPECT_FALSE(layer_.SetSize(300));
  EXPECT_EQ(layer_.font()->height(), 128);
}

TEST_F(TextLayerTest, BlankOnlySettingsWaitForAnEmptyPage) {
  ASSERT_TRUE(layer_.Create(&target_, kMessageLayerShape));
  ASSERT_TRUE(layer_.PutChar(kA, false, nullptr));
  EXPECT_FALSE(layer_.IsBlank());
  EXPECT_FALSE(layer_.SetArea(600, 640, 480, 2));
  EXPECT_FALSE(layer_.SetPosition(10, 10));
  EXPECT_FALSE(layer_.SetMaxLines(5));
  EXPECT_FALSE(layer_.SetTransparentColor(0x00FF00));
  EXPECT_EQ(layer_.magnification(), 1);
  EXPECT_EQ(layer_.position_x(), 0);
  EXPECT_EQ(layer_.max_lines(), 20);
  EXPECT_EQ(layer_.transparent_colour(), 0xFF00FFu);
  // Style settings do not wait.
  EXPECT_TRUE(layer_.SetWeight(700));
  EXPECT_TRUE(layer_.SetItalic(true));

  layer_.ClearAll();
  EXPECT_TRUE(layer_.SetMaxLines(5));
  EXPECT_TRUE(layer_.SetPosition(10, 10));
  EXPECT_TRUE(layer_.SetTransparentColor(0x00FF00));
  EXPECT_EQ(test::BoundsOfOther(layer_.surface(), ColorToPixel(0x00FF00)), Rect{});
  // A new wrap width alone takes effect.
  EXPECT_TRUE(layer_.SetArea(300, 640, 480, 1));
  EXPECT_EQ(layer_.width(), 300);
}

TEST_F(TextLayerTest, FontFollowsTheSettings) {
  ASSERT_TRUE(layer_.Create(&target_, kMessageLayerShape));
  ASSERT_TRUE(layer_.SetArea(600, 640, 480, 2));
  EXPECT_EQ(layer_.font()->height(), 64);
  EXPECT_EQ(layer_.surface().Width(), 1280);
  EXPECT_EQ(layer_.MeasureLine(kA), 32);  // cells stay logical
  ASSERT_TRUE(layer_.SetSize(20));
  ASSERT_TRUE(layer_.SetFaceName(Utf8ToSjis("ＭＳ 明朝")));
  ASSERT_TRUE(layer_.SetUnderline(true));
  EXPECT_EQ(layer_.font()->height(), 40);
  EXPECT_EQ(layer_.font()->face_file().family, "IPAMincho");
  EXPECT_TRUE(layer_.font()->request().underline);
}

}  // namespace
}  // namespace adv
