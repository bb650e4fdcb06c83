// adv --check on small broken games, one folder per kind of problem: every line it reports, its
// summary and its exit status; a clean game and the demo report nothing.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "support/run_adv.h"
#include "support/temp_dir.h"

namespace adv::test {
namespace {

std::vector<std::string> Lines(const std::string& text) {
  return RunResult{0, "", text}.ErrLines();
}

// What adv --check writes on stderr for a game, the summary last, and its exit status.
void ExpectCheck(const std::string& game, int status, const std::string& lines) {
  const RunResult r = RunAdv({"--check", game});
  EXPECT_EQ(r.ErrLines(), Lines(lines)) << r.err;
  EXPECT_EQ(r.status, status);
  EXPECT_EQ(r.out, "");
}

struct CheckCase {
  const char* game;
  int status;
  const char* lines;
};

const CheckCase kCases[] = {
    {"check-clean", 0, "adv --check: 0 errors, 0 warnings in 4 scripts"},
    {"check-commands", 1,
     R"(config.txt:2: .let does nothing in the configuration script (it reads only .scr, .bgc, .cap, .cur, .int and .str)
config.txt:3: .pic does nothing in the configuration script (it reads only .scr, .bgc, .cap, .cur, .int and .str)
start.txt:2: 存在しないコマンドを指定しました (there is no command ".WAT")
start.txt:3: 存在しないコマンドを指定しました (there is no command ".foo")
start.txt:4: 存在しないコマンドを指定しました (there is no command ".els")
start.txt:5: 存在しないコマンドを指定しました (there is no command ".==")
start.txt:6: 存在しないコマンドを指定しました (there is no command ".")
start.txt:8: 存在しないコマンドを指定しました (there is no command ".==3")
adv --check: 8 errors, 0 warnings in 2 scripts)"},
    {"check-arguments", 1,
     R"(start.txt:1: 存在しない変数を指定しました (no variable "abc" is declared)
start.txt:2: 存在しない変数を指定しました (no variable "s" is declared)
start.txt:4: "#F0F" is not a colour ("#" and six hexadecimal digits): it reads as #F00F00
start.txt:5: 合成方法「6」ではコピー元に色を指定しても無効です (composition method 6 (alpha) needs a picture, not a colour)
start.txt:6: 「.spr」では合成方法「2」は無効です (.spr cannot use composition method 2 (add))
start.txt:7: コピー先が「screen」でない場合トランジションは無効です (only "screen" can be drawn with a transition; drawn at once)
start.txt:8: コピー先の指定が不正です (the destination "window" is neither "screen" nor an offscreen)
start.txt:9: コピー元に存在しないオフスクリーンを指定しました (there is no offscreen "off1")
start.txt:10: コピー先に存在しないオフスクリーンを指定しました (there is no offscreen "off3")
start.txt:11: .tpr "box" does nothing (it takes font, screen or an offscreen)
start.txt:12: 「.txt font magnification」に失敗しました (the magnification must be 1 to 4, set while the page is empty)
start.txt:13: 「.txt space size」に失敗しました (the area needs 0 < width <= maximum width and a height above 0, set while the page is empty)
start.txt:14: 「.txt maxline」に失敗しました (the line count must be 1 to 1000, set while the page is empty)
start.txt:15: .txt font color "usaul" does nothing (it takes usual, usualshadow, selected, notselected, selectedshadow, notselectedshadow, shadow or transparency)
start.txt:16: 「.tpr font magnification」に失敗しました (the magnification must be 1 to 4)
start.txt:17: .now has no field "hours": it assigns 0 (fields: year, month, day, weekday, hour, minute, second, millisecond, systemtime)
start.txt:18: "x" is not an operator (+ - * / %): it and the word after it are ignored
start.txt:19: .wav mode 3 plays nothing (it takes 0, 1 or 2)
start.txt:20: .tps mode 3 does nothing (it takes 0, 1 or 2)
start.txt:21: .def "\x" does nothing (it takes \c, \C, \t, \T or \0 to \9)
start.txt:22: .slt "show" does nothing (it takes add, delete or exec)
start.txt:23: .txt "color" does nothing (it takes maxline, space or font)
adv --check: 22 errors, 0 warnings in 2 scripts)"},
    {"check-variables", 1,
     R"(config.txt:3: 配列の要素数が多すぎます (an array may have at most 65536 elements)
config.txt:5: 変数の数が多すぎます (at most 131072 variables can be declared; "v" and the rest of the line are not)
start.txt:1: 存在しない変数に代入しようとしました (cannot assign to "m": no such variable is declared)
start.txt:2: 存在しない変数に代入しようとしました (cannot assign to "CurLine": no such variable is declared)
start.txt:3: 存在しない変数に代入しようとしました (cannot assign to "r": no such variable is declared)
start.txt:4: 存在しない変数に代入しようとしました (cannot assign to "t": no such variable is declared)
start.txt:5: 存在しない変数を指定しました (no variable "m" is declared)
start.txt:6: [m] names no declared variable: it stands for the text "m"
start.txt:7: [flag2] names no declared variable: it stands for the text "flag2"
start.txt:9: 存在しない変数を指定しました (no variable "q" is declared)
start.txt:10: セーブファイルに無い変数をしました (the save file has no line for "x")
start.txt:10: there is no save file "save.txt" and no .sav writes it: .lod loads nothing
start.txt:11: 存在しない変数に代入しようとしました (cannot assign to "list0": no such variable is declared)
adv --check: 13 errors, 0 warnings in 2 scripts)"},
    {"check-files", 1,
     R"(start.txt:1: コピー元のファイルを開けません (cannot open the source picture "nothere.bmp")
start.txt:3: コピー元のファイルを開けません (cannot open the source picture "pic.png")
start.txt:4: cannot open the wait-mark picture "nomark.bmp": no mark is shown
start.txt:5: cannot open the sound "nosound.wav": it is not played
start.txt:7: cannot open the music "nomusic.mid": it is not played
start.txt:9: cannot open the music "nosong.mp3": it is not played
start.txt:10: cannot open the movie "nomovie.avi": it is not played
start.txt:11: there is no CD track 2 (cdaudio/track02.ogg, .flac, .mp3 or .wav): nothing is played
start.txt:13: there is no CD track 0 (tracks are 1 to 99): nothing is played
start.txt:14: カーソルファイルが読み込めませんでした (cannot read the cursor file "nocursor.cur")
start.txt:15: カーソルファイルが読み込めませんでした (cannot read the cursor file "broken.cur")
start.txt:16: there is no save file "nosave.txt" and no .sav writes it: .lod loads nothing
start.txt:19: セーブファイルが開けず、セーブできません (cannot write the save file "..\..\outside")
adv --check: 13 errors, 0 warnings in 2 scripts)"},
    {"check-jumps", 1, R"(start.txt:1: ファイルが開けません (cannot open the script "nofile.txt")
start.txt:2: 指定されたラベルが見つかりませんでした (label ":nolabel" not found)
start.txt:3: 指定された行番号は無効です (the file has no line "10")
start.txt:7: 存在しない変数を指定しました (no variable "x" is declared)
start.txt:8: ファイルが開けません (cannot open the script "menu.txt")
start.txt:9: 指定されたラベルが見つかりませんでした (label ":missing" not found)
start.txt:12: 指定されたラベルが見つかりませんでした (label ":hook" not found)
start.txt:13: ファイルが開けません (cannot open the script ".txt")
scenes\other.dat:1: 存在しない変数を指定しました (no variable "nothing" is declared)
extra.txt:1: 存在しないコマンドを指定しました (there is no command ".foo")
adv --check: 10 errors, 0 warnings in 5 scripts)"},
    {"check-blocks", 1,
     R"(start.txt:12: 「.cas」の終わりの「.」がないままファイル終端に達しました (the file ends before the "." line that closes this .cas block)
skip.txt:5: 「.」がないままファイル終端に達しました (the file ends before the "." line that closes this block)
adv --check: 2 errors, 0 warnings in 3 scripts)"},
    {"check-choices", 1,
     R"(start.txt:1: 選択肢が登録されていないのに選択肢を表示しようとしました (.slt exec with no choice registered)
start.txt:9: 選択肢が登録されていないのに選択肢を表示しようとしました (.slt exec with no choice registered)
adv --check: 2 errors, 0 warnings in 2 scripts)"},
    {"check-sjis", 1,
     R"(start.txt:3: this line is UTF-8, not Shift-JIS: it shows as other characters
start.txt:4: bytes that are not valid Shift-JIS: 0x82 0x0A
start.txt:5: bytes that are not valid Shift-JIS: 0xFF 0x22
adv --check: 3 errors, 0 warnings in 1 script)"},
    {"check-names", 0,
     R"(start.txt:1: warning: "room.bmp" is found only as "Room.BMP" (letter case differs): a case-sensitive copy of the game will not find it
start.txt:2: warning: "背景.bmp" is found only as "背景.bmp" (its Shift-JIS name converted to UTF-8): a copy of the game that keeps the names as written will not find it
start.txt:3: warning: "Other.txt" is found only as "other.txt" (letter case differs): a case-sensitive copy of the game will not find it
adv --check: 0 errors, 3 warnings in 2 scripts)"},
};

TEST(CheckScenario, EachKindOfProblemIsReportedAtItsLine) {
  for (const CheckCase& c : kCases) {
    SCOPED_TRACE(c.game);
    ExpectCheck(ScenarioDir(c.game), c.status, c.lines);
  }
}

// The demo is clean; five faults planted in it are exactly what is reported.
TEST(CheckScenario, TheDemoIsCleanAndPlantedFaultsAreFound) {
  ExpectCheck(ScenarioDir("../../demo"), 0, "adv --check: 0 errors, 0 warnings in 4 scripts");
  TempDir game;
  std::filesystem::copy(ScenarioDir("../../demo"), game.path(),
                        std::filesystem::copy_options::recursive);
  std::string script = game.Read("data/start.txt");
  for (const auto& [from, to] : {std::pair{".pic screen sky 5 40\n", ".pic screen skyy 5 40\n"},
                                 {".wat 800\n", ".wat 800ms\n"},
                                 {".let scene = 1\n", ".let scnee = 1\n"},
                                 {".spr screen chara 0 0 5 16", ".spr screen chara 0 0 2 16"},
                                 {".end", ".ned"}}) {
    const std::size_t at = script.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    script.replace(at, std::string_view(from).size(), to);
  }
  game.Write("data/start.txt", script);
  ExpectCheck(
      game.path(), 1,
      R"(start.txt:12: コピー元のファイルを開けません (cannot open the source picture "skyy.bmp")
start.txt:23: 存在しない変数を指定しました (no variable "800ms" is declared)
start.txt:58: 存在しない変数に代入しようとしました (cannot assign to "scnee": no such variable is declared)
start.txt:67: 「.spr」では合成方法「2」は無効です (.spr cannot use composition method 2 (add))
start.txt:86: 存在しないコマンドを指定しました (there is no command ".ned")
adv --check: 5 errors, 0 warnings in 4 scripts)");
}

}  // namespace
}  // namespace adv::test
