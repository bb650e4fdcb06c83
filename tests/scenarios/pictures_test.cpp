// .pic and .spr through adv --headless: composition methods on screen and offscreens, sprite
// keying, error messages, the spare-buffer path and transitions, checked in screenshots.
#include <gtest/gtest.h>

#include <algorithm>

#include "support/bmp_writer.h"
#include "support/run_adv.h"
#include "support/temp_dir.h"

namespace adv::test {
namespace {

// Per-channel reference of the composition formulas, on 5-bit channels.
struct Rgb5 {
  int r, g, b;
};
Rgb5 Of(std::uint32_t rgb8) {
  return {static_cast<int>((rgb8 >> 19) & 31), static_cast<int>((rgb8 >> 11) & 31),
          static_cast<int>((rgb8 >> 3) & 31)};
}
template <typename F>
Rgb5 Each(Rgb5 d, Rgb5 s, F f) {
  return {f(d.r, s.r), f(d.g, s.g), f(d.b, s.b)};
}
std::uint32_t Shot(Rgb5 c) {
  return (Expand5(c.r) << 16) | (Expand5(c.g) << 8) | Expand5(c.b);
}

constexpr std::uint32_t kBackground = 0x404040;  // 8 in each 5-bit channel
constexpr std::uint32_t kSource = 0xC86432;      // 25, 12, 6

class PictureScenario : public ::testing::Test {
 protected:
  void SetUp() override {
    game.Write("data/config.txt", ".bgc #404040\n.scr 2\n");
    game.Write("data/p.bmp", Bmp24(32, 32, [](int, int) { return kSource; }));
    game.Write("data/a32.bmp", Bmp32(32, 32, [](int, int) { return 0x80000000u | kSource; }));
  }
  RunResult Run(const std::string& script, const std::vector<std::string>& extra = {}) {
    game.Write("data/start.txt", script);
    std::vector<std::string> args{"--headless", "--shot", "end:" + out.Path("end.png")};
    args.insert(args.end(), extra.begin(), extra.end());
    args.push_back(game.path());
    RunResult r = RunAdv(args);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(ReadPng(out.Path("end.png"), end)) << r.err;
    return r;
  }
  TempDir game;
  TempDir out;
  Picture end;
};

TEST_F(PictureScenario, EveryMethodFromAPictureAndFromAColour) {
  std::string script;
  for (int m = 0; m <= 6; ++m) {
    const std::string file = m == 6 ? "a32" : "p";
    script += ".pic screen " + file + " 0 0 " + std::to_string(m) + " 10 " +
              std::to_string(m * 40) + " 0 32 32\n";
    if (m != 6) {
      script += ".pic screen #C86432 0 0 " + std::to_string(m) + " 10 " + std::to_string(m * 40) +
                " 40 32 32\n";
    }
  }
  RunResult r = Run(script);
  EXPECT_EQ(r.err.find("box:"), std::string::npos) << r.err;
  const Rgb5 d = Of(kBackground), s = Of(kSource);
  const int level = 10, factor = level * 256 / 31;
  const Rgb5 expected[7] = {
      s,
      Each(d, s, [&](int dd, int ss) { return ss + (dd - ss) * level / 31; }),
      Each(d, s, [](int dd, int ss) { return std::min(dd + ss, 31); }),
      Each(d, s, [](int dd, int ss) { return std::max(dd - ss, 0); }),
      Each(d, s, [&](int, int ss) { return (ss * factor) >> 8; }),
      Each(d, s, [&](int, int ss) { return 31 - (31 - ss) * (31 - level) / 31; }),
      Each(d, s, [](int dd, int ss) { return dd + (ss - dd) * 128 / 255; }),
  };
  for (int m = 0; m <= 6; ++m) {
    EXPECT_EQ(end.At(m * 40 + 16, 16), Shot(expected[m])) << "picture, method " << m;
  }
  // The colour forms of darkening and whitening scale the 8-bit channels before filling.
  auto fill = [](std::uint32_t rgb8, auto f) {
    return Rgb5{f(static_cast<int>(rgb8 >> 16)) >> 3, f(static_cast<int>((rgb8 >> 8) & 255)) >> 3,
                f(static_cast<int>(rgb8 & 255)) >> 3};
  };
  const Rgb5 colour_expected[6] = {
      expected[0],
      expected[1],
      expected[2],
      expected[3],
      fill(kSource, [&](int v) { return v * level / 31; }),
      fill(kSource, [&](int v) { return 255 - (255 - v) * (31 - level) / 31; }),
  };
  for (int m = 0; m <= 5; ++m) {
    EXPECT_EQ(end.At(m * 40 + 16, 56), Shot(colour_expected[m])) << "colour, method " << m;
  }
}

TEST_F(PictureScenario, OffscreensAndDefaultSizes) {
  Run(".pic off1 p 0 0 2 0 5 5\n"  // the picture's own size: 32 x 32 at (5, 5)
      ".pic screen off1 0 0 0 0 100 100 60 60\n"
      ".pic screen #FF0000 0 0 0 0 600 400\n");  // a colour covers 640 x 480, clipped
  const Rgb5 added =
      Each(Of(kBackground), Of(kSource), [](int dd, int ss) { return std::min(dd + ss, 31); });
  EXPECT_EQ(end.At(100 + 20, 100 + 20), Shot(added));
  EXPECT_EQ(end.At(100 + 2, 100 + 2), ShotColour(kBackground));  // off1 outside the picture
  EXPECT_EQ(end.At(100 + 38, 100 + 38), ShotColour(kBackground));
  EXPECT_EQ(end.At(639, 479), ShotColour(0xFF0000));
  EXPECT_EQ(end.At(599, 479), ShotColour(kBackground));
}

TEST_F(PictureScenario, SpriteSkipsTheTopLeftColourWhereverTheRectangleIs) {
  // Magenta at the top-left and on the diagonal; yellow elsewhere.
  game.Write("data/k.bmp", Bmp24(8, 8, [](int x, int y) {
               return (x == 0 && y == 0) || x == y ? 0xFF00FFu : 0xFFFF00u;
             }));
  Run(".spr screen k 0 0 0 0 200 200 4 4 2 2\n");
  EXPECT_EQ(end.At(200, 200), ShotColour(kBackground));  // source (2, 2) is magenta
  EXPECT_EQ(end.At(201, 200), ShotColour(0xFFFF00));
  EXPECT_EQ(end.At(203, 203), ShotColour(kBackground));
  EXPECT_EQ(end.At(204, 204), ShotColour(kBackground));  // outside the rectangle
}

TEST_F(PictureScenario, EveryMessageNamesFileAndLine) {
  RunResult r =
      Run(".pic nowhere p\n"
          ".pic off9 p\n"
          ".pic screen off5\n"
          ".pic screen missing\n"
          ".pic off0 p 3\n"
          ".spr screen #FFFFFF\n"
          ".spr screen p 0 0 2\n"
          ".spr screen p 0 0 3\n"
          ".spr screen p 0 0 6\n"
          ".pic screen #FFFFFF 0 0 6\n"
          ".pic screen p 0 0 7\n"
          ".pic screen folder\\p\n");
  const char* expected[] = {
      "start.txt:1: コピー先の指定が不正です",
      "start.txt:2: コピー先に存在しないオフスクリーンを指定しました",
      "start.txt:3: コピー元に存在しないオフスクリーンを指定しました",
      "start.txt:4: コピー元のファイルを開けません",
      "start.txt:5: コピー先が「screen」でない場合トランジションは無効です",
      "start.txt:6: 「.spr」ではコピー元に色を指定しても無効です",
      "start.txt:7: 「.spr」では合成方法「2」は無効です",
      "start.txt:8: 「.spr」では合成方法「3」は無効です",
      "start.txt:9: 「.spr」では合成方法「6」は無効です",
      "start.txt:10: 合成方法「6」ではコピー元に色を指定しても無効です",
      "start.txt:12: コピー元のファイルを開けません",
  };
  auto lines = r.ErrLines();
  for (const char* line : expected) {
    EXPECT_NE(std::find(lines.begin(), lines.end(), line), lines.end()) << line << "\n" << r.err;
  }
  EXPECT_EQ(r.err.find("start.txt:11:"), std::string::npos);  // method 7: silently nothing
  // The transition error still drew onto the offscreen; nothing else reached the screen.
  EXPECT_EQ(end.At(16, 16), ShotColour(kBackground));
}

TEST_F(PictureScenario, PendingWaitGoesThroughTheSpareBuffer) {
  Run(".wat 500\n.pic screen #FF0000\n.wat 300\n.end\n",
      {"--shot", "200:" + out.Path("before.png"), "--shot", "600:" + out.Path("after.png")});
  Picture before, after;
  ASSERT_TRUE(ReadPng(out.Path("before.png"), before));
  ASSERT_TRUE(ReadPng(out.Path("after.png"), after));
  EXPECT_EQ(before.At(320, 240), ShotColour(kBackground));
  EXPECT_EQ(after.At(320, 240), ShotColour(0xFF0000));
}

TEST_F(PictureScenario, TransitionHalfWayAndAtItsEnd) {
  // Vertical blinds, 10 ms a step: columns x = m + 16k appear at step m + 1.
  RunResult r =
      Run(".pic screen #00FF00 1 10\n.wat 500\n.end\n", {"--shot", "55:" + out.Path("half.png")});
  Picture half;
  ASSERT_TRUE(ReadPng(out.Path("half.png"), half));
  int shown = 0;
  for (int x = 0; x < 16; ++x) shown += half.At(x, 100) == ShotColour(0x00FF00) ? 1 : 0;
  EXPECT_GT(shown, 2);
  EXPECT_LT(shown, 14);
  for (int x = 0; x < 16; ++x) {
    // Every strip shows the same columns at the same moment.
    EXPECT_EQ(half.At(x, 100), half.At(x + 160, 300)) << x;
  }
  EXPECT_EQ(end.At(15, 479), ShotColour(0x00FF00));
  EXPECT_EQ(end.At(639, 0), ShotColour(0x00FF00));
}

TEST_F(PictureScenario, TransitionOutsideItsRectangleIsNotShownEarly) {
  // A small rectangle through an ordered dissolve: the rest of the screen never changes.
  Run(".pic screen #FFFFFF 5 10 0 0 100 100 50 50\n", {"--shot", "80:" + out.Path("mid.png")});
  Picture mid;
  ASSERT_TRUE(ReadPng(out.Path("mid.png"), mid));
  EXPECT_EQ(mid.At(50, 50), ShotColour(kBackground));
  EXPECT_EQ(mid.At(99, 99), ShotColour(kBackground));
  EXPECT_EQ(end.At(100, 100), ShotColour(0xFFFFFF));
  EXPECT_EQ(end.At(149, 149), ShotColour(0xFFFFFF));
  EXPECT_EQ(end.At(150, 150), ShotColour(kBackground));
}

}  // namespace
}  // namespace adv::test
