#include "support/flow_headless.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

namespace adv::test {

Picture HeadlessRun::Shot(const std::string& at) const {
  Picture p;
  EXPECT_TRUE(ReadPng(out.Path(at + ".png"), p)) << at;
  return p;
}

std::vector<std::string> HeadlessRun::Errors() const {
  static const std::regex kError("^[^ ]+:[0-9]+: .*");
  std::vector<std::string> errors;
  for (const std::string& l : result.ErrLines()) {
    if (std::regex_match(l, kError)) errors.push_back(l);
  }
  return errors;
}

void RunHeadless(HeadlessRun& run, const std::string& from, std::vector<std::string> args,
                 const std::vector<std::string>& shots) {
  namespace fs = std::filesystem;
  fs::copy(from, run.game.path(), fs::copy_options::recursive | fs::copy_options::skip_existing);
  for (const std::string& at : shots) {
    args.insert(args.end(), {"--shot", at + ":" + run.out.Path(at + ".png")});
  }
  if (run.game.Exists("input.txt")) {
    args.insert(args.end(), {"--input", run.game.Path("input.txt")});
  }
  args.insert(args.end(), {"--headless", "--vars", run.out.Path("vars.txt"), "--shot",
                           "end:" + run.out.Path("end.png"), run.game.path()});
  run.result = RunAdv(args);
  EXPECT_EQ(run.result.status, 0) << run.result.err;
  run.vars = run.out.Read("vars.txt");
}

void ExpectScenario(const ScenarioCase& c, void (*prepare)(const TempDir& game)) {
  SCOPED_TRACE(c.game);
  HeadlessRun run;
  if (prepare != nullptr) prepare(run.game);
  RunHeadless(run, ScenarioDir(c.game), {}, c.shots);
  if (c.vars != nullptr) {
    EXPECT_EQ(run.vars, c.vars);
  }
  EXPECT_EQ(run.Errors(), c.errors) << run.result.err;
  EXPECT_NE(run.result.err.find(c.end), std::string::npos) << run.result.err;
  if (c.check != nullptr) c.check(run);
}

}  // namespace adv::test
