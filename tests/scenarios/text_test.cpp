// Message text through adv --headless, checked by where ink of a known colour lies in
// screenshots. The text_* folders' expect files hold escapes, speed, instant text, click waits
// with their wait and click modes, the wait mark, the message window and every text report;
// here are the page, .tps, .tpr, choices and text hooks.
#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "graphics/draw_image.h"
#include "support/bmp_writer.h"
#include "support/flow_headless.h"
#include "support/ink.h"
#include "support/temp_dir.h"

namespace adv::test {
namespace {

constexpr std::uint32_t kWhite = 0xFFFFFF, kRed = 0xFF0000, kGreen = 0x00FF00, kYellow = 0xFFFF00,
                        kCyan = 0x00FFFF, kBlue = 0x0000FF, kOrange = 0xFF8000;

// The ink lies in the character cells `cells` and reaches into the first and the last of them.
void ExpectFills(const Rect& ink, const Rect& cells, int cell = 16) {
  EXPECT_FALSE(ink.Empty()) << "no ink";
  EXPECT_EQ(IntersectRect(ink, cells), ink) << "ink outside the cells";
  EXPECT_LT(ink.left, cells.left + cell);
  EXPECT_GT(ink.right, cells.right - cell);
}

// tests/scenarios/NAME run until `until` ms (0: to its own end), with a screenshot at each of
// `times`.
struct Play : HeadlessRun {
  Play(const std::string& name, const std::vector<std::uint32_t>& times, std::uint32_t until) {
    std::vector<std::string> args, shots;
    if (until != 0) args = {"--until", std::to_string(until)};
    for (std::uint32_t ms : times) shots.push_back(std::to_string(ms));
    RunHeadless(*this, ScenarioDir(name), args, shots);
    for (std::uint32_t ms : times) pictures[ms] = Shot(std::to_string(ms));
  }
  const Picture& At(std::uint32_t ms) { return pictures[ms]; }
  std::map<std::uint32_t, Picture> pictures;
};

// The virtual time a headless run ended at.
int EndMs(const RunResult& r) {
  const std::size_t at = r.err.find("end at ");
  return at == std::string::npos ? -1 : std::stoi(r.err.substr(at + 7));
}

INSTANTIATE_TEST_SUITE_P(Text, ScenarioFolder, testing::ValuesIn(ExpectFiles({"text_"})), CaseName);

TEST(TextScenario, FullPageThenTheTwentyFirstLine) {
  // Size 16: twenty lines of 16 pixels, the last one full to the width of 600.
  Play play("text_page", {900, 1400}, 1500);
  const Picture& page = play.At(900);
  for (int line = 1; line <= 19; ++line) EXPECT_FALSE(LineInk(page, kWhite, line, 16).Empty());
  const Rect last = LineInk(page, kWhite, 20, 16);
  EXPECT_GT(last.right, 592);
  EXPECT_LE(last.right, 600);
  // The green line after it needs a 21st line: it is taken and not drawn.
  EXPECT_EQ(FindInk(page, kGreen).count, 0);
  EXPECT_EQ(FindInk(page, kWhite, Rect{0, 320, 640, 480}).count, 0);
  // The click of \t empties the page; C follows on its second line.
  EXPECT_EQ(FindInk(play.At(1400), kWhite).count, 0);
  ExpectFills(FindInk(play.At(1400), kGreen).bounds, Rect{0, 16, 8, 32}, 8);
}

TEST(TextScenario, TpsPlacesTheNextCharacter) {
  // Layer at (20, 30): A at the screen point (100, 400); B moved by (50, -200) from the start of
  // the next line; C right after B plus (10, 0).
  Play play("text_cursor", {900}, 1000);
  ExpectFills(FindInk(play.At(900), kWhite).bounds, Rect{100, 400, 116, 432});
  ExpectFills(FindInk(play.At(900), kGreen).bounds, Rect{70, 232, 86, 264});
  ExpectFills(FindInk(play.At(900), kCyan).bounds, Rect{96, 232, 112, 264});
}

TEST(TextScenario, TprAlignsAndPrintsIntoPictures) {
  Play play("text_parts", {100, 250, 700, 1100}, 1200);
  const Picture& printed = play.At(100);
  ExpectFills(FindInk(printed, kYellow, Rect{0, 200, 640, 232}).bounds, Rect{288, 200, 352, 232});
  ExpectFills(FindInk(printed, kYellow, Rect{0, 300, 640, 332}).bounds, Rect{568, 300, 600, 332});
  ExpectFills(FindInk(printed, kYellow, Rect{0, 332, 640, 364}).bounds, Rect{536, 332, 600, 364});
  // Printed into off1, the text reaches the screen only with the .pic that copies it.
  EXPECT_EQ(FindInk(printed, kYellow, Rect{0, 400, 640, 480}).count, 0);
  ExpectFills(FindInk(play.At(250), kYellow, Rect{0, 400, 640, 480}).bounds,
              Rect{10, 410, 42, 442});
  // Green WWWW printed under the message's AB, then a cyan .pic: the message stays on top.
  const ShotInk message = FindInk(play.At(250), kWhite);
  ExpectFills(message.bounds, Rect{0, 0, 32, 32});
  EXPECT_EQ(FindInk(play.At(700), kWhite).count, message.count);
  ExpectFills(FindInk(play.At(700), kGreen).bounds, Rect{0, 0, 64, 32});
  EXPECT_EQ(FindInk(play.At(1100), kWhite).count, message.count);
  EXPECT_EQ(FindInk(play.At(1100), kGreen).count, 0);
  EXPECT_EQ(FindInk(play.At(1100), kCyan).bounds, (Rect{0, 0, 64, 32}));
}

TEST(TextScenario, ChoicesLightUpAndJump) {
  // The run ends when the last choices wait for input the input file does not give; the end
  // picture must still show them.
  Play play("text_choices", {400, 600, 900}, 0);
  const Picture end = play.Shot("end");
  EXPECT_NE(play.result.err.find("waits for input"), std::string::npos) << play.result.err;
  // Q on line 1, and as it has text, the choices from line 2: forty W that wrap onto line 3,
  // Second, and NoTarget (no target). Text yellow on orange shadows; choices red on blue when
  // selected, green on cyan when not.
  const struct {
    std::uint32_t ms;
    int first, last;  // the lines drawn in the selected colour
  } hovers[] = {{400, 0, 0}, {600, 2, 3}, {900, 5, 5}};
  for (const auto& h : hovers) {
    const Picture& shot = play.At(h.ms);
    for (int line = 2; line <= 5; ++line) {
      SCOPED_TRACE(testing::Message() << h.ms << " ms, line " << line);
      const bool lit = line >= h.first && line <= h.last;
      // The shadow 2 pixels down may reach the next line's top rows; look above them.
      const Rect upper{0, (line - 1) * 32 + 2, 640, line * 32};
      EXPECT_EQ(!FindInk(shot, kRed, upper).bounds.Empty(), lit);
      EXPECT_EQ(!FindInk(shot, kBlue, upper).bounds.Empty(), lit);
      EXPECT_EQ(!FindInk(shot, kGreen, upper).bounds.Empty(), !lit);
      EXPECT_EQ(!FindInk(shot, kCyan, upper).bounds.Empty(), !lit);
    }
    EXPECT_EQ(FindInk(shot, kYellow, Rect{0, 32, 640, 480}).count, 0) << h.ms;
    EXPECT_EQ(FindInk(shot, kOrange, Rect{0, 34, 640, 480}).count, 0) << h.ms;
  }
  // The click on NoTarget did nothing; the one on Second jumped to :two, which drew TWO in the
  // usual colours on the line after the choices and read the click position.
  EXPECT_FALSE(LineInk(end, kYellow, 6).Empty());
  EXPECT_FALSE(LineInk(end, kOrange, 6).Empty());
  EXPECT_EQ(play.vars, ".let cx = 40\r\n.let cy = 112\r\n");
  // The jump emptied the table; the one choice added then goes on line 7, as line 6 ended.
  ExpectFills(FindInk(end, kGreen, Rect{0, 160, 640, 480}).bounds, Rect{0, 192, 80, 224});
  EXPECT_EQ(play.Errors(), std::vector<std::string>{});
}

TEST(TextScenario, TextHookShowsTheRestOfTheLineAfterItsReturn) {
  // AB\3CD, then EF\3 with GH on the next line, as the hook takes the line feed after it. \3 is
  // other:here, which draws HOOK in green and returns at its end. IJ\4KL calls :mine in the same
  // file (cyan MINE), MN\5OP other;1, which goes on after line 1 (the label line, then HOOK).
  Play play("text_hook", {900}, 1000);
  const std::pair<int, std::uint32_t> lines[] = {
      {0, kGreen}, {32, kGreen}, {64, kCyan}, {96, kGreen}};
  for (const auto& [top, colour] : lines) {
    SCOPED_TRACE(top);
    const auto in_line = [&](int left, int right) { return Rect{left, top, right, top + 32}; };
    ExpectFills(FindInk(play.At(900), kWhite, in_line(0, 32)).bounds, in_line(0, 32));
    ExpectFills(FindInk(play.At(900), colour, in_line(0, 640)).bounds, in_line(32, 96));
    ExpectFills(FindInk(play.At(900), kWhite, in_line(32, 640)).bounds, in_line(96, 128));
  }
}

TEST(TextScenario, FailedTextHookEndsTheRunWithItsReport) {
  const struct {
    const char* def;
    const char* report;
  } hooks[] = {
      {"", "start.txt:2: ファイルが開けません"},  // \5 never set: the file ".txt", which is missing
      {".def \\5 other:nowhere", "other.txt:3: 指定されたラベルが見つかりませんでした"},
      {".def \\5 other;9", "other.txt:3: 指定された行番号は無効です"},
  };
  for (const auto& hook : hooks) {
    SCOPED_TRACE(hook.def);
    TempDir game;
    game.Write("data/start.txt", std::string(hook.def) + "\nAB\\5CD\n.wat 5000\n");
    game.Write("data/other.txt", ":here\nx\n");
    HeadlessRun run;
    const RunResult& r = run.result = RunAdv({"--headless", game.path()});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(run.Errors().size(), 1u) << r.err;
    EXPECT_TRUE(r.HasError(hook.report)) << r.err;
    // The run ends at the hook, long before the wait after it.
    EXPECT_LT(EndMs(r), 1000) << r.err;
  }
}

// .pic and .spr through adv --headless, checked in screenshots: composition methods from
// pictures and colours, and transitions; the pictures-* folders hold offscreens, sprite keying,
// error messages and the spare-buffer path.
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

INSTANTIATE_TEST_SUITE_P(Pictures, ScenarioFolder,
                         testing::ValuesIn(ExpectFiles({"pictures-"}, WritePictures)), CaseName);

class PictureScenario : public ::testing::Test {
 protected:
  void SetUp() override {
    game.Write("data/config.txt", ".bgc #404040\n.scr 2\n");
    WritePictures(game);
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
