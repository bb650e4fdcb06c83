// The player's comforts, played headless: skip, auto, the backlog and screenshots. The game shows
// two five-character pages at 20 ms a character, each ending in a click wait, then two choices;
// .now records when each wait ended.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>

#include "support/flow_headless.h"

namespace adv::test {
namespace {

// The integer the run left in name; -1 when there is none.
int Var(const HeadlessRun& run, const std::string& name) {
  const std::size_t at = run.vars.find(".let " + name + " = ");
  return at == std::string::npos ? -1 : std::atoi(run.vars.c_str() + at + name.size() + 8);
}

void Play(HeadlessRun& run, const std::string& input, const std::string& settings = "",
          const std::vector<std::string>& args = {}, const std::vector<std::string>& shots = {}) {
  run.game.Write("input.txt", input);
  if (!settings.empty()) run.game.Write("adv.ini", "[Settings]\n" + settings);
  RunHeadless(run, ScenarioDir("comforts"), args, shots);
}

constexpr int kPageMs = 5 * 20;  // one page shown at the script's speed

TEST(ComfortsScenario, SkipPassesSeenTextUpToTheChoices) {
  TempDir data;
  ::setenv("XDG_DATA_HOME", data.path().c_str(), 1);
  struct Case {
    const char* input;
    const char* settings;
    bool skips;
  };
  // The cursor rests on the first choice, where a skip that clicked through choices would pick.
  const Case cases[] = {
      {"0 move 10 80\n0 keydown ctrl\n", "", false},  // nothing seen yet
      {"0 move 10 80\n0 keydown ctrl\n", "SkipUnseen=1\n", true},
      {"0 move 10 80\n0 key tab\n", "SkipUnseen=1\n", true},
      {"0 key tab\n0 key tab\n", "SkipUnseen=1\n", false},
      {"0 keydown ctrl\n1 keyup ctrl\n", "SkipUnseen=1\n", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.input);
    HeadlessRun run;
    Play(run, c.input, c.settings);
    if (c.skips) {
      EXPECT_GT(Var(run, "t2"), 0);
      EXPECT_LT(Var(run, "t2"), kPageMs);
      EXPECT_EQ(Var(run, "pick"), 0);
    } else {
      EXPECT_EQ(Var(run, "t1"), 0);
    }
  }
  // Lines seen in one run are skipped in the next that keeps the same record.
  TempDir record;
  const std::vector<std::string> seen{"--seen", record.Path("seen")};
  HeadlessRun first, second;
  Play(first, "500 click 5 5\n1000 click 5 5\n", "", seen);
  EXPECT_EQ(Var(first, "t2"), 1002);
  // Damage in the record loses only the damaged lines.
  record.Write("seen", "\tx\nstart.txt\t-1\nstart.txt\tabc\n" + record.Read("seen") + "junk");
  Play(second, "0 keydown ctrl\n", "", seen);
  EXPECT_GT(Var(second, "t2"), 0);
  EXPECT_LT(Var(second, "t2"), kPageMs);
  // No headless run touched the player's own record.
  EXPECT_TRUE(std::filesystem::is_empty(data.path()));
}

TEST(ComfortsScenario, AutoTurnsThePageAfterItsCharactersAndASecond) {
  HeadlessRun on, off;
  Play(on, "0 key a\n", "AutoDelay=100\n");
  // The wait begins once the page is shown and lasts 5 x 100 ms plus a second.
  const int wait = 5 * 100 + 1000;
  EXPECT_GE(Var(on, "t1"), kPageMs + wait);
  EXPECT_LT(Var(on, "t1"), kPageMs + wait + 20);
  EXPECT_GE(Var(on, "t2") - Var(on, "t1"), kPageMs + wait);
  EXPECT_LT(Var(on, "t2") - Var(on, "t1"), kPageMs + wait + 20);
  Play(off, "0 key a\n1000 key a\n", "AutoDelay=100\n");
  EXPECT_EQ(Var(off, "t1"), 0);
  // Time spent in the backlog does not count.
  HeadlessRun paused;
  Play(paused, "0 key a\n500 wheel up 5 5\n1500 key esc\n", "AutoDelay=100\n");
  EXPECT_GE(Var(paused, "t1"), Var(on, "t1") + 990);
  EXPECT_LT(Var(paused, "t1"), Var(on, "t1") + 1020);
}

TEST(ComfortsScenario, BacklogHoldsTheGameAndShowsEarlierPages) {
  // Page two waits from about 400 ms. The backlog opens on it, goes back to page one, takes a
  // click and Enter for itself, comes forward and closes with Esc; the click at 1500 ends the
  // wait. The second run closes it with a right click instead.
  for (const char* close : {"1000 key esc\n", "1000 rclick 5 5\n"}) {
    SCOPED_TRACE(close);
    HeadlessRun run;
    Play(run,
         std::string("300 click 5 5\n500 wheel up 5 5\n600 key pageup\n700 click 5 5\n"
                     "800 key enter\n900 wheel down 5 5\n") +
             close + "1500 click 5 5\n",
         "", {}, {"250", "650", "1200"});
    EXPECT_EQ(Var(run, "t1"), 302);
    EXPECT_EQ(Var(run, "t2"), 1502);
    const Picture page_one = run.Shot("250"), backlog = run.Shot("650"), after = run.Shot("1200");
    // Page one's text is drawn again as it was, over a darker picture.
    int ink = 0;
    for (int y = 0; y < 32; ++y) {
      for (int x = 0; x < 100; ++x) {
        if (page_one.At(x, y) != 0xFFFFFF) continue;
        ++ink;
        EXPECT_EQ(backlog.At(x, y), 0xFFFFFFu) << x << "," << y;
      }
    }
    EXPECT_GT(ink, 20);
    const std::uint32_t picture = ShotColour(0x408060), dark = backlog.At(600, 400);
    for (int shift : {0, 8, 16}) {
      EXPECT_LT((dark >> shift) & 0xFF, (picture >> shift) & 0xFF);
    }
    // The page on screen does not show through where page two had its line.
    for (int y = 36; y < 64; ++y) {
      for (int x = 0; x < 100; ++x) ASSERT_EQ(backlog.At(x, y), dark) << x << "," << y;
    }
    EXPECT_EQ(after.At(600, 400), picture);
  }
}

TEST(ComfortsScenario, F11WritesThePictureOnScreen) {
  TempDir pictures;
  ::setenv("XDG_PICTURES_DIR", pictures.path().c_str(), 1);
  HeadlessRun run;
  Play(run, "300 key f11\n", "", {}, {"300"});
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(pictures.Path("adv"))) {
    files.push_back(entry.path());
  }
  ASSERT_EQ(files.size(), 1u);
  const std::string name = files[0].filename().string();
  EXPECT_EQ(name.rfind(std::filesystem::path(run.game.path()).filename().string() + "-2000", 0), 0u)
      << name;
  Picture shot;
  ASSERT_TRUE(ReadPng(files[0].string(), shot));
  EXPECT_EQ(shot.rgb, run.Shot("300").rgb);
}

}  // namespace
}  // namespace adv::test
