// adv: plays a game folder in a window, or headless on a virtual clock for tests.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "app/check_command.h"
#include "app/command_line.h"
#include "app/startup.h"
#include "engine/engine.h"
#include "host/headless/headless_host.h"
#include "host/sdl/sdl_host.h"
#include "host/sdl/sdl_image_decoder.h"

namespace {

[[nodiscard]] bool ReadTextFile(const std::string& path, std::string& text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream s;
  s << in.rdbuf();
  text = s.str();
  return true;
}

[[nodiscard]] bool WriteVariables(const adv::Engine& engine, const std::string& path) {
  std::ofstream out(path, std::ios::binary);
  std::string content = adv::SerializeVariables(engine.script.vars);
  out.write(content.data(), static_cast<std::streamsize>(content.size()));
  return static_cast<bool>(out);
}

// The plug-in folders the player trusts: --plugins, then PluginPath of the player's settings
// file (relative to that file's folder).
std::vector<std::string> TrustedPlugins(const adv::LaunchOptions& options) {
  namespace fs = std::filesystem;
  std::vector<std::string> folders;
  std::error_code error;
  if (!options.plugins.empty()) folders.push_back(fs::absolute(options.plugins, error).string());
  const std::string user = adv::UserSettingsPath();
  const std::string plugin_path = adv::ReadPluginPath(user);
  if (!plugin_path.empty()) {
    folders.push_back((fs::path(user).parent_path() / plugin_path).lexically_normal().string());
  }
  return folders;
}

// started: the host's clock when adv started. --until counts from there: a window's clock tells
// the time since the machine started.
int Play(adv::Host& host, const adv::LaunchOptions& options, std::uint32_t started) {
  adv::Engine engine(host);
  adv::App app(engine);
  if (options.until) app.close_at = started + *options.until;
  app.end_when_input_exhausted = options.headless;
  app.trusted_plugins = TrustedPlugins(options);
  // A plain headless run keeps no record, so it plays the same every time.
  app.seen_file = options.seen_file;
  app.keep_seen = !options.headless;
  int status = adv::RunGame(app, adv::LocateGame(options.game_dir), options.display);
  // A file asked for on the command line that could not be written fails the run: whoever
  // asked for it would otherwise read an old one, or none, as this run's.
  if (!options.vars_file.empty() && !WriteVariables(engine, options.vars_file)) {
    std::fprintf(stderr, "adv: cannot write %s\n", options.vars_file.c_str());
    status = 1;
  }
  if (options.headless) {
    if (!static_cast<adv::HeadlessHost&>(host).Finish()) status = 1;
    std::fprintf(stderr, "end at %u ms after %llu frames\n", host.Now(),
                 static_cast<unsigned long long>(app.frames));
  }
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  adv::LaunchOptions options;
  std::string error;
  if (!adv::ParseCommandLine(argc, argv, options, error)) {
    std::fprintf(stderr, "adv: %s\n%s", error.c_str(), adv::Usage().c_str());
    return 1;
  }
  if (options.help) {
    std::fputs(adv::Usage().c_str(), stdout);
    return 0;
  }
  if (options.version) {
    std::printf("adv %s\n", ADV_VERSION);
    return 0;
  }
  // Reads the game without running it: no host at all.
  if (options.check) return adv::RunCheckCommand(options.game_dir);
  if (!options.headless &&
      (!options.input_file.empty() || !options.shots.empty() || !options.audio_file.empty())) {
    std::fprintf(stderr, "adv: --input, --shot and --audio need --headless; ignoring them\n");
  }

  if (options.headless) {
    adv::SdlImageDecoder decoder;
    adv::HeadlessOptions headless;
    headless.debug = options.debug;
    headless.audio_capture = options.audio_file;
    headless.until = options.until;
    headless.decoder = &decoder;
    for (const auto& shot : options.shots) headless.shots.push_back({shot.ms, shot.path});
    if (!options.input_file.empty()) {
      std::string text;
      if (!ReadTextFile(options.input_file, text)) {
        std::fprintf(stderr, "adv: cannot read input file %s\n", options.input_file.c_str());
        return 1;
      }
      if (!adv::ParseInputScript(text, headless.input, error)) {
        std::fprintf(stderr, "adv: %s:%s\n", options.input_file.c_str(), error.c_str());
        return 1;
      }
    }
    adv::HeadlessHost host(std::move(headless));
    return Play(host, options, host.Now());
  }

  adv::SdlHostOptions sdl_options;
  sdl_options.debug = options.debug;
  sdl_options.scale = options.scale;
  sdl_options.integer_scale = options.integer_scale;
  adv::SdlHost host(sdl_options);
  const std::uint32_t started = host.Now();
  if (!host.Init(error)) {
    std::fprintf(stderr, "adv: no window can be made: %s\n", error.c_str());
    return 1;
  }
  return Play(host, options, started);
}
