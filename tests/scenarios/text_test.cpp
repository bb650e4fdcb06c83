// Message text through adv --headless: escapes, speed, instant text, the page, click waits with
// their wait and click modes, the wait mark, the message window, .tps, .tpr, choices, text hooks
// and every text report, checked by where ink of a known colour lies in screenshots.
#include <gtest/gtest.h>

#include <map>

#include "support/ink.h"
#include "support/run_adv.h"
#include "support/temp_dir.h"

namespace adv::test {
namespace {

constexpr std::uint32_t kWhite = 0xFFFFFF, kRed = 0xFF0000, kGreen = 0x00FF00, kYellow = 0xFFFF00,
                        kCyan = 0x00FFFF, kBlue = 0x0000FF, kOrange = 0xFF8000;

// Where ink of one script colour lies: text is checked by where characters of a known colour
// landed, not by the exact pixels of their glyphs.
struct ShotInk {
  Rect bounds;  // empty when there is none
  int count = 0;
};

// Pixels of the script colour #RRGGBB (given as 0xRRGGBB) inside `within`.
ShotInk FindInk(const Picture& shot, std::uint32_t rrggbb, const Rect& within = {0, 0, 640, 480}) {
  const Rect area = IntersectRect(within, Rect{0, 0, shot.width, shot.height});
  ShotInk ink;
  for (int y = area.top; y < area.bottom; ++y) {
    for (int x = area.left; x < area.right; ++x) {
      if (shot.At(x, y) != ShotColour(rrggbb)) continue;
      ink.bounds = UnionRect(ink.bounds, Rect{x, y, x + 1, y + 1});
      ++ink.count;
    }
  }
  return ink;
}

// tests/scenarios/NAME run until `until` ms, with the input file NAME/INPUT when given and a
// screenshot at each of `times`.
class Play {
 public:
  Play(const std::string& name, const std::vector<std::uint32_t>& times, std::uint32_t until,
       const std::string& input = "", const std::vector<std::string>& extra = {}) {
    // until 0: the run ends on its own.
    std::vector<std::string> args{"--headless"};
    if (until != 0) args.insert(args.end(), {"--until", std::to_string(until)});
    if (!input.empty()) args.insert(args.end(), {"--input", ScenarioDir(name) + "/" + input});
    for (std::uint32_t ms : times) {
      args.insert(args.end(), {"--shot", std::to_string(ms) + ":" + Shot(ms)});
    }
    args.insert(args.end(), extra.begin(), extra.end());
    args.push_back(ScenarioDir(name));
    result = RunAdv(args);
    EXPECT_EQ(result.status, 0) << result.err;
    for (std::uint32_t ms : times) EXPECT_TRUE(ReadPng(Shot(ms), shots[ms])) << ms;
  }
  const Picture& At(std::uint32_t ms) { return shots[ms]; }
  std::string Shot(std::uint32_t ms) const { return out.Path(std::to_string(ms) + ".png"); }

  TempDir out;
  RunResult result;
  std::map<std::uint32_t, Picture> shots;
};

// Ink on message line `line` (from 1) of a page at (0, 0) in lines of `size` pixels.
Rect LineInk(const Picture& shot, std::uint32_t colour, int line, int size = 32) {
  return FindInk(shot, colour, Rect{0, (line - 1) * size, 640, line * size}).bounds;
}

// How many 16-pixel cells from the left edge the ink reaches: the half-width characters of a
// line, however each glyph sits in its cell.
int Cells(const Rect& ink) {
  if (ink.Empty()) return 0;
  EXPECT_LT(ink.left, 16) << "the line does not start at the left edge";
  return (ink.right + 15) / 16;
}

// The ink lies in the character cells `cells` and reaches into the first and the last of them.
void ExpectFills(const Rect& ink, const Rect& cells, int cell = 16) {
  EXPECT_FALSE(ink.Empty()) << "no ink";
  EXPECT_EQ(IntersectRect(ink, cells), ink) << "ink outside the cells";
  EXPECT_LT(ink.left, cells.left + cell);
  EXPECT_GT(ink.right, cells.right - cell);
}

// The FILE:LINE: lines, each without the English explanation after the engine's message.
std::vector<std::string> Reports(const RunResult& r) {
  std::vector<std::string> lines;
  for (const std::string& line : r.ErrLines()) {
    if (line.find(".txt:") != std::string::npos && line.rfind("box:", 0) != 0) {
      const std::size_t explained = line.rfind(" (");
      lines.push_back(
          line.back() == ')' && explained != std::string::npos ? line.substr(0, explained) : line);
    }
  }
  return lines;
}

// The virtual time a headless run ended at.
int EndMs(const RunResult& r) {
  const std::size_t at = r.err.find("end at ");
  return at == std::string::npos ? -1 : std::stoi(r.err.substr(at + 7));
}

// The half-width cells the ink of each message line reaches at moments of a run.
struct Moment {
  std::uint32_t ms;
  std::vector<int> cells;  // of lines 1, 2, ...
};

const struct {
  const char* name;
  const char* input;
  std::vector<Moment> moments;
  const char* vars = "";  // the variables file at the end, when not empty
} kLineRuns[] = {
    // AB\nCD / EF\N / GH\n (an empty line) / IJ\d with the rest dropped and KL after it / M\xN,
    // the x drawn once / OP\D, the same with QR, and \N with S after it / TU\ at the line end,
    // one line break.
    {"text_escapes", "", {{900, {2, 2, 2, 2, 0, 4, 3, 4, 1, 2, 1, 0}}}},
    // AB waits after \c; the line breaks after the wait; CD waits after \C, which takes the line
    // feed, so EF goes on after it; GH waits after \t; the page clears: IJ, then KL waits after
    // \T; cleared again, MN on the first line, as \T took the line feed; .tcl 3 0 clears it
    // without a click.
    {"text_waits",
     "input.txt",
     {{400, {2, 0, 0}},
      {900, {2, 2, 0}},
      {1400, {2, 4, 2}},
      {1900, {2, 2, 0}},
      {2100, {2, 0, 0}},
      {2400, {0, 0, 0}}}},
    // 100 ms a character; from 1400 the left button is held, and .tsp 100 10 makes it 10 ms.
    {"text_speed", "input.txt", {{250, {3}}, {550, {6}}, {1390, {12, 2}}, {1650, {12, 12}}}},
    // .tct 2 2: the click at 150 during display shows the rest of the line at once, after the
    // delay of the character on screen (C, at 200); the click that ends the wait makes the next
    // line instant too.
    {"text_instant",
     "input.txt",
     {{120, {2}}, {250, {3}}, {350, {8}}, {900, {8, 0}}, {1050, {8, 8}}}},
    // .clk 1 0 passes at once when the left button is held as it begins, else the click at 700
    // ends it; .clk 2 2 takes no click, so only the left click-jump label leaves it, to D past
    // the red C.
    {"text_clicks", "held.txt", {{500, {1, 0, 0}}, {900, {1, 0, 0}}, {1400, {1, 1, 0}}}},
    {"text_clicks", "released.txt", {{500, {0, 0, 0}}, {900, {1, 0, 0}}, {1400, {1, 0, 0}}}},
    // Wait and click modes. .def \c 0 1 waits for A with no button held, .def \t 3 3 lets B's
    // wait pass and clears, and the text goes on after it (C on line 2). With the right button
    // held from 300, D's \c passes, .clk 1 0 waits for the click at 600, then .clk 0 1 passes
    // and .tcl 0 3 passes and clears (F on line 1). .clk 2 0 refuses the left click at 700 and
    // takes the right one at 800 (G); .tcl 7 -1 keeps that, refusing the left click at 900 and
    // taking the right one at 1000, whose position ClickX reads (H). The clicks at 1150, with a
    // fast-display value, and at 1950, in text-click mode 0, do not skip the text. A left click
    // with the right button held in mode 2 makes the text after Y's wait instant, but not with
    // a fast-display value after Z's.
    {"text_modes",
     "input.txt",
     {{150, {1}},
      {250, {0, 1}},
      {550, {0, 1, 1, 0}},
      {650, {1, 0}},
      {750, {1, 0}},
      {850, {1, 1}},
      {950, {1, 1}},
      {1350, {1, 4}},
      {2150, {1, 8, 4}},
      {2850, {1, 8, 8, 1, 8, 1}},
      {3450, {1, 8, 8, 1, 8, 1, 5}}},
     ".let cx = 123\r\n"},
    // .tsw, .thd and .tsw again each show once the .wat before it has run: at about 300, 600,
    // 900 and 1200.
    {"text_window",
     "",
     {{250, {0, 0}}, {350, {2, 0}}, {550, {2, 0}}, {650, {0, 0}}, {1000, {0, 0}}, {1300, {2, 2}}}},
};

TEST(TextScenario, LinesAtEachMoment) {
  for (const auto& run : kLineRuns) {
    SCOPED_TRACE(run.name);
    std::vector<std::uint32_t> times;
    for (const Moment& m : run.moments) times.push_back(m.ms);
    TempDir vars;
    std::vector<std::string> extra;
    if (*run.vars != '\0') extra = {"--vars", vars.Path("vars.txt")};
    Play play(run.name, times, times.back() + 100, run.input, extra);
    EXPECT_EQ(*run.vars != '\0' ? vars.Read("vars.txt") : "", run.vars);
    for (const Moment& m : run.moments) {
      for (std::size_t i = 0; i < m.cells.size(); ++i) {
        EXPECT_EQ(Cells(LineInk(play.At(m.ms), kWhite, static_cast<int>(i) + 1)), m.cells[i])
            << m.ms << " ms, line " << i + 1;
      }
    }
  }
}

TEST(TextScenario, FullPageThenTheTwentyFirstLine) {
  // Size 16: twenty lines of 16 pixels, the last one full to the width of 600.
  Play play("text_page", {900, 1400}, 1500, "input.txt");
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

TEST(TextScenario, WaitMarkPlacesAndBlinks) {
  Play play("text_mark",
            {200, 500, 800, 1100, 1650, 1800, 2300, 2800, 3050, 3450, 3600, 4100, 4400, 4900, 5200},
            5300, "input.txt");
  // The layer is at (20, 100); "AB" ends at x 32 of its first line.
  const Rect none;
  const struct {
    std::uint32_t ms;
    Rect red, green;  // mark 1 for \c, mark 2 for \t, each 8 x 8
  } marks[] = {
      {200, {300, 40, 308, 48}, none},   // mode 0: the screen point
      {500, {24, 166, 32, 174}, none},   // mode 1: where the next character goes (line 3)
      {800, {56, 102, 64, 110}, none},   // mode 2: after the last character
      {1100, {56, 102, 64, 110}, none},  // mode 7: where the last wait had it
      // Blinking every 500 ms from the wait at about 1200, until the click at 3000.
      {1650, none, none},
      {1800, {56, 100, 64, 108}, none},
      {2300, none, none},
      {2800, {56, 100, 64, 108}, none},
      {3050, none, none},
      // \t after "CD" on line 7 shows mark 2 one interval after its wait began.
      {3450, none, none},
      {3600, none, {56, 292, 64, 300}},
      {4100, none, none},                // .mst delete
      {4400, none, none},                // mark 1 set again, but the window is hidden
      {4900, {300, 40, 308, 48}, none},  // shown again, .clk: picture 1
      {5200, none, {300, 40, 308, 48}},  // .tcl: picture 2
  };
  for (const auto& m : marks) {
    EXPECT_EQ(FindInk(play.At(m.ms), kRed).bounds, m.red) << m.ms << " ms";
    EXPECT_EQ(FindInk(play.At(m.ms), kGreen).bounds, m.green) << m.ms << " ms";
  }
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
  TempDir vars;
  // The run ends when the last choices wait for input the input file does not give; the end
  // picture must still show them.
  Play play("text_choices", {400, 600, 900}, 0, "input.txt",
            {"--vars", vars.Path("vars.txt"), "--shot", "end:" + vars.Path("end.png")});
  Picture end;
  ASSERT_TRUE(ReadPng(vars.Path("end.png"), end));
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
  EXPECT_EQ(vars.Read("vars.txt"), ".let cx = 40\r\n.let cy = 112\r\n");
  // The jump emptied the table; the one choice added then goes on line 7, as line 6 ended.
  ExpectFills(FindInk(end, kGreen, Rect{0, 160, 640, 480}).bounds, Rect{0, 192, 80, 224});
  EXPECT_EQ(Reports(play.result), std::vector<std::string>{});
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

TEST(TextScenario, EveryTextReportNamesFileAndLine) {
  RunResult r = RunAdv({"--headless", ScenarioDir("text_reports")});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(Reports(r), (std::vector<std::string>{
                            "start.txt:1: 「.txt maxline」に失敗しました",
                            "start.txt:2: 「.txt space size」に失敗しました",
                            "start.txt:3: 「.txt font magnification」に失敗しました",
                            "start.txt:4: 「.tpr font magnification」に失敗しました",
                            "start.txt:5: コピー先に存在しないオフスクリーンを指定しました",
                            "start.txt:6: 選択肢が登録されていないのに選択肢を表示しようとしました",
                            "start.txt:9: 「.txt space pos」に失敗しました",
                            "start.txt:10: 「.txt maxline」に失敗しました",
                            "start.txt:15: コピー先に存在しないオフスクリーンを指定しました",
                            "start.txt:35: 選択肢の数が多すぎます",
                        }))
      << r.err;
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
    RunResult r = RunAdv({"--headless", game.path()});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(Reports(r), (std::vector<std::string>{hook.report})) << r.err;
    // The run ends at the hook, long before the wait after it.
    EXPECT_LT(EndMs(r), 1000) << r.err;
  }
}

}  // namespace
}  // namespace adv::test
