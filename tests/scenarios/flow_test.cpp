// End-to-end runs of jumps, subroutines, blocks, click-jump labels, save files and the media
// commands through adv --headless: the variables at exit, the save files written, the error
// lines on stderr and the sound it made.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "support/flow_headless.h"
#include "support/media_files.h"
#include "support/smf_writer.h"

namespace adv::test {
namespace {

void SaveFileChecks(const HeadlessRun& run) {
  EXPECT_EQ(run.game.Read("data/slot1.txt"),
            ".let day = 3\r\n.let first = 0\r\n.let lodline = 0\r\n.let score = 120\r\n"
            ".let skipped = 0\r\n.let curfile = \"\"\r\n.let lodfile = \"\"\r\n"
            ".let name = \"Hanako Sato\"\r\n.let restored = \"\"\r\n.let shown = \"\"\r\n");
}

// Each failure is reported at its place and ends the script: the .oops after it would add an
// error line of its own.
const ScenarioCase kFlows[] = {
    {.game = "flow-jumps",
     .vars = ".let depth = 0\r\n.let line1 = 3\r\n.let line2 = 5\r\n.let file1 = \"start.txt\"\r\n"
             ".let file2 = \"lib.txt\"\r\n.let trail = \"abcde\"\r\n"},
    // The click-jump label fires once, from any state, as its flag allows.
    {.game = "flow-click",
     .vars = ".let back = 0\r\n.let n = 1\r\n.let x = 30\r\n.let y = 40\r\n",
     .end = "end at 4503 ms"},
    // Choices survive a click-jump label and show again; a right click takes none.
    {.game = "flow-choices",
     .vars = ".let n = 2\r\n.let r = 0\r\n.let x = 10\r\n.let y = 30\r\n"
             ".let page = \"A1\\NB\\NA1\\NB\\NC\\N\"\r\n"},
    // A name outside the game folder is refused; the older save reports its one stale line. Loaded
    // whole, a save runs as a subroutine of the .lod line: text shows, and .sub exit returns.
    {.game = "flow-save",
     .vars = ".let day = 4\r\n.let first = 3\r\n.let lodline = 15\r\n.let score = 70\r\n"
             ".let skipped = 0\r\n.let curfile = \"old.txt\"\r\n.let lodfile = \"start.txt\"\r\n"
             ".let name = \"Old Save\"\r\n.let restored = \"120/3/Hanako Sato\"\r\n"
             ".let shown = \"Saved text\\N\"\r\n",
     .errors = {"start.txt:5: セーブファイルが開けず、セーブできません (cannot write the save file "
                "\"..\\..\\escape\")",
                "old.txt:2: 存在しない変数に代入しようとしました (cannot assign to \"level\": no "
                "such variable is declared)"},
     .check = SaveFileChecks},
    {.game = "flow-failures/no-file",
     .errors = {"start.txt:1: ファイルが開けません (cannot open the script \"nosuch.txt\")"}},
    {.game = "flow-failures/no-label",
     .errors = {"start.txt:3: 指定されたラベルが見つかりませんでした (label \":nowhere\" not "
                "found)"}},
    {.game = "flow-failures/bad-line",
     .errors = {"start.txt:3: 指定された行番号は無効です (the file has no line \"9\")"}},
    {.game = "flow-failures/sub-jump",
     .errors = {"start.txt:4: 「.sub」でのジャンプ先で他のファイルへジャンプしようとしました "
                "(inside a subroutine .jmp must stay in the current file, not go to \"start\")"}},
    {.game = "flow-failures/sub-exit",
     .errors = {"start.txt:2: 無効な「.sub exit」です (.sub exit outside any subroutine)"}},
    {.game = "flow-failures/caller-shorter",
     .errors = {"start.txt:1: 「.sub exit」に失敗しました (the caller's file no longer reaches "
                "the line to return to)"}},
    {.game = "flow-failures/cas-eof",
     .errors = {"start.txt:4: 「.cas」の終わりの「.」がないままファイル終端に達しました (the file "
                "ends before the \".\" line that closes this .cas block)"}},
    {.game = "flow-failures/skp-eof",
     .errors = {"start.txt:3: 「.」がないままファイル終端に達しました (the file ends before the "
                "\".\" line that closes this block)"}},
};

TEST(FlowScenario, JumpsSubroutinesBlocksClickLabelsAndSaves) {
  for (const ScenarioCase& c : kFlows) ExpectScenario(c);
}

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
