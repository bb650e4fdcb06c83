// End-to-end runs of small games through adv --headless: pacing, errors, variables,
// the background colour, scripted input, the settings file and looping music.
#include <gtest/gtest.h>

#include <stdlib.h>

#include "host/codecs/ffmpeg_audio_source.h"
#include "support/flow_headless.h"
#include "support/media_files.h"

namespace adv::test {
namespace {

// pacing, errors, variables, config, blocks, loads, expressions, background, input and settings:
// small games whose run.expect says what each does.
INSTANTIATE_TEST_SUITE_P(Shell, ScenarioFolder,
                         testing::ValuesIn(ExpectFiles(
                             {"pacing/", "errors/", "variables/", "config/", "blocks/", "loads/",
                              "expressions/", "background/", "input/", "settings/"})),
                         CaseName);

TEST(ShellScenario, UntilEndsTheRunAndRunsRepeatExactly) {
  TempDir out;
  const std::vector<std::string> args{
      "--headless", "--until", "1234", "--shot", "700:" + out.Path("a.png"), ScenarioDir("pacing")};
  const RunResult first = RunAdv(args);
  const std::string picture = out.Read("a.png");
  EXPECT_NE(first.err.find("end at 1234 ms"), std::string::npos) << first.err;
  EXPECT_EQ(RunAdv(args).err, first.err);
  EXPECT_EQ(out.Read("a.png"), picture);
}

// A window's clock runs from the machine's start; --until counts from adv's own.
TEST(ShellScenario, UntilInAWindowCountsFromTheStart) {
  ::setenv("SDL_VIDEODRIVER", "dummy", 1);
  ::setenv("SDL_AUDIODRIVER", "dummy", 1);
  TempDir game;
  game.Write("data/config.txt", ".int x\n");
  game.Write("data/start.txt", ".let x = 1\n.wat 100\n.let x = 2\n.wat 100000\n");
  const RunResult r =
      RunAdv({"--window", "--until", "1500", "--vars", game.Path("vars.txt"), game.path()});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(game.Read("vars.txt"), ".let x = 2\r\n");
}

TEST(ShellScenario, StartsThatCannotGoOnExitWithOne) {
  TempDir game;
  game.Write("data/config.txt", ".int a\n");
  RunResult r = RunAdv({"--headless", game.path()});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("box: startファイルが見つかりません\n"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("adv: cannot start"), std::string::npos);
  r = RunAdv({"--headless", "--shot", "oops", ScenarioDir("pacing")});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("usage: adv"), std::string::npos);
  game.Write("bad-input.txt", "10 wiggle\n");
  r = RunAdv({"--headless", "--input", game.Path("bad-input.txt"), ScenarioDir("pacing")});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("bad-input.txt:1: unknown event"), std::string::npos) << r.err;
}

// A looping song or CD range hears of its end at that millisecond, also while a wait holds the
// script, so it starts again at once; its stop command ends it.
TEST(ShellScenario, MusicAndCdRangesLoopThroughAWait) {
  HeadlessRun run;
  for (auto [track, hz] :
       {std::pair{"data/cdaudio/track01.wav", 660}, {"data/cdaudio/track02.wav", 880}}) {
    run.game.Write(track, "");
    WriteWav(run.game.Path(track), {double(hz), 0.5, 44100, 2, 44100 * 3 / 10});
  }
  ASSERT_TRUE(EncodeAudio(run.game.Path("data/music.mp3"), {440, 0.5, 44100, 2, 44100 * 4 / 10}));
  RunHeadless(run, ScenarioDir("music-loops"), {"--audio", run.out.Path("mix.wav")});
  auto mix = FfmpegAudioSource::Open(run.out.Path("mix.wav"));
  ASSERT_TRUE(mix);
  // Tenths of a second: the song up to its stop at 1.5 s, silence, track 1 (not running on
  // into track 2) from 2 s to its stop at 3.5 s, silence.
  std::vector<std::int16_t> tenth(2 * 4410);
  for (int i = 0; i < 40; ++i) {
    ASSERT_EQ(mix->Read(tenth.data(), 4410), 4410u);
    const double hz = ZeroCrossingHz(tenth.data(), 4410);
    if (i < 15) {
      EXPECT_GT(Rms(tenth.data(), 4410), 1000) << i;  // the song's own lead-in is a gap
    } else {
      EXPECT_NEAR(hz, i >= 20 && i < 35 ? 660 : 0, 30) << i;  // a millisecond either side
    }
  }
}

// SDL falls back to an invisible driver when the display cannot be reached; a player must hear
// that, not watch an unseen game run to its end.
TEST(ShellScenario, UnreachableDisplayIsNoWindow) {
  ::setenv("DISPLAY", ":99", 1);
  ::unsetenv("WAYLAND_DISPLAY");
  ::unsetenv("SDL_VIDEODRIVER");
  const RunResult r = RunAdv({"--window", ScenarioDir("pacing")});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("no display"), std::string::npos) << r.err;
}

// The bundled demo plays from its title through its choice to either ending without a script
// error, and its menu's save and load bring the scene back.
TEST(ShellScenario, DemoPlaysToBothEndings) {
  for (auto [input, scene] :
       {std::pair{"click-through.txt", "2"}, {"click-through-stars.txt", "1"}}) {
    SCOPED_TRACE(input);
    HeadlessRun run;
    RunHeadless(run, ScenarioDir("../../demo"), {"--input", ScenarioDir("../../demo/") + input});
    EXPECT_EQ(run.Errors(), std::vector<std::string>{});
    EXPECT_NE(run.vars.find(".let scene = " + std::string(scene) + "\r\n"), std::string::npos)
        << run.vars;
    EXPECT_NE(run.vars.find(".let visits = 1\r\n"), std::string::npos) << run.vars;
  }
}

}  // namespace
}  // namespace adv::test
