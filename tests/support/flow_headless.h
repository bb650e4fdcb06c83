// Runs of adv --headless on a copy of a scenario folder, and the table rows that say what a run
// must leave behind: its variables at exit, its script error lines, its "end at" line.
#pragma once

#include <string>
#include <vector>

#include "support/run_adv.h"
#include "support/temp_dir.h"

namespace adv::test {

struct HeadlessRun {
  TempDir game, out;
  RunResult result;
  std::string vars;  // the --vars file

  // The --shot picture taken at `at` ("end" or milliseconds).
  Picture Shot(const std::string& at) const;
  // The script error lines on stderr ("FILE:LINE: message"), in order.
  std::vector<std::string> Errors() const;
};

// Copies the folder `from` into run.game (files already there stay) and runs adv --headless on
// it with args, --vars, its input.txt when it has one, and --shot at each of `shots` and at
// the end.
void RunHeadless(HeadlessRun& run, const std::string& from, std::vector<std::string> args = {},
                 const std::vector<std::string>& shots = {});

struct ScenarioCase {
  const char* game;                      // tests/scenarios/GAME
  const char* vars = nullptr;            // the whole --vars file, when given
  std::vector<std::string> errors = {};  // every script error line
  const char* end = "";                  // the start of the "end at" line
  std::vector<std::string> shots = {};
  void (*check)(const HeadlessRun&) = nullptr;  // anything else the run must show
};

// Runs c.game (after prepare has written into the copy, when given) and checks all c says.
void ExpectScenario(const ScenarioCase& c, void (*prepare)(const TempDir& game) = nullptr);

}  // namespace adv::test
