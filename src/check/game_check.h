// adv --check: reads the configuration script, every script reachable from "start" and every
// other script in the scenario folder without running them, and reports what would go wrong at
// run time, each problem as "FILE:LINE: message".
#pragma once

#include <string>
#include <vector>

namespace adv {

struct CheckOptions {
  std::string scenario_folder;  // native path
  std::string extension = ".txt";
  std::string game_folder;  // no name leaves it ("" for the scenario folder)
};

struct CheckResult {
  std::vector<std::string> lines;  // UTF-8, by script in the order met, then by line
  int errors = 0;
  int warnings = 0;
  int scripts = 0;

  // "adv --check: 2 errors, 1 warning in 14 scripts"
  std::string Summary() const;
  // 1 when there was an error; warnings alone pass.
  int ExitStatus() const { return errors > 0 ? 1 : 0; }
};

CheckResult CheckGame(const CheckOptions& options);

}  // namespace adv
