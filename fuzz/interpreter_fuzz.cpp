// Arbitrary bytes as a settings file, a configuration script, a start script and a second
// script (sub.txt, for jumps and calls across files): the engine reads them and runs a few
// hundred frames' worth of interpreter steps without crashing. Save files the scripts write are
// removed before the next input, so every input starts from the same folder.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "app/app.h"
#include "app/display_mode.h"
#include "app/frame_loop.h"
#include "app/startup.h"
#include "engine/commands/config_script.h"
#include "engine/engine.h"
#include "engine/interpreter.h"
#include "fuzz_folder.h"
#include "host/headless/headless_host.h"

namespace {

constexpr int kSteps = 400;
constexpr int kParts = 4;
const char* const kNames[kParts] = {"adv.ini", "config.txt", "start.txt", "sub.txt"};

// Splits the input at its first three 0xFF 0xFE markers: settings, config, start, sub. Without
// markers the whole input is the start script.
void Split(const std::uint8_t* data, std::size_t size, std::string parts[kParts]) {
  std::string all(reinterpret_cast<const char*>(data), size);
  std::size_t from = 0;
  int i = 0;
  for (; i < kParts - 1; ++i) {
    std::size_t at = all.find("\xFF\xFE", from);
    if (at == std::string::npos) break;
    parts[i] = all.substr(from, at - from);
    from = at + 2;
  }
  // Two parts or fewer: the last one is the start script, as before sub.txt existed.
  parts[i < 2 ? 2 : i] = all.substr(from);
}

// Removes what earlier inputs wrote (save files, folders), keeping the plug-in folder.
void ClearFolder(const std::string& path) {
  std::error_code error;
  std::vector<std::filesystem::path> written;
  for (const auto& entry : std::filesystem::directory_iterator(path, error)) {
    if (entry.path().filename() != "spi") written.push_back(entry.path());
  }
  for (const auto& p : written) std::filesystem::remove_all(p, error);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto& folder = adv::fuzz::Folder();
  std::string parts[kParts];
  Split(data, size, parts);
  ClearFolder(folder.path());
  for (int i = 0; i < kParts; ++i) {
    folder.Write(kNames[i], reinterpret_cast<const std::uint8_t*>(parts[i].data()),
                 parts[i].size());
  }

  adv::HeadlessOptions options;
  options.quiet = true;
  adv::HeadlessHost host(options);
  adv::Engine engine(host);
  adv::App app(engine);
  adv::ApplySettings(app, {folder.path() + "/adv.ini", folder.path()}, std::nullopt);
  engine.files.SetBase(folder.path());  // wherever the settings pointed, read the fuzzed scripts
  engine.script.extension = ".txt";
  (void)adv::RunConfigScript(engine);  // a config that cannot be read is a game too
  if (!engine.surfaces.back.Create(640, 480) || !engine.surfaces.spare.Create(640, 480) ||
      !adv::CreateMainWindow(app) || !adv::StartInterpreter(engine))
    return 0;
  adv::Frame& frame = engine.frame;
  for (int i = 0; i < kSteps && !app.quit; ++i) {
    adv::Step(engine);
    adv::PumpMessages(app);
    host.Sleep(frame.interval > 50 ? 50 : frame.interval);
    if (frame.swap_request) {
      frame.swap_request = false;
      engine.surfaces.back.Swap(engine.surfaces.spare);
    }
  }
  return 0;
}
