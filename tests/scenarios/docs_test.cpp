// The examples of the author's reference (README.md and docs/) played through adv --headless:
// the scripts shown are the docs-* scenario folders, each does what the text says it does,
// every other script example runs without an error, and the README's first game works when
// pasted into a shell.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>
#include <set>
#include <sstream>

#include "base/messages.h"
#include "engine/commands/command_table.h"
#include "host/sjis_convert.h"
#include "support/bmp_writer.h"
#include "support/flow_headless.h"
#include "support/media_files.h"
#include "support/message_texts.h"

namespace adv::test {
namespace {

namespace fs = std::filesystem;

// A fenced block of a page, with what the <!-- example: PATH --> or <!-- first-game --> line
// before it says it shows.
struct Fence {
  std::string where, info, example, body;  // page:line, what follows the opening ```
};

std::vector<Fence> AllFences() {
  std::vector<fs::path> pages{fs::path(ADV_SOURCE_DIR) / "README.md"};
  for (const auto& entry : fs::directory_iterator(fs::path(ADV_SOURCE_DIR) / "docs")) {
    if (entry.path().extension() == ".md") pages.push_back(entry.path());
  }
  std::vector<Fence> fences;
  for (const fs::path& page : pages) {
    std::istringstream in(ReadFile(page));
    std::string line, marker;
    bool open = false;
    for (int n = 1; std::getline(in, line); ++n) {
      if (open) {
        open = line != "```";
        if (open) fences.back().body += line + "\n";
      } else if (line.starts_with("<!-- example: ") || line == "<!-- first-game -->") {
        marker = line == "<!-- first-game -->" ? "first-game" : line.substr(14, line.size() - 18);
      } else if (line.starts_with("```")) {
        fences.push_back({page.filename().string() + ":" + std::to_string(n), line.substr(3),
                          std::exchange(marker, ""), ""});
        open = true;
      }
    }
  }
  return fences;
}

// The pictures, cursor, sounds, music and movie the examples name, written where the game looks
// for them.
void AddPictures(const TempDir& game) {
  const Tone tone{440, 0.3, 22050, 1, 4410};
  for (const char* sound : {"data/door.wav", "data/rain.wav", "data/cdaudio/track02.wav"}) {
    game.Write(sound, "");
    WriteWav(game.Path(sound), tone);
  }
  EncodeAudio(game.Path("data/theme.mp3"), tone);
  WritePaletteMovie(game.Path("data/opening.avi"), 16, 12, 10, 5, 0x2040C0);
  // One note: a format-0 song of a single quarter note.
  game.Write("data/bgm01.mid", std::string("MThd\0\0\0\6\0\0\0\1\1\xE0MTrk\0\0\0\x0D"
                                           "\0\x90\x3C\x40\x83\x60\x80\x3C\0\0\xFF\x2F\0",
                                           35));
  game.Write("data/bg.bmp", Bmp24(640, 480, [](int x, int y) {
               return std::uint32_t(x * 255 / 639) << 16 | std::uint32_t(y * 255 / 479) << 8 | 64;
             }));
  // A yellow square on magenta, the colour .spr leaves out.
  game.Write("data/sprite.bmp", Bmp24(64, 64, [](int x, int y) {
               return x >= 16 && x < 48 && y >= 16 && y < 48 ? 0xFFFF00u : 0xFF00FFu;
             }));
  game.Write("data/glow.bmp", Bmp32(64, 64, [](int x, int) { return (x * 4u) << 24 | 0xFFFF80; }));
  for (const char* mark : {"data/mark1.bmp", "data/mark2.bmp"}) {
    game.Write(mark,
               Bmp24(16, 16, [](int x, int y) { return x + y == 0 ? 0xFF00FFu : 0xFFFFFFu; }));
  }
  // The check-clean game's cursor.
  fs::copy_file(ScenarioDir("check-clean/data/hand.cur"), game.Path("data/hand.cur"));
}

// The pixels of a rectangle that have a colour.
int Count(const Picture& shot, int left, int top, int right, int bottom, std::uint32_t rgb) {
  int n = 0;
  for (int y = top; y < bottom; ++y) {
    for (int x = left; x < right; ++x) n += shot.At(x, y) == rgb;
  }
  return n;
}

// Method 1 as the reference puts it: LEVEL 31sts of what was there stay, per 5-bit channel.
std::uint32_t Translucent(std::uint32_t source, std::uint32_t there, int level) {
  std::uint32_t out = 0;
  for (int shift : {16, 8, 0}) {
    const int s = (source >> (shift + 3)) & 31, d = (there >> (shift + 3)) & 31;
    out |= Expand5(static_cast<std::uint32_t>(s + (d - s) * level / 31)) << shift;
  }
  return out;
}

void PicturesChecks(const HeadlessRun& p) {
  const Picture shot = p.Shot("400");
  EXPECT_EQ(shot.At(10, 320), Translucent(0xFF0000, 0x808080, 16));
  EXPECT_EQ(Count(p.Shot("end"), 0, 0, 640, 480, 0), 640 * 480);
}

// Each docs-* folder's run.expect says what the reference says of its example; this says more.
const std::vector<ExpectCase> kExamples =
    ExpectFiles({"docs-"}, AddPictures, {{"docs-pictures", PicturesChecks}});

INSTANTIATE_TEST_SUITE_P(Docs, ScenarioFolder, testing::ValuesIn(kExamples), CaseName);

TEST(DocsExamples, ScriptsShownAreTheScenarioFiles) {
  std::set<std::string> shown;
  for (const Fence& f : AllFences()) {
    if (f.example.empty() || f.example == "first-game") continue;
    EXPECT_EQ(f.body, SjisToUtf8(ReadFile(ScenarioDir(f.example)))) << f.where;
    shown.insert(f.example.substr(0, f.example.find('/')));
  }
  for (const ExpectCase& e : kExamples) {
    EXPECT_TRUE(shown.count(e.file.substr(0, e.file.find('/')))) << e.file;
  }
}

// Each is start.txt (or config.txt) of the docs-commands game, clicked at every 200 ms.
TEST(DocsExamples, EveryOtherScriptExampleRunsWithoutAnError) {
  std::string clicks;
  for (int ms = 200; ms <= 12000; ms += 200) clicks += std::to_string(ms) + " click 8 40\n";
  int played = 0;
  for (const Fence& f : AllFences()) {
    if (!f.example.empty() || (f.info != "adv" && f.info != "config")) continue;
    SCOPED_TRACE(f.where);
    HeadlessRun p;
    p.out.Write("clicks.txt", clicks);
    const bool config = f.info == "config";
    p.game.Write(config ? "data/config.txt" : "data/start.txt", Utf8ToSjis(f.body));
    if (config) p.game.Write("data/start.txt", "");
    AddPictures(p.game);
    RunHeadless(p, ScenarioDir("docs-commands"),
                {"--until", "60000", "--input", p.out.Path("clicks.txt")});
    EXPECT_EQ(p.Errors(), std::vector<std::string>{});
    EXPECT_EQ(p.result.err.find("box:"), std::string::npos) << p.result.err;
    ++played;
  }
  EXPECT_GE(played, 30);
}

TEST(DocsExamples, FirstGameOfTheReadmeWorksWhenPasted) {
  const auto fences = AllFences();
  const auto game = std::find_if(fences.begin(), fences.end(),
                                 [](const Fence& f) { return f.example == "first-game"; });
  ASSERT_NE(game, fences.end());
  TempDir dir;
  RunResult made = RunProgram("/bin/sh", {"-c", "cd '" + dir.path() + "' && " + game->body});
  ASSERT_EQ(made.status, 0) << made.err;
  // Through the first page, then onto "Down to the sea", the third line of the window.
  HeadlessRun p;
  p.out.Write("input.txt", "4000 click 320 240\n7000 move 60 390\n7100 click 60 390\n");
  RunHeadless(p, dir.Path("mygame"), {"--input", p.out.Path("input.txt")});
  EXPECT_EQ(p.vars, ".let route = 2\r\n");
  EXPECT_EQ(p.result.err.find("box:"), std::string::npos) << p.result.err;
  EXPECT_EQ(p.Shot("end").At(10, 10), ShotColour(0x3060C0));
  EXPECT_EQ(p.Shot("end").At(10, 470), Translucent(0, 0x203060, 12));
}

TEST(DocsExamples, EveryCommandAndMessageIsDocumented) {
  const std::string commands = ReadFile(ADV_SOURCE_DIR "/docs/commands.md");
  for (const Command& c : CommandTable()) {
    EXPECT_NE(commands.find("[`" + std::string(c.name) + "`]"), std::string::npos) << c.name;
  }
  const std::string messages = ReadFile(ADV_SOURCE_DIR "/docs/messages.md");
  for (const auto& [sjis, utf8] : kMessageTexts) {
    std::istringstream lines{std::string(utf8)};
    for (std::string line; std::getline(lines, line);) {
      EXPECT_NE(messages.find(line), std::string::npos) << line;
    }
  }
  // The English of each script error, with NAME where stderr puts the name.
  for (const MessageExplanation& e : kMessageExplanations) {
    std::string english(e.english);
    if (const std::size_t slot = english.find("{}"); slot != std::string::npos) {
      english.replace(slot, 2, "NAME");
    }
    EXPECT_NE(messages.find(english), std::string::npos) << english;
  }
}

}  // namespace
}  // namespace adv::test
