#include "files/packed_file.h"

#include <algorithm>
#include <cstring>

#include "base/byte_reader.h"
#include "files/lz77.h"

namespace adv {

namespace {

constexpr char kMagic[5] = {'G', 'P', 'L', 'P', '\0'};

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

}  // namespace

bool HasPackedMagic(std::span<const std::uint8_t> bytes) {
  return bytes.size() >= sizeof(kMagic) && std::memcmp(bytes.data(), kMagic, sizeof(kMagic)) == 0;
}

bool ReadPackedHeader(std::span<const std::uint8_t> file, PackedHeader& out) {
  if (!HasPackedMagic(file) || file.size() < kPackedHeaderSize + kPackedInfoSize) return false;
  ByteReader reader(file);
  PackedHeader h;
  h.info_size = reader.U32LeAt(12);
  if (h.info_size < kPackedInfoSize) return false;
  h.name_size = reader.U32LeAt(kPackedHeaderSize + 4);
  h.flag_size = reader.U32LeAt(kPackedHeaderSize + 8);
  h.packed_size = reader.U32LeAt(kPackedHeaderSize + 12);
  h.unpacked_size = reader.U32LeAt(kPackedHeaderSize + 16);
  // 64-bit sums: four 32-bit lengths cannot overflow them.
  const std::uint64_t name = kPackedHeaderSize + std::uint64_t{h.info_size};
  const std::uint64_t flags = name + h.name_size;
  const std::uint64_t data = flags + h.flag_size;
  const std::uint64_t end = data + h.packed_size;
  if (end > file.size()) return false;
  // A two-byte token yields at most 18 bytes.
  const std::uint64_t most = std::uint64_t{h.packed_size} / 2 * kLz77MaxLength + h.packed_size % 2;
  if (h.unpacked_size > most || h.unpacked_size > kMaxUnpackedSize) return false;
  h.name_offset = static_cast<std::size_t>(name);
  h.flags_offset = static_cast<std::size_t>(flags);
  h.data_offset = static_cast<std::size_t>(data);
  out = h;
  return true;
}

std::string PackedStoredName(std::span<const std::uint8_t> file, const PackedHeader& header) {
  auto name = file.subspan(header.name_offset, header.name_size);
  auto zero = std::find(name.begin(), name.end(), std::uint8_t{0});
  return std::string(name.begin(), zero);
}

bool UnpackFile(std::span<const std::uint8_t> file, std::string& stored_name,
                std::vector<std::uint8_t>& data) {
  PackedHeader h;
  if (!ReadPackedHeader(file, h)) return false;
  if (!Lz77Decode(file.subspan(h.flags_offset, h.flag_size),
                  file.subspan(h.data_offset, h.packed_size), h.unpacked_size, data)) {
    return false;
  }
  stored_name = PackedStoredName(file, h);
  return true;
}

std::vector<std::uint8_t> PackFile(std::string_view stored_name,
                                   std::span<const std::uint8_t> data) {
  Lz77Stream stream = Lz77Encode(data);
  std::vector<std::uint8_t> out;
  out.reserve(kPackedHeaderSize + kPackedInfoSize + stored_name.size() + 1 + stream.flags.size() +
              stream.data.size());
  for (char c : kMagic) out.push_back(static_cast<std::uint8_t>(c));
  out.resize(12, 0);
  PutU32(out, kPackedInfoSize);
  PutU32(out, 0);
  PutU32(out, static_cast<std::uint32_t>(stored_name.size() + 1));
  PutU32(out, static_cast<std::uint32_t>(stream.flags.size()));
  PutU32(out, static_cast<std::uint32_t>(stream.data.size()));
  PutU32(out, static_cast<std::uint32_t>(data.size()));
  out.insert(out.end(), stored_name.begin(), stored_name.end());
  out.push_back(0);
  out.insert(out.end(), stream.flags.begin(), stream.flags.end());
  out.insert(out.end(), stream.data.begin(), stream.data.end());
  return out;
}

}  // namespace adv
