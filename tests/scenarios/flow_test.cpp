// End-to-end runs of jumps, subroutines, blocks, click-jump labels, save files, the player's
// comforts and the media commands through adv --headless.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "support/flow_headless.h"
#include "support/media_files.h"
#include "support/smf_writer.h"

namespace adv::test {
namespace {

// The runner of every scenario folder's expect files (flow_headless.h).
TEST_P(ScenarioFolder, DoesWhatItsExpectFileSays) {
  ExpectScenario(GetParam());
}

INSTANTIATE_TEST_SUITE_P(Flow, ScenarioFolder, testing::ValuesIn(ExpectFiles({"flow-", "jumps/"})),
                         CaseName);

// The player's comforts: skip, auto, the seen record, the backlog and screenshots. The comforts
// game shows two five-character pages at 20 ms a character, each ending in a click wait, then
// two choices; .now records when each wait ended.
void SeenChecks(const HeadlessRun& run) {
  EXPECT_NE(run.game.Read("seen"), "");
  EXPECT_NE(run.game.Read("record").find(run.game.Read("seen")), std::string::npos);
}

// The backlog darkens the picture, and page two's line does not show through it.
void BacklogChecks(const HeadlessRun& run) {
  const Picture backlog = run.Shot("650");
  const std::uint32_t picture = ShotColour(0x408060), dark = backlog.At(600, 400);
  for (int shift : {0, 8, 16}) EXPECT_LT((dark >> shift) & 0xFF, (picture >> shift) & 0xFF);
  for (int y = 36; y < 64; ++y) {
    for (int x = 0; x < 100; ++x) ASSERT_EQ(backlog.At(x, y), dark) << x << "," << y;
  }
}

// F11 wrote the picture on screen, named for the game and the date.
void ScreenshotChecks(const HeadlessRun& run) {
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(run.out.Path("pictures/adv"))) {
    files.push_back(entry.path());
  }
  ASSERT_EQ(files.size(), 1u);
  const std::string name = files[0].filename().string();
  EXPECT_TRUE(
      name.starts_with(std::filesystem::path(run.game.path()).filename().string() + "-2000"))
      << name;
  Picture shot;
  ASSERT_TRUE(ReadPng(files[0].string(), shot));
  EXPECT_EQ(shot.rgb, run.Shot("300").rgb);
}

INSTANTIATE_TEST_SUITE_P(Comforts, ScenarioFolder,
                         testing::ValuesIn(ExpectFiles({"comforts/"}, nullptr,
                                                       {{"comforts/seen-write", SeenChecks},
                                                        {"comforts/backlog", BacklogChecks},
                                                        {"comforts/f11", ScreenshotChecks}})),
                         CaseName);

// The integer a --vars file gives name.
int Var(const std::string& vars, const std::string& name) {
  std::smatch m;
  EXPECT_TRUE(std::regex_search(vars, m, std::regex("\\.let " + name + " = (-?[0-9]+)"))) << name;
  return m.empty() ? 0 : std::stoi(m[1]);
}

void WriteMedia(const TempDir& game) {
  const auto ms = [](int n) { return std::int64_t{44100} * n / 1000; };
  std::filesystem::create_directories(game.Path("data/cdaudio"));
  ASSERT_TRUE(WriteWav(game.Path("data/tone.wav"), {440, 0.5, 44100, 2, ms(300)}));
  ASSERT_TRUE(WriteWav(game.Path("data/Stop.wav"), {440, 0.5, 44100, 2, ms(200)}));
  ASSERT_TRUE(WriteWav(game.Path("data/short"), {440, 0.5, 44100, 2, ms(100)}));
  ASSERT_TRUE(WriteWav(game.Path("data/short.wav"), {440, 0.5, 44100, 2, ms(400)}));
  ASSERT_TRUE(EncodeAudio(game.Path("data/song.mp3"), {440, 0.5, 44100, 2, ms(1000)}));
  ASSERT_TRUE(WriteWav(game.Path("data/cdaudio/track01.wav"), {440, 0.5, 44100, 2, ms(100)}));
  ASSERT_TRUE(WritePaletteMovie(game.Path("data/movie.avi"), 64, 48, 10, 5, 0x00FF00));
  // A short note: long silent before the song is started again.
  game.Write("data/song.mid",
             BuildSmf(480, {SmfTrack().Event(0, {0x90, 69, 100}).Event(120, {0x80, 69, 0}).End()}));
}

// Every media command through the interpreter: how long each mode-1 sound holds the script,
// which file a name plays, what is heard between the times the script took, the log of a CD
// track the disc lacks, and the cursor glide.
TEST(MediaScenario, CommandsHoldPlayAndLog) {
  HeadlessRun run;
  WriteMedia(run.game);
  RunHeadless(run, ScenarioDir("media"), {"--audio", run.out.Path("mix.wav"), "--debug"});
  const std::string& v = run.vars;
  // The click at 100 ms is held until tone.wav's 300 ms have passed; then its label fires.
  EXPECT_EQ(Var(v, "lost"), 0);
  EXPECT_EQ(Var(v, "x"), 30);
  const struct {
    const char* from;
    const char* to;
    int ms;
  } holds[] = {{"t0", "t1", 300}, {"t1", "t2", 200}, {"t2", "t3", 100}, {"t7", "t8", 160}};
  for (const auto& h : holds) {
    const int held = Var(v, h.to) - Var(v, h.from);
    EXPECT_GE(held, h.ms) << h.to;
    EXPECT_LE(held, h.ms + 8) << h.to;
  }
  EXPECT_EQ(Var(v, "cx"), 300);
  EXPECT_EQ(Var(v, "cy"), 200);
  EXPECT_NE(run.result.err.find("CCDDA::Playで再生トラックが最大トラック数を超えています"),
            std::string::npos)
      << run.result.err;
  EXPECT_EQ(run.Shot("end").At(320, 240) | 0x0F0F0F, 0x0FFF0F);  // the movie's frame

  const std::string mix = run.out.Read("mix.wav");
  const auto rms = [&](int from_ms, int to_ms) {
    const auto* samples = reinterpret_cast<const std::int16_t*>(mix.data() + 44);
    const std::size_t first = std::size_t{44100} * from_ms / 1000;
    const std::size_t frames = std::size_t{44100} * to_ms / 1000 - first;
    EXPECT_LE(44 + 4 * (first + frames), mix.size());
    return Rms(samples + 2 * first, frames);
  };
  EXPECT_EQ(rms(Var(v, "t3") + 10, Var(v, "t4")), 0);  // mode 3
  const int restart = Var(v, "t5");
  EXPECT_LT(rms(restart - 300, restart), 30);  // the song has ended
  // It is heard again from about 100 ms after .mid (the sequencer's start delay), before the MP3.
  EXPECT_GT(rms(restart + 100, restart + 250), 100);
}

}  // namespace
}  // namespace adv::test
