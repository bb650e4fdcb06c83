#include "app/command_line.h"

#include <charconv>
#include <string_view>

namespace adv {

namespace {

[[nodiscard]] bool ParseMs(std::string_view text, std::uint32_t& ms) {
  unsigned long long value = 0;
  auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || ptr != text.data() + text.size() || value > 0xFFFFFFFFull) {
    return false;
  }
  ms = static_cast<std::uint32_t>(value);
  return true;
}

}  // namespace

std::string Usage() {
  return "usage: adv [OPTIONS] [GAMEDIR]\n"
         "  GAMEDIR            the game's folder (settings GAMEDIR/adv.ini, scenario "
         "GAMEDIR/data)\n"
         "  --window           play in a window, whatever the settings file says\n"
         "  --fullscreen       play full screen, whatever the settings file says\n"
         "  --headless         no window and no sound; virtual clock; boxes to stderr\n"
         "  --input FILE       scripted input for --headless: lines 'MS EVENT ARGS'\n"
         "  --shot MS:FILE.png write the picture shown at virtual time MS (end:FILE.png at exit)\n"
         "  --vars FILE        at exit, write every variable as a save file holds it\n"
         "  --until MS         close the window at time MS\n"
         "  --seen FILE        the record of lines seen, which skipping goes by (read, then "
         "written)\n"
         "  --audio FILE.wav   with --headless, write everything audible as 16-bit stereo PCM\n"
         "  --check            read every script of GAMEDIR without running it; report problems\n"
         "  --scale N          open the window at N times 640 x 480\n"
         "  --integer-scale    scale the picture by whole factors only, keeping pixels sharp\n"
         "  --plugins DIR      load image plug-ins (*.spi, which are programs) from DIR\n"
         "  --debug            internal errors to stderr\n"
         "  --version          the version of adv\n"
         "  --help             this text\n";
}

bool ParseCommandLine(int argc, const char* const* argv, LaunchOptions& options,
                      std::string& error) {
  for (int i = 1; i < argc; ++i) {
    std::string_view arg = argv[i];
    std::string_view value;
    bool has_inline_value = false;
    if (arg.substr(0, 2) == "--") {
      if (std::size_t eq = arg.find('='); eq != std::string_view::npos) {
        value = arg.substr(eq + 1);
        arg = arg.substr(0, eq);
        has_inline_value = true;
      }
    }
    auto take_value = [&]() -> bool {
      if (has_inline_value) return true;
      if (i + 1 >= argc) {
        error = std::string(arg) + " needs a value";
        return false;
      }
      value = argv[++i];
      return true;
    };
    if (arg == "--headless") {
      options.headless = true;
    } else if (arg == "--debug") {
      options.debug = true;
    } else if (arg == "--help" || arg == "-h") {
      options.help = true;
    } else if (arg == "--version") {
      options.version = true;
    } else if (arg == "--check") {
      options.check = true;
    } else if (arg == "--integer-scale") {
      options.integer_scale = true;
    } else if (arg == "--audio") {
      if (!take_value()) return false;
      options.audio_file = value;
    } else if (arg == "--scale") {
      if (!take_value()) return false;
      std::uint32_t scale = 0;
      if (!ParseMs(value, scale) || scale < 1 || scale > 8) {
        error = "--scale needs a whole number from 1 to 8, not '" + std::string(value) + "'";
        return false;
      }
      options.scale = static_cast<int>(scale);
    } else if (arg == "--window") {
      options.display = DisplayMode::kWindowed;
    } else if (arg == "--fullscreen") {
      options.display = DisplayMode::kFullScreen;
    } else if (arg == "--input") {
      if (!take_value()) return false;
      options.input_file = value;
    } else if (arg == "--plugins") {
      if (!take_value()) return false;
      options.plugins = value;
    } else if (arg == "--vars") {
      if (!take_value()) return false;
      options.vars_file = value;
    } else if (arg == "--seen") {
      if (!take_value()) return false;
      options.seen_file = value;
    } else if (arg == "--until") {
      if (!take_value()) return false;
      std::uint32_t ms = 0;
      if (!ParseMs(value, ms)) {
        error = "--until needs milliseconds, not '" + std::string(value) + "'";
        return false;
      }
      options.until = ms;
    } else if (arg == "--shot") {
      if (!take_value()) return false;
      std::size_t colon = value.find(':');
      if (colon == std::string_view::npos || colon + 1 == value.size()) {
        error = "--shot needs MS:FILE.png or end:FILE.png";
        return false;
      }
      ShotRequest shot;
      shot.path = value.substr(colon + 1);
      std::string_view when = value.substr(0, colon);
      if (when != "end") {
        std::uint32_t ms = 0;
        if (!ParseMs(when, ms)) {
          error = "--shot needs MS:FILE.png or end:FILE.png, not '" + std::string(value) + "'";
          return false;
        }
        shot.ms = ms;
      }
      options.shots.push_back(shot);
    } else if (arg.size() > 1 && arg[0] == '-') {
      error = "unknown option " + std::string(arg);
      return false;
    } else if (options.game_dir) {
      error = "more than one GAMEDIR given";
      return false;
    } else {
      options.game_dir = std::string(arg);
    }
  }
  return true;
}

}  // namespace adv
