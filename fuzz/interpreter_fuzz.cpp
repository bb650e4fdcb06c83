// Arbitrary bytes as a settings file, a configuration script and a start script: the engine
// reads them and runs a few hundred frames' worth of interpreter steps without crashing.
#include <cstddef>
#include <cstdint>
#include <string>

#include "app/display_mode.h"
#include "app/frame_loop.h"
#include "app/startup.h"
#include "engine.h"
#include "fuzz_folder.h"
#include "host/headless/headless_host.h"
#include "script/config_script.h"
#include "script/interpreter.h"

namespace {

constexpr int kSteps = 400;

// Splits the input at its first two 0xFF 0xFE markers: settings, config, start.
void Split(const std::uint8_t* data, std::size_t size, std::string parts[3]) {
  std::string all(reinterpret_cast<const char*>(data), size);
  std::size_t from = 0;
  for (int i = 0; i < 2; ++i) {
    std::size_t at = all.find("\xFF\xFE", from);
    if (at == std::string::npos) {
      parts[2] = all.substr(from);
      return;
    }
    parts[i] = all.substr(from, at - from);
    from = at + 2;
  }
  parts[2] = all.substr(from);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto& folder = adv::fuzz::Folder();
  std::string parts[3];
  Split(data, size, parts);
  const char* names[3] = {"adv.ini", "config.txt", "start.txt"};
  for (int i = 0; i < 3; ++i) {
    folder.Write(names[i], reinterpret_cast<const std::uint8_t*>(parts[i].data()),
                 parts[i].size());
  }

  adv::HeadlessOptions options;
  options.quiet = true;
  adv::HeadlessHost host(options);
  adv::Engine engine(host);
  adv::ApplySettings(engine, {folder.path() + "/adv.ini", folder.path()}, std::nullopt);
  engine.files.SetBase(folder.path());  // wherever the settings pointed, read the fuzzed scripts
  engine.shell.scenario_extension = ".txt";
  adv::RunConfigScript(engine);
  engine.surfaces.back.Create(640, 480);
  engine.surfaces.spare.Create(640, 480);
  if (!adv::CreateMainWindow(engine) || !adv::StartInterpreter(engine)) return 0;
  for (int i = 0; i < kSteps && !engine.shell.quit; ++i) {
    adv::Step(engine);
    adv::PumpMessages(engine);
    host.Sleep(engine.shell.frame_interval > 50 ? 50 : engine.shell.frame_interval);
    if (engine.shell.swap_request) {
      engine.shell.swap_request = false;
      engine.surfaces.back.Swap(engine.surfaces.spare);
    }
  }
  return 0;
}
