// The whole loader chain (no decoder library, an empty plug-in folder). The first byte chooses
// whether the rest is stored as it is or packed, so every loader also reads through unpacking.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "files/packed_file.h"
#include "fuzz_folder.h"
#include "graphics/picture_loader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const auto& folder = adv::fuzz::Folder();
  const bool packed = (data[0] & 1) != 0;
  if (packed) {
    std::vector<std::uint8_t> file =
        adv::PackFile("f.pic", std::vector<std::uint8_t>(data + 1, data + size));
    folder.Remove("f.pic");
    folder.Write("f.dpa", file.data(), file.size());
  } else {
    folder.Remove("f.dpa");
    folder.Write("f.pic", data + 1, size - 1);
  }
  adv::LoadContext context{folder.files(), nullptr, "spi"};
  adv::CDrawImage surface;
  // Crashes and leaks are what is looked for; whether the file loads does not matter.
  (void)adv::LoadPicture(surface, "f.pic", context);
  return 0;
}
