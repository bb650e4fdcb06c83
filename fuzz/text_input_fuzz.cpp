// A start script and scripted input from arbitrary bytes, played through the real frame loop for a
// few virtual seconds: clicks, held buttons, keys and moves reach the click waits, the wait mark,
// instant text and the choices, which a run without input never leaves.
//
// Input: the start script, then 0xFF 0xFE, then an input script as --input reads it (one event a
// line, "MS EVENT ARGS"); input that does not parse is dropped.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/startup.h"
#include "engine/engine.h"
#include "fuzz_folder.h"
#include "host/headless/headless_host.h"
#include "host/headless/input_script.h"

namespace {

// Long enough for text, a few waits and a choice; short enough for thousands of runs a minute.
constexpr std::uint32_t kRunMs = 2000;

// An 8 x 8 mark picture (24-bit BMP, magenta key at the top left) for .mst to load.
std::string MarkPicture() {
  std::string bmp = "BM";
  auto put32 = [&](std::uint32_t v) {
    for (int i = 0; i < 4; ++i) bmp.push_back(static_cast<char>(v >> (8 * i)));
  };
  auto put16 = [&](std::uint16_t v) {
    bmp.push_back(static_cast<char>(v));
    bmp.push_back(static_cast<char>(v >> 8));
  };
  for (std::uint32_t v : {54u + 8 * 8 * 3, 0u, 54u, 40u, 8u, 8u}) put32(v);
  put16(1);
  put16(24);
  for (std::uint32_t v : {0u, 8u * 8 * 3, 2835u, 2835u, 0u, 0u}) put32(v);
  for (int i = 0; i < 64; ++i) bmp += i == 56 ? std::string("\xFF\x00\xFF", 3) : "\x00\x00\xFF";
  return bmp;
}

const adv::fuzz::FuzzFolder& Game() {
  const auto& folder = adv::fuzz::Folder();
  static const bool ready = [&] {
    std::filesystem::create_directories(folder.path() + "/data");
    const std::string mark = MarkPicture();
    const char config[] = ".scr 2\n";
    for (const char* name : {"data/m1.bmp", "data/m2.bmp"}) {
      folder.Write(name, reinterpret_cast<const std::uint8_t*>(mark.data()), mark.size());
    }
    folder.Write("data/config.txt", reinterpret_cast<const std::uint8_t*>(config),
                 sizeof config - 1);
    folder.Write("adv.ini", nullptr, 0);
    return true;
  }();
  (void)ready;
  return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto& folder = Game();
  const std::string all(reinterpret_cast<const char*>(data), size);
  const std::size_t cut = all.find("\xFF\xFE");
  const std::string script = all.substr(0, cut);
  folder.Write("data/start.txt", reinterpret_cast<const std::uint8_t*>(script.data()),
               script.size());

  adv::HeadlessOptions options;
  options.quiet = true;
  std::string error;
  if (cut != std::string::npos &&
      !adv::ParseInputScript(std::string_view(all).substr(cut + 2), options.input, error)) {
    options.input.clear();
  }
  adv::HeadlessHost host(options);
  adv::Engine engine(host);
  adv::App app(engine);
  app.close_at = kRunMs;
  adv::RunGame(app, {folder.path() + "/adv.ini", folder.path()}, adv::DisplayMode::kWindowed);
  return 0;
}
