// End-to-end runs of jumps, subroutines, blocks, click-jump labels and save files through
// adv --headless: the variables at exit, the save files written and the error lines on stderr.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "support/run_adv.h"
#include "support/temp_dir.h"

namespace adv::test {
namespace {

std::string Vars(const std::vector<std::string>& args, RunResult& r) {
  TempDir out;
  std::vector<std::string> all{"--headless", "--vars", out.Path("vars.txt")};
  all.insert(all.end(), args.begin(), args.end());
  r = RunAdv(all);
  return out.Read("vars.txt");
}

// A scenario folder copied where the game may write its files.
void CopyScenario(const std::string& name, const TempDir& to) {
  std::filesystem::copy(ScenarioDir(name), to.path(), std::filesystem::copy_options::recursive);
}

TEST(FlowScenario, JumpsAcrossFilesAndBackFromSubroutines) {
  RunResult r;
  EXPECT_EQ(Vars({ScenarioDir("flow-jumps")}, r),
            ".let depth = 0\r\n.let line1 = 3\r\n.let line2 = 5\r\n"
            ".let file1 = \"start.txt\"\r\n.let file2 = \"lib.txt\"\r\n.let trail = \"abcde\"\r\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err.find("box:"), std::string::npos) << r.err;
}

struct Failure {
  const char* game;
  const char* line;
};

const Failure kFailures[] = {
    {"no-file", "start.txt:1: ファイルが開けません"},
    {"no-label", "start.txt:3: 指定されたラベルが見つかりませんでした"},
    {"bad-line", "start.txt:3: 指定された行番号は無効です"},
    {"sub-jump", "start.txt:4: 「.sub」でのジャンプ先で他のファイルへジャンプしようとしました"},
    {"sub-exit", "start.txt:2: 無効な「.sub exit」です"},
    {"caller-shorter", "start.txt:1: 「.sub exit」に失敗しました"},
    {"cas-eof", "start.txt:4: 「.cas」の終わりの「.」がないままファイル終端に達しました"},
    {"skp-eof", "start.txt:3: 「.」がないままファイル終端に達しました"},
};

TEST(FlowScenario, EachFailureIsReportedWithItsPlaceAndEndsTheScript) {
  for (const Failure& f : kFailures) {
    SCOPED_TRACE(f.game);
    TempDir game;
    CopyScenario(std::string("flow-failures/") + f.game, game);
    RunResult r = RunAdv({"--headless", game.path()});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.HasError(f.line)) << r.err;
    // The .oops after the failing line never runs.
    EXPECT_EQ(r.err.find("存在しないコマンド"), std::string::npos) << r.err;
  }
}

TEST(FlowScenario, ClickJumpLabelFiresOnceFromAnyStateWithItsFlag) {
  RunResult r;
  EXPECT_EQ(
      Vars({"--input", ScenarioDir("flow-click") + "/input.txt", ScenarioDir("flow-click")}, r),
      ".let back = 0\r\n.let n = 1\r\n.let x = 30\r\n.let y = 40\r\n");
  EXPECT_NE(r.err.find("end at 4503 ms"), std::string::npos) << r.err;
}

TEST(FlowScenario, SaveThenLoadRestoresValues) {
  TempDir game;
  CopyScenario("flow-save", game);
  RunResult r;
  EXPECT_EQ(Vars({game.path()}, r),
            ".let day = 4\r\n.let first = 3\r\n.let score = 70\r\n"
            ".let name = \"Old Save\"\r\n.let restored = \"120/3/Hanako Sato\"\r\n");
  EXPECT_EQ(game.Read("data/slot1.txt"),
            ".let day = 3\r\n.let first = 0\r\n.let score = 120\r\n"
            ".let name = \"Hanako Sato\"\r\n.let restored = \"\"\r\n");
  // The name outside the game folder is refused; the older save reports its one stale line.
  const auto lines = r.ErrLines();
  std::vector<std::string> errors;
  std::copy_if(lines.begin(), lines.end(), std::back_inserter(errors),
               [](const std::string& l) { return l.find(".txt:") != std::string::npos; });
  EXPECT_EQ(errors, (std::vector<std::string>{
                        "start.txt:5: セーブファイルが開けず、セーブできません (cannot write the "
                        "save file \"..\\..\\escape\")",
                        "old.txt:2: 存在しない変数に代入しようとしました (cannot assign to "
                        "\"level\": no such variable is declared)"}));
}

}  // namespace
}  // namespace adv::test
