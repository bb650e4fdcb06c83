// Message text and pictures through adv --headless, checked in screenshots. The text_* folders'
// expect files hold escapes, speed, instant text, click waits, the wait mark, the message window,
// the page, .tps, .tpr, choices, text hooks and every text report.
#include <gtest/gtest.h>

#include <functional>

#include "graphics/draw_image.h"
#include "support/bmp_writer.h"
#include "support/flow_headless.h"

namespace adv::test {
namespace {

INSTANTIATE_TEST_SUITE_P(Text, ScenarioFolder, testing::ValuesIn(ExpectFiles({"text_"})), CaseName);

// .pic and .spr: composition methods from pictures and colours here; the pictures-* folders hold
// offscreens, sprite keying, transitions, error messages and the spare-buffer path.
constexpr std::uint32_t kBackground = 0x404040;
constexpr std::uint32_t kSource = 0xC86432;

// A screenshot's colour of a surface pixel.
std::uint32_t Shot(Pixel p) {
  return Expand5(PixelRed(p)) << 16 | Expand5(PixelGreen(p)) << 8 | Expand5(PixelBlue(p));
}
Colour Of(std::uint32_t rrggbb) {
  return MakeColour(rrggbb >> 16, (rrggbb >> 8) & 255, rrggbb & 255);
}

// The pictures the pictures-* games draw: p, a32 (p with half alpha) and the sprite k.
void WritePictures(const TempDir& game) {
  game.Write("data/p.bmp", Bmp24(32, 32, [](int, int) { return kSource; }));
  game.Write("data/a32.bmp", Bmp32(32, 32, [](int, int) { return 0x80000000u | kSource; }));
  game.Write("data/k.bmp", Bmp24(8, 8, [](int x, int y) {
               return (x == 0 && y == 0) || x == y + 1 ? 0xFF00FFu : 0xFFFF00u;
             }));
}

// Method m with level 10 from a picture (row 0) and from a colour (row 40), against the library's
// routine on one pixel (the routines are checked against the formulas in the unit tests).
void MethodChecks(const HeadlessRun& run) {
  using Copy = std::function<void(CDrawImage & d, const CDrawImage& s)>;
  using Fill = std::function<void(CDrawImage & d, Colour c)>;
  const Copy copies[7] = {
      [](auto& d, auto& s) { d.Copy(0, 0, 1, 1, s, 0, 0); },
      [](auto& d, auto& s) { d.CopyTranslucent(0, 0, 1, 1, s, 0, 0, 10); },
      [](auto& d, auto& s) { d.CopyAdd(0, 0, 1, 1, s, 0, 0); },
      [](auto& d, auto& s) { d.CopySub(0, 0, 1, 1, s, 0, 0); },
      [](auto& d, auto& s) { d.CopyDark(0, 0, 1, 1, s, 0, 0, 10); },
      [](auto& d, auto& s) { d.CopyLight(0, 0, 1, 1, s, 0, 0, 10); },
      [](auto& d, auto& s) { d.CopyAlpha(0, 0, 1, 1, s, 0, 0); },
  };
  const Fill fills[6] = {
      [](auto& d, Colour c) { d.Fill(0, 0, 1, 1, c); },
      [](auto& d, Colour c) { d.FillTranslucent(0, 0, 1, 1, c, 10); },
      [](auto& d, Colour c) { d.FillAdd(0, 0, 1, 1, c); },
      [](auto& d, Colour c) { d.FillSub(0, 0, 1, 1, c); },
      [](auto& d, Colour c) { d.FillDark(0, 0, 1, 1, c, 10); },
      [](auto& d, Colour c) { d.FillLight(0, 0, 1, 1, c, 10); },
  };
  EXPECT_EQ(run.result.err.find("box:"), std::string::npos) << run.result.err;
  const Picture end = run.Shot("end");
  CDrawImage d, s;
  ASSERT_TRUE(d.Create(1, 1) && s.Create(1, 1));
  s.Fill(0, 0, 1, 1, Of(kSource));
  s.AllocateAlpha()[0] = 0x80;
  for (int m = 0; m <= 6; ++m) {
    d.Fill(0, 0, 1, 1, Of(kBackground));
    copies[m](d, s);
    EXPECT_EQ(end.At(m * 40 + 16, 16), Shot(d.GetPixel(0, 0))) << "picture, method " << m;
    if (m == 6) break;
    d.Fill(0, 0, 1, 1, Of(kBackground));
    fills[m](d, Of(kSource));
    EXPECT_EQ(end.At(m * 40 + 16, 56), Shot(d.GetPixel(0, 0))) << "colour, method " << m;
  }
}

INSTANTIATE_TEST_SUITE_P(Pictures, ScenarioFolder,
                         testing::ValuesIn(ExpectFiles({"pictures-"}, WritePictures,
                                                       {{"pictures-composition/methods",
                                                         MethodChecks}})),
                         CaseName);

}  // namespace
}  // namespace adv::test
