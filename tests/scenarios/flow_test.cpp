// End-to-end runs of jumps, subroutines, blocks, click-jump labels and save files through
// adv --headless: the variables at exit, the save files written and the error lines on stderr.
#include <gtest/gtest.h>

#include "support/flow_headless.h"

namespace adv::test {
namespace {

void SaveFileChecks(const HeadlessRun& run) {
  EXPECT_EQ(run.game.Read("data/slot1.txt"),
            ".let day = 3\r\n.let first = 0\r\n.let score = 120\r\n"
            ".let name = \"Hanako Sato\"\r\n.let restored = \"\"\r\n");
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
    // A name outside the game folder is refused; the older save reports its one stale line.
    {.game = "flow-save",
     .vars = ".let day = 4\r\n.let first = 3\r\n.let score = 70\r\n.let name = \"Old Save\"\r\n"
             ".let restored = \"120/3/Hanako Sato\"\r\n",
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

}  // namespace
}  // namespace adv::test
