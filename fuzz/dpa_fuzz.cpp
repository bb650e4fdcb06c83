// Packed files: arbitrary bytes read through CFileReader as a packed twin, and the same bytes
// packed and unpacked again, which must give them back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "files/file_reader.h"
#include "files/packed_file.h"
#include "fuzz_folder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto& folder = adv::fuzz::Folder();
  folder.Write("f.dpa", data, size);
  adv::CFileReader reader;
  if (reader.Open(folder.files(), "f.bmp")) {
    std::vector<std::uint8_t> all;
    if (!reader.ReadAll(all, std::uint64_t{1} << 31)) std::abort();
    if (reader.IsPacked()) {
      // Reads past the end return what remains, nothing more.
      std::uint8_t buffer[64];
      reader.Seek(-3, 2);
      if (reader.Read(buffer, sizeof(buffer)) != (all.size() >= 3 ? 3u : 0u)) std::abort();
      reader.Seek(static_cast<std::int64_t>(size), 1);
      if (reader.Read(buffer, sizeof(buffer)) != 0) std::abort();
    }
  }

  const std::vector<std::uint8_t> input(data, data + size);
  const std::vector<std::uint8_t> packed = adv::PackFile("name.bin", input);
  std::string name;
  std::vector<std::uint8_t> back;
  if (!adv::UnpackFile(packed, name, back) || back != input || name != "name.bin") std::abort();
  return 0;
}
