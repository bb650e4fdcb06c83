// LoadK16 on arbitrary bytes.
#include <cstddef>
#include <cstdint>

#include "fuzz_folder.h"
#include "graphics/picture_loader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto& folder = adv::fuzz::Folder();
  folder.Write("f.k16", data, size);
  adv::LoadContext context{folder.files(), nullptr, "spi"};
  adv::CDrawImage surface;
  // Crashes and leaks are what is looked for; whether the file loads does not matter.
  (void)adv::LoadK16(surface, "f.k16", context);
  return 0;
}
