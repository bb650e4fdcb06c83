// Arbitrary bytes as a settings file, a configuration script and a start script: the engine
// reads them and runs a few hundred frames' worth of interpreter steps without crashing.
#include <cstddef>
#include <cstdint>
#include <string>

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
    folder.Write(names[i], reinterpret_cast<const std::uint8_t*>(parts[i].data()), parts[i].size());
  }

  adv::HeadlessOptions options;
  options.quiet = true;
  adv::HeadlessHost host(options);
  adv::Engine engine(host);
  adv::App app(engine);
  adv::ApplySettings(app, {folder.path() + "/adv.ini", folder.path()}, std::nullopt);
  engine.files.SetBase(folder.path());  // wherever the settings pointed, read the fuzzed scripts
  engine.script.extension = ".txt";
  adv::RunConfigScript(engine);
  engine.surfaces.back.Create(640, 480);
  engine.surfaces.spare.Create(640, 480);
  if (!adv::CreateMainWindow(app) || !adv::StartInterpreter(engine)) return 0;
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
