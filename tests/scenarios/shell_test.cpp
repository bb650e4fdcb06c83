// adv as the shell runs it: small games through adv --headless (pacing, errors, variables, the
// background colour, scripted input, the settings file, looping music), adv --check on broken
// games, and the installed package.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <filesystem>

#include "host/codecs/ffmpeg_audio_source.h"
#include "support/flow_headless.h"
#include "support/media_files.h"

namespace adv::test {
namespace {

// pacing, errors, variables, config, blocks, loads, expressions, background, input and settings:
// small games whose run.expect says what each does.
INSTANTIATE_TEST_SUITE_P(Shell, ScenarioFolder,
                         testing::ValuesIn(ExpectFiles({"pacing/", "errors/", "variables/",
                                                        "config/", "blocks/", "loads/",
                                                        "expressions/", "background/", "input/",
                                                        "settings/", "demo/", "no-start/"})),
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

// adv --check on small broken games, one folder per kind of problem (each folder's run.expect
// holds every line reported, the summary and the exit status); check-demo plants faults in the
// demo.
INSTANTIATE_TEST_SUITE_P(Check, ScenarioFolder, testing::ValuesIn(ExpectFiles({"check-"})),
                         CaseName);

// The .deb names what adv needs at run time, holds what make install puts in place, installs
// with dpkg into a scratch root, and the programs it installed run: adv plays the demo.
TEST(InstallScenario, DebianPackageInstallsAndPlays) {
  TempDir out, root;
  const std::string cpack = std::filesystem::path(ADV_CMAKE).replace_filename("cpack").string();
  RunResult pack =
      RunProgram(cpack, {"--config", ADV_BINARY_DIR "/CPackConfig.cmake", "-B", out.path()});
  ASSERT_EQ(pack.status, 0) << pack.out << pack.err;
  std::string deb;
  for (const auto& entry : std::filesystem::directory_iterator(out.path())) {
    if (entry.path().extension() == ".deb") deb = entry.path().string();
  }
  ASSERT_FALSE(deb.empty()) << pack.out;
  const RunResult info = RunProgram("/usr/bin/dpkg-deb", {"-f", deb, "Depends"});
  for (const char* needed :
       {"libsdl2-2", "libsdl2-image", "libfreetype", "fontconfig", "fonts-ipafont-gothic",
        "fonts-ipafont-mincho", "libfluidsynth", "libavcodec", "libavformat", "libswscale",
        "libswresample", "fluid-soundfont-gm"}) {
    EXPECT_NE(info.out.find(needed), std::string::npos) << needed << " in " << info.out;
  }
  for (const char* dir : {"var/lib/dpkg/info", "var/lib/dpkg/updates"}) {
    std::filesystem::create_directories(root.Path(dir));
  }
  root.Write("var/lib/dpkg/status", "");
  const RunResult install =
      RunProgram("/usr/bin/dpkg", {"--root=" + root.path(), "--force-depends", "--force-not-root",
                                   "--force-script-chrootless", "--log=/dev/null", "-i", deb});
  ASSERT_EQ(install.status, 0) << install.out << install.err;
  for (const char* file :
       {"usr/bin/adv", "usr/bin/adv-dpa", "usr/lib/adv/libadv-codecs.so",
        "usr/share/man/man1/adv.1", "usr/share/applications/adv.desktop",
        "usr/share/icons/hicolor/scalable/apps/adv.svg", "usr/share/metainfo/adv.metainfo.xml"}) {
    EXPECT_TRUE(root.Exists(file)) << file;
  }
  const RunResult version = RunProgram(root.Path("usr/bin/adv"), {"--version"});
  EXPECT_EQ(version.out.rfind("adv ", 0), 0u) << version.out << version.err;
  const RunResult help = RunProgram(root.Path("usr/bin/adv-dpa"), {"--help"});
  EXPECT_NE(help.out.find("usage: adv-dpa pack"), std::string::npos) << help.out << help.err;
  const std::string demo_dir = ScenarioDir("../../demo");
  const RunResult demo = RunProgram(
      root.Path("usr/bin/adv"),
      {"--headless", "--input", demo_dir + "/click-through.txt", "--until", "3000", demo_dir});
  EXPECT_EQ(demo.status, 0) << demo.err;
  EXPECT_NE(demo.err.find("end at 3000 ms"), std::string::npos) << demo.err;
}

// Without the codecs module beside it a game still plays, silently, and says so once.
TEST(InstallScenario, WithoutTheCodecsModuleTheGamePlaysSilently) {
  TempDir bin;
  std::filesystem::copy_file(ADV_BINARY, bin.Path("adv"));
  std::filesystem::permissions(bin.Path("adv"), std::filesystem::perms::owner_all);
  TempDir game;
  game.Write("data/start.txt", ".wav se 0\n.mid nothere 1\n.wat 100\n.end\n");
  game.Write("data/se.wav", "RIFF");  // a file, so that the codecs are asked for
  RunResult r = RunProgram(bin.Path("adv"), {"--headless", "--debug", game.path()});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("libadv-codecs.so cannot be loaded"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("end at 10"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace adv::test
