// Arbitrary bytes as a configuration script, a start script and a second script (sub.txt, for
// jumps across files): adv --check reads them all without crashing or hanging, whatever they
// name.
#include <cstddef>
#include <cstdint>
#include <string>

#include "check/game_check.h"
#include "fuzz_folder.h"

namespace {

constexpr int kParts = 3;
const char* const kNames[kParts] = {"config.txt", "start.txt", "sub.txt"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto& folder = adv::fuzz::Folder();
  // Parts are separated by 0xFF 0xFE; without one the whole input is the start script.
  const std::string all(reinterpret_cast<const char*>(data), size);
  std::string parts[kParts];
  std::size_t from = 0;
  int i = 0;
  for (; i < kParts - 1; ++i) {
    const std::size_t at = all.find("\xFF\xFE", from);
    if (at == std::string::npos) break;
    parts[i] = all.substr(from, at - from);
    from = at + 2;
  }
  parts[i == 0 ? 1 : i] = all.substr(from);
  for (int k = 0; k < kParts; ++k) {
    folder.Write(kNames[k], reinterpret_cast<const std::uint8_t*>(parts[k].data()),
                 parts[k].size());
  }
  adv::CheckGame(adv::CheckOptions{folder.path(), ".txt", folder.path()});
  return 0;
}
