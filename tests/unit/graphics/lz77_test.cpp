#include "files/lz77.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
#include <vector>

namespace adv {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Of(std::string_view s) {
  return Bytes(s.begin(), s.end());
}

// Streams written by hand as flag bytes (bit t set: token t is a literal) and token bytes.
TEST(Lz77Decode, HandWrittenStreams) {
  std::string prefix;
  for (int i = 0; i < 4098; ++i) prefix.push_back(static_cast<char>('A' + i % 26 + (i / 26) % 3));
  using namespace std::string_literals;
  const struct {
    const char* what;
    std::string flags, data;
    std::size_t size;
    std::optional<std::string> out;  // none: refused
  } cases[] = {
      {"w = 0: three bytes from three back", "\x07", "abc\0\0"s, 6, "abcabc"},
      {"w = 6: distance 3, length 9", "\x07", "xyz\x06\0"s, 12, "xyzxyzxyzxyz"},
      {"w = 0xFFFF: 18 bytes from 4098 back", std::string(512, '\xFF') + "\x03",
       prefix + "\xFF\xFF", 4098 + 18, prefix + prefix.substr(0, 18)},
      {"nothing", "", "", 0, ""},
      {"distance 3 with 2 bytes written", "\x03", "ab\0\0"s, 5, {}},
      {"would write 6 of 5", "\x07", "abc\0\0"s, 5, {}},
      {"produces 6 of 7", "\x07", "abc\0\0"s, 7, {}},
      {"half a back-reference", "\x07", "abc\0"s, 6, {}},
      {"nine tokens, one flag byte", "\xFF", "abcdefghi", 9, {}},
  };
  for (const auto& c : cases) {
    Bytes out;
    std::optional<std::string> got;
    if (Lz77Decode(Of(c.flags), Of(c.data), c.size, out)) got.emplace(out.begin(), out.end());
    EXPECT_EQ(got, c.out) << c.what;
  }
}

Bytes RoundTrip(const Bytes& input) {
  Lz77Stream packed = Lz77Encode(input);
  Bytes out;
  EXPECT_TRUE(Lz77Decode(packed.flags, packed.data, input.size(), out));
  return out;
}

TEST(Lz77Encode, RoundTripsRandomAndRepetitiveData) {
  std::mt19937 rng(1234);
  // Few symbols: many short matches at all distances.
  for (std::size_t size : {0u, 1u, 2u, 3u, 17u, 4099u, 100000u}) {
    for (unsigned symbols : {256u, 3u}) {
      Bytes input(size);
      for (auto& b : input) b = static_cast<std::uint8_t>(rng() % symbols);
      EXPECT_EQ(RoundTrip(input), input) << size << " bytes of " << symbols << " symbols";
    }
  }
  // Repeats whose period is longer than the window, shorter than the minimum distance, and
  // exactly at the window's edge.
  for (std::size_t period : {1u, 2u, 3u, 4098u, 4099u, 5000u}) {
    Bytes block(period);
    for (auto& b : block) b = static_cast<std::uint8_t>(rng());
    Bytes input;
    while (input.size() < 30000) input.insert(input.end(), block.begin(), block.end());
    EXPECT_EQ(RoundTrip(input), input) << period;
  }
}

TEST(Lz77Encode, CompressesRuns) {
  Bytes zeros(180000, 0);
  Lz77Stream packed = Lz77Encode(zeros);
  // Best possible: 18 bytes per two-byte token plus a flag bit, about 8.5 : 1.
  EXPECT_LT(packed.data.size() + packed.flags.size(), zeros.size() / 8);
}

}  // namespace
}  // namespace adv
