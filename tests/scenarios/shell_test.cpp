// End-to-end runs of small games through adv --headless: pacing, errors, variables,
// the background colour, scripted input and the settings file.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <algorithm>
#include <filesystem>

#include "support/run_adv.h"
#include "support/temp_dir.h"

namespace adv::test {
namespace {

bool HasLine(const RunResult& r, const std::string& line) {
  auto lines = r.ErrLines();
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

TEST(ShellScenario, WaitBeforeEndHoldsTheLastPicture) {
  RunResult r = RunAdv({"--headless", ScenarioDir("pacing")});
  EXPECT_EQ(r.status, 0);
  EXPECT_TRUE(HasLine(r, "end at 2000 ms after 4 frames")) << r.err;
}

TEST(ShellScenario, ScriptErrorsNameFileAndLine) {
  RunResult r = RunAdv({"--headless", ScenarioDir("errors")});
  EXPECT_EQ(r.status, 0);
  // Each line keeps the engine's message and says in English what it is about.
  EXPECT_TRUE(HasLine(r, "config.txt:2: 存在しない変数を指定しました (no variable \"nosuch\" is declared)"))
      << r.err;
  EXPECT_TRUE(HasLine(r, "start.txt:2: 存在しないコマンドを指定しました (there is no command \".foo\")"));
  EXPECT_TRUE(HasLine(r, "start.txt:3: 存在しないコマンドを指定しました (there is no command \".WAT\")"));
  EXPECT_TRUE(HasLine(r, "start.txt:4: 存在しない変数に代入しようとしました (cannot assign to "
                         "\"undeclared\": no such variable is declared)"));
  EXPECT_TRUE(HasLine(r, "start.txt:5: 存在しない変数を指定しました (no variable \"x\" is declared)"));
  EXPECT_EQ(r.err.find("start.txt:6"), std::string::npos);  // a quoted command word counts
  // The box of each error, line by line.
  EXPECT_NE(r.err.find("box: FILE : start.txt\nbox: LINE : 4\nbox: \n"
                       "box: 存在しない変数に代入しようとしました\n"),
            std::string::npos);
  // The quoted .wat 100 counts from the start: the run ends at 100 ms.
  EXPECT_TRUE(HasLine(r, "end at 100 ms after 9 frames")) << r.err;
}

TEST(ShellScenario, VariablesAreWrittenAsASaveFile) {
  TempDir out;
  RunResult r = RunAdv({"--headless", "--vars", out.Path("vars.txt"), ScenarioDir("variables")});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(out.Read("vars.txt"),
            ".let flag0 = 3\r\n.let flag1 = 3\r\n.let flag2 = 9\r\n.let i = 2\r\n"
            ".let k = -5\r\n.let score = 9\r\n"
            ".let k = \"\"\r\n.let name = \"Taro Yamada\"\r\n");
}

TEST(ShellScenario, BackgroundColourFillsTheWindow) {
  TempDir out;
  RunResult r = RunAdv({"--headless", "--shot", "50:" + out.Path("a.png"), "--shot",
                        "end:" + out.Path("b.png"), ScenarioDir("background")});
  EXPECT_EQ(r.status, 0);
  for (const char* name : {"a.png", "b.png"}) {
    Picture shot;
    ASSERT_TRUE(ReadPng(out.Path(name), shot)) << name;
    ASSERT_EQ(shot.width, 640);
    ASSERT_EQ(shot.height, 480);
    EXPECT_EQ(shot.At(0, 0), ShotColour(0x3060C0));
    EXPECT_EQ(shot.At(639, 479), ShotColour(0x3060C0));
  }
}

TEST(ShellScenario, ScriptedInputMovesTheCursorAndClosesTheWindow) {
  TempDir out;
  RunResult r = RunAdv({"--headless", "--input", ScenarioDir("input") + "/input.txt", "--vars",
                        out.Path("vars.txt"), ScenarioDir("input")});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(out.Read("vars.txt"), ".let x = 66\r\n.let y = 76\r\n");
  EXPECT_NE(r.err.find("end at 900 ms"), std::string::npos) << r.err;
}

TEST(ShellScenario, UntilEndsTheRunAndRunsRepeatExactly) {
  TempDir out;
  std::vector<std::string> args{
      "--headless", "--until", "1234", "--shot", "700:" + out.Path("a.png"), ScenarioDir("input")};
  RunResult first = RunAdv(args);
  std::string picture = out.Read("a.png");
  RunResult second = RunAdv(args);
  EXPECT_NE(first.err.find("end at 1234 ms"), std::string::npos) << first.err;
  EXPECT_EQ(first.err, second.err);
  EXPECT_EQ(picture, out.Read("a.png"));
}

TEST(ShellScenario, SettingsFileChoosesFolderExtensionAndMode) {
  TempDir out;
  RunResult r = RunAdv({"--headless", "--vars", out.Path("vars.txt"), ScenarioDir("settings")});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(out.Read("vars.txt"), ".let ok = 1\r\n");
  // Full screen settles for 800 ms before the first frame.
  EXPECT_NE(r.err.find("end at 80"), std::string::npos) << r.err;
}

TEST(ShellScenario, MissingStartScriptFailsTheStart) {
  TempDir game;
  game.Write("data/config.txt", ".int a\n");
  RunResult r = RunAdv({"--headless", game.path()});
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(HasLine(r, "box: startファイルが見つかりません")) << r.err;
  EXPECT_NE(r.err.find("adv: cannot start"), std::string::npos);
}

TEST(ShellScenario, BadCommandLinesAreRefused) {
  RunResult r = RunAdv({"--headless", "--shot", "oops", ScenarioDir("pacing")});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("usage: adv"), std::string::npos);
  TempDir out;
  out.Write("bad-input.txt", "10 wiggle\n");
  r = RunAdv({"--headless", "--input", out.Path("bad-input.txt"), ScenarioDir("pacing")});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("bad-input.txt:1: unknown event"), std::string::npos) << r.err;
}

// The bundled demo plays from its title through its choice to either ending without a script
// error, and its menu's save and load bring the scene back.
TEST(ShellScenario, DemoPlaysToBothEndings) {
  for (auto [input, scene] : {std::pair{"click-through.txt", 2}, {"click-through-stars.txt", 1}}) {
    TempDir game;
    std::filesystem::copy(ScenarioDir("../../demo"), game.path(),
                          std::filesystem::copy_options::recursive);
    TempDir out;
    RunResult r = RunAdv({"--headless", "--input", game.Path(input), "--vars",
                          out.Path("vars.txt"), game.path()});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err.find(".txt:"), std::string::npos) << r.err;  // no script error
    const std::string vars = out.Read("vars.txt");
    EXPECT_NE(vars.find(".let scene = " + std::to_string(scene) + "\r\n"), std::string::npos)
        << input << "\n" << vars;
    EXPECT_NE(vars.find(".let visits = 1\r\n"), std::string::npos) << vars;
  }
}

// SDL falls back to an invisible driver when the display cannot be reached; a player must hear
// that, not watch an unseen game run to its end.
TEST(ShellScenario, UnreachableDisplayIsNoWindow) {
  ::setenv("DISPLAY", ":99", 1);
  ::unsetenv("WAYLAND_DISPLAY");
  ::unsetenv("SDL_VIDEODRIVER");
  RunResult r = RunAdv({"--window", ScenarioDir("pacing")});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("no display"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace adv::test
