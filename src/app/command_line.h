// adv [OPTIONS] [GAMEDIR]
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/app.h"

namespace adv {

struct ShotRequest {
  std::optional<std::uint32_t> ms;  // none: at exit
  std::string path;
};

struct LaunchOptions {
  bool headless = false;
  bool debug = false;
  bool help = false;
  bool version = false;
  bool check = false;      // --check: read every script without running it
  std::string audio_file;  // --audio (headless): the mix as a WAV file
  int scale = 0;           // --scale: the window at this many times 640 x 480 (0: as usual)
  bool integer_scale = false;
  std::optional<std::string> game_dir;
  std::optional<DisplayMode> display;  // --window / --fullscreen
  std::string input_file;
  std::string vars_file;
  std::string plugins;  // --plugins: a folder of image plug-ins the player trusts
  std::string seen_file;  // --seen: the record of lines seen, read at start and written at exit
  std::vector<ShotRequest> shots;
  std::optional<std::uint32_t> until;
};

// False with a reason on a malformed command line.
[[nodiscard]] bool ParseCommandLine(int argc, const char* const* argv, LaunchOptions& options,
                                    std::string& error);
std::string Usage();

}  // namespace adv
