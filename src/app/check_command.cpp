#include "app/check_command.h"

#include <cstdio>

#include "app/startup.h"
#include "check/game_check.h"
#include "host/file_system.h"

namespace adv {

int RunCheckCommand(const std::optional<std::string>& game_dir) {
  if (game_dir && !IsDirectory(*game_dir)) {
    std::fprintf(stderr, "adv --check: %s is not a folder\n", game_dir->c_str());
    return 1;
  }
  const GameLocation where = LocateGame(game_dir);
  Settings settings;
  ReadSettingsFile(where.settings_path, settings);
  const ScenarioPlace scenario = LocateScenario(where, settings);
  const CheckResult result =
      CheckGame(CheckOptions{scenario.folder, scenario.extension, where.exe_folder});
  for (const std::string& line : result.lines) std::fprintf(stderr, "%s\n", line.c_str());
  std::fprintf(stderr, "%s\n", result.Summary().c_str());
  return result.ExitStatus();
}

}  // namespace adv
