// Packed (".dpa") files: one file compressed with the LZ77 scheme of lz77.h behind a "GPLP"
// header. All integers are 32-bit little-endian.
//
//   0   "GPLP" and a zero byte, then 7 unused bytes
//   12  I: length of the info block at 16 (at least 20)
//   16  info block: unused, N (stored name), F (flag bytes), P (packed data), U (unpacked size)
//   16 + I: N bytes of name (zero-terminated within), F flag bytes, P bytes of packed data
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace adv {

inline constexpr std::size_t kPackedHeaderSize = 16;
inline constexpr std::size_t kPackedInfoSize = 20;
// Larger unpacked sizes are refused rather than allocated.
inline constexpr std::uint64_t kMaxUnpackedSize = std::uint64_t{1} << 30;

struct PackedHeader {
  std::uint32_t info_size = 0;
  std::uint32_t name_size = 0;
  std::uint32_t flag_size = 0;
  std::uint32_t packed_size = 0;
  std::uint32_t unpacked_size = 0;
  std::size_t name_offset = 0;
  std::size_t flags_offset = 0;
  std::size_t data_offset = 0;
};

// Whether the bytes begin with "GPLP" and a zero byte.
bool HasPackedMagic(std::span<const std::uint8_t> bytes);

// Reads and checks the header of a whole packed file: every part must lie within the file and
// the unpacked size must be one the packed data can produce.
[[nodiscard]] bool ReadPackedHeader(std::span<const std::uint8_t> file, PackedHeader& out);

// The stored name: the name bytes up to their first zero.
std::string PackedStoredName(std::span<const std::uint8_t> file, const PackedHeader& header);

// Unpacks a whole packed file; false when it is not one or is corrupt.
[[nodiscard]] bool UnpackFile(std::span<const std::uint8_t> file, std::string& stored_name,
                              std::vector<std::uint8_t>& data);

// Packs data under a stored name (info block of 20 bytes).
std::vector<std::uint8_t> PackFile(std::string_view stored_name,
                                   std::span<const std::uint8_t> data);

}  // namespace adv
