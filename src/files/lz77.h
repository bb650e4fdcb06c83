// The LZ77 scheme of packed (".dpa") files. Tokens are literals (1 byte) or back-references
// (2 bytes, little-endian w: length (w & 15) + 3, distance (w >> 4) + 3). Token t is a literal
// when bit (t % 8) of flag byte t / 8 is set.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace adv {

inline constexpr std::size_t kLz77MinLength = 3;
inline constexpr std::size_t kLz77MaxLength = 18;
inline constexpr std::size_t kLz77MinDistance = 3;
inline constexpr std::size_t kLz77MaxDistance = 4098;

// Decodes all of packed into exactly unpacked_size bytes. Returns false (out then holds
// unspecified bytes) when the stream is corrupt: a back-reference before the start of the output
// or cut off after its first byte, output beyond unpacked_size, too few flag bytes, or fewer
// than unpacked_size bytes produced.
[[nodiscard]] bool Lz77Decode(std::span<const std::uint8_t> flags,
                              std::span<const std::uint8_t> packed, std::size_t unpacked_size,
                              std::vector<std::uint8_t>& out);

struct Lz77Stream {
  std::vector<std::uint8_t> flags;
  std::vector<std::uint8_t> data;
};

// Hash-chain encoder with one step of lazy matching.
Lz77Stream Lz77Encode(std::span<const std::uint8_t> input);

}  // namespace adv
