// adv --check on small broken games, one folder per kind of problem (each folder's run.expect
// holds every line reported, the summary and the exit status); the demo is clean.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/flow_headless.h"
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

INSTANTIATE_TEST_SUITE_P(Check, ScenarioFolder, testing::ValuesIn(ExpectFiles({"check-"})),
                         CaseName);

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
