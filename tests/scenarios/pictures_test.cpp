// .pic and .spr through adv --headless: composition methods on screen and offscreens, sprite
// keying, error messages, the spare-buffer path and transitions, checked in screenshots.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "graphics/draw_image.h"
#include "support/bmp_writer.h"
#include "support/run_adv.h"
#include "support/temp_dir.h"

namespace adv::test {
namespace {

constexpr std::uint32_t kBackground = 0x404040;
constexpr std::uint32_t kSource = 0xC86432;

// A screenshot's colour of a surface pixel.
std::uint32_t Shot(Pixel p) {
  return Expand5(PixelRed(p)) << 16 | Expand5(PixelGreen(p)) << 8 | Expand5(PixelBlue(p));
}
Colour Of(std::uint32_t rrggbb) {
  return MakeColour(rrggbb >> 16, (rrggbb >> 8) & 255, rrggbb & 255);
}

class PictureScenario : public ::testing::Test {
 protected:
  void SetUp() override {
    game.Write("data/config.txt", ".bgc #404040\n.scr 2\n");
    game.Write("data/p.bmp", Bmp24(32, 32, [](int, int) { return kSource; }));
    game.Write("data/a32.bmp", Bmp32(32, 32, [](int, int) { return 0x80000000u | kSource; }));
  }
  RunResult Run(const std::string& script, const std::vector<std::string>& shots = {}) {
    game.Write("data/start.txt", script);
    std::vector<std::string> args{"--headless", "--shot", "end:" + out.Path("end.png")};
    for (const std::string& at : shots) {
      args.insert(args.end(), {"--shot", at + ":" + out.Path(at + ".png")});
    }
    args.push_back(game.path());
    RunResult r = RunAdv(args);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(ReadPng(out.Path("end.png"), end)) << r.err;
    return r;
  }
  Picture ShotAt(const std::string& at) {
    Picture p;
    EXPECT_TRUE(ReadPng(out.Path(at + ".png"), p)) << at;
    return p;
  }
  TempDir game;
  TempDir out;
  Picture end;
};

// Method m with level 10 from a picture (row 0) and from a colour (row 40), against the library's
// routine on one pixel (the routines are checked against the formulas in the unit tests).
TEST_F(PictureScenario, EveryMethodFromAPictureAndFromAColour) {
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
  std::string script;
  for (int m = 0; m <= 6; ++m) {
    const std::string method = std::to_string(m) + " 10 " + std::to_string(m * 40);
    script += ".pic screen " + std::string(m == 6 ? "a32" : "p") + " 0 0 " + method + " 0 32 32\n";
    if (m < 6) script += ".pic screen #C86432 0 0 " + method + " 40 32 32\n";
  }
  RunResult r = Run(script);
  EXPECT_EQ(r.err.find("box:"), std::string::npos) << r.err;
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

TEST_F(PictureScenario, OffscreensSpritesAndDefaultSizes) {
  // Magenta at the top-left and just right of the diagonal; yellow elsewhere. The sprite's
  // rectangle starts on yellow: the key is the top-left pixel wherever the rectangle is.
  game.Write("data/k.bmp", Bmp24(8, 8, [](int x, int y) {
               return (x == 0 && y == 0) || x == y + 1 ? 0xFF00FFu : 0xFFFF00u;
             }));
  Run(".pic off1 p 0 0 0 0 5 5\n"  // the picture's own size: 32 x 32 at (5, 5)
      ".pic screen off1 0 0 0 0 100 100 60 60\n"
      ".spr screen k 0 0 0 0 200 200 4 4 2 2\n"
      ".pic screen #FF0000 0 0 0 0 600 400\n");  // a colour covers 640 x 480, clipped
  const std::pair<int, std::uint32_t> expected[] = {
      {100 + 20, kSource}, {100 + 2, kBackground}, {100 + 38, kBackground},  // off1 (5..36)
      {200, 0xFFFF00},     {203, 0xFFFF00},        {204, kBackground},       // the sprite
  };
  for (auto [at, colour] : expected) EXPECT_EQ(end.At(at, at), ShotColour(colour)) << at;
  EXPECT_EQ(end.At(201, 200), ShotColour(kBackground));  // source (3, 2): magenta
  EXPECT_EQ(end.At(639, 479), ShotColour(0xFF0000));
  EXPECT_EQ(end.At(599, 479), ShotColour(kBackground));
}

TEST_F(PictureScenario, EveryMessageNamesFileAndLine) {
  const std::pair<const char*, const char*> lines[] = {
      {".pic nowhere p", "コピー先の指定が不正です"},
      {".pic off9 p", "コピー先に存在しないオフスクリーンを指定しました"},
      {".pic screen off5", "コピー元に存在しないオフスクリーンを指定しました"},
      {".pic screen missing", "コピー元のファイルを開けません"},
      {".pic off0 p 3", "コピー先が「screen」でない場合トランジションは無効です"},
      {".spr screen #FFFFFF", "「.spr」ではコピー元に色を指定しても無効です"},
      {".spr screen p 0 0 2", "「.spr」では合成方法「2」は無効です"},
      {".spr screen p 0 0 3", "「.spr」では合成方法「3」は無効です"},
      {".spr screen p 0 0 6", "「.spr」では合成方法「6」は無効です"},
      {".pic screen #FFFFFF 0 0 6", "合成方法「6」ではコピー元に色を指定しても無効です"},
      {".pic screen p 0 0 7", nullptr},  // silently nothing
      {".pic screen folder\\p", "コピー元のファイルを開けません"},
  };
  std::string script;
  for (const auto& [line, message] : lines) script += std::string(line) + "\n";
  const RunResult r = Run(script);
  const auto err = r.ErrLines();
  for (std::size_t i = 0; i < std::size(lines); ++i) {
    const std::string at = "start.txt:" + std::to_string(i + 1) + ":";
    const auto found =
        std::find_if(err.begin(), err.end(), [&](auto& l) { return l.starts_with(at); });
    if (lines[i].second == nullptr) {
      EXPECT_EQ(found, err.end()) << *found;
    } else {
      EXPECT_TRUE(r.HasError(at + " " + lines[i].second)) << at << "\n" << r.err;
    }
  }
  // The transition error still drew onto the offscreen; nothing else reached the screen.
  EXPECT_EQ(end.At(16, 16), ShotColour(kBackground));
}

TEST_F(PictureScenario, PendingWaitGoesThroughTheSpareBuffer) {
  Run(".wat 500\n.pic screen #FF0000\n.wat 300\n.end\n", {"200", "600"});
  EXPECT_EQ(ShotAt("200").At(320, 240), ShotColour(kBackground));
  EXPECT_EQ(ShotAt("600").At(320, 240), ShotColour(0xFF0000));
}

TEST_F(PictureScenario, Transitions) {
  // Vertical blinds, 10 ms a step: columns x = m + 16k appear at step m + 1, in every strip at
  // once.
  Run(".pic screen #00FF00 1 10\n.wat 500\n.end\n", {"55"});
  const Picture half = ShotAt("55");
  int shown = 0;
  for (int x = 0; x < 16; ++x) {
    shown += half.At(x, 100) == ShotColour(0x00FF00);
    EXPECT_EQ(half.At(x, 100), half.At(x + 160, 300)) << x;
  }
  EXPECT_GT(shown, 2);
  EXPECT_LT(shown, 14);
  EXPECT_EQ(end.At(15, 479), ShotColour(0x00FF00));
  EXPECT_EQ(end.At(639, 0), ShotColour(0x00FF00));
  // An ordered dissolve of a small rectangle: the rest of the screen never changes.
  Run(".pic screen #FFFFFF 5 10 0 0 100 100 50 50\n", {"80"});
  const Picture mid = ShotAt("80");
  EXPECT_EQ(mid.At(50, 50), ShotColour(kBackground));
  EXPECT_EQ(mid.At(99, 99), ShotColour(kBackground));
  const std::pair<int, std::uint32_t> expected[] = {
      {100, 0xFFFFFF}, {149, 0xFFFFFF}, {150, kBackground}};
  for (auto [at, colour] : expected) EXPECT_EQ(end.At(at, at), ShotColour(colour)) << at;
}

}  // namespace
}  // namespace adv::test
